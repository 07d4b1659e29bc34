#include "display/displayid_timings.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <numeric>

#include "display/edid_modes.h"
#include "display/mode.h"
#include "display/timing_rate.h"
#include "edid/edid_fields.h"
#include "edid/edid_values.h"

namespace {

constexpr unsigned char kDisplayIdExtensionTag = 0x70;
// The section: version, the byte count of its data blocks, product type and
// extension count, then the data blocks, then its own checksum; it ends
// before the extension block's checksum.
constexpr std::size_t kSectionStart = 1;
constexpr std::size_t kDataBlocksSize = 2;
constexpr std::size_t kDataBlocksStart = 5;
constexpr std::size_t kSectionLast = kEdidBaseBlockSize - 2;
// A data block: tag, revision, payload length, payload.
constexpr std::size_t kDataBlockHeaderSize = 3;
constexpr std::size_t kTimingSize = 20;
constexpr unsigned char kPreferred = 0x80;
constexpr unsigned char kInterlaced = 0x10;

struct TimingBlockType {
  unsigned char tag;
  std::uint64_t clockUnitHz;
};
constexpr TimingBlockType kTimingBlockTypes[] = {
    {0x03, 10000},  // type I detailed timing, DisplayID 1.x
    {0x22, 1000},   // type VII detailed timing, DisplayID 2.x
};

bool SumsToZero(const unsigned char* first, std::size_t count) {
  return std::accumulate(first, first + count, 0u) % 256 == 0;
}

// Each field holds its value minus 1.
DWORD Field16(const unsigned char* timing, std::size_t offset) {
  return EdidLittleEndian(timing + offset, 2) + 1;
}

void AddPreferredTiming(const unsigned char* timing, std::uint64_t clockUnitHz,
                        TObjectList& timings) {
  if ((timing[3] & kPreferred) == 0 || (timing[3] & kInterlaced) != 0) return;
  const std::uint64_t clockHz = (std::uint64_t{EdidLittleEndian(timing, 3)} + 1) * clockUnitHz;
  const DWORD width = Field16(timing, 4);
  const DWORD height = Field16(timing, 12);
  const DWORD rate =
      TimingRefreshRate(clockHz, width + Field16(timing, 6), height + Field16(timing, 14));
  timings.Add(std::make_unique<TMode>(width, height, 0, rate));
}

void ReadSection(const unsigned char* block, TObjectList& timings) {
  // The section's checksum is the byte after its data blocks.
  const std::size_t checksum = kDataBlocksStart + block[kDataBlocksSize];
  if (checksum > kSectionLast || !SumsToZero(block + kSectionStart, checksum + 1 - kSectionStart))
    return;
  for (std::size_t at = kDataBlocksStart; at + kDataBlockHeaderSize <= checksum;) {
    const unsigned char* payload = block + at + kDataBlockHeaderSize;
    const std::size_t length = block[at + 2];
    if (at + kDataBlockHeaderSize + length > checksum) return;
    for (const TimingBlockType& type : kTimingBlockTypes) {
      if (block[at] != type.tag) continue;
      for (std::size_t t = 0; t + kTimingSize <= length; t += kTimingSize) {
        AddPreferredTiming(payload + t, type.clockUnitHz, timings);
      }
    }
    at += kDataBlockHeaderSize + length;
  }
}

}  // namespace

void ReadDisplayIdPreferredTimings(const std::vector<unsigned char>& edid, TObjectList& timings) {
  if (!IsEdidUsable(edid)) return;
  const std::size_t counted = edid[EdidField::ExtensionFlag];
  for (std::size_t i = 1; i <= counted && (i + 1) * kEdidBaseBlockSize <= edid.size(); ++i) {
    const unsigned char* block = edid.data() + i * kEdidBaseBlockSize;
    if (block[0] == kDisplayIdExtensionTag && SumsToZero(block, kEdidBaseBlockSize)) {
      ReadSection(block, timings);
    }
  }
}
