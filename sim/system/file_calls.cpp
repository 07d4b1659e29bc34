// The file calls of SimPlatform.
#include "sim/system/sim_platform.h"
#include "sim/system/trace_text.h"

HANDLE SimPlatform::CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                                LPSECURITY_ATTRIBUTES lpSecurityAttributes,
                                DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes,
                                HANDLE hTemplateFile) {
  CallRecord call(context_, "CreateFileA", [&] {
    return TraceString(lpFileName) + ", " + TraceHex(dwDesiredAccess) + ", " +
           TraceHex(dwShareMode) + ", " + TracePointer(lpSecurityAttributes) + ", " +
           std::to_string(dwCreationDisposition) + ", " + TraceHex(dwFlagsAndAttributes) + ", " +
           TraceHandle(hTemplateFile);
  });
  if (call.Faulted())
    return call.ReturnFault(INVALID_HANDLE_VALUE, TraceHandle(INVALID_HANDLE_VALUE));
  std::optional<DWORD> error;
  HANDLE handle =
      files_.Create(lpFileName, dwDesiredAccess, dwShareMode, dwCreationDisposition,
                    dwFlagsAndAttributes, error);
  call.SetLastError(error);
  return call.Return(handle, TraceHandle(handle));
}

BOOL SimPlatform::GetFileInformationByHandle(HANDLE hFile,
                                             LPBY_HANDLE_FILE_INFORMATION lpFileInformation) {
  CallRecord call(context_, "GetFileInformationByHandle",
                  [&] { return TraceHandle(hFile) + ", " + TracePointer(lpFileInformation); });
  if (call.Faulted()) return call.ReturnFault(FALSE, "FALSE");
  std::optional<DWORD> error;
  BOOL done = files_.Information(hFile, lpFileInformation, error);
  call.SetLastError(error);
  return call.Return(done, TraceBool(done),
                     done ? "dwFileAttributes=" + TraceHex(lpFileInformation->dwFileAttributes) +
                                ", nNumberOfLinks=" +
                                std::to_string(lpFileInformation->nNumberOfLinks)
                          : std::string());
}

BOOL SimPlatform::SetEndOfFile(HANDLE hFile) {
  CallRecord call(context_, "SetEndOfFile", [&] { return TraceHandle(hFile); });
  if (call.Faulted()) return call.ReturnFault(FALSE, "FALSE");
  std::optional<DWORD> error;
  BOOL done = files_.SetEnd(hFile, error);
  call.SetLastError(error);
  return call.Return(done, TraceBool(done));
}

BOOL SimPlatform::WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                            LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped) {
  CallRecord call(context_, "WriteFile", [&] {
    return TraceHandle(hFile) + ", " + TraceBytes(lpBuffer, nNumberOfBytesToWrite) + ", " +
           std::to_string(nNumberOfBytesToWrite) + ", " + TracePointer(lpNumberOfBytesWritten) +
           ", " + TracePointer(lpOverlapped);
  });
  if (call.Faulted()) return call.ReturnFault(FALSE, "FALSE");
  std::optional<DWORD> error;
  BOOL done = files_.Write(hFile, lpBuffer, nNumberOfBytesToWrite, lpNumberOfBytesWritten, error);
  call.SetLastError(error);
  return call.Return(done, TraceBool(done),
                     done ? std::to_string(*lpNumberOfBytesWritten) : std::string());
}

BOOL SimPlatform::FlushFileBuffers(HANDLE hFile) {
  CallRecord call(context_, "FlushFileBuffers", [&] { return TraceHandle(hFile); });
  if (call.Faulted()) return call.ReturnFault(FALSE, "FALSE");
  std::optional<DWORD> error;
  BOOL done = files_.Flush(hFile, error);
  call.SetLastError(error);
  return call.Return(done, TraceBool(done));
}

BOOL SimPlatform::CloseHandle(HANDLE hObject) {
  CallRecord call(context_, "CloseHandle", [&] { return TraceHandle(hObject); });
  if (call.Faulted()) return call.ReturnFault(FALSE, "FALSE");
  std::optional<DWORD> error;
  BOOL done = files_.Close(hObject, error);
  call.SetLastError(error);
  return call.Return(done, TraceBool(done));
}
