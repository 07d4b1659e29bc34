// The Platform of kestrave-sim and the tests: every Win32 call answered by
// the simulated machine as real Windows answers it, with the faults the
// machine file injects, and every call recorded in the trace.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "sim/system/ansi_code_page.h"
#include "sim/system/call_record.h"
#include "sim/system/display_devices.h"
#include "sim/system/fault_plan.h"
#include "sim/system/handle_numbers.h"
#include "sim/system/machine.h"
#include "sim/system/registry_model.h"
#include "sim/system/sim_files.h"
#include "sim/system/utf16_text.h"

// The command line of a run without --command-line: the quoted module path
// followed by each switch, separated by single spaces.
std::string DefaultCommandLine(const std::string& modulePath,
                               const std::vector<std::string>& switches);

class SimPlatform : public Platform {
 public:
  // The machine stays the caller's and is changed in place by the run; the
  // message box writes to screen. An untraced run keeps its trace empty and
  // makes none of its texts.
  SimPlatform(Machine& machine, std::string commandLine, std::ostream& screen, bool traced = true);

  const std::vector<std::string>& Trace() const { return trace_; }
  DWORD FaultsHit() const { return faults_.Hits(); }
  FaultPlan& Faults() { return faults_; }

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
  LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved,
                     LPSTR lpClass, LPDWORD lpcchClass, PFILETIME lpftLastWriteTime) override;
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

 private:
  // The A and W forms of a call, which differ only in their texts.
  template <typename Char>
  LONG OpenKeyCall(const char* name, HKEY hKey, const Char* lpSubKey, DWORD ulOptions,
                   REGSAM samDesired, PHKEY phkResult);
  template <typename Char>
  LONG EnumKeyCall(const char* name, HKEY hKey, DWORD dwIndex, Char* lpName, LPDWORD lpcchName,
                   LPDWORD lpReserved, Char* lpClass, LPDWORD lpcchClass,
                   PFILETIME lpftLastWriteTime);
  template <typename Char>
  DWORD ModuleFileNameCall(const char* name, HMODULE hModule, Char* lpFilename, DWORD nSize);
  std::string ModulePathAs(const char*) const;
  WideText ModulePathAs(const WCHAR*) const;

  Machine& machine_;
  std::string commandLine_;
  std::ostream& screen_;
  std::vector<std::string> trace_;
  FaultPlan faults_;
  DWORD lastError_ = 0;
  CallContext context_;
  AnsiCodePage codePage_;
  HandleNumbers handleNumbers_;
  RegistryModel registry_;
  DisplayDevices displays_;
  SimFiles files_;
  DWORD installWaits_ = 0;
};
