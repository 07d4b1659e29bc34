#include "display/adapter.h"

#include "base/fixed_text.h"

TAdapter::TAdapter(const DISPLAY_DEVICEA& device)
    : DeviceString(FixedText(device.DeviceString)),
      StateFlags(device.StateFlags),
      DeviceID(FixedText(device.DeviceID)),
      DeviceName(FixedText(device.DeviceName)),
      DeviceKey(FixedText(device.DeviceKey)) {}

TAdapter::~TAdapter() {
  CurrentMode.reset();
  RawModes.Clear();
  Modes.Clear();
  RegistryMode.reset();
  FreeObjects<TDisplay>(Monitors);
}

TDisplay* MonitorOf(const TAdapter& adapter) {
  if (adapter.Monitors.Count() == 0) return nullptr;
  return dynamic_cast<TDisplay*>(adapter.Monitors.Objects(0));
}
