// The enumeration loops of the display calls, each record read fresh: the
// one way the program, and the capture that must see what it sees, walk
// the display devices and their modes.
#pragma once

#include <cstring>

#include "platform/platform.h"

inline void ResetRecord(DISPLAY_DEVICEA& device) {
  std::memset(&device, 0, sizeof device);
  device.cb = sizeof device;
}

inline void ResetRecord(DEVMODEA& mode) {
  std::memset(&mode, 0, sizeof mode);
  mode.dmSize = sizeof mode;
}

// Each record EnumDisplayDevicesA gives for parent (null: the adapters,
// else an adapter's monitors), in order.
template <class Visit>
void ForEachDisplayDevice(LPCSTR parent, Visit visit) {
  DISPLAY_DEVICEA device;
  ResetRecord(device);
  for (DWORD index = 0; Win32().EnumDisplayDevicesA(parent, index, &device, 0); ++index) {
    visit(static_cast<const DISPLAY_DEVICEA&>(device));
    ResetRecord(device);
  }
}

// Each mode EnumDisplaySettingsExA gives for the device with these flags.
template <class Visit>
void ForEachMode(LPCSTR deviceName, DWORD flags, Visit visit) {
  DEVMODEA mode;
  ResetRecord(mode);
  for (DWORD number = 0; Win32().EnumDisplaySettingsExA(deviceName, number, &mode, flags);
       ++number) {
    visit(static_cast<const DEVMODEA&>(mode));
    ResetRecord(mode);
  }
}

// The record of ENUM_CURRENT_SETTINGS or ENUM_REGISTRY_SETTINGS; false when
// the call fails.
inline bool ReadModeRecord(LPCSTR deviceName, DWORD modeNumber, DEVMODEA& mode) {
  ResetRecord(mode);
  return Win32().EnumDisplaySettingsA(deviceName, modeNumber, &mode) != 0;
}
