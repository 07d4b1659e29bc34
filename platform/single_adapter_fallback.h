// Where the multiple-monitor API is missing, the system has one display
// device: the adapter "DISPLAY" at index 0, attached and primary, with no
// monitors.
#pragma once

#include "platform/win32_types.h"

BOOL SingleAdapterFallback(LPCSTR lpDevice, DWORD iDevNum, PDISPLAY_DEVICEA lpDisplayDevice,
                           DWORD dwFlags);
