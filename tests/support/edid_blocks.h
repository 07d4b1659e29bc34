// Small EDID base blocks built in the tests.
#pragma once

#include <vector>

#include "platform/win32_types.h"

// Version 1.3, every standard timing slot unused, nothing else set: not even
// the header or the checksum, which the mode derivation does not look at.
inline std::vector<unsigned char> UsableBlock() {
  std::vector<unsigned char> block(128, 0);
  block[0x12] = 1;
  block[0x13] = 3;
  for (int offset = 0x26; offset < 0x36; ++offset) block[offset] = 0x01;
  return block;
}

struct DetailedTiming {
  DWORD pixelClock10kHz;
  DWORD horizontalActive;
  DWORD horizontalBlanking;
  DWORD verticalActive;
  DWORD verticalBlanking;
};

// Writes the timing into the first detailed timing slot and marks it as the
// preferred timing.
inline void PutPreferredTiming(std::vector<unsigned char>& block, const DetailedTiming& timing) {
  block[0x18] = 0x0A;
  block[0x36] = static_cast<unsigned char>(timing.pixelClock10kHz & 0xFF);
  block[0x37] = static_cast<unsigned char>(timing.pixelClock10kHz >> 8);
  block[0x38] = static_cast<unsigned char>(timing.horizontalActive & 0xFF);
  block[0x39] = static_cast<unsigned char>(timing.horizontalBlanking & 0xFF);
  block[0x3A] = static_cast<unsigned char>((timing.horizontalActive >> 8) << 4 |
                                           timing.horizontalBlanking >> 8);
  block[0x3B] = static_cast<unsigned char>(timing.verticalActive & 0xFF);
  block[0x3C] = static_cast<unsigned char>(timing.verticalBlanking & 0xFF);
  block[0x3D] = static_cast<unsigned char>((timing.verticalActive >> 8) << 4 |
                                           timing.verticalBlanking >> 8);
}
