// A display mode of the simulated machine and its text form in the machine
// file, WIDTHxHEIGHTxBITS@HZ (for example 1280x1024x32@60).
#pragma once

#include <optional>
#include <string>

#include "platform/win32_types.h"

struct SimMode {
  DWORD width = 0;
  DWORD height = 0;
  DWORD bitsPerPixel = 0;
  DWORD frequency = 0;

  bool operator==(const SimMode& other) const {
    return width == other.width && height == other.height && bitsPerPixel == other.bitsPerPixel &&
           frequency == other.frequency;
  }
  bool operator!=(const SimMode& other) const { return !(*this == other); }
};

// Four decimal numbers, each fitting 32 bits, and nothing else.
std::optional<SimMode> ParseModeText(const std::string& text);
std::string ModeText(const SimMode& mode);
