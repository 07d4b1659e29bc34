#include "display/adapter_enumeration.h"

#include <cstring>

#include "display/adapter.h"
#include "display/display.h"
#include "platform/platform.h"
#include "process/log.h"
#include "process/process_state.h"

namespace {

void Reset(DISPLAY_DEVICEA& device) {
  std::memset(&device, 0, sizeof device);
  device.cb = sizeof device;
}

void Reset(DEVMODEA& mode) {
  std::memset(&mode, 0, sizeof mode);
  mode.dmSize = sizeof mode;
}

}  // namespace

void EnumerateAdapters(TStringList* adapters) {
  if (adapters == nullptr) {
    LogFault(663, "Null adapters pointer");
    return;
  }
  adapters->Clear();
  DISPLAY_DEVICEA device;
  Reset(device);
  for (DWORD index = 0; Win32().EnumDisplayDevicesA(nullptr, index, &device, 0); ++index) {
    if ((device.StateFlags & DISPLAY_DEVICE_MIRRORING_DRIVER) == 0) {
      // In the list before it is filled, so that a fault raised while its
      // monitors are built still leaves it to FreeAdapters.
      std::unique_ptr<TAdapter> owned(new TAdapter(device));
      TAdapter* adapter = owned.get();
      adapters->AddObject(adapter->DeviceName, adapter);
      owned.release();
      const char* name = adapter->DeviceName.c_str();
      if (DebugMode) EnumerateModes(name, &adapter->RawModes, EDS_RAWMODE);
      EnumerateModes(name, &adapter->Modes, 0);
      adapter->CurrentMode = ReadMode(name, ENUM_CURRENT_SETTINGS);
      adapter->RegistryMode = ReadMode(name, ENUM_REGISTRY_SETTINGS);
      EnumerateMonitors(name, &adapter->Monitors);
    }
    Reset(device);
  }
}

void EnumerateModes(LPCSTR deviceName, TObjectList* modes, DWORD flags) {
  if (modes == nullptr) {
    LogFault(633, "Null modes pointer");
    return;
  }
  DEVMODEA mode;
  Reset(mode);
  for (DWORD number = 0; Win32().EnumDisplaySettingsExA(deviceName, number, &mode, flags);
       ++number) {
    modes->Add(ModeFromDevMode(mode));
    Reset(mode);
  }
}

std::unique_ptr<TMode> ReadMode(LPCSTR deviceName, DWORD modeNumber) {
  DEVMODEA mode;
  Reset(mode);
  if (!Win32().EnumDisplaySettingsA(deviceName, modeNumber, &mode)) return nullptr;
  return ModeFromDevMode(mode);
}

void EnumerateMonitors(LPCSTR deviceName, TStringList* monitors) {
  if (monitors == nullptr) {
    LogFault(733, "Null monitors pointer");
    return;
  }
  monitors->Clear();
  DISPLAY_DEVICEA device;
  Reset(device);
  for (DWORD index = 0; Win32().EnumDisplayDevicesA(deviceName, index, &device, 0); ++index) {
    if (device.StateFlags & DISPLAY_DEVICE_ACTIVE) {
      std::unique_ptr<TDisplay> monitor(new TDisplay(device));
      monitors->AddObject(monitor->DeviceString, monitor.get());
      monitor.release();
    }
    Reset(device);
  }
}

void FreeAdapters(std::unique_ptr<TStringList> adapters) {
  if (adapters == nullptr) {
    LogFault(604, "Null adapter pointer");
    return;
  }
  FreeObjects<TAdapter>(*adapters);
}
