// The four values of a mode as a plain value, so that tests can build mode
// lists from tables and compare what a list holds.
#pragma once

#include <memory>
#include <ostream>
#include <vector>

#include "base/objects.h"
#include "display/mode.h"

struct ModeValues {
  DWORD width;
  DWORD height;
  DWORD bitsPerPixel;
  DWORD frequency;

  bool operator==(const ModeValues& other) const {
    return width == other.width && height == other.height &&
           bitsPerPixel == other.bitsPerPixel && frequency == other.frequency;
  }
};

inline std::ostream& operator<<(std::ostream& out, const ModeValues& mode) {
  return out << mode.width << 'x' << mode.height << 'x' << mode.bitsPerPixel << '@'
             << mode.frequency;
}

inline std::unique_ptr<TMode> NewMode(const ModeValues& values) {
  return std::make_unique<TMode>(values.width, values.height, values.bitsPerPixel,
                                 values.frequency);
}

inline ModeValues ValuesOf(const TMode& mode) {
  return {mode.Width, mode.Height, mode.BitsPerPixel, mode.Frequency};
}

inline void AddModes(TObjectList& list, const std::vector<ModeValues>& modes) {
  for (const ModeValues& mode : modes) list.Add(NewMode(mode));
}

// The modes of a list in order; an entry that is not a mode is left out.
inline std::vector<ModeValues> ValuesOf(const TObjectList& list) {
  std::vector<ModeValues> values;
  for (int i = 0; i < list.Count(); ++i) {
    if (const auto* mode = dynamic_cast<const TMode*>(list.Items(i))) {
      values.push_back(ValuesOf(*mode));
    }
  }
  return values;
}
