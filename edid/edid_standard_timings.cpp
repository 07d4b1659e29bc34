#include <iomanip>

#include "edid/edid_fields.h"
#include "edid/edid_fixed_sections.h"
#include "edid/edid_timing_fields.h"
#include "edid/edid_values.h"

namespace {

// Before version 1.3 the aspect code 0 meant 1:1, not 16:10.
constexpr unsigned kFirstVersionWith16By10 = 13;

void WriteTiming(const std::uint8_t* block, std::uint8_t first, std::uint8_t second,
                 std::ostream& out) {
  const EdidStandardTiming timing = ReadEdidStandardTiming(first, second);
  std::size_t aspect = timing.aspect;
  if (aspect == 0 && EdidVersionNumber(block) < kFirstVersionWith16By10) aspect = kEdidSquareAspect;
  const EdidAspectRatio& ratio = kEdidAspectRatios[aspect];
  // The quotient is rounded to single precision before the half is added:
  // 1368 at 16:9 gives 770.
  const float quotient = static_cast<float>(timing.width) / ratio.widthOverHeight;
  const auto vertical = static_cast<unsigned>(quotient + 0.5);
  out << "Standard timing: " << std::setw(4) << timing.width << "x" << std::setw(4) << vertical
      << " @ " << std::setw(3) << timing.refresh << " Hz, " << ratio.text;
}

}  // namespace

void WriteStandardTiming(const std::uint8_t* block, std::size_t offset, std::ostream& out,
                         const std::string& si) {
  out.fill(' ');
  out << si << "[" << std::hex << std::setw(4) << offset << "-" << std::setw(4) << offset + 1
      << "]  " << std::dec;
  const std::uint8_t first = block[offset];
  const std::uint8_t second = block[offset + 1];
  // Shown unused only when both bytes hold the value; 0x00 and 0x20 are padding, not the marker.
  if (first == second && IsEdidUnusedStandardTimingByte(first)) {
    out << "Standard timing: not used";
    if (first != kEdidUnusedStandardTiming) out << " [but padded incorrectly]";
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
