// The platform of a real Windows machine: one forward per call.
#pragma once

#include "platform/platform.h"

class NativePlatform : public Platform {
 public:
  BOOL EnumDisplayDevicesA(LPCSTR lpDevice, DWORD iDevNum, PDISPLAY_DEVICEA lpDisplayDevice,
                           DWORD dwFlags) override;
  BOOL EnumDisplaySettingsA(LPCSTR lpszDeviceName, DWORD iModeNum, DEVMODEA* lpDevMode) override;
  BOOL EnumDisplaySettingsExA(LPCSTR lpszDeviceName, DWORD iModeNum, DEVMODEA* lpDevMode,
                              DWORD dwFlags) override;
  LONG ChangeDisplaySettingsExA(LPCSTR lpszDeviceName, DEVMODEA* lpDevMode, HWND hwnd,
                                DWORD dwflags, LPVOID lParam) override;
  LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                     PHKEY phkResult) override;
  LONG RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                     PHKEY phkResult) override;
  LONG RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR lpClass, DWORD dwOptions,
                       REGSAM samDesired, LPSECURITY_ATTRIBUTES lpSecurityAttributes,
                       PHKEY phkResult, LPDWORD lpdwDisposition) override;
  LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType,
                      const BYTE* lpData, DWORD cbData) override;
  LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                        LPBYTE lpData, LPDWORD lpcbData) override;
  LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) override;
  LONG RegQueryInfoKeyA(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass, LPDWORD lpReserved,
                        LPDWORD lpcSubKeys, LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen,
                        LPDWORD lpcValues, LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen,
                        LPDWORD lpcbSecurityDescriptor, PFILETIME lpftLastWriteTime) override;
  LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName,
                     LPDWORD lpReserved, LPSTR lpClass, LPDWORD lpcchClass,
                     PFILETIME lpftLastWriteTime) override;
  LONG RegEnumKeyExW(HKEY hKey, DWORD dwIndex, LPWSTR lpName, LPDWORD lpcchName,
                     LPDWORD lpReserved, LPWSTR lpClass, LPDWORD lpcchClass,
                     PFILETIME lpftLastWriteTime) override;
  LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName,
                     LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) override;
  LONG RegCloseKey(HKEY hKey) override;
  LONG NtDeleteKey(HANDLE KeyHandle) override;
  ULONGLONG VerSetConditionMask(ULONGLONG ConditionMask, DWORD TypeMask, BYTE Condition) override;
  BOOL VerifyVersionInfoA(LPOSVERSIONINFOEXA lpVersionInformation, DWORD dwTypeMask,
                          DWORDLONG dwlConditionMask) override;
  DWORD CMP_WaitNoPendingInstallEvents(DWORD dwTimeout) override;
  DWORD GetLastError() override;
  DWORD FormatMessageA(DWORD dwFlags, LPCVOID lpSource, DWORD dwMessageId, DWORD dwLanguageId,
                       LPSTR lpBuffer, DWORD nSize, va_list* Arguments) override;
  BOOL SystemParametersInfoA(UINT uiAction, UINT uiParam, PVOID pvParam, UINT fWinIni) override;
  DWORD GetEnvironmentVariableA(LPCSTR lpName, LPSTR lpBuffer, DWORD nSize) override;
  DWORD GetFileAttributesA(LPCSTR lpFileName) override;
  int CompareStringA(LCID Locale, DWORD dwCmpFlags, LPCSTR lpString1, int cchCount1,
                     LPCSTR lpString2, int cchCount2) override;
  DWORD CharLowerBuffA(LPSTR lpsz, DWORD cchLength) override;
  int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                          LPWSTR lpWideCharStr, int cchWideChar) override;
  LPSTR GetCommandLineA() override;
  DWORD GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) override;
  DWORD GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize) override;
  int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) override;
  HANDLE CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                     LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                     DWORD dwFlagsAndAttributes, HANDLE hTemplateFile) override;
  BOOL GetFileInformationByHandle(HANDLE hFile,
                                  LPBY_HANDLE_FILE_INFORMATION lpFileInformation) override;
  BOOL SetEndOfFile(HANDLE hFile) override;
  BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                 LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped) override;
  BOOL FlushFileBuffers(HANDLE hFile) override;
  BOOL CloseHandle(HANDLE hObject) override;
};
