// TDisplay: one active monitor of an adapter, with its registry key, its
// EDID block and the modes the block gives. Everything is found while the
// monitor is built; nothing changes it afterwards.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/objects.h"
#include "display/mode.h"
#include "platform/registry.h"
#include "platform/win32_types.h"

class TDisplay : public TObject {
 public:
  // Raises TextError (or, from the registry and the lists, ProgramError)
  // when the monitor's registry keys cannot be found.
  explicit TDisplay(const DISPLAY_DEVICEA& device);
  ~TDisplay() override = default;

  std::string DeviceString;
  // The whole value: the base block and every extension block it counts.
  std::vector<BYTE> Edid;
  DWORD StateFlags;
  // Starts as the device's hardware ID; construction turns it into the path
  // of the monitor's "Device Parameters" key under HKEY_LOCAL_MACHINE.
  std::string HardwareKey;
  std::string DeviceName;
  std::unique_ptr<TMode> PreferredMode;
  TObjectList Presets;
  // The preferred timings of the value's DisplayID extensions, in block order.
  TObjectList DisplayIdPreferredTimings;
  std::string DeviceKey;

  void FindMonitorKey(RegistryAccessor* registry);
  void LoadEdid();
};
