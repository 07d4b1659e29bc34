#include <string>
#include <vector>

#include "edid/edid_established_table.h"
#include "edid/edid_fields.h"
#include "edid/edid_fixed_sections.h"
#include "edid/edid_report_text.h"
#include "edid/edid_values.h"

namespace {

// " 720x400  @ 70 Hz"; an interlaced timing at its field rate, "87i". Made
// without a string stream, which would add its machinery to the programs.
std::string TimingText(const EdidEstablishedTiming& timing) {
  std::string width = std::to_string(timing.width);
  std::string height = std::to_string(timing.height);
  if (width.size() < 4) width.insert(0, 4 - width.size(), ' ');
  if (height.size() < 5) height.append(5 - height.size(), ' ');
  return width + 'x' + height + "@ " + std::to_string(timing.rate) +
         (timing.interlaced ? "i" : "") + " Hz";
}

// The set flags from bit 7 of 0x23 down; the manufacturer's own come last.
std::vector<std::string> SetTimings(const std::uint8_t* block) {
  std::vector<std::string> entries;
  for (const EdidEstablishedTiming& timing : kEdidEstablishedTimings) {
    if (IsEdidTimingSet(block, timing)) entries.push_back(TimingText(timing));
  }
  for (int bit = 6; bit >= 0; --bit) {
    if (EdidBits(block[EdidField::ManufacturerTimings], bit)) {
      entries.push_back("Vendor proprietary");
    }
  }
  return entries;
}

}  // namespace

void WriteEstablishedTimings(const std::uint8_t* block, std::ostream& out, const std::string& si) {
  out << si << "[0x23-0x25]  Established timings:" << std::endl;
  const std::vector<std::string> entries = SetTimings(block);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (i % 2 == 0) {
      out << si << kFifteenSpaces << entries[i] << '\t';
    } else {
      out << entries[i] << std::endl;
    }
  }
  if (entries.size() % 2 != 0) out << std::endl;
}
