#include "display/adapter_enumeration.h"

#include "display/adapter.h"
#include "display/display.h"
#include "display/display_records.h"
#include "process/log.h"
#include "process/process_state.h"

void EnumerateAdapters(TStringList* adapters) {
  if (adapters == nullptr) {
    LogFault(663, "Null adapters pointer");
    return;
  }
  adapters->Clear();
  ForEachDisplayDevice(nullptr, [adapters](const DISPLAY_DEVICEA& device) {
    if (device.StateFlags & DISPLAY_DEVICE_MIRRORING_DRIVER) return;
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
  });
}

void EnumerateModes(LPCSTR deviceName, TObjectList* modes, DWORD flags) {
  if (modes == nullptr) {
    LogFault(633, "Null modes pointer");
    return;
  }
  ForEachMode(deviceName, flags,
              [modes](const DEVMODEA& mode) { modes->Add(ModeFromDevMode(mode)); });
}

std::unique_ptr<TMode> ReadMode(LPCSTR deviceName, DWORD modeNumber) {
  DEVMODEA mode;
  if (!ReadModeRecord(deviceName, modeNumber, mode)) return nullptr;
  return ModeFromDevMode(mode);
}

void EnumerateMonitors(LPCSTR deviceName, TStringList* monitors) {
  if (monitors == nullptr) {
    LogFault(733, "Null monitors pointer");
    return;
  }
  monitors->Clear();
  ForEachDisplayDevice(deviceName, [monitors](const DISPLAY_DEVICEA& device) {
    if ((device.StateFlags & DISPLAY_DEVICE_ACTIVE) == 0) return;
    std::unique_ptr<TDisplay> monitor(new TDisplay(device));
    monitors->AddObject(monitor->DeviceString, monitor.get());
    monitor.release();
  });
}

void FreeAdapters(std::unique_ptr<TStringList> adapters) {
  if (adapters == nullptr) {
    LogFault(604, "Null adapter pointer");
    return;
  }
  FreeObjects<TAdapter>(*adapters);
}
