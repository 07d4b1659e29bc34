// Whether a file opened for writing is a file of its own. In a folder others
// can write to, a name may have been planted as a hard link to another file
// or as a reparse point (a symbolic link) that leads on to one: writing
// through it would change that file.
#pragma once

#include "platform/win32_types.h"

// True when the open file has exactly one name and is no reparse point.
bool IsFileOfItsOwn(HANDLE file);
