#include "platform/key_removal.h"

#include <vector>

#include "base/backslash_names.h"
#include "platform/platform.h"

namespace {

// What the walk asks for, and no more: on the way down it only tells links
// from keys; the key to delete and the keys below it are also listed and
// deleted.
const REGSAM kCheckAccess = KEY_QUERY_VALUE;
const REGSAM kRemovalAccess = KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | DELETE;

const LONG kStatusSuccess = 0;

// Windows nests keys at most this deep; a deeper walk is not a real tree.
const int kMaxDepth = 512;

// A key of the walk, opened as itself below its parent's handle: Windows
// follows a link in any other part of a path, and in the last part too
// without REG_OPTION_OPEN_LINK.
class WalkedKey {
 public:
  // By a name of the path to delete.
  WalkedKey(HKEY parent, const std::string& name, REGSAM access)
      : status_(Win32().RegOpenKeyExA(parent, name.c_str(), REG_OPTION_OPEN_LINK, access, &key_)) {}
  // By a name the registry listed: in UTF-16, as it is there. In the ANSI
  // code page a character it lacks may come back as a backslash (U+FF3C
  // under 1252, U+00A5 under 932), and the name then is a path whose first
  // part may be a link to anywhere.
  WalkedKey(HKEY parent, const std::vector<WCHAR>& name, REGSAM access)
      : status_(Win32().RegOpenKeyExW(parent, name.data(), REG_OPTION_OPEN_LINK, access, &key_)) {}
  ~WalkedKey() {
    if (status_ == ERROR_SUCCESS) Win32().RegCloseKey(key_);
  }
  WalkedKey(const WalkedKey&) = delete;
  WalkedKey& operator=(const WalkedKey&) = delete;

  LONG Status() const { return status_; }
  HKEY Key() const { return key_; }

 private:
  HKEY key_ = nullptr;
  LONG status_;
};

// Whether an open key is, or cannot be shown not to be, a registry link:
// only a value that is certainly missing, or not of the link type, shows a
// key that is no link.
bool MayBeLink(HKEY key) {
  DWORD type = 0;
  DWORD size = 0;
  LONG result = Win32().RegQueryValueExA(key, "SymbolicLinkValue", nullptr, &type, nullptr, &size);
  if (result == ERROR_FILE_NOT_FOUND) return false;
  return result != ERROR_SUCCESS || type == REG_LINK;
}

bool DeleteTree(HKEY key, int depth);

// The subkeys go from the last index down, so that the indices still to
// visit stay valid. One that is not deleted keeps its parent too.
void DeleteSubkeys(HKEY key, int depth) {
  if (depth >= kMaxDepth) return;
  DWORD subKeys = 0;
  DWORD longestName = 0;
  if (Win32().RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, &longestName, nullptr,
                               nullptr, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
    return;
  // The longest name is counted in UTF-16 units, without its zero.
  std::vector<WCHAR> name(static_cast<size_t>(longestName) + 1);
  for (DWORD index = subKeys; index-- > 0;) {
    DWORD length = static_cast<DWORD>(name.size());
    if (Win32().RegEnumKeyExW(key, index, name.data(), &length, nullptr, nullptr, nullptr,
                              nullptr) != ERROR_SUCCESS)
      continue;
    WalkedKey subkey(key, name, kRemovalAccess);
    if (subkey.Status() == ERROR_SUCCESS) DeleteTree(subkey.Key(), depth + 1);
  }
}

// Deletes the key through its own handle, after what lies below it: a link
// has nothing below it of its own, and is not entered.
bool DeleteTree(HKEY key, int depth) {
  if (!MayBeLink(key)) DeleteSubkeys(key, depth);
  return Win32().NtDeleteKey(key) == kStatusSuccess;
}

KeyRemoval RemoveFrom(HKEY parent, const std::vector<std::string>& names, size_t index) {
  bool last = index + 1 == names.size();
  WalkedKey key(parent, names[index], last ? kRemovalAccess : kCheckAccess);
  if (key.Status() == ERROR_FILE_NOT_FOUND) return KeyRemoval::Absent;
  if (key.Status() != ERROR_SUCCESS) return KeyRemoval::Left;
  if (last) return DeleteTree(key.Key(), 0) ? KeyRemoval::Removed : KeyRemoval::Left;
  // A link on the way down leads somewhere that is not the deletion's.
  if (MayBeLink(key.Key())) return KeyRemoval::Left;
  return RemoveFrom(key.Key(), names, index + 1);
}

}  // namespace

KeyRemoval RemoveKey(HKEY base, const std::string& path) {
  std::vector<std::string> names = BackslashNames(path);
  // The root itself is no key of the deletion's.
  if (names.empty()) return KeyRemoval::Left;
  return RemoveFrom(base, names, 0);
}
