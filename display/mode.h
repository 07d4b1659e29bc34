// TMode, the one value type of the display model: a resolution, a colour
// depth and a refresh rate, with its mapping to and from the platform's
// DEVMODEA, the two comparisons of modes and its two text forms.
#pragma once

#include <memory>
#include <ostream>
#include <string>

#include "base/objects.h"
#include "platform/win32_types.h"

class TMode : public TObject {
 public:
  // Stored as given; a depth or frequency of 0 means "not specified".
  TMode(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD frequency)
      : Width(width), Height(height), BitsPerPixel(bitsPerPixel), Frequency(frequency) {}
  ~TMode() override = default;

  DWORD Width;
  DWORD Height;
  DWORD BitsPerPixel;
  DWORD Frequency;
};

// A new mode of the four members of a record the platform has filled in;
// every other member is dropped.
std::unique_ptr<TMode> ModeFromDevMode(const DEVMODEA& devMode);

// A zero-filled record that asks the platform for exactly this mode: the four
// members and the flags that name them. A depth or frequency of 0 stays 0.
DEVMODEA DevModeFromMode(const TMode& mode);

// Whether a and b are the same mode: the same resolution, compatible depths
// (equal, or either 0) and frequencies within 1 Hz (or either 0 or 1, the
// hardware's default rate). Symmetric, but not transitive.
bool Matches(const TMode& a, const TMode& b);

// Whether a is a faster variant of b: the same resolution, compatible depths
// and a strictly higher frequency. Equal frequencies are never better.
bool IsBetterThan(const TMode& a, const TMode& b);

// Writes the padded log form, e.g. "1024x 768,32 bpp @ 85 Hz", or "N/A" for
// no mode, with no line end. Pads with the stream's fill character, leaves no
// width set and gives the stream's format flags back as they were.
std::ostream& WriteMode(std::ostream& out, const TMode* mode);

// The compact form that names a registry value: "1024x768@32". The frequency
// is not part of it.
std::string ValueName(const TMode& mode);
