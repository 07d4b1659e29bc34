#include "sim/system/registry_model.h"

#include <cstring>

#include "sim/system/sim_constants.h"
#include "sim/system/utf16_text.h"
#include "sim/system/windows1252_case.h"

namespace {

const REGSAM kWriteAccess =
    KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK | DELETE | WRITE_DAC | WRITE_OWNER;

// Windows refuses a key name longer than this.
const size_t kMaxKeyNameLength = 255;

// The value that makes a key a link, and what Windows answers for a chain
// of links it cannot follow to the end.
const char kSymbolicLinkValue[] = "SymbolicLinkValue";
const LONG kErrorCantResolveFilename = 1921;
const int kMaxLinkHops = 16;

// Splits a sub key path, already in UTF-8, into key names. A leading
// backslash is a syntax error (ERROR_BAD_PATHNAME), as is an empty name
// inside the path; one trailing backslash is accepted. A name too long is
// refused (ERROR_INVALID_PARAMETER).
LONG SplitSubKey(const std::string& subKey, const AnsiCodePage& codePage,
                 std::vector<std::string>& names) {
  names.clear();
  if (subKey.empty()) return ERROR_SUCCESS;
  std::string path(subKey);
  if (path[0] == '\\') return ERROR_BAD_PATHNAME;
  if (path.back() == '\\') path.pop_back();
  size_t start = 0;
  while (true) {
    size_t end = path.find('\\', start);
    std::string name =
        path.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (name.empty()) return ERROR_BAD_PATHNAME;
    if (codePage.Characters(name) > kMaxKeyNameLength) return ERROR_INVALID_PARAMETER;
    names.push_back(name);
    if (end == std::string::npos) return ERROR_SUCCESS;
    start = end + 1;
  }
}

bool IsLink(const RegistryKey& key) {
  const RegistryValue* link = key.FindValue(kSymbolicLinkValue);
  return link != nullptr && link->data.type == REG_LINK;
}

// An enumerated name as RegEnumKeyExA and RegEnumValueA hand it over. The
// length counts the terminating zero on the way in and not on the way out.
bool NameFits(const std::string& text, const DWORD* length) { return text.size() < *length; }

void GiveName(const std::string& text, LPSTR name, LPDWORD length) {
  std::memcpy(name, text.c_str(), text.size() + 1);
  *length = static_cast<DWORD>(text.size());
}

// A value's type and data as RegQueryValueExA and RegEnumValueA hand them
// over: the type and the size are given whenever they are asked for, even
// when the call fails for want of room; the bytes, as stored, only when
// they fit and the rest of the call (an enumerated value's name) does too.
// Neither call converts string data to the code page.
LONG GiveData(const RegistryData& value, bool restFits, LPDWORD type, LPBYTE data, LPDWORD size) {
  const DWORD needed = static_cast<DWORD>(value.bytes.size());
  // Read before anything is written: the type and the size may share one
  // variable.
  const bool fits = restFits && (data == nullptr || *size >= needed);
  if (type != nullptr) *type = value.type;
  if (size != nullptr) *size = needed;
  if (!fits) return ERROR_MORE_DATA;
  if (data != nullptr) std::memcpy(data, value.bytes.data(), needed);
  return ERROR_SUCCESS;
}

}  // namespace

std::string RegistryModel::NameOf(LPCSTR name) const {
  return name == nullptr ? std::string() : codePage_.ToMachine(name);
}

HKEY RegistryModel::NewHandle(std::shared_ptr<RegistryKey> key, REGSAM access) {
  std::uintptr_t value = numbers_.Next();
  handles_[value] = {std::move(key), access};
  return reinterpret_cast<HKEY>(value);
}

LONG RegistryModel::Resolve(HKEY handle, OpenedKey& opened, REGSAM right) {
  if (handle == HKEY_LOCAL_MACHINE) {
    opened = {tree_.Machine(), KEY_ALL_ACCESS};
  } else if (handle == HKEY_USERS) {
    opened = {tree_.Users(), KEY_ALL_ACCESS};
  } else if (handle == HKEY_CURRENT_USER) {
    opened = {tree_.UserHive(), KEY_ALL_ACCESS};
  } else {
    auto found = handles_.find(reinterpret_cast<std::uintptr_t>(handle));
    if (found == handles_.end()) return ERROR_INVALID_HANDLE;
    opened = found->second;
  }
  if (opened.key->IsDeleted()) return ERROR_KEY_DELETED;
  return (opened.access & right) == right ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

std::shared_ptr<RegistryKey> RegistryModel::LinkTarget(const RegistryKey& key, int& hops) {
  // A chain of links this long is given up (a loop among them).
  if (++hops > kMaxLinkHops) return nullptr;
  // The target is a native path in UTF-16: \Registry\Machine\... or
  // \Registry\User\....
  const std::string& bytes = key.FindValue(kSymbolicLinkValue)->data.bytes;
  std::string path;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    unsigned code = static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8;
    path += code < 0x80 ? static_cast<char>(code) : '?';
  }
  std::vector<std::string> names;
  if (path.empty() || path[0] != '\\' ||
      SplitSubKey(path.substr(1), AnsiCodePage(1252, false), names) != ERROR_SUCCESS ||
      names.size() < 2 || !EqualNoCase(names[0], "Registry"))
    return nullptr;
  std::shared_ptr<RegistryKey> found;
  if (EqualNoCase(names[1], "Machine"))
    found = tree_.Machine();
  else if (EqualNoCase(names[1], "User"))
    found = tree_.Users();
  else
    return nullptr;
  for (size_t i = 2; i < names.size() && found; ++i) {
    found = found->FindSubkey(names[i]);
    if (found && IsLink(*found)) found = LinkTarget(*found, hops);
  }
  return found;
}

LONG RegistryModel::Walk(const OpenedKey& base, const std::string& subKey,
                         std::shared_ptr<RegistryKey>& found, std::vector<std::string>& missing,
                         bool openLink) {
  std::vector<std::string> names;
  LONG result = SplitSubKey(subKey, codePage_, names);
  if (result != ERROR_SUCCESS) return result;
  found = base.key;
  missing.clear();
  int hops = 0;
  for (size_t i = 0; i < names.size(); ++i) {
    std::shared_ptr<RegistryKey> next = found->FindSubkey(names[i]);
    bool last = i + 1 == names.size();
    if (next && IsLink(*next) && !(last && openLink)) {
      next = LinkTarget(*next, hops);
      if (!next) return hops > kMaxLinkHops ? kErrorCantResolveFilename : ERROR_FILE_NOT_FOUND;
    }
    if (!next) {
      missing.assign(names.begin() + static_cast<std::ptrdiff_t>(i), names.end());
      return ERROR_FILE_NOT_FOUND;
    }
    found = next;
  }
  return ERROR_SUCCESS;
}

bool RegistryModel::MayChange(const RegistryKey& key) const {
  return admin_ || key.Area() == RegistryArea::OwnHive;
}

bool RegistryModel::MayOpen(const RegistryKey& key, REGSAM access) const {
  if ((access & key.RefusedAccess()) != 0) return false;
  return (access & kWriteAccess) == 0 || MayChange(key);
}

bool RegistryModel::IsRoot(const RegistryKey& key) const {
  return &key == tree_.Machine().get() || &key == tree_.Users().get() ||
         key.Parent() == tree_.Users().get();
}

LONG RegistryModel::OpenKey(HKEY parent, LPCSTR subKey, DWORD options, REGSAM access,
                            HKEY& result) {
  return OpenMachineKey(parent, NameOf(subKey), options, access, result);
}

LONG RegistryModel::OpenKey(HKEY parent, LPCWSTR subKey, DWORD options, REGSAM access,
                            HKEY& result) {
  return OpenMachineKey(parent, subKey == nullptr ? std::string() : Utf8Of(WideText(subKey)),
                        options, access, result);
}

LONG RegistryModel::OpenMachineKey(HKEY parent, const std::string& subKey, DWORD options,
                                   REGSAM access, HKEY& result) {
  result = nullptr;
  OpenedKey base;
  LONG status = Resolve(parent, base);
  if (status != ERROR_SUCCESS) return status;
  std::shared_ptr<RegistryKey> key;
  std::vector<std::string> missing;
  status = Walk(base, subKey, key, missing, (options & REG_OPTION_OPEN_LINK) != 0);
  if (status != ERROR_SUCCESS) return status;
  if (!MayOpen(*key, access)) return ERROR_ACCESS_DENIED;
  result = NewHandle(key, access);
  return ERROR_SUCCESS;
}

LONG RegistryModel::CreateKey(HKEY parent, LPCSTR subKey, REGSAM access, HKEY& result,
                              DWORD& disposition) {
  result = nullptr;
  OpenedKey base;
  LONG status = Resolve(parent, base);
  if (status != ERROR_SUCCESS) return status;
  std::shared_ptr<RegistryKey> key;
  std::vector<std::string> missing;
  status = Walk(base, NameOf(subKey), key, missing);
  if (status == ERROR_FILE_NOT_FOUND) {
    // Creating needs the right to change where the new key goes and, when
    // it goes straight below the handle's key, the handle's create right.
    if (!MayChange(*key)) return ERROR_ACCESS_DENIED;
    if (key == base.key && (base.access & KEY_CREATE_SUB_KEY) == 0) return ERROR_ACCESS_DENIED;
    for (const std::string& name : missing) key = tree_.AddSubkey(*key, name, true);
    tree_.MarkChanged();
    disposition = REG_CREATED_NEW_KEY;
  } else if (status == ERROR_SUCCESS) {
    if (!MayOpen(*key, access)) return ERROR_ACCESS_DENIED;
    disposition = REG_OPENED_EXISTING_KEY;
  } else {
    return status;
  }
  result = NewHandle(key, access);
  return ERROR_SUCCESS;
}

LONG RegistryModel::SetValue(HKEY handle, LPCSTR name, DWORD type, const BYTE* data, DWORD size) {
  OpenedKey opened;
  LONG status = Resolve(handle, opened);
  if (status != ERROR_SUCCESS) return status;
  if ((opened.access & KEY_SET_VALUE) == 0 || !MayChange(*opened.key)) return ERROR_ACCESS_DENIED;
  if (data == nullptr && size != 0) return sim::kErrorNoAccess;
  RegistryData value{type, std::string(reinterpret_cast<const char*>(data), data ? size : 0)};
  opened.key->SetValue(NameOf(name), std::move(value));
  tree_.MarkChanged();
  return ERROR_SUCCESS;
}

LONG RegistryModel::QueryValue(HKEY handle, LPCSTR name, LPDWORD type, LPBYTE data, LPDWORD size) {
  OpenedKey opened;
  LONG status = Resolve(handle, opened, KEY_QUERY_VALUE);
  if (status != ERROR_SUCCESS) return status;
  if (data != nullptr && size == nullptr) return ERROR_INVALID_PARAMETER;
  const RegistryValue* value = opened.key->FindValue(NameOf(name));
  if (value == nullptr) return ERROR_FILE_NOT_FOUND;
  return GiveData(value->data, true, type, data, size);
}

LONG RegistryModel::DeleteValue(HKEY handle, LPCSTR name) {
  OpenedKey opened;
  LONG status = Resolve(handle, opened);
  if (status != ERROR_SUCCESS) return status;
  if ((opened.access & KEY_SET_VALUE) == 0 || !MayChange(*opened.key)) return ERROR_ACCESS_DENIED;
  if (!opened.key->DeleteValue(NameOf(name))) return ERROR_FILE_NOT_FOUND;
  tree_.MarkChanged();
  return ERROR_SUCCESS;
}

LONG RegistryModel::DeleteKey(HKEY handle) {
  // A predefined key is no handle of ntdll's.
  auto found = handles_.find(reinterpret_cast<std::uintptr_t>(handle));
  if (found == handles_.end()) return sim::kStatusInvalidHandle;
  const OpenedKey& opened = found->second;
  if (opened.key->IsDeleted()) return sim::kStatusKeyDeleted;
  if ((opened.access & DELETE) == 0 || !MayChange(*opened.key)) return sim::kStatusAccessDenied;
  // A key that still has subkeys cannot be deleted, nor can a root or a hive.
  if (IsRoot(*opened.key) || !opened.key->Subkeys().empty()) return sim::kStatusCannotDelete;
  opened.key->Parent()->DeleteSubkey(opened.key);
  tree_.MarkChanged();
  return 0;
}

LONG RegistryModel::QueryInfo(HKEY handle, RegistryKeyInfo& info) {
  OpenedKey opened;
  LONG status = Resolve(handle, opened, KEY_QUERY_VALUE);
  if (status != ERROR_SUCCESS) return status;
  info = RegistryKeyInfo();
  for (const auto& subkey : opened.key->Subkeys()) {
    ++info.subkeys;
    DWORD length = static_cast<DWORD>(codePage_.Characters(subkey->Name()));
    if (length > info.longestSubkeyName) info.longestSubkeyName = length;
  }
  for (const RegistryValue& value : opened.key->Values()) {
    ++info.values;
    DWORD length = static_cast<DWORD>(codePage_.Characters(value.name));
    if (length > info.longestValueName) info.longestValueName = length;
    if (value.data.bytes.size() > info.longestValueData)
      info.longestValueData = static_cast<DWORD>(value.data.bytes.size());
  }
  return ERROR_SUCCESS;
}

LONG RegistryModel::SubkeyName(HKEY handle, DWORD index, bool hasBuffer, std::string& name) {
  OpenedKey opened;
  LONG status = Resolve(handle, opened, KEY_ENUMERATE_SUB_KEYS);
  if (status != ERROR_SUCCESS) return status;
  const auto& subkeys = opened.key->Subkeys();
  if (index >= subkeys.size()) return ERROR_NO_MORE_ITEMS;
  if (!hasBuffer) return ERROR_INVALID_PARAMETER;
  name = subkeys[index]->Name();
  return ERROR_SUCCESS;
}

LONG RegistryModel::EnumKey(HKEY handle, DWORD index, LPSTR name, LPDWORD length) {
  std::string machineName;
  LONG status = SubkeyName(handle, index, name != nullptr && length != nullptr, machineName);
  if (status != ERROR_SUCCESS) return status;
  const std::string subkeyName = codePage_.FromMachine(machineName);
  // A name that does not fit leaves the buffer and the length as they were.
  if (!NameFits(subkeyName, length)) return ERROR_MORE_DATA;
  GiveName(subkeyName, name, length);
  return ERROR_SUCCESS;
}

LONG RegistryModel::EnumKey(HKEY handle, DWORD index, LPWSTR name, LPDWORD length) {
  std::string machineName;
  LONG status = SubkeyName(handle, index, name != nullptr && length != nullptr, machineName);
  if (status != ERROR_SUCCESS) return status;
  const WideText subkeyName = Utf16Of(machineName);
  if (subkeyName.size() >= *length) return ERROR_MORE_DATA;
  subkeyName.copy(name, subkeyName.size());
  name[subkeyName.size()] = 0;
  *length = static_cast<DWORD>(subkeyName.size());
  return ERROR_SUCCESS;
}

LONG RegistryModel::EnumValue(HKEY handle, DWORD index, LPSTR name, LPDWORD length,
                              const DWORD* reserved, LPDWORD type, LPBYTE data, LPDWORD size) {
  // The arguments are checked before the handle is.
  if (reserved != nullptr || name == nullptr || length == nullptr ||
      (data != nullptr && size == nullptr))
    return ERROR_INVALID_PARAMETER;
  OpenedKey opened;
  LONG status = Resolve(handle, opened, KEY_QUERY_VALUE);
  if (status != ERROR_SUCCESS) return status;
  const auto& values = opened.key->Values();
  if (index >= values.size()) return ERROR_NO_MORE_ITEMS;
  const std::string valueName = codePage_.FromMachine(values[index].name);
  // A name or data that does not fit leaves the name, its length and the
  // data as they were; the type and the size needed are still given.
  status = GiveData(values[index].data, NameFits(valueName, length), type, data, size);
  if (status != ERROR_SUCCESS) return status;
  GiveName(valueName, name, length);
  return ERROR_SUCCESS;
}

LONG RegistryModel::CloseKey(HKEY handle) {
  if (handle == HKEY_LOCAL_MACHINE || handle == HKEY_USERS || handle == HKEY_CURRENT_USER)
    return ERROR_SUCCESS;
  return handles_.erase(reinterpret_cast<std::uintptr_t>(handle)) ? ERROR_SUCCESS
                                                                  : ERROR_INVALID_HANDLE;
}
