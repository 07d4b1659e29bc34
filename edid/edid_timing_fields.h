// The byte layout of the timings an EDID block lists: the two bytes of a
// standard timing and the 18 bytes of a detailed timing. What a timing
// becomes, a mode or a line of the report, is up to the caller.
#pragma once

#include <cstddef>
#include <cstdint>

struct EdidStandardTiming {
  unsigned width;    // pixels
  unsigned aspect;   // the code in bits 7..6 of the second byte: a row of kEdidAspectRatios
  unsigned refresh;  // hertz
};

EdidStandardTiming ReadEdidStandardTiming(std::uint8_t first, std::uint8_t second);

// Whether a standard timing's first byte is one that marks the slot unused:
// 0x01, the marker, and 0x00 and 0x20, the padding some blocks use instead.
bool IsEdidUnusedStandardTimingByte(std::uint8_t first);
constexpr std::uint8_t kEdidUnusedStandardTiming = 0x01;

struct EdidAspectRatio {
  const char* text;
  float widthOverHeight;
  float heightOverWidth;
};

// By aspect code: 16:10, 4:3, 5:4, 16:9. Before version 1.3 code 0 meant
// 1:1, the last row.
inline constexpr EdidAspectRatio kEdidAspectRatios[] = {
    {"16:10", 1.6f, 0.625f},         {"4:3", 4.0f / 3.0f, 0.75f}, {"5:4", 1.25f, 0.8f},
    {"16:9", 16.0f / 9.0f, 0.5625f}, {"1:1", 1.0f, 1.0f},
};
constexpr std::size_t kEdidSquareAspect = 4;

struct EdidDetailedTiming {
  unsigned pixelClock;  // 10 kHz units
  unsigned horizontalActive, horizontalBlank, verticalActive, verticalBlank;
  unsigned horizontalSyncOffset, horizontalSyncWidth, verticalSyncOffset, verticalSyncWidth;
  unsigned horizontalSize, verticalSize;  // millimetres
  unsigned horizontalBorder, verticalBorder;
  std::uint8_t flags;  // the whole flags byte, stereo and sync bits among them

  bool IsInterlaced() const { return (flags & 0x80) != 0; }
};

// The 18 bytes from d on. A monitor descriptor reads as a timing with
// pixel clock 0.
EdidDetailedTiming ReadEdidDetailedTiming(const std::uint8_t* d);
