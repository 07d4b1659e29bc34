// The start-up checks of the entry point.
#pragma once

#include "platform/win32_types.h"

// True on Windows 2000 (5.0) and later.
bool IsSupportedWindows();

// True when no device installation is pending (or the system refused to
// say), after waiting up to timeout milliseconds for pending ones.
bool WaitForDeviceInstallation(DWORD timeout);
