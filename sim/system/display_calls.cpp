// The display calls of SimPlatform.
#include "base/fixed_text.h"
#include "sim/system/sim_platform.h"
#include "sim/system/trace_text.h"

namespace {

std::string RecordArgument(const DISPLAY_DEVICEA* record) {
  return record == nullptr ? "NULL" : "{cb=" + std::to_string(record->cb) + "}";
}

// The record's texts may fill their arrays without a terminating zero.
template <size_t N>
std::string TraceText(const char (&text)[N]) {
  std::string shown = FixedText(text);
  return TraceBytes(shown.data(), shown.size());
}

std::string DeviceOut(const DISPLAY_DEVICEA& record) {
  return TraceText(record.DeviceName) + ", " + TraceText(record.DeviceString) + ", " +
         TraceHex(record.StateFlags) + ", " + TraceText(record.DeviceID) + ", " +
         TraceText(record.DeviceKey);
}

std::string ModeNumber(DWORD number) {
  if (number == ENUM_CURRENT_SETTINGS) return "ENUM_CURRENT_SETTINGS";
  if (number == ENUM_REGISTRY_SETTINGS) return "ENUM_REGISTRY_SETTINGS";
  return std::to_string(number);
}

std::string DevModeArgument(const DEVMODEA* record) {
  return record == nullptr ? "NULL" : "{dmSize=" + std::to_string(record->dmSize) + "}";
}

std::string RequestedMode(const DEVMODEA* record) {
  if (record == nullptr) return "NULL";
  SimMode mode{record->dmPelsWidth, record->dmPelsHeight, record->dmBitsPerPel,
               record->dmDisplayFrequency};
  return "{" + ModeText(mode) + " dmFields=" + TraceHex(record->dmFields) + "}";
}

BOOL EnumSettingsCall(CallRecord& call, const DisplayDevices& displays, LPCSTR device,
                      DWORD modeNumber, DEVMODEA* record, DWORD flags) {
  if (call.Faulted()) return call.ReturnFault(FALSE, "FALSE");
  SimMode read;
  std::optional<DWORD> error;
  BOOL found = displays.EnumSettings(device, modeNumber, record, flags, read, error);
  call.SetLastError(error);
  return call.Return(found, TraceBool(found),
                     [&] { return found ? ModeText(read) : std::string(); });
}

}  // namespace

BOOL SimPlatform::EnumDisplayDevicesA(LPCSTR lpDevice, DWORD iDevNum,
                                      PDISPLAY_DEVICEA lpDisplayDevice, DWORD dwFlags) {
  CallRecord call(context_, "EnumDisplayDevicesA", [&] {
    return TraceString(lpDevice) + ", " + std::to_string(iDevNum) + ", " +
           RecordArgument(lpDisplayDevice) + ", " + TraceHex(dwFlags);
  });
  if (call.Faulted()) return call.ReturnFault(FALSE, "FALSE");
  std::optional<DWORD> error;
  BOOL found = displays_.EnumDevices(lpDevice, iDevNum, lpDisplayDevice, dwFlags, error);
  call.SetLastError(error);
  return call.Return(found, TraceBool(found),
                     [&] { return found ? DeviceOut(*lpDisplayDevice) : std::string(); });
}

BOOL SimPlatform::EnumDisplaySettingsA(LPCSTR lpszDeviceName, DWORD iModeNum, DEVMODEA* lpDevMode) {
  CallRecord call(context_, "EnumDisplaySettingsA", [&] {
    return TraceString(lpszDeviceName) + ", " + ModeNumber(iModeNum) + ", " +
           DevModeArgument(lpDevMode);
  });
  return EnumSettingsCall(call, displays_, lpszDeviceName, iModeNum, lpDevMode, 0);
}

BOOL SimPlatform::EnumDisplaySettingsExA(LPCSTR lpszDeviceName, DWORD iModeNum, DEVMODEA* lpDevMode,
                                         DWORD dwFlags) {
  CallRecord call(context_, "EnumDisplaySettingsExA", [&] {
    return TraceString(lpszDeviceName) + ", " + ModeNumber(iModeNum) + ", " +
           DevModeArgument(lpDevMode) + ", " + TraceHex(dwFlags);
  });
  return EnumSettingsCall(call, displays_, lpszDeviceName, iModeNum, lpDevMode, dwFlags);
}

LONG SimPlatform::ChangeDisplaySettingsExA(LPCSTR lpszDeviceName, DEVMODEA* lpDevMode, HWND hwnd,
                                           DWORD dwflags, LPVOID lParam) {
  CallRecord call(context_, "ChangeDisplaySettingsExA", [&] {
    return TraceString(lpszDeviceName) + ", " + RequestedMode(lpDevMode) + ", " +
           TraceHandle(hwnd) + ", " + TraceHex(dwflags) + ", " + TracePointer(lParam);
  });
  if (call.Faulted()) return call.ReturnStatus(call.FaultStatus());
  return call.ReturnStatus(displays_.ChangeSettings(lpszDeviceName, lpDevMode, dwflags));
}
