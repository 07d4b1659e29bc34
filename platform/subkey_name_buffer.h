// The buffer a subkey name is enumerated into.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/win32_types.h"

// RegQueryInfoKeyA counts the longest subkey name in UTF-16 characters, but
// RegEnumKeyExA gives names in the ANSI code page, where a character takes
// up to two bytes (932, 936, 949, 950): a buffer of the count alone would
// refuse such names with ERROR_MORE_DATA.
inline std::vector<char> SubkeyNameBuffer(DWORD longestName) {
  return std::vector<char>(2 * static_cast<size_t>(longestName) + 1);
}
