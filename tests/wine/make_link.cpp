// make-link KEY TARGET [SDDL]: makes HKEY_CURRENT_USER\KEY a registry link to
// the native path TARGET (\Registry\Machine\...), as any user can in their
// own hive, for the Wine tests of removal; with SDDL, the link gets that
// security descriptor's DACL, as its owner may give it. Exit 1 when Windows
// refuses.
#include <windows.h>

#include <sddl.h>

#include <cstring>
#include <vector>

namespace {

bool SetDacl(HKEY key, const char* sddl) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor,
                                                            nullptr))
    return false;
  LONG result = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
  LocalFree(descriptor);
  return result == ERROR_SUCCESS;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) return 1;
  HKEY key = nullptr;
  DWORD disposition = 0;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, argv[1], 0, nullptr,
                      REG_OPTION_VOLATILE | REG_OPTION_CREATE_LINK, KEY_ALL_ACCESS | KEY_CREATE_LINK,
                      nullptr, &key, &disposition) != ERROR_SUCCESS)
    return 1;
  // The target in UTF-16, without a terminating zero.
  std::vector<WCHAR> target(argv[2], argv[2] + std::strlen(argv[2]));
  LONG result = RegSetValueExW(key, L"SymbolicLinkValue", 0, REG_LINK,
                               reinterpret_cast<const BYTE*>(target.data()),
                               static_cast<DWORD>(target.size() * sizeof(WCHAR)));
  bool locked = argc == 3 || SetDacl(key, argv[3]);
  RegCloseKey(key);
  return result == ERROR_SUCCESS && locked ? 0 : 1;
}
