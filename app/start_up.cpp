#include "app/start_up.h"

#include <cstring>
#include <string>

#include "platform/platform.h"
#include "process/log.h"

bool IsSupportedWindows() {
  OSVERSIONINFOEXA version;
  std::memset(&version, 0, sizeof version);
  version.dwOSVersionInfoSize = sizeof version;
  version.dwMajorVersion = 5;
  version.dwMinorVersion = 0;
  ULONGLONG conditions = Win32().VerSetConditionMask(0, VER_MAJORVERSION, VER_GREATER_EQUAL);
  conditions = Win32().VerSetConditionMask(conditions, VER_MINORVERSION, VER_GREATER_EQUAL);
  return Win32().VerifyVersionInfoA(&version, VER_MAJORVERSION | VER_MINORVERSION, conditions) !=
         0;
}

// There are no arguments for inserts such as %1: they stay as written,
// where the system would read them through a null array.
std::string SystemMessage(DWORD error) {
  char buffer[256] = {};
  DWORD length = Win32().FormatMessageA(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ARGUMENT_ARRAY | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, buffer, sizeof buffer, nullptr);
  if (length > sizeof buffer) length = sizeof buffer;
  std::string text(buffer, strnlen(buffer, length));
  while (!text.empty() && (static_cast<unsigned char>(text.back()) <= ' ' || text.back() == '.'))
    text.pop_back();
  return text;
}

bool WaitForDeviceInstallation(DWORD timeout) {
  DWORD result = Win32().CMP_WaitNoPendingInstallEvents(0);
  if (result == WAIT_TIMEOUT) result = Win32().CMP_WaitNoPendingInstallEvents(timeout);
  if (result != WAIT_FAILED) return result == WAIT_OBJECT_0;
  DWORD error = Win32().GetLastError();
  if (error == ERROR_ACCESS_DENIED) return true;
  LogFault(586, "Wait for completion of device installation failed with this error message: '" +
                    SystemMessage(error) + "'");
  return false;
}
