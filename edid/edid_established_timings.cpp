#include <vector>

#include "edid/edid_fields.h"
#include "edid/edid_fixed_sections.h"
#include "edid/edid_report_text.h"
#include "edid/edid_values.h"

namespace {

// The flags of 0x23 and 0x24 and bit 7 of 0x25, from bit 7 of 0x23 down.
const char* const kEstablishedTimings[] = {
    " 720x400  @ 70 Hz", " 720x400  @ 88 Hz", " 640x480  @ 60 Hz", " 640x480  @ 67 Hz",
    " 640x480  @ 72 Hz", " 640x480  @ 75 Hz", " 800x600  @ 56 Hz", " 800x600  @ 60 Hz",
    " 800x600  @ 72 Hz", " 800x600  @ 75 Hz", " 832x624  @ 75 Hz", "1024x768  @ 87i Hz",
    "1024x768  @ 60 Hz", "1024x768  @ 70 Hz", "1024x768  @ 75 Hz", "1280x1024 @ 75 Hz",
    "1152x870  @ 75 Hz",
};
constexpr std::size_t kEstablishedTimingCount =
    sizeof(kEstablishedTimings) / sizeof(kEstablishedTimings[0]);
// Bits 6 to 0 of 0x25 are the manufacturer's own.
constexpr std::size_t kFlagCount = 24;

std::vector<const char*> SetTimings(const std::uint8_t* block) {
  std::vector<const char*> entries;
  for (std::size_t flag = 0; flag < kFlagCount; ++flag) {
    const std::uint8_t byte = block[EdidField::EstablishedTimings + flag / 8];
    if (!EdidBits(byte, 7 - static_cast<int>(flag % 8))) continue;
    entries.push_back(flag < kEstablishedTimingCount ? kEstablishedTimings[flag]
                                                     : "Vendor proprietary");
  }
  return entries;
}

}  // namespace

void WriteEstablishedTimings(const std::uint8_t* block, std::ostream& out, const std::string& si) {
  out << si << "[0x23-0x25]  Established timings:" << std::endl;
  const std::vector<const char*> entries = SetTimings(block);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (i % 2 == 0) {
      out << si << kFifteenSpaces << entries[i] << '\t';
    } else {
      out << entries[i] << std::endl;
    }
  }
  if (entries.size() % 2 != 0) out << std::endl;
}
