// The registry the program reads: every monitor's key below
// SYSTEM\CurrentControlSet\Enum\DISPLAY (and a hardware key elsewhere below
// SYSTEM that a monitor names), the program's own key under
// HKEY_LOCAL_MACHINE and in every loaded user hive, and its Run value.
// Keys are opened with REG_OPTION_OPEN_LINK, so that a registry link is
// kept as the link it is and not as a copy of its target.
#include <cctype>
#include <vector>

#include "app/installation.h"
#include "platform/platform.h"
#include "platform/registry.h"
#include "process/process_state.h"
#include "tools/kestrave-capture/machine_capture.h"

namespace {

const char kDisplayEnumPath[] = "SYSTEM\\CurrentControlSet\\Enum\\DISPLAY";
// The longest value name is 16383 characters, two bytes each in a
// double-byte code page; value data has no such limit.
const DWORD kLongestValueName = 2 * 16383 + 1;

// Paths are kept in the code page for the calls and shown in errors.
[[noreturn]] void Fail(const std::string& path, const char* what, LONG error) {
  throw CaptureError("cannot " + std::string(what) + " the registry key " + path + " (error " +
                     std::to_string(error) + ")");
}

class OpenedKey {
 public:
  OpenedKey() = default;
  ~OpenedKey() {
    if (handle_ != nullptr) Win32().RegCloseKey(handle_);
  }
  OpenedKey(const OpenedKey&) = delete;
  OpenedKey& operator=(const OpenedKey&) = delete;

  // ERROR_SUCCESS, ERROR_FILE_NOT_FOUND (no such key) or
  // ERROR_ACCESS_DENIED (a key the user may not read); any other failure
  // leaves the capture unfinished. Less access is asked for while it is
  // refused, as the program does, so that what it can read is read here.
  LONG Open(HKEY parent, const std::string& path, const std::string& shownPath) {
    LONG result = ERROR_ACCESS_DENIED;
    for (REGSAM access : kReadOnlyAccess) {
      result = Win32().RegOpenKeyExA(parent, path.c_str(), REG_OPTION_OPEN_LINK, access, &handle_);
      if (result == ERROR_SUCCESS) return result;
      handle_ = nullptr;
      if (result != ERROR_ACCESS_DENIED) break;
    }
    if (result != ERROR_FILE_NOT_FOUND && result != ERROR_ACCESS_DENIED)
      Fail(shownPath, "open", result);
    return result;
  }
  HKEY Handle() const { return handle_; }

 private:
  HKEY handle_ = nullptr;
};

class RegistryCapture {
 public:
  RegistryCapture(const CaptureFacts& facts, RegistryTree& tree) : facts_(facts), tree_(tree) {}

  // The key at path below a root, with everything below it; nothing when
  // it does not exist. A key that exists but cannot be read is kept
  // without its contents, as the program would find nothing in it either.
  void Subtree(HKEY root, RegistryKey& rootKey, const std::string& rootName,
               const std::string& path) {
    OpenedKey key;
    const std::string shownPath = rootName + "\\" + path;
    LONG result = key.Open(root, path, shownPath);
    if (result == ERROR_FILE_NOT_FOUND) return;
    RegistryKey& captured = Chain(rootKey, path);
    if (result == ERROR_SUCCESS) Contents(key.Handle(), captured, shownPath);
  }

  // The names of a key's subkeys in the order the registry gives them.
  std::vector<std::string> SubkeyNames(HKEY key, const std::string& path) {
    std::vector<std::string> names;
    std::vector<char> name(512);
    for (DWORD index = 0;;) {
      DWORD length = static_cast<DWORD>(name.size());
      LONG result = Win32().RegEnumKeyExA(key, index, name.data(), &length, nullptr, nullptr,
                                          nullptr, nullptr);
      // A key opened without the right to list its subkeys shows none.
      if (result == ERROR_NO_MORE_ITEMS || result == ERROR_ACCESS_DENIED) return names;
      if (result == ERROR_MORE_DATA && name.size() < kLongestValueName) {
        name.resize(name.size() * 2);
        continue;
      }
      if (result != ERROR_SUCCESS) Fail(path, "list the subkeys of", result);
      names.emplace_back(name.data(), length);
      ++index;
    }
  }

  // The key of that name below parent, added when it is not there yet.
  RegistryKey& Child(RegistryKey& parent, const std::string& codePageName) {
    std::string name = facts_.toUtf8(codePageName);
    std::shared_ptr<RegistryKey> child = parent.FindSubkey(name);
    if (!child) child = tree_.AddSubkey(parent, name, false);
    return *child;
  }

  // The keys on a path below from, added where they are not there yet.
  RegistryKey& Chain(RegistryKey& from, const std::string& path) {
    RegistryKey* key = &from;
    size_t start = 0;
    while (start < path.size()) {
      size_t end = path.find('\\', start);
      if (end == std::string::npos) end = path.size();
      key = &Child(*key, path.substr(start, end - start));
      start = end + 1;
    }
    return *key;
  }

 private:
  void Contents(HKEY key, RegistryKey& captured, const std::string& path) {
    Values(key, captured, path);
    for (const std::string& name : SubkeyNames(key, path)) {
      OpenedKey subkey;
      const std::string shownPath = path + "\\" + name;
      LONG result = subkey.Open(key, name, shownPath);
      if (result == ERROR_FILE_NOT_FOUND) continue;  // deleted since it was listed
      RegistryKey& child = Child(captured, name);
      if (result == ERROR_SUCCESS) Contents(subkey.Handle(), child, shownPath);
    }
  }

  void Values(HKEY key, RegistryKey& captured, const std::string& path) {
    std::vector<char> name(256);
    std::vector<BYTE> data(1024);
    for (DWORD index = 0;;) {
      DWORD nameLength = static_cast<DWORD>(name.size());
      DWORD type = REG_NONE;
      DWORD size = static_cast<DWORD>(data.size());
      LONG result = Win32().RegEnumValueA(key, index, name.data(), &nameLength, nullptr, &type,
                                          data.data(), &size);
      if (result == ERROR_NO_MORE_ITEMS) return;
      if (result == ERROR_MORE_DATA) {
        // The size is told only for the data; a name that did not fit
        // has a buffer twice as long next time, up to the longest.
        if (size > data.size())
          data.resize(size);
        else if (name.size() < kLongestValueName)
          name.resize(name.size() * 2);
        else
          Fail(path, "read a value of", result);
        continue;
      }
      if (result != ERROR_SUCCESS) Fail(path, "read the values of", result);
      std::string bytes(reinterpret_cast<const char*>(data.data()), size);
      captured.SetValue(facts_.toUtf8(std::string(name.data(), nameLength)), {type, bytes});
      ++index;
    }
  }

  const CaptureFacts& facts_;
  RegistryTree& tree_;
};

// The Run key with the program's value only: the key tells the program
// where to add its value, the others are none of its business.
void CaptureRunValue(RegistryCapture& capture, RegistryTree& tree) {
  const std::string path = kRunKeyPath + 1;
  OpenedKey key;
  if (key.Open(HKEY_LOCAL_MACHINE, path, "HKEY_LOCAL_MACHINE\\" + path) != ERROR_SUCCESS) return;
  RegistryKey& run = capture.Chain(*tree.Machine(), path);
  DWORD type = REG_NONE;
  DWORD size = 0;
  if (Win32().RegQueryValueExA(key.Handle(), kRunValueName, nullptr, &type, nullptr, &size) !=
      ERROR_SUCCESS)
    return;
  std::vector<BYTE> data(size);
  LONG result =
      Win32().RegQueryValueExA(key.Handle(), kRunValueName, nullptr, &type, data.data(), &size);
  if (result != ERROR_SUCCESS) Fail("HKEY_LOCAL_MACHINE\\" + path, "read the Run value of", result);
  run.SetValue(kRunValueName, {type, std::string(data.begin(), data.begin() + size)});
}

// A hardware key the program takes as a path below HKEY_LOCAL_MACHINE.
bool StartsWithSystem(const std::string& text) {
  static const char kSystem[] = "SYSTEM";
  if (text.size() < sizeof kSystem - 1) return false;
  for (size_t i = 0; i + 1 < sizeof kSystem; ++i)
    if (std::toupper(static_cast<unsigned char>(text[i])) != kSystem[i]) return false;
  return true;
}

}  // namespace

void CaptureRegistry(const CaptureFacts& facts, const std::vector<std::string>& hardwareKeys,
                     Machine& machine) {
  RegistryTree& tree = machine.registry;
  RegistryCapture capture(facts, tree);
  capture.Subtree(HKEY_LOCAL_MACHINE, *tree.Machine(), "HKEY_LOCAL_MACHINE", kDisplayEnumPath);
  for (const std::string& hardwareKey : hardwareKeys)
    if (StartsWithSystem(hardwareKey))
      capture.Subtree(HKEY_LOCAL_MACHINE, *tree.Machine(), "HKEY_LOCAL_MACHINE", hardwareKey);

  // Without the backslashes at either end.
  const std::string keyPath = kSoftwareKeyPath;
  const std::string software = keyPath.substr(1, keyPath.size() - 2);
  capture.Subtree(HKEY_LOCAL_MACHINE, *tree.Machine(), "HKEY_LOCAL_MACHINE", software);
  CaptureRunValue(capture, tree);

  // Every hive is listed, even one that holds nothing of the program's, as
  // removal visits each. The current user's is HKEY_USERS\<sid>, read
  // through HKEY_CURRENT_USER only where HKEY_USERS does not list it.
  bool userHiveListed = false;
  for (const std::string& hive : capture.SubkeyNames(HKEY_USERS, "HKEY_USERS")) {
    userHiveListed |= tree.IsUserHive(capture.Child(*tree.Users(), hive));
    capture.Subtree(HKEY_USERS, *tree.Users(), "HKEY_USERS", hive + "\\" + software);
  }
  if (!userHiveListed)
    capture.Subtree(HKEY_CURRENT_USER, *tree.UserHive(), "HKEY_CURRENT_USER", software);
}
