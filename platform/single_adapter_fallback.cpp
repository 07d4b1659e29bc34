#include "platform/single_adapter_fallback.h"

#include <cstring>

BOOL SingleAdapterFallback(LPCSTR lpDevice, DWORD iDevNum, PDISPLAY_DEVICEA lpDisplayDevice,
                           DWORD) {
  if (lpDevice != nullptr || iDevNum != 0 || lpDisplayDevice == nullptr) return FALSE;
  DWORD size = lpDisplayDevice->cb;
  std::memset(lpDisplayDevice, 0, sizeof *lpDisplayDevice);
  lpDisplayDevice->cb = size;
  std::strcpy(lpDisplayDevice->DeviceName, "DISPLAY");
  std::strcpy(lpDisplayDevice->DeviceString, "DISPLAY");
  lpDisplayDevice->StateFlags = DISPLAY_DEVICE_ATTACHED_TO_DESKTOP | DISPLAY_DEVICE_PRIMARY_DEVICE;
  return TRUE;
}
