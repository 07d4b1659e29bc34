// Feeds any bytes to the EDID report and to the modes the display model
// reads from the same block, so that no block a monitor can hand over makes
// either read outside it or hit undefined behaviour.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <vector>

#include "base/objects.h"
#include "display/edid_modes.h"
#include "edid/edid_report.h"

namespace {
// The largest block a monitor's registry value is read to.
const std::size_t kMaximumEdidSize = 256;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<unsigned char> edid(data, data + std::min(size, kMaximumEdidSize));

  std::ostringstream report;
  WriteEdidReport(edid.data(), edid.size(), report, "    ");

  TObjectList presets;
  BuildPresets(edid, presets);
  ReadPreferredTiming(edid);
  return 0;
}
