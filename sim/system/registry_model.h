// The registry calls of the simulated machine with the answers real Windows
// gives: handles that remember the access they were opened with, the path
// rules, the access rules of a user without administrator rights, and the
// status codes. The platform layer adds the trace and the injected faults.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32_types.h"
#include "sim/system/ansi_code_page.h"
#include "sim/system/handle_numbers.h"
#include "sim/system/registry_tree.h"

struct RegistryKeyInfo {
  DWORD subkeys = 0;
  DWORD longestSubkeyName = 0;  // UTF-16 characters, without the terminating zero
  DWORD values = 0;
  DWORD longestValueName = 0;  // UTF-16 characters
  DWORD longestValueData = 0;  // bytes
};

class RegistryModel {
 public:
  // Names in the A calls are in the code page, in the W calls in UTF-16;
  // the tree keeps them in UTF-8.
  RegistryModel(RegistryTree& tree, bool admin, const AnsiCodePage& codePage,
                HandleNumbers& numbers)
      : tree_(tree), admin_(admin), codePage_(codePage), numbers_(numbers) {}

  // A key holding a REG_LINK "SymbolicLinkValue" is a link: every path is
  // taken on at its target, except that REG_OPTION_OPEN_LINK opens a link
  // that ends the path itself. A key refuses the access its security
  // descriptor refuses, whoever asks.
  LONG OpenKey(HKEY parent, LPCSTR subKey, DWORD options, REGSAM access, HKEY& result);
  LONG OpenKey(HKEY parent, LPCWSTR subKey, DWORD options, REGSAM access, HKEY& result);
  LONG CreateKey(HKEY parent, LPCSTR subKey, REGSAM access, HKEY& result, DWORD& disposition);
  LONG SetValue(HKEY key, LPCSTR name, DWORD type, const BYTE* data, DWORD size);
  LONG QueryValue(HKEY key, LPCSTR name, LPDWORD type, LPBYTE data, LPDWORD size);
  LONG DeleteValue(HKEY key, LPCSTR name);
  // NtDeleteKey: the key of the handle itself; an NTSTATUS.
  LONG DeleteKey(HKEY key);
  LONG QueryInfo(HKEY key, RegistryKeyInfo& info);
  LONG EnumKey(HKEY key, DWORD index, LPSTR name, LPDWORD length);
  LONG EnumKey(HKEY key, DWORD index, LPWSTR name, LPDWORD length);
  LONG EnumValue(HKEY key, DWORD index, LPSTR name, LPDWORD length, const DWORD* reserved,
                 LPDWORD type, LPBYTE data, LPDWORD size);
  LONG CloseKey(HKEY key);

 private:
  struct OpenedKey {
    std::shared_ptr<RegistryKey> key;
    REGSAM access = 0;
  };

  // The key of a handle; with a right given, refused unless the handle
  // was opened with it.
  LONG Resolve(HKEY handle, OpenedKey& opened, REGSAM right = 0);
  // The key a path (in UTF-8) leads to from the handle's key, or as far as
  // it exists.
  LONG Walk(const OpenedKey& base, const std::string& subKey, std::shared_ptr<RegistryKey>& found,
            std::vector<std::string>& missing, bool openLink = false);
  LONG OpenMachineKey(HKEY parent, const std::string& subKey, DWORD options, REGSAM access,
                      HKEY& result);
  // The name, in UTF-8, of the subkey an enumeration asks for; hasBuffer
  // false when the call gave nowhere to put it.
  LONG SubkeyName(HKEY key, DWORD index, bool hasBuffer, std::string& name);
  // The key a link leads to; null when the target does not exist.
  std::shared_ptr<RegistryKey> LinkTarget(const RegistryKey& key, int& hops);
  bool MayChange(const RegistryKey& key) const;
  bool MayOpen(const RegistryKey& key, REGSAM access) const;
  bool IsRoot(const RegistryKey& key) const;
  HKEY NewHandle(std::shared_ptr<RegistryKey> key, REGSAM access);
  std::string NameOf(LPCSTR name) const;

  RegistryTree& tree_;
  bool admin_;
  const AnsiCodePage& codePage_;
  HandleNumbers& numbers_;
  std::map<std::uintptr_t, OpenedKey> handles_;
};
