#include "sim/system/sim_platform.h"

#include "sim/system/sim_constants.h"
#include "sim/system/trace_text.h"
#include "sim/system/utf16_text.h"

std::string DefaultCommandLine(const std::string& modulePath,
                               const std::vector<std::string>& switches) {
  std::string line = "\"" + modulePath + "\"";
  for (const std::string& argument : switches) line += " " + argument;
  return line;
}

SimPlatform::SimPlatform(Machine& machine, std::string commandLine, std::ostream& screen,
                         bool traced)
    : machine_(machine),
      commandLine_(std::move(commandLine)),
      screen_(screen),
      faults_(machine.faults),
      context_{faults_, trace_, lastError_, traced},
      codePage_(machine.os.codePage, machine.os.textsInCodePage),
      registry_(machine.registry, machine.user.admin, codePage_, handleNumbers_),
      displays_(machine.adapters, machine.multipleMonitorApi, codePage_),
      files_(machine.logFile, handleNumbers_) {}

DWORD SimPlatform::GetLastError() {
  CallRecord call(context_, "GetLastError", "");
  return call.Return(lastError_, std::to_string(lastError_));
}

LPSTR SimPlatform::GetCommandLineA() {
  CallRecord call(context_, "GetCommandLineA", "");
  return call.Return(&commandLine_[0], TraceString(commandLine_.c_str()));
}

template <typename Char>
DWORD SimPlatform::ModuleFileNameCall(const char* name, HMODULE hModule, Char* lpFilename,
                                      DWORD nSize) {
  CallRecord call(context_, name, [&] {
    return TraceHandle(hModule) + ", " + TracePointer(lpFilename) + ", " + std::to_string(nSize);
  });
  if (call.Faulted()) return call.ReturnFault<DWORD>(0, "0");
  if (hModule != nullptr) {
    call.SetLastError(sim::kErrorModNotFound);
    return call.Return<DWORD>(0, "0");
  }
  if (lpFilename == nullptr || nSize == 0) {
    call.SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return call.Return<DWORD>(0, "0");
  }
  const std::basic_string<Char> path = ModulePathAs(lpFilename);
  DWORD length = static_cast<DWORD>(path.size());
  if (length < nSize) {
    path.copy(lpFilename, length);
    lpFilename[length] = 0;
    return call.Return(length, std::to_string(length), TraceText(lpFilename, length));
  }
  // A path that does not fit: Windows 2000 and XP fill the buffer without
  // a terminating zero; later versions end it with one and report
  // ERROR_INSUFFICIENT_BUFFER. Both return nSize.
  if (machine_.os.major >= 6) {
    path.copy(lpFilename, nSize - 1);
    lpFilename[nSize - 1] = 0;
    call.SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return call.Return(nSize, std::to_string(nSize), TraceText(lpFilename, nSize - 1));
  }
  path.copy(lpFilename, nSize);
  return call.Return(nSize, std::to_string(nSize), TraceText(lpFilename, nSize));
}

// The module's path in the code page, or in UTF-16.
std::string SimPlatform::ModulePathAs(const char*) const {
  return codePage_.FromMachine(machine_.modulePath);
}
WideText SimPlatform::ModulePathAs(const WCHAR*) const { return Utf16Of(machine_.modulePath); }

DWORD SimPlatform::GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
  return ModuleFileNameCall("GetModuleFileNameA", hModule, lpFilename, nSize);
}

DWORD SimPlatform::GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize) {
  return ModuleFileNameCall("GetModuleFileNameW", hModule, lpFilename, nSize);
}

int SimPlatform::MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
  CallRecord call(context_, "MessageBoxA", [&] {
    return TraceHandle(hWnd) + ", " + TraceString(lpText) + ", " + TraceString(lpCaption) + ", " +
           TraceHex(uType);
  });
  if (call.Faulted()) return call.ReturnFault(0, "0");
  // Without a caption Windows shows "Error".
  screen_ << (lpCaption != nullptr ? lpCaption : "Error") << "\n\n"
          << (lpText != nullptr ? lpText : "") << "\n";
  screen_.flush();
  return call.Return(IDOK, std::to_string(IDOK));
}
