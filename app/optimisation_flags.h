// The per-user flags that say a display was optimised: one key per adapter
// and monitor under HKEY_CURRENT_USER\Software\Calvorne\Kestrave, one value
// per resolution and depth the program set, holding the refresh rate.
#pragma once

#include <string>

#include "display/adapter.h"
#include "display/mode.h"

// The text after the last "}" but one: the instance number of a key that
// ends in a class identifier, a backslash and the instance.
std::string DeviceKeyTail(const std::string& deviceKey);

// SoftwareKeyPath followed by the display's flag key name; empty on failure.
std::string FlagKeyPath(const TAdapter* adapter);

// True when the program set this display, for this user, to the resolution
// and depth it runs in now. optimisedBefore: whether the flag key exists.
bool IsPreviouslyOptimised(const TAdapter* adapter, bool& optimisedBefore);

void RecordOptimised(const TAdapter* adapter, const TMode* mode);
