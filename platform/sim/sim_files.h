// The file calls of the simulated machine, which the log uses: "nul" is the
// null device, any other name a real file relative to the current
// directory, opened for writing without truncation (OPEN_ALWAYS).
#pragma once

#include <cstdio>
#include <map>
#include <optional>
#include <string>

#include "platform/sim/handle_numbers.h"
#include "platform/sim/machine.h"

class SimFiles {
 public:
  SimFiles(const Machine::LogFile& settings, HandleNumbers& numbers)
      : settings_(settings), numbers_(numbers) {}
  ~SimFiles();
  SimFiles(const SimFiles&) = delete;
  SimFiles& operator=(const SimFiles&) = delete;

  // Each call sets error where Windows sets the last error.
  HANDLE Create(LPCSTR name, DWORD access, DWORD disposition, std::optional<DWORD>& error);
  BOOL SetEnd(HANDLE handle, std::optional<DWORD>& error);
  BOOL Write(HANDLE handle, const void* data, DWORD size, LPDWORD written,
             std::optional<DWORD>& error);
  BOOL Close(HANDLE handle, std::optional<DWORD>& error);

 private:
  struct OpenFile {
    std::string path;
    std::FILE* stream = nullptr;  // null for the null device
    DWORD access = 0;
    long position = 0;
  };
  OpenFile* Find(HANDLE handle);

  const Machine::LogFile& settings_;
  HandleNumbers& numbers_;
  std::map<std::uintptr_t, OpenFile> files_;
};
