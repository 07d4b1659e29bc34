// The Windows program: no window, one straight run, the exit code of the
// run as the process's.
#include "app/entry.h"
#include "platform/native/native_platform.h"
#include "process/log.h"

namespace {

// A structured exception that nothing caught (an access violation and the
// like) ends the run with the last handler's line and exit code 1.
LONG WINAPI ReportUnhandledException(EXCEPTION_POINTERS*) {
  ReportStructuredException();
  CloseLog();
  ::ExitProcess(1);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  static NativePlatform platform;
  SetPlatform(&platform);
  ::SetUnhandledExceptionFilter(ReportUnhandledException);
  KestraveModule module;
  return KestraveMain();
}
