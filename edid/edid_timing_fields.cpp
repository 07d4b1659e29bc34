#include "edid/edid_timing_fields.h"

#include "edid/edid_fields.h"
#include "edid/edid_values.h"

namespace {

namespace Field = EdidBlockField;

// Low bits from one byte, the bits above them from the bits hi..lo of another.
unsigned Compose(unsigned low, unsigned lowWidth, std::uint8_t high, int lo, int hi) {
  return low | EdidBits(high, lo, hi) << lowWidth;
}

}  // namespace

EdidStandardTiming ReadEdidStandardTiming(std::uint8_t first, std::uint8_t second) {
  return {first * 8u + 248, EdidBits(second, 6, 7), EdidBits(second, 0, 5) + 60};
}

bool IsEdidUnusedStandardTimingByte(std::uint8_t first) {
  return first == 0x00 || first == kEdidUnusedStandardTiming || first == 0x20;
}

EdidDetailedTiming ReadEdidDetailedTiming(const std::uint8_t* d) {
  EdidDetailedTiming t{};
  t.pixelClock = EdidLittleEndian(d + Field::PixelClock, 2);
  t.horizontalActive = Compose(d[Field::HorizontalActive], 8, d[Field::HorizontalHigh], 4, 7);
  t.horizontalBlank = Compose(d[Field::HorizontalBlank], 8, d[Field::HorizontalHigh], 0, 3);
  t.verticalActive = Compose(d[Field::VerticalActive], 8, d[Field::VerticalHigh], 4, 7);
  t.verticalBlank = Compose(d[Field::VerticalBlank], 8, d[Field::VerticalHigh], 0, 3);
  t.horizontalSyncOffset = Compose(d[Field::HorizontalSyncOffset], 8, d[Field::SyncHigh], 6, 7);
  t.horizontalSyncWidth = Compose(d[Field::HorizontalSyncWidth], 8, d[Field::SyncHigh], 4, 5);
  t.verticalSyncOffset =
      Compose(EdidBits(d[Field::VerticalSync], 4, 7), 4, d[Field::SyncHigh], 2, 3);
  t.verticalSyncWidth =
      Compose(EdidBits(d[Field::VerticalSync], 0, 3), 4, d[Field::SyncHigh], 0, 1);
  t.horizontalSize = Compose(d[Field::HorizontalImageSize], 8, d[Field::ImageSizeHigh], 4, 7);
  t.verticalSize = Compose(d[Field::VerticalImageSize], 8, d[Field::ImageSizeHigh], 0, 3);
  t.horizontalBorder = d[Field::HorizontalBorder];
  t.verticalBorder = d[Field::VerticalBorder];
  t.flags = d[Field::Flags];
  return t;
}
