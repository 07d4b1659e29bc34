// hold-open FILE PROGRAM [ARGUMENT...]: runs PROGRAM while FILE is held
// open for writing, shared for reading and writing, with "held" written
// into it, as another run writing its log would hold it; for the Wine test
// of two runs in one folder. The exit code is PROGRAM's, or 255 when FILE
// cannot be held or PROGRAM cannot be started.
#include <windows.h>

#include <string>

int main(int argc, char** argv) {
  if (argc < 3) return 255;
  HANDLE held = CreateFileA(argv[1], GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  if (held == INVALID_HANDLE_VALUE || !SetEndOfFile(held) ||
      !WriteFile(held, "held", 4, &written, nullptr))
    return 255;
  std::string command = std::string("\"") + argv[2] + "\"";
  for (int i = 3; i < argc; ++i) command += std::string(" ") + argv[i];
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return 255;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD exitCode = 255;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  CloseHandle(held);
  return static_cast<int>(exitCode);
}
