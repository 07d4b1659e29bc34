#include "display/edid_modes.h"

#include <cmath>
#include <cstddef>

namespace {

constexpr std::size_t kBaseBlockSize = 128;
constexpr std::size_t kVersion = 0x12;
constexpr std::size_t kRevision = 0x13;
constexpr std::size_t kFeatureSupport = 0x18;
constexpr std::size_t kStandardTimings = 0x26;
constexpr std::size_t kStandardTimingCount = 8;
constexpr std::size_t kFirstDetailedTiming = 0x36;
constexpr std::size_t kFirstDetailedTimingFlags = 0x47;

constexpr unsigned char kFirstTimingIsPreferred = 0x02;
constexpr unsigned char kInterlaced = 0x80;

struct EstablishedTiming {
  std::size_t offset;
  unsigned char bit;
  DWORD width;
  DWORD height;
  DWORD frequency;
};

// In the order the presets list them: the bytes in order, each from bit 7
// down. Only bit 7 of the manufacturer's byte 0x25 has a meaning here. The
// interlaced 1024x768 flag is taken at its frame rate, 43 Hz, not at its
// field rate of 87 Hz.
constexpr EstablishedTiming kEstablishedTimings[] = {
    {0x23, 0x80, 720, 400, 70},   {0x23, 0x40, 720, 400, 88},   {0x23, 0x20, 640, 480, 60},
    {0x23, 0x10, 640, 480, 67},   {0x23, 0x08, 640, 480, 72},   {0x23, 0x04, 640, 480, 75},
    {0x23, 0x02, 800, 600, 56},   {0x23, 0x01, 800, 600, 60},   {0x24, 0x80, 800, 600, 72},
    {0x24, 0x40, 800, 600, 75},   {0x24, 0x20, 832, 624, 75},   {0x24, 0x10, 1024, 768, 43},
    {0x24, 0x08, 1024, 768, 60},  {0x24, 0x04, 1024, 768, 70},  {0x24, 0x02, 1024, 768, 75},
    {0x24, 0x01, 1280, 1024, 75}, {0x25, 0x80, 1152, 870, 75},
};

// Height over width for the aspect index in bits 7..6 of a standard timing's
// second byte: 16:10, 4:3, 5:4, 16:9. Index 0 is 16:10 for every revision,
// also before 1.3, where the block meant 1:1 by it.
constexpr float kAspectRatios[] = {0.625f, 0.75f, 0.8f, 0.5625f};

bool IsUnusedStandardTiming(unsigned char firstByte) {
  return firstByte == 0x00 || firstByte == 0x01 || firstByte == 0x20;
}

std::unique_ptr<TMode> StandardTimingMode(unsigned char firstByte, unsigned char secondByte) {
  const DWORD width = firstByte * 8u + 248u;
  const double ratio = kAspectRatios[secondByte >> 6];
  const auto height = static_cast<DWORD>(width * ratio + 0.5);
  const DWORD frequency = (secondByte & 0x3Fu) + 60u;
  return std::make_unique<TMode>(width, height, 0, frequency);
}

// A 12-bit field of a detailed timing: the low eight bits in their own byte,
// the high four in one nibble of a shared byte.
DWORD TwelveBits(DWORD low, DWORD highNibble) {
  return low + 256u * highNibble;
}

float RoundHalfToEven(float value) {
  const float lower = std::floor(value);
  const float fraction = value - lower;
  if (fraction > 0.5f) return lower + 1.0f;
  if (fraction < 0.5f) return lower;
  return std::fmod(lower, 2.0f) == 0.0f ? lower : lower + 1.0f;
}

// The frame rate of a timing, rounded to whole hertz, an exact half to the
// even neighbour. The line rate is cut to whole hertz first and the frame
// rate formed from it in single precision; both steps decide rates that lie
// close to a half.
DWORD RefreshRate(DWORD pixelClock10kHz, DWORD horizontalTotal, DWORD verticalTotal) {
  const DWORD lineRate = horizontalTotal == 0 ? 0 : pixelClock10kHz * 10000u / horizontalTotal;
  const float frameRate =
      verticalTotal == 0 ? 0.0f
                         : static_cast<float>(lineRate) / static_cast<float>(verticalTotal);
  return static_cast<DWORD>(RoundHalfToEven(frameRate));
}

}  // namespace

bool IsEdidUsable(const std::vector<unsigned char>& edid) {
  return edid.size() >= kBaseBlockSize && edid[kVersion] == 1 && edid[kRevision] <= 3;
}

void BuildPresets(const std::vector<unsigned char>& edid, TObjectList& presets) {
  if (!IsEdidUsable(edid)) return;
  for (const EstablishedTiming& timing : kEstablishedTimings) {
    if ((edid[timing.offset] & timing.bit) != 0) {
      presets.Add(std::make_unique<TMode>(timing.width, timing.height, 0, timing.frequency));
    }
  }
  for (std::size_t i = 0; i < kStandardTimingCount; ++i) {
    const unsigned char firstByte = edid[kStandardTimings + 2 * i];
    const unsigned char secondByte = edid[kStandardTimings + 2 * i + 1];
    // Whether a slot is in use depends on its first byte alone.
    if (IsUnusedStandardTiming(firstByte)) continue;
    presets.Add(StandardTimingMode(firstByte, secondByte));
  }
}

std::unique_ptr<TMode> ReadPreferredTiming(const std::vector<unsigned char>& edid) {
  if (!IsEdidUsable(edid)) return nullptr;
  if ((edid[kFeatureSupport] & kFirstTimingIsPreferred) == 0) return nullptr;
  if ((edid[kFirstDetailedTimingFlags] & kInterlaced) != 0) return nullptr;

  // The pixel clock is not tested: a descriptor in the first slot reads as a
  // timing of frequency 0.
  const unsigned char* timing = edid.data() + kFirstDetailedTiming;
  const DWORD pixelClock = timing[0] + 256u * timing[1];
  const DWORD horizontalActive = TwelveBits(timing[2], timing[4] >> 4);
  const DWORD horizontalBlanking = TwelveBits(timing[3], timing[4] & 0x0F);
  const DWORD verticalActive = TwelveBits(timing[5], timing[7] >> 4);
  const DWORD verticalBlanking = TwelveBits(timing[6], timing[7] & 0x0F);

  const DWORD frequency = RefreshRate(pixelClock, horizontalActive + horizontalBlanking,
                                      verticalActive + verticalBlanking);
  return std::make_unique<TMode>(horizontalActive, verticalActive, 0, frequency);
}
