#include "platform/registry.h"

#include "base/errors.h"
#include "platform/platform.h"

namespace {

bool IsFromRoot(const std::string& path) { return !path.empty() && path[0] == '\\'; }

// RegQueryInfoKeyA counts the longest subkey name in UTF-16 characters, but
// RegEnumKeyExA gives names in the ANSI code page, where a character takes
// up to two bytes (932, 936, 949, 950): a buffer of the count alone would
// refuse such names with ERROR_MORE_DATA.
std::vector<char> SubkeyNameBuffer(DWORD longestName) {
  return std::vector<char>(2 * static_cast<size_t>(longestName) + 1);
}

}  // namespace

RegistryAccessor::RegistryAccessor(REGSAM access) : access_(access) {}

RegistryAccessor::~RegistryAccessor() { CloseKey(); }

void RegistryAccessor::SetRootKey(HKEY root) {
  CloseKey();
  rootKey_ = root;
}

HKEY RegistryAccessor::BaseKey(const std::string& path) const {
  if (IsFromRoot(path) || currentKey_ == nullptr) return rootKey_;
  return currentKey_;
}

std::string RegistryAccessor::CallPath(const std::string& path) {
  return IsFromRoot(path) ? path.substr(1) : path;
}

void RegistryAccessor::ChangeKey(HKEY key) {
  CloseKey();
  currentKey_ = key;
}

bool RegistryAccessor::OpenKey(const std::string& path, bool canCreate) {
  HKEY base = BaseKey(path);
  std::string subKey = CallPath(path);
  HKEY key = nullptr;
  LONG result;
  if (canCreate) {
    DWORD disposition = 0;
    result = Win32().RegCreateKeyExA(base, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                     access_, nullptr, &key, &disposition);
  } else {
    result = Win32().RegOpenKeyExA(base, subKey.c_str(), 0, access_, &key);
  }
  ChangeKey(result == ERROR_SUCCESS ? key : nullptr);
  return result == ERROR_SUCCESS;
}

const REGSAM kReadOnlyAccess[3] = {
    KEY_READ, STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS, KEY_QUERY_VALUE};

bool RegistryAccessor::OpenKeyReadOnly(const std::string& path) {
  HKEY base = BaseKey(path);
  std::string subKey = CallPath(path);
  for (REGSAM access : kReadOnlyAccess) {
    HKEY key = nullptr;
    if (Win32().RegOpenKeyExA(base, subKey.c_str(), 0, access, &key) == ERROR_SUCCESS) {
      access_ = access;
      ChangeKey(key);
      return true;
    }
  }
  ChangeKey(nullptr);
  return false;
}

void RegistryAccessor::CloseKey() {
  if (currentKey_ == nullptr) return;
  Win32().RegCloseKey(currentKey_);
  currentKey_ = nullptr;
}

void RegistryAccessor::WriteString(const std::string& name, const std::string& value) {
  LONG result = Win32().RegSetValueExA(currentKey_, name.c_str(), 0, REG_SZ,
                                       reinterpret_cast<const BYTE*>(value.c_str()),
                                       static_cast<DWORD>(value.size() + 1));
  if (result != ERROR_SUCCESS) RaiseRegistryError("Failed to set data for '" + name + "'");
}

bool RegistryAccessor::DeleteValue(const std::string& name) {
  return Win32().RegDeleteValueA(currentKey_, name.c_str()) == ERROR_SUCCESS;
}

KeyRemoval RegistryAccessor::DeleteKey(const std::string& path) {
  LONG status = DeleteKeyFrom(BaseKey(path), CallPath(path), 0);
  if (status == ERROR_SUCCESS) return KeyRemoval::Removed;
  return status == ERROR_FILE_NOT_FOUND ? KeyRemoval::Absent : KeyRemoval::Left;
}

LONG RegistryAccessor::DeleteKeyFrom(HKEY base, const std::string& path, int depth) {
  // Windows nests keys at most this deep; a deeper walk is not a real tree.
  const int kMaxDepth = 512;
  if (depth > kMaxDepth) return ERROR_ACCESS_DENIED;
  // A key with subkeys cannot be deleted, so the subkeys go first, from the
  // last index down, so that the indices still to visit stay valid.
  HKEY key = nullptr;
  if (Win32().RegOpenKeyExA(base, path.c_str(), REG_OPTION_OPEN_LINK, access_, &key) ==
      ERROR_SUCCESS) {
    // Windows follows a registry link wherever a path leads through one: a
    // link any user can make in their own hive would have the deletion
    // empty the tree it points at, or, pointing at its own parent, recurse
    // without end. A link is opened as itself, and neither entered nor
    // deleted; the key above it then stays too.
    if (MayBeLink(key)) {
      Win32().RegCloseKey(key);
      return ERROR_ACCESS_DENIED;
    }
    DWORD subKeys = 0;
    DWORD longestName = 0;
    if (Win32().RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, &longestName, nullptr,
                                 nullptr, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
      std::vector<char> name = SubkeyNameBuffer(longestName);
      for (DWORD index = subKeys; index-- > 0;) {
        DWORD length = static_cast<DWORD>(name.size());
        if (Win32().RegEnumKeyExA(key, index, name.data(), &length, nullptr, nullptr, nullptr,
                                  nullptr) == ERROR_SUCCESS)
          DeleteKeyFrom(key, std::string(name.data(), length), depth + 1);
      }
    }
    Win32().RegCloseKey(key);
  }
  return Win32().RegDeleteKeyA(base, path.c_str());
}

bool RegistryAccessor::MayBeLink(HKEY key) {
  // Only a value that is certainly missing, or not of the link type, shows
  // a key that is no link.
  DWORD type = 0;
  DWORD size = 0;
  LONG result =
      Win32().RegQueryValueExA(key, "SymbolicLinkValue", nullptr, &type, nullptr, &size);
  if (result == ERROR_FILE_NOT_FOUND) return false;
  return result != ERROR_SUCCESS || type == REG_LINK;
}

bool RegistryAccessor::ValueMayExist(const std::string& path, const std::string& name) {
  HKEY key = nullptr;
  LONG status =
      Win32().RegOpenKeyExA(BaseKey(path), CallPath(path).c_str(), 0, KEY_QUERY_VALUE, &key);
  if (status != ERROR_SUCCESS) return status != ERROR_FILE_NOT_FOUND;
  DWORD type = 0;
  DWORD size = 0;
  status = Win32().RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size);
  Win32().RegCloseKey(key);
  return status != ERROR_FILE_NOT_FOUND;
}

bool RegistryAccessor::KeyExists(const std::string& path) {
  HKEY key = nullptr;
  if (Win32().RegOpenKeyExA(BaseKey(path), CallPath(path).c_str(), 0,
                            STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS,
                            &key) != ERROR_SUCCESS)
    return false;
  Win32().RegCloseKey(key);
  return true;
}

bool RegistryAccessor::QueryValue(const std::string& name, DWORD& type, DWORD& size) {
  return Win32().RegQueryValueExA(currentKey_, name.c_str(), nullptr, &type, nullptr, &size) ==
         ERROR_SUCCESS;
}

bool RegistryAccessor::ValueExists(const std::string& name) {
  DWORD type = 0;
  DWORD size = 0;
  return QueryValue(name, type, size);
}

bool RegistryAccessor::GetKeyNames(TStringList& names) {
  names.Clear();
  DWORD subKeys = 0;
  DWORD longestName = 0;
  if (Win32().RegQueryInfoKeyA(currentKey_, nullptr, nullptr, nullptr, &subKeys, &longestName,
                               nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr) != ERROR_SUCCESS)
    return false;
  std::vector<char> name = SubkeyNameBuffer(longestName);
  bool all = true;
  for (DWORD index = 0; index < subKeys; ++index) {
    DWORD length = static_cast<DWORD>(name.size());
    if (Win32().RegEnumKeyExA(currentKey_, index, name.data(), &length, nullptr, nullptr, nullptr,
                              nullptr) == ERROR_SUCCESS)
      names.Add(std::string(name.data(), length));
    else
      all = false;
  }
  return all;
}

long RegistryAccessor::GetDataSize(const std::string& name) {
  DWORD type = 0;
  DWORD size = 0;
  return QueryValue(name, type, size) ? static_cast<long>(size) : -1;
}

std::vector<BYTE> RegistryAccessor::ReadBinaryData(const std::string& name) {
  DWORD type = 0;
  DWORD size = 0;
  if (!QueryValue(name, type, size)) RaiseRegistryError("Failed to get data for '" + name + "'");
  if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_DWORD)
    RaiseRegistryError("Invalid data type for '" + name + "'");
  std::vector<BYTE> data(size);
  DWORD read = size;
  if (Win32().RegQueryValueExA(currentKey_, name.c_str(), nullptr, &type,
                               data.empty() ? nullptr : data.data(), &read) != ERROR_SUCCESS)
    RaiseRegistryError("Failed to get data for '" + name + "'");
  data.resize(read < size ? read : size);
  return data;
}
