// Prints the primary display's current mode as WIDTHxHEIGHTxBITS@HZ, so the
// Wine tests read the mode back from Wine itself, not from Kestrave's log.
#include <windows.h>

#include <cstdio>

int main() {
  DEVMODEA mode = {};
  mode.dmSize = sizeof mode;
  if (!EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode)) return 1;
  std::printf("%lux%lux%lu@%lu\n", static_cast<unsigned long>(mode.dmPelsWidth),
              static_cast<unsigned long>(mode.dmPelsHeight),
              static_cast<unsigned long>(mode.dmBitsPerPel),
              static_cast<unsigned long>(mode.dmDisplayFrequency));
  return 0;
}
