// The established timings of an EDID base block: one flag bit each in 0x23
// to 0x25, and the mode every flag stands for.
#pragma once

#include <cstddef>
#include <cstdint>

#include "edid/edid_fields.h"

struct EdidEstablishedTiming {
  std::size_t flagByte;  // of the three, 0 for 0x23
  std::uint8_t mask;     // of the flag in that byte
  unsigned width;
  unsigned height;
  unsigned rate;  // vertical rate in hertz; for an interlaced timing the field rate
  bool interlaced;
};

// In the order of the flags: the bytes in order, each from bit 7 down. Bits
// 6 to 0 of 0x25 are the manufacturer's own and have no row.
inline constexpr EdidEstablishedTiming kEdidEstablishedTimings[] = {
    {0, 0x80, 720, 400, 70, false},  {0, 0x40, 720, 400, 88, false},
    {0, 0x20, 640, 480, 60, false},  {0, 0x10, 640, 480, 67, false},
    {0, 0x08, 640, 480, 72, false},  {0, 0x04, 640, 480, 75, false},
    {0, 0x02, 800, 600, 56, false},  {0, 0x01, 800, 600, 60, false},
    {1, 0x80, 800, 600, 72, false},  {1, 0x40, 800, 600, 75, false},
    {1, 0x20, 832, 624, 75, false},  {1, 0x10, 1024, 768, 87, true},
    {1, 0x08, 1024, 768, 60, false}, {1, 0x04, 1024, 768, 70, false},
    {1, 0x02, 1024, 768, 75, false}, {1, 0x01, 1280, 1024, 75, false},
    {2, 0x80, 1152, 870, 75, false},
};

inline bool IsEdidTimingSet(const std::uint8_t* block, const EdidEstablishedTiming& timing) {
  return (block[EdidField::EstablishedTimings + timing.flagByte] & timing.mask) != 0;
}
