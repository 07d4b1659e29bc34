// The start-up checks of the entry point.
#pragma once

#include <string>

#include "platform/win32_types.h"

// True on Windows 2000 (5.0) and later.
bool IsSupportedWindows();

// True when no device installation is pending (or the system refused to
// say), after waiting up to timeout milliseconds for pending ones.
bool WaitForDeviceInstallation(DWORD timeout);

// The system's text for an error code, without the line break, spaces and
// full stops it ends with; empty when the system has none.
std::string SystemMessage(DWORD error);
