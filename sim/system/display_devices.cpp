#include "sim/system/display_devices.h"

#include <cstring>

#include "platform/single_adapter_fallback.h"
#include "sim/system/sim_constants.h"
#include "sim/system/windows1252_case.h"

namespace {

const DWORD kModeFields =
    DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFLAGS | DM_DISPLAYFREQUENCY;

// A text as long as the array fills it and leaves no terminating zero.
template <size_t size>
void CopyText(CHAR (&target)[size], const std::string& text) {
  std::memset(target, 0, size);
  std::memcpy(target, text.data(), text.size() < size ? text.size() : size);
}

void FillRecord(PDISPLAY_DEVICEA record, const SimDisplayDevice& device,
                const AnsiCodePage& codePage) {
  CopyText(record->DeviceName, codePage.FromMachine(device.deviceName));
  CopyText(record->DeviceString, codePage.FromMachine(device.deviceString));
  record->StateFlags = device.stateFlags;
  CopyText(record->DeviceID, codePage.FromMachine(device.deviceId));
  CopyText(record->DeviceKey, codePage.FromMachine(device.deviceKey));
}

void FillMode(DEVMODEA* record, const SimMode& mode) {
  record->dmSpecVersion = sim::kDevModeSpecVersion;
  record->dmSize = sizeof(DEVMODEA);
  record->dmDriverExtra = 0;
  record->dmFields = kModeFields;
  record->dmPelsWidth = mode.width;
  record->dmPelsHeight = mode.height;
  record->dmBitsPerPel = mode.bitsPerPixel;
  record->dmDisplayFrequency = mode.frequency;
  record->dmDisplayFlags = 0;
}

// The smallest record that reaches dmDisplayFrequency.
const WORD kSmallestDevMode = offsetof(DEVMODEA, dmDisplayFrequency) + sizeof(DWORD);

}  // namespace

SimAdapter* DisplayDevices::FindAdapter(LPCSTR device) const {
  // No name means the primary display device.
  for (SimAdapter& adapter : adapters_) {
    if (device == nullptr ? (adapter.device.stateFlags & DISPLAY_DEVICE_PRIMARY_DEVICE) != 0
                          : EqualNoCase(adapter.device.deviceName, device))
      return &adapter;
  }
  return nullptr;
}

BOOL DisplayDevices::EnumDevices(LPCSTR device, DWORD index, PDISPLAY_DEVICEA record, DWORD flags,
                                 std::optional<DWORD>& error) const {
  if (!multipleMonitorApi_) return SingleAdapterFallback(device, index, record, flags);
  if (record == nullptr || record->cb != sizeof(DISPLAY_DEVICEA)) {
    error = ERROR_INVALID_PARAMETER;
    return FALSE;
  }
  if (device == nullptr) {
    if (index >= adapters_.size()) return FALSE;
    FillRecord(record, adapters_[index].device, codePage_);
    return TRUE;
  }
  const SimAdapter* adapter = FindAdapter(device);
  if (adapter == nullptr || index >= adapter->monitors.size()) return FALSE;
  FillRecord(record, adapter->monitors[index], codePage_);
  return TRUE;
}

BOOL DisplayDevices::EnumSettings(LPCSTR device, DWORD modeNumber, DEVMODEA* record, DWORD flags,
                                  SimMode& read, std::optional<DWORD>& error) const {
  if (record == nullptr) {
    error = ERROR_INVALID_PARAMETER;
    return FALSE;
  }
  const SimAdapter* adapter = FindAdapter(device);
  if (adapter == nullptr) return FALSE;
  const std::optional<SimMode>* special = nullptr;
  if (modeNumber == ENUM_CURRENT_SETTINGS) special = &adapter->current;
  if (modeNumber == ENUM_REGISTRY_SETTINGS) special = &adapter->registry;
  if (special != nullptr) {
    if (!*special) return FALSE;
    read = **special;
  } else {
    const std::vector<SimMode>& modes =
        (flags & EDS_RAWMODE) != 0 && adapter->rawModes ? *adapter->rawModes : adapter->modes;
    if (modeNumber >= modes.size()) return FALSE;
    read = modes[modeNumber];
  }
  FillMode(record, read);
  return TRUE;
}

LONG DisplayDevices::ChangeResult(const SimAdapter& adapter, const SimMode& mode) {
  for (const auto& entry : adapter.changeResults)
    if (entry.first == mode) return entry.second;
  if (adapter.defaultChangeResult) return *adapter.defaultChangeResult;
  for (const SimMode& listed : adapter.modes)
    if (listed == mode) return DISP_CHANGE_SUCCESSFUL;
  return DISP_CHANGE_BADMODE;
}

LONG DisplayDevices::ChangeSettings(LPCSTR device, const DEVMODEA* record, DWORD flags) {
  SimAdapter* adapter = FindAdapter(device);
  if (adapter == nullptr) return DISP_CHANGE_BADPARAM;
  if ((flags & CDS_GLOBAL) != 0 && (flags & CDS_UPDATEREGISTRY) == 0) return DISP_CHANGE_BADFLAGS;
  SimMode requested;
  // No record means back to the registry mode.
  if (record == nullptr) {
    if (!adapter->registry) return DISP_CHANGE_FAILED;
    requested = *adapter->registry;
  } else {
    if (record->dmSize < kSmallestDevMode) return DISP_CHANGE_BADPARAM;
    // What the record leaves out stays as it is now.
    requested = adapter->current.value_or(SimMode());
    if (record->dmFields & DM_PELSWIDTH) requested.width = record->dmPelsWidth;
    if (record->dmFields & DM_PELSHEIGHT) requested.height = record->dmPelsHeight;
    if (record->dmFields & DM_BITSPERPEL) requested.bitsPerPixel = record->dmBitsPerPel;
    if (record->dmFields & DM_DISPLAYFREQUENCY) requested.frequency = record->dmDisplayFrequency;
  }
  LONG result = ChangeResult(*adapter, requested);
  if (result == DISP_CHANGE_SUCCESSFUL) {
    adapter->current = requested;
    if ((flags & CDS_UPDATEREGISTRY) != 0) adapter->registry = requested;
  } else if (result == DISP_CHANGE_RESTART) {
    adapter->registry = requested;
  }
  return result;
}
