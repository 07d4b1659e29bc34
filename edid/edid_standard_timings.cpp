#include <iomanip>

#include "edid/edid_fields.h"
#include "edid/edid_fixed_sections.h"
#include "edid/edid_values.h"

namespace {

// Before version 1.3 the aspect code 0 meant 1:1, not 16:10.
constexpr unsigned kFirstVersionWith16By10 = 13;

struct AspectRatio {
  const char* text;
  float ratio;  // width over height
};

const AspectRatio kAspectRatios[] = {
    {"16:10", 1.6f}, {"4:3", 4.0f / 3.0f}, {"5:4", 1.25f}, {"16:9", 16.0f / 9.0f}, {"1:1", 1.0f},
};
constexpr std::size_t kSquareAspect = 4;

void WriteTiming(const std::uint8_t* block, std::uint8_t first, std::uint8_t second,
                 std::ostream& out) {
  const unsigned horizontal = first * 8u + 248;
  std::size_t aspect = EdidBits(second, 6, 7);
  if (aspect == 0 && EdidVersionNumber(block) < kFirstVersionWith16By10) aspect = kSquareAspect;
  const unsigned refresh = EdidBits(second, 0, 5) + 60;
  // The quotient is rounded to single precision before the half is added:
  // 1368 at 16:9 gives 770.
  const float quotient = static_cast<float>(horizontal) / kAspectRatios[aspect].ratio;
  const auto vertical = static_cast<unsigned>(quotient + 0.5);
  out << "Standard timing: " << std::setw(4) << horizontal << "x" << std::setw(4) << vertical
      << " @ " << std::setw(3) << refresh << " Hz, " << kAspectRatios[aspect].text;
}

}  // namespace

void WriteStandardTiming(const std::uint8_t* block, std::size_t offset, std::ostream& out,
                         const std::string& si) {
  out.fill(' ');
  out << si << "[" << std::hex << std::setw(4) << offset << "-" << std::setw(4) << offset + 1
      << "]  " << std::dec;
  const std::uint8_t first = block[offset];
  const std::uint8_t second = block[offset + 1];
  if (first == 0x01 && second == 0x01) {
    out << "Standard timing: not used";
  } else if (first == second && (first == 0x00 || first == 0x20)) {
    out << "Standard timing: not used [but padded incorrectly]";
  } else {
    WriteTiming(block, first, second, out);
  }
  out << std::endl;
  out.fill('0');
}

void WriteStandardTimings(const std::uint8_t* block, std::ostream& out, const std::string& si) {
  for (std::size_t i = 0; i < EdidField::StandardTimingCount; ++i) {
    WriteStandardTiming(block, EdidField::StandardTimings + 2 * i, out, si);
  }
}
