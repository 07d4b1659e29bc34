#include "display/edid_modes.h"

#include <cstddef>
#include <cstdint>

#include "display/timing_rate.h"
#include "edid/edid_established_table.h"
#include "edid/edid_fields.h"
#include "edid/edid_timing_fields.h"

namespace {

constexpr unsigned char kFirstTimingIsPreferred = 0x02;
constexpr unsigned char kNewestRevision = 4;
// From revision 4 on the first detailed timing is always the preferred one;
// the feature bit then only says whether it is also the native format and rate.
constexpr unsigned char kPreferredTimingMandatory = 4;

// An interlaced timing is taken at its frame rate, half its field rate cut
// to whole hertz: the 87 Hz interlaced 1024x768 at 43 Hz.
DWORD FrameRate(const EdidEstablishedTiming& timing) {
  return timing.interlaced ? timing.rate / 2 : timing.rate;
}

std::unique_ptr<TMode> StandardTimingMode(unsigned char firstByte, unsigned char secondByte) {
  const EdidStandardTiming timing = ReadEdidStandardTiming(firstByte, secondByte);
  // Code 0 is 16:10 in every revision, also before 1.3, where the block meant 1:1 by it.
  const double ratio = kEdidAspectRatios[timing.aspect].heightOverWidth;
  // The width times the height over width, promoted to double, rounded half up.
  const auto height = static_cast<DWORD>(timing.width * ratio + 0.5);
  return std::make_unique<TMode>(timing.width, height, 0, timing.refresh);
}

}  // namespace

bool IsEdidUsable(const std::vector<unsigned char>& edid) {
  return edid.size() >= kEdidBaseBlockSize && edid[EdidField::Version] == 1 &&
         edid[EdidField::Revision] <= kNewestRevision;
}

void BuildPresets(const std::vector<unsigned char>& edid, TObjectList& presets) {
  if (!IsEdidUsable(edid)) return;
  for (const EdidEstablishedTiming& timing : kEdidEstablishedTimings) {
    if (IsEdidTimingSet(edid.data(), timing)) {
      presets.Add(std::make_unique<TMode>(timing.width, timing.height, 0, FrameRate(timing)));
    }
  }
  for (std::size_t i = 0; i < EdidField::StandardTimingCount; ++i) {
    const unsigned char firstByte = edid[EdidField::StandardTimings + 2 * i];
    const unsigned char secondByte = edid[EdidField::StandardTimings + 2 * i + 1];
    // Whether a slot is in use depends on its first byte alone.
    if (IsEdidUnusedStandardTimingByte(firstByte)) continue;
    presets.Add(StandardTimingMode(firstByte, secondByte));
  }
}

std::unique_ptr<TMode> ReadPreferredTiming(const std::vector<unsigned char>& edid) {
  if (!IsEdidUsable(edid)) return nullptr;
  if (edid[EdidField::Revision] < kPreferredTimingMandatory &&
      (edid[EdidField::FeatureSupport] & kFirstTimingIsPreferred) == 0) {
    return nullptr;
  }

  // The pixel clock is not tested: a descriptor in the first slot reads as a
  // timing of frequency 0.
  const EdidDetailedTiming timing =
      ReadEdidDetailedTiming(edid.data() + EdidField::DescriptorBlocks);
  if (timing.IsInterlaced()) return nullptr;
  const DWORD frequency = TimingRefreshRate(std::uint64_t{timing.pixelClock} * 10000u,
                                            timing.horizontalActive + timing.horizontalBlank,
                                            timing.verticalActive + timing.verticalBlank);
  return std::make_unique<TMode>(timing.horizontalActive, timing.verticalActive, 0, frequency);
}
