#include "platform/registry.h"

#include <cstring>

#include "base/errors.h"
#include "platform/platform.h"
#include "platform/subkey_name_buffer.h"

namespace {

bool IsFromRoot(const std::string& path) { return !path.empty() && path[0] == '\\'; }

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
  return RemoveKey(BaseKey(path), CallPath(path));
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

std::optional<std::string> RegistryAccessor::ReadStringIfAny(const std::string& name) {
  DWORD type = 0;
  DWORD size = 0;
  if (!QueryValue(name, type, size) || type != REG_SZ) return std::nullopt;
  std::vector<char> data(size + 1);
  DWORD read = size;
  if (Win32().RegQueryValueExA(currentKey_, name.c_str(), nullptr, &type,
                               reinterpret_cast<BYTE*>(data.data()), &read) != ERROR_SUCCESS ||
      type != REG_SZ)
    return std::nullopt;
  return std::string(data.data(), strnlen(data.data(), read < size ? read : size));
}
