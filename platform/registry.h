// A thin accessor over the registry calls: a root, at most one open key,
// and the operations the program needs. Paths that begin with a backslash
// are taken from the root (the backslash is dropped before the call); any
// other path from the key opened last, or from the root when none is open.
// Failures to write or read data raise RegistryError; the other operations
// answer true or false.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/objects.h"
#include "platform/key_removal.h"
#include "platform/win32_types.h"

// The access OpenKeyReadOnly asks for, in turn, while it is refused.
extern const REGSAM kReadOnlyAccess[3];

class RegistryAccessor {
 public:
  explicit RegistryAccessor(REGSAM access = KEY_ALL_ACCESS);
  ~RegistryAccessor();
  RegistryAccessor(const RegistryAccessor&) = delete;
  RegistryAccessor& operator=(const RegistryAccessor&) = delete;

  // Closes the open key and makes root the base of later paths.
  void SetRootKey(HKEY root);
  HKEY CurrentKey() const { return currentKey_; }

  // Opens (or, with canCreate, opens or creates) the key; on failure no key
  // is open afterwards.
  bool OpenKey(const std::string& path, bool canCreate);
  // Opens the key for reading, asking for less access each time one is
  // refused: KEY_READ, then the query and enumerate rights, then query only.
  bool OpenKeyReadOnly(const std::string& path);
  void CloseKey();

  void WriteString(const std::string& name, const std::string& value);
  bool DeleteValue(const std::string& name);
  // Deletes the key with everything below it, as RemoveKey does.
  KeyRemoval DeleteKey(const std::string& path);
  // Whether the value may still exist: false only when the key or the
  // value is certainly missing.
  bool ValueMayExist(const std::string& path, const std::string& name);
  bool KeyExists(const std::string& path);
  bool ValueExists(const std::string& name);
  // The names of the open key's subkeys in the registry's order; false when
  // some could not be read.
  bool GetKeyNames(TStringList& names);

  // The size in bytes of a value of the open key, or -1 when it cannot be
  // queried.
  long GetDataSize(const std::string& name);
  // A value read as bytes; raises "Invalid data type for '<name>'" for the
  // string and number types.
  std::vector<BYTE> ReadBinaryData(const std::string& name);
  // A REG_SZ value of the open key, up to its first zero; nothing when it
  // is missing, of another type or cannot be read, none of which raises.
  std::optional<std::string> ReadStringIfAny(const std::string& name);

 private:
  // The key a path is taken from, and the path as passed to the platform.
  HKEY BaseKey(const std::string& path) const;
  static std::string CallPath(const std::string& path);
  bool QueryValue(const std::string& name, DWORD& type, DWORD& size);
  void ChangeKey(HKEY key);

  HKEY rootKey_ = HKEY_CURRENT_USER;
  HKEY currentKey_ = nullptr;
  REGSAM access_;
};
