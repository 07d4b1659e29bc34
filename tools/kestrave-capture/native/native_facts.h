// What the capture learns from Windows itself rather than through the
// program's calls: the version, the code page, the user.
#pragma once

#include "tools/kestrave-capture/machine_capture.h"

// Raises CaptureError when the user's SID cannot be read.
CaptureFacts ReadNativeFacts();
