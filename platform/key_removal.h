// The deletion of a key with everything below it, safe from registry links
// that whoever owns a hive can make in it.
#pragma once

#include <string>

#include "platform/win32_types.h"

// What a deletion found and left.
enum class KeyRemoval {
  Absent,   // there was nothing to delete
  Removed,  // it was there and is gone
  Left,     // it is still there, or could not be shown to be gone
};

// Deletes the key at path below base (names separated by backslashes) with
// everything below it. The walk opens one key at a time, below its parent's
// handle and as itself (REG_OPTION_OPEN_LINK), the keys below the one to
// delete by the names the registry lists in UTF-16, and deletes each key
// through the handle it checked. A key on the way down that is a link, or that
// cannot be opened as itself, is left with everything above it. Below the
// way down every key is the deletion's own, a link too: a link is deleted
// itself, never what it leads to.
KeyRemoval RemoveKey(HKEY base, const std::string& path);
