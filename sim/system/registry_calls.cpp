// The registry calls of SimPlatform.
#include "sim/system/sim_platform.h"
#include "sim/system/trace_text.h"

namespace {

std::string Join(const std::vector<std::string>& pieces) {
  std::string text;
  for (const std::string& piece : pieces) text += (text.empty() ? "" : ", ") + piece;
  return text;
}

// What a call that reads a value hands back: the type, size and data it was
// asked for, or, when the data does not fit, the size it needs.
std::vector<std::string> ValueOutValues(LONG status, const DWORD* type, const BYTE* data,
                                        const DWORD* size) {
  std::vector<std::string> out;
  if (status == ERROR_SUCCESS) {
    if (type != nullptr) out.push_back(TraceRegistryType(*type));
    if (size != nullptr) out.push_back(std::to_string(*size));
    if (data != nullptr)
      out.push_back(TraceRegistryData(type != nullptr ? *type : REG_BINARY, data, *size));
  } else if (status == ERROR_MORE_DATA && size != nullptr) {
    out.push_back(std::to_string(*size));
  }
  return out;
}

}  // namespace

template <typename Char>
LONG SimPlatform::OpenKeyCall(const char* name, HKEY hKey, const Char* lpSubKey, DWORD ulOptions,
                              REGSAM samDesired, PHKEY phkResult) {
  CallRecord call(context_, name, [&] {
    return Join({TraceKey(hKey), TraceString(lpSubKey), std::to_string(ulOptions),
                 TraceHex(samDesired), TracePointer(phkResult)});
  });
  HKEY opened = nullptr;
  LONG status;
  if (call.Faulted())
    status = call.FaultStatus();
  else if (phkResult == nullptr)
    status = ERROR_INVALID_PARAMETER;
  else
    status = registry_.OpenKey(hKey, lpSubKey, ulOptions, samDesired, opened);
  if (phkResult != nullptr) *phkResult = opened;
  return call.ReturnStatus(status, status == ERROR_SUCCESS ? TraceKey(opened) : std::string());
}

LONG SimPlatform::RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                                PHKEY phkResult) {
  return OpenKeyCall("RegOpenKeyExA", hKey, lpSubKey, ulOptions, samDesired, phkResult);
}

LONG SimPlatform::RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                                PHKEY phkResult) {
  return OpenKeyCall("RegOpenKeyExW", hKey, lpSubKey, ulOptions, samDesired, phkResult);
}

LONG SimPlatform::RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR lpClass,
                                  DWORD dwOptions, REGSAM samDesired,
                                  LPSECURITY_ATTRIBUTES lpSecurityAttributes, PHKEY phkResult,
                                  LPDWORD lpdwDisposition) {
  CallRecord call(context_, "RegCreateKeyExA", [&] {
    return Join({TraceKey(hKey), TraceString(lpSubKey), std::to_string(Reserved),
                 TraceString(lpClass), TraceHex(dwOptions), TraceHex(samDesired),
                 TracePointer(lpSecurityAttributes), TracePointer(phkResult),
                 TracePointer(lpdwDisposition)});
  });
  HKEY opened = nullptr;
  DWORD disposition = 0;
  LONG status;
  if (call.Faulted())
    status = call.FaultStatus();
  else if (phkResult == nullptr)
    status = ERROR_INVALID_PARAMETER;
  else
    status = registry_.CreateKey(hKey, lpSubKey, samDesired, opened, disposition);
  if (phkResult != nullptr) *phkResult = opened;
  if (status != ERROR_SUCCESS) return call.ReturnStatus(status);
  if (lpdwDisposition != nullptr) *lpdwDisposition = disposition;
  return call.ReturnStatus(
      status,
      TraceKey(opened) + ", " +
          (disposition == REG_CREATED_NEW_KEY ? "REG_CREATED_NEW_KEY" : "REG_OPENED_EXISTING_KEY"));
}

LONG SimPlatform::RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType,
                                 const BYTE* lpData, DWORD cbData) {
  CallRecord call(context_, "RegSetValueExA", [&] {
    return Join({TraceKey(hKey), TraceString(lpValueName), std::to_string(Reserved),
                 TraceRegistryType(dwType), TraceRegistryData(dwType, lpData, cbData),
                 std::to_string(cbData)});
  });
  if (call.Faulted()) return call.ReturnStatus(call.FaultStatus());
  return call.ReturnStatus(registry_.SetValue(hKey, lpValueName, dwType, lpData, cbData));
}

LONG SimPlatform::RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved,
                                   LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
  CallRecord call(context_, "RegQueryValueExA", [&] {
    return Join({TraceKey(hKey), TraceString(lpValueName), TracePointer(lpReserved),
                 TracePointer(lpType), TracePointer(lpData), TraceCount(lpcbData)});
  });
  if (call.Faulted()) return call.ReturnStatus(call.FaultStatus());
  LONG status = registry_.QueryValue(hKey, lpValueName, lpType, lpData, lpcbData);
  return call.ReturnStatus(status,
                           [&] { return Join(ValueOutValues(status, lpType, lpData, lpcbData)); });
}

LONG SimPlatform::RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) {
  CallRecord call(context_, "RegDeleteValueA", [&] {
    return Join({TraceKey(hKey), TraceString(lpValueName)});
  });
  if (call.Faulted()) return call.ReturnStatus(call.FaultStatus());
  return call.ReturnStatus(registry_.DeleteValue(hKey, lpValueName));
}

LONG SimPlatform::RegQueryInfoKeyA(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass, LPDWORD lpReserved,
                                   LPDWORD lpcSubKeys, LPDWORD lpcbMaxSubKeyLen,
                                   LPDWORD lpcbMaxClassLen, LPDWORD lpcValues,
                                   LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen,
                                   LPDWORD lpcbSecurityDescriptor, PFILETIME lpftLastWriteTime) {
  CallRecord call(context_, "RegQueryInfoKeyA", [&] {
    return Join({TraceKey(hKey), TracePointer(lpClass), TraceCount(lpcchClass),
                 TracePointer(lpReserved), TracePointer(lpcSubKeys), TracePointer(lpcbMaxSubKeyLen),
                 TracePointer(lpcbMaxClassLen), TracePointer(lpcValues),
                 TracePointer(lpcbMaxValueNameLen), TracePointer(lpcbMaxValueLen),
                 TracePointer(lpcbSecurityDescriptor), TracePointer(lpftLastWriteTime)});
  });
  if (call.Faulted()) return call.ReturnStatus(call.FaultStatus());
  RegistryKeyInfo info;
  LONG status = registry_.QueryInfo(hKey, info);
  if (status != ERROR_SUCCESS) return call.ReturnStatus(status);
  // Keys have no class, and the machine keeps no security descriptors or
  // write times.
  const std::pair<LPDWORD, DWORD> answers[] = {{lpcSubKeys, info.subkeys},
                                               {lpcbMaxSubKeyLen, info.longestSubkeyName},
                                               {lpcbMaxClassLen, 0},
                                               {lpcValues, info.values},
                                               {lpcbMaxValueNameLen, info.longestValueName},
                                               {lpcbMaxValueLen, info.longestValueData},
                                               {lpcbSecurityDescriptor, 0},
                                               {lpcchClass, 0}};
  for (const auto& answer : answers)
    if (answer.first != nullptr) *answer.first = answer.second;
  if (lpClass != nullptr && lpcchClass != nullptr) *lpClass = '\0';
  if (lpftLastWriteTime != nullptr) *lpftLastWriteTime = FILETIME();
  std::vector<std::string> out;
  if (lpcSubKeys != nullptr) out.push_back("cSubKeys=" + std::to_string(info.subkeys));
  if (lpcbMaxSubKeyLen != nullptr)
    out.push_back("cbMaxSubKeyLen=" + std::to_string(info.longestSubkeyName));
  if (lpcValues != nullptr) out.push_back("cValues=" + std::to_string(info.values));
  if (lpcbMaxValueNameLen != nullptr)
    out.push_back("cbMaxValueNameLen=" + std::to_string(info.longestValueName));
  if (lpcbMaxValueLen != nullptr)
    out.push_back("cbMaxValueLen=" + std::to_string(info.longestValueData));
  return call.ReturnStatus(status, Join(out));
}

template <typename Char>
LONG SimPlatform::EnumKeyCall(const char* name, HKEY hKey, DWORD dwIndex, Char* lpName,
                              LPDWORD lpcchName, LPDWORD lpReserved, Char* lpClass,
                              LPDWORD lpcchClass, PFILETIME lpftLastWriteTime) {
  CallRecord call(context_, name, [&] {
    return Join({TraceKey(hKey), std::to_string(dwIndex), TracePointer(lpName),
                 TraceCount(lpcchName), TracePointer(lpReserved), TracePointer(lpClass),
                 TraceCount(lpcchClass), TracePointer(lpftLastWriteTime)});
  });
  if (call.Faulted()) return call.ReturnStatus(call.FaultStatus());
  LONG status = registry_.EnumKey(hKey, dwIndex, lpName, lpcchName);
  if (status != ERROR_SUCCESS) return call.ReturnStatus(status);
  if (lpClass != nullptr && lpcchClass != nullptr && *lpcchClass > 0) *lpClass = 0;
  if (lpcchClass != nullptr) *lpcchClass = 0;
  if (lpftLastWriteTime != nullptr) *lpftLastWriteTime = FILETIME();
  return call.ReturnStatus(status, TraceText(lpName, *lpcchName));
}

LONG SimPlatform::RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName,
                                LPDWORD lpReserved, LPSTR lpClass, LPDWORD lpcchClass,
                                PFILETIME lpftLastWriteTime) {
  return EnumKeyCall("RegEnumKeyExA", hKey, dwIndex, lpName, lpcchName, lpReserved, lpClass,
                     lpcchClass, lpftLastWriteTime);
}

LONG SimPlatform::RegEnumKeyExW(HKEY hKey, DWORD dwIndex, LPWSTR lpName, LPDWORD lpcchName,
                                LPDWORD lpReserved, LPWSTR lpClass, LPDWORD lpcchClass,
                                PFILETIME lpftLastWriteTime) {
  return EnumKeyCall("RegEnumKeyExW", hKey, dwIndex, lpName, lpcchName, lpReserved, lpClass,
                     lpcchClass, lpftLastWriteTime);
}

LONG SimPlatform::RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName,
                                LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                                LPDWORD lpcbData) {
  CallRecord call(context_, "RegEnumValueA", [&] {
    return Join({TraceKey(hKey), std::to_string(dwIndex), TracePointer(lpValueName),
                 TraceCount(lpcchValueName), TracePointer(lpReserved), TracePointer(lpType),
                 TracePointer(lpData), TraceCount(lpcbData)});
  });
  if (call.Faulted()) return call.ReturnStatus(call.FaultStatus());
  LONG status = registry_.EnumValue(hKey, dwIndex, lpValueName, lpcchValueName, lpReserved, lpType,
                                    lpData, lpcbData);
  return call.ReturnStatus(status, [&] {
    std::vector<std::string> out = ValueOutValues(status, lpType, lpData, lpcbData);
    if (status == ERROR_SUCCESS) out.insert(out.begin(), TraceBytes(lpValueName, *lpcchValueName));
    return Join(out);
  });
}

LONG SimPlatform::RegCloseKey(HKEY hKey) {
  CallRecord call(context_, "RegCloseKey", [&] { return TraceKey(hKey); });
  if (call.Faulted()) return call.ReturnStatus(call.FaultStatus());
  return call.ReturnStatus(registry_.CloseKey(hKey));
}

LONG SimPlatform::NtDeleteKey(HANDLE KeyHandle) {
  HKEY key = static_cast<HKEY>(KeyHandle);
  CallRecord call(context_, "NtDeleteKey", [&] { return TraceKey(key); });
  LONG status = call.Faulted() ? call.FaultStatus() : registry_.DeleteKey(key);
  return call.Return(status, [status] { return TraceHex(static_cast<DWORD>(status)); });
}
