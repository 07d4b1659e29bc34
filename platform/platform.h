// Every Win32 call the program makes goes through this interface. The
// operations keep their Win32 names and argument lists, so the core reads
// like the Win32 code it is: Win32().RegOpenKeyExA(...). The native backend
// forwards each call to the system; the simulated backend answers from a
// machine description.
#pragma once

#include "platform/win32_types.h"

class Platform {
 public:
  virtual ~Platform() = default;

  // Display devices and modes. EnumDisplayDevicesA falls back to a single
  // "DISPLAY" adapter where the multiple-monitor API is not available.
  virtual BOOL EnumDisplayDevicesA(LPCSTR lpDevice, DWORD iDevNum, PDISPLAY_DEVICEA lpDisplayDevice,
                                   DWORD dwFlags) = 0;
  virtual BOOL EnumDisplaySettingsA(LPCSTR lpszDeviceName, DWORD iModeNum, DEVMODEA* lpDevMode) = 0;
  virtual BOOL EnumDisplaySettingsExA(LPCSTR lpszDeviceName, DWORD iModeNum, DEVMODEA* lpDevMode,
                                      DWORD dwFlags) = 0;
  virtual LONG ChangeDisplaySettingsExA(LPCSTR lpszDeviceName, DEVMODEA* lpDevMode, HWND hwnd,
                                        DWORD dwflags, LPVOID lParam) = 0;

  // Registry.
  virtual LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                             PHKEY phkResult) = 0;
  // The wide calls take and give a key's name as the registry holds it: the
  // A calls give a name in the ANSI code page, where a character it lacks
  // becomes "?" or a look-alike, which may be a backslash.
  virtual LONG RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                             PHKEY phkResult) = 0;
  virtual LONG RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR lpClass,
                               DWORD dwOptions, REGSAM samDesired,
                               LPSECURITY_ATTRIBUTES lpSecurityAttributes, PHKEY phkResult,
                               LPDWORD lpdwDisposition) = 0;
  virtual LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType,
                              const BYTE* lpData, DWORD cbData) = 0;
  virtual LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                                LPBYTE lpData, LPDWORD lpcbData) = 0;
  virtual LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) = 0;
  virtual LONG RegQueryInfoKeyA(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass, LPDWORD lpReserved,
                                LPDWORD lpcSubKeys, LPDWORD lpcbMaxSubKeyLen,
                                LPDWORD lpcbMaxClassLen, LPDWORD lpcValues,
                                LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen,
                                LPDWORD lpcbSecurityDescriptor, PFILETIME lpftLastWriteTime) = 0;
  virtual LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName,
                             LPDWORD lpReserved, LPSTR lpClass, LPDWORD lpcchClass,
                             PFILETIME lpftLastWriteTime) = 0;
  virtual LONG RegEnumKeyExW(HKEY hKey, DWORD dwIndex, LPWSTR lpName, LPDWORD lpcchName,
                             LPDWORD lpReserved, LPWSTR lpClass, LPDWORD lpcchClass,
                             PFILETIME lpftLastWriteTime) = 0;
  virtual LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName,
                             LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                             LPDWORD lpcbData) = 0;
  virtual LONG RegCloseKey(HKEY hKey) = 0;
  // ntdll's deletion of the key an open handle stands for, itself: not the
  // key a path names now, and not the target of a link opened as itself.
  // The handle needs DELETE access, and the key must have no subkeys. The
  // result is an NTSTATUS, 0 on success.
  virtual LONG NtDeleteKey(HANDLE KeyHandle) = 0;

  // System version.
  virtual ULONGLONG VerSetConditionMask(ULONGLONG ConditionMask, DWORD TypeMask,
                                        BYTE Condition) = 0;
  virtual BOOL VerifyVersionInfoA(LPOSVERSIONINFOEXA lpVersionInformation, DWORD dwTypeMask,
                                  DWORDLONG dwlConditionMask) = 0;

  // Device installation and error texts.
  virtual DWORD CMP_WaitNoPendingInstallEvents(DWORD dwTimeout) = 0;
  virtual DWORD GetLastError() = 0;
  virtual DWORD FormatMessageA(DWORD dwFlags, LPCVOID lpSource, DWORD dwMessageId,
                               DWORD dwLanguageId, LPSTR lpBuffer, DWORD nSize,
                               va_list* Arguments) = 0;

  // Wallpaper, environment and files.
  virtual BOOL SystemParametersInfoA(UINT uiAction, UINT uiParam, PVOID pvParam, UINT fWinIni) = 0;
  virtual DWORD GetEnvironmentVariableA(LPCSTR lpName, LPSTR lpBuffer, DWORD nSize) = 0;
  virtual DWORD GetFileAttributesA(LPCSTR lpFileName) = 0;

  // Locale-aware comparison and case.
  virtual int CompareStringA(LCID Locale, DWORD dwCmpFlags, LPCSTR lpString1, int cchCount1,
                             LPCSTR lpString2, int cchCount2) = 0;
  virtual DWORD CharLowerBuffA(LPSTR lpsz, DWORD cchLength) = 0;
  virtual int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr,
                                  int cbMultiByte, LPWSTR lpWideCharStr, int cchWideChar) = 0;

  // Process, user interface and the log file.
  virtual LPSTR GetCommandLineA() = 0;
  virtual DWORD GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) = 0;
  virtual DWORD GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize) = 0;
  virtual int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) = 0;
  virtual HANDLE CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                             LPSECURITY_ATTRIBUTES lpSecurityAttributes,
                             DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes,
                             HANDLE hTemplateFile) = 0;
  virtual BOOL GetFileInformationByHandle(HANDLE hFile,
                                          LPBY_HANDLE_FILE_INFORMATION lpFileInformation) = 0;
  virtual BOOL SetEndOfFile(HANDLE hFile) = 0;
  virtual BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                         LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped) = 0;
  virtual BOOL FlushFileBuffers(HANDLE hFile) = 0;
  virtual BOOL CloseHandle(HANDLE hObject) = 0;
};

// The one accessor. The platform in use is installed once at start-up (the
// native backend in WinMain, a simulated machine in kestrave-sim and the
// tests) and is not owned here.
Platform& Win32();
void SetPlatform(Platform* platform);
