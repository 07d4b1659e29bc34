#include "display/mode.h"

#include <cstring>
#include <iomanip>

std::unique_ptr<TMode> ModeFromDevMode(const DEVMODEA& devMode) {
  return std::make_unique<TMode>(devMode.dmPelsWidth, devMode.dmPelsHeight, devMode.dmBitsPerPel,
                                 devMode.dmDisplayFrequency);
}

DEVMODEA DevModeFromMode(const TMode& mode) {
  DEVMODEA devMode;
  // memset rather than "{}": the record has unions, and the platform must see
  // every byte that is not set below as zero.
  std::memset(&devMode, 0, sizeof devMode);
  devMode.dmSize = static_cast<WORD>(sizeof devMode);
  devMode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
  devMode.dmPelsWidth = mode.Width;
  devMode.dmPelsHeight = mode.Height;
  devMode.dmBitsPerPel = mode.BitsPerPixel;
  devMode.dmDisplayFrequency = mode.Frequency;
  return devMode;
}

namespace {

bool SameResolution(const TMode& a, const TMode& b) {
  return a.Width == b.Width && a.Height == b.Height;
}

bool DepthsCompatible(const TMode& a, const TMode& b) {
  return a.BitsPerPixel == 0 || b.BitsPerPixel == 0 || a.BitsPerPixel == b.BitsPerPixel;
}

bool FrequenciesClose(const TMode& a, const TMode& b) {
  // Windows reports 0 or 1 for the hardware's default rate; either stands
  // for whatever rate the other mode names.
  if (a.Frequency <= 1 || b.Frequency <= 1) return true;
  // The difference taken modulo 2^32 as a signed number is within 1 exactly
  // when it is 0, 1 or -1; testing that directly avoids abs() of INT32_MIN.
  const DWORD difference = a.Frequency - b.Frequency;
  return difference <= 1 || difference == 0xFFFFFFFFu;
}

}  // namespace

bool Matches(const TMode& a, const TMode& b) {
  return SameResolution(a, b) && DepthsCompatible(a, b) && FrequenciesClose(a, b);
}

bool IsBetterThan(const TMode& a, const TMode& b) {
  return SameResolution(a, b) && DepthsCompatible(a, b) && a.Frequency > b.Frequency;
}

std::ostream& WriteMode(std::ostream& out, const TMode* mode) {
  // A width left pending by the caller must not pad the pieces written here.
  out.width(0);
  if (mode == nullptr) return out << "N/A";
  // The numbers are always decimal and right-aligned, whatever the caller
  // has set; the caller's flags come back afterwards.
  const std::ios_base::fmtflags saved = out.flags();
  out.flags(std::ios_base::dec | std::ios_base::right);
  out << std::setw(4) << mode->Width << 'x' << std::setw(4) << mode->Height << ','
      << std::setw(2) << mode->BitsPerPixel << " bpp @" << std::setw(3) << mode->Frequency
      << " Hz";
  out.flags(saved);
  return out;
}

std::string ValueName(const TMode& mode) {
  return std::to_string(mode.Width) + "x" + std::to_string(mode.Height) + "@" +
         std::to_string(mode.BitsPerPixel);
}
