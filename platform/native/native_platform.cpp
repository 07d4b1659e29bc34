#include "platform/native/native_platform.h"

#include "platform/single_adapter_fallback.h"

#include <cstring>

// ntdll.dll's own export, which <windows.h> does not declare; it returns an
// NTSTATUS.
extern "C" LONG NTAPI NtDeleteKey(HANDLE KeyHandle);

namespace {

typedef BOOL(WINAPI* EnumDisplayDevicesFunction)(LPCSTR, DWORD, PDISPLAY_DEVICEA, DWORD);

// EnumDisplayDevicesA exists only where the system has the whole
// multiple-monitor API; where any of its functions is missing, the caller
// gets the single adapter of the fallback.
EnumDisplayDevicesFunction ResolveEnumDisplayDevices() {
  HMODULE user32 = ::GetModuleHandleA("USER32");
  if (user32 == nullptr) return nullptr;
  static const char* const kMultipleMonitorFunctions[] = {
      "MonitorFromWindow", "MonitorFromRect",     "MonitorFromPoint",
      "GetMonitorInfoA",   "EnumDisplayMonitors", "EnumDisplayDevicesA"};
  for (const char* name : kMultipleMonitorFunctions)
    if (::GetProcAddress(user32, name) == nullptr) return nullptr;
  return reinterpret_cast<EnumDisplayDevicesFunction>(
      reinterpret_cast<void*>(::GetProcAddress(user32, "EnumDisplayDevicesA")));
}

typedef DWORD(WINAPI* WaitNoPendingInstallEventsFunction)(DWORD);

// The configuration manager's wait as setupapi.dll exports it, or, where it
// cannot be had, why not.
struct ResolvedWait {
  WaitNoPendingInstallEventsFunction function;
  DWORD error;
};

// The wait came with Windows XP: an import of it would keep the program from
// loading on Windows 2000 at all, so it is looked up when first needed. The
// library is loaded by its full path in the system folder, so that no
// setupapi.dll in the current folder is loaded in its place.
ResolvedWait ResolveWaitNoPendingInstallEvents() {
  static const char kLibrary[] = "\\setupapi.dll";
  char path[MAX_PATH];
  UINT length = ::GetSystemDirectoryA(path, MAX_PATH);
  if (length == 0) return {nullptr, ::GetLastError()};
  if (length + sizeof kLibrary > MAX_PATH) return {nullptr, ERROR_FILENAME_EXCED_RANGE};
  std::memcpy(path + length, kLibrary, sizeof kLibrary);
  HMODULE setupapi = ::LoadLibraryA(path);
  if (setupapi == nullptr) return {nullptr, ::GetLastError()};
  FARPROC function = ::GetProcAddress(setupapi, "CMP_WaitNoPendingInstallEvents");
  if (function == nullptr) return {nullptr, ::GetLastError()};
  return {reinterpret_cast<WaitNoPendingInstallEventsFunction>(reinterpret_cast<void*>(function)),
          ERROR_SUCCESS};
}

}  // namespace

BOOL NativePlatform::EnumDisplayDevicesA(LPCSTR lpDevice, DWORD iDevNum,
                                         PDISPLAY_DEVICEA lpDisplayDevice, DWORD dwFlags) {
  static const EnumDisplayDevicesFunction enumDisplayDevices = ResolveEnumDisplayDevices();
  if (enumDisplayDevices == nullptr)
    return SingleAdapterFallback(lpDevice, iDevNum, lpDisplayDevice, dwFlags);
  return enumDisplayDevices(lpDevice, iDevNum, lpDisplayDevice, dwFlags);
}

BOOL NativePlatform::EnumDisplaySettingsA(LPCSTR lpszDeviceName, DWORD iModeNum,
                                          DEVMODEA* lpDevMode) {
  return ::EnumDisplaySettingsA(lpszDeviceName, iModeNum, lpDevMode);
}

BOOL NativePlatform::EnumDisplaySettingsExA(LPCSTR lpszDeviceName, DWORD iModeNum,
                                            DEVMODEA* lpDevMode, DWORD dwFlags) {
  return ::EnumDisplaySettingsExA(lpszDeviceName, iModeNum, lpDevMode, dwFlags);
}

LONG NativePlatform::ChangeDisplaySettingsExA(LPCSTR lpszDeviceName, DEVMODEA* lpDevMode,
                                              HWND hwnd, DWORD dwflags, LPVOID lParam) {
  return ::ChangeDisplaySettingsExA(lpszDeviceName, lpDevMode, hwnd, dwflags, lParam);
}

LONG NativePlatform::RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                                   PHKEY phkResult) {
  return ::RegOpenKeyExA(hKey, lpSubKey, ulOptions, samDesired, phkResult);
}

LONG NativePlatform::RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                                   PHKEY phkResult) {
  return ::RegOpenKeyExW(hKey, lpSubKey, ulOptions, samDesired, phkResult);
}

LONG NativePlatform::RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR lpClass,
                                     DWORD dwOptions, REGSAM samDesired,
                                     LPSECURITY_ATTRIBUTES lpSecurityAttributes, PHKEY phkResult,
                                     LPDWORD lpdwDisposition) {
  return ::RegCreateKeyExA(hKey, lpSubKey, Reserved, lpClass, dwOptions, samDesired,
                           lpSecurityAttributes, phkResult, lpdwDisposition);
}

LONG NativePlatform::RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType,
                                    const BYTE* lpData, DWORD cbData) {
  return ::RegSetValueExA(hKey, lpValueName, Reserved, dwType, lpData, cbData);
}

LONG NativePlatform::RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved,
                                      LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
  return ::RegQueryValueExA(hKey, lpValueName, lpReserved, lpType, lpData, lpcbData);
}

LONG NativePlatform::RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) {
  return ::RegDeleteValueA(hKey, lpValueName);
}

LONG NativePlatform::RegQueryInfoKeyA(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass,
                                      LPDWORD lpReserved, LPDWORD lpcSubKeys,
                                      LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen,
                                      LPDWORD lpcValues, LPDWORD lpcbMaxValueNameLen,
                                      LPDWORD lpcbMaxValueLen, LPDWORD lpcbSecurityDescriptor,
                                      PFILETIME lpftLastWriteTime) {
  return ::RegQueryInfoKeyA(hKey, lpClass, lpcchClass, lpReserved, lpcSubKeys, lpcbMaxSubKeyLen,
                            lpcbMaxClassLen, lpcValues, lpcbMaxValueNameLen, lpcbMaxValueLen,
                            lpcbSecurityDescriptor, lpftLastWriteTime);
}

LONG NativePlatform::RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName,
                                   LPDWORD lpReserved, LPSTR lpClass, LPDWORD lpcchClass,
                                   PFILETIME lpftLastWriteTime) {
  return ::RegEnumKeyExA(hKey, dwIndex, lpName, lpcchName, lpReserved, lpClass, lpcchClass,
                         lpftLastWriteTime);
}

LONG NativePlatform::RegEnumKeyExW(HKEY hKey, DWORD dwIndex, LPWSTR lpName, LPDWORD lpcchName,
                                   LPDWORD lpReserved, LPWSTR lpClass, LPDWORD lpcchClass,
                                   PFILETIME lpftLastWriteTime) {
  return ::RegEnumKeyExW(hKey, dwIndex, lpName, lpcchName, lpReserved, lpClass, lpcchClass,
                         lpftLastWriteTime);
}

LONG NativePlatform::RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName,
                                   LPDWORD lpcchValueName, LPDWORD lpReserved, LPDWORD lpType,
                                   LPBYTE lpData, LPDWORD lpcbData) {
  return ::RegEnumValueA(hKey, dwIndex, lpValueName, lpcchValueName, lpReserved, lpType, lpData,
                         lpcbData);
}

LONG NativePlatform::RegCloseKey(HKEY hKey) { return ::RegCloseKey(hKey); }

LONG NativePlatform::NtDeleteKey(HANDLE KeyHandle) { return ::NtDeleteKey(KeyHandle); }

ULONGLONG NativePlatform::VerSetConditionMask(ULONGLONG ConditionMask, DWORD TypeMask,
                                              BYTE Condition) {
  return ::VerSetConditionMask(ConditionMask, TypeMask, Condition);
}

BOOL NativePlatform::VerifyVersionInfoA(LPOSVERSIONINFOEXA lpVersionInformation, DWORD dwTypeMask,
                                        DWORDLONG dwlConditionMask) {
  return ::VerifyVersionInfoA(lpVersionInformation, dwTypeMask, dwlConditionMask);
}

DWORD NativePlatform::CMP_WaitNoPendingInstallEvents(DWORD dwTimeout) {
  static const ResolvedWait wait = ResolveWaitNoPendingInstallEvents();
  if (wait.function != nullptr) return wait.function(dwTimeout);
  // A system without the library or the function has no installation that
  // could be waited for. Any other failure to load it is the wait's failure,
  // reported with its error code.
  if (wait.error == ERROR_MOD_NOT_FOUND || wait.error == ERROR_PROC_NOT_FOUND)
    return WAIT_OBJECT_0;
  ::SetLastError(wait.error);
  return WAIT_FAILED;
}

DWORD NativePlatform::GetLastError() { return ::GetLastError(); }

DWORD NativePlatform::FormatMessageA(DWORD dwFlags, LPCVOID lpSource, DWORD dwMessageId,
                                     DWORD dwLanguageId, LPSTR lpBuffer, DWORD nSize,
                                     va_list* Arguments) {
  return ::FormatMessageA(dwFlags, lpSource, dwMessageId, dwLanguageId, lpBuffer, nSize,
                          Arguments);
}

BOOL NativePlatform::SystemParametersInfoA(UINT uiAction, UINT uiParam, PVOID pvParam,
                                           UINT fWinIni) {
  return ::SystemParametersInfoA(uiAction, uiParam, pvParam, fWinIni);
}

DWORD NativePlatform::GetEnvironmentVariableA(LPCSTR lpName, LPSTR lpBuffer, DWORD nSize) {
  return ::GetEnvironmentVariableA(lpName, lpBuffer, nSize);
}

DWORD NativePlatform::GetFileAttributesA(LPCSTR lpFileName) {
  return ::GetFileAttributesA(lpFileName);
}

int NativePlatform::CompareStringA(LCID Locale, DWORD dwCmpFlags, LPCSTR lpString1, int cchCount1,
                                   LPCSTR lpString2, int cchCount2) {
  return ::CompareStringA(Locale, dwCmpFlags, lpString1, cchCount1, lpString2, cchCount2);
}

DWORD NativePlatform::CharLowerBuffA(LPSTR lpsz, DWORD cchLength) {
  return ::CharLowerBuffA(lpsz, cchLength);
}

int NativePlatform::MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr,
                                        int cbMultiByte, LPWSTR lpWideCharStr, int cchWideChar) {
  return ::MultiByteToWideChar(CodePage, dwFlags, lpMultiByteStr, cbMultiByte, lpWideCharStr,
                               cchWideChar);
}

LPSTR NativePlatform::GetCommandLineA() { return ::GetCommandLineA(); }

DWORD NativePlatform::GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
  return ::GetModuleFileNameA(hModule, lpFilename, nSize);
}

DWORD NativePlatform::GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize) {
  return ::GetModuleFileNameW(hModule, lpFilename, nSize);
}

int NativePlatform::MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
  return ::MessageBoxA(hWnd, lpText, lpCaption, uType);
}

HANDLE NativePlatform::CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                                   LPSECURITY_ATTRIBUTES lpSecurityAttributes,
                                   DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes,
                                   HANDLE hTemplateFile) {
  return ::CreateFileA(lpFileName, dwDesiredAccess, dwShareMode, lpSecurityAttributes,
                       dwCreationDisposition, dwFlagsAndAttributes, hTemplateFile);
}

BOOL NativePlatform::GetFileInformationByHandle(HANDLE hFile,
                                                LPBY_HANDLE_FILE_INFORMATION lpFileInformation) {
  return ::GetFileInformationByHandle(hFile, lpFileInformation);
}

BOOL NativePlatform::SetEndOfFile(HANDLE hFile) { return ::SetEndOfFile(hFile); }

BOOL NativePlatform::WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                               LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped) {
  return ::WriteFile(hFile, lpBuffer, nNumberOfBytesToWrite, lpNumberOfBytesWritten,
                     lpOverlapped);
}

BOOL NativePlatform::FlushFileBuffers(HANDLE hFile) { return ::FlushFileBuffers(hFile); }

BOOL NativePlatform::CloseHandle(HANDLE hObject) { return ::CloseHandle(hObject); }
