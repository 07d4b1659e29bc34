// TAdapter: one display device with its modes, its current and registry
// modes, and its active monitors.
#pragma once

#include <memory>
#include <string>

#include "base/objects.h"
#include "display/display.h"
#include "display/mode.h"
#include "platform/win32_types.h"

class TAdapter : public TObject {
 public:
  // Copies the device's texts and flags; the lists start empty.
  explicit TAdapter(const DISPLAY_DEVICEA& device);
  ~TAdapter() override;

  std::unique_ptr<TMode> CurrentMode;
  std::string DeviceString;
  DWORD StateFlags;
  std::string DeviceID;
  TObjectList RawModes;
  // Text: the monitor's DeviceString; object: its TDisplay, owned here.
  TStringList Monitors;
  std::string DeviceName;
  TObjectList Modes;
  std::unique_ptr<TMode> RegistryMode;
  std::string DeviceKey;
};

// The adapter's monitor: the TDisplay of the first entry of its monitor
// list, or null when it has none.
TDisplay* MonitorOf(const TAdapter& adapter);
