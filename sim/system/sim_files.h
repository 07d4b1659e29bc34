// The file calls of the simulated machine, which the log uses: "nul" is the
// null device, any other name a real file relative to the current
// directory, opened for writing without truncation (OPEN_ALWAYS). The real
// file's hard links and symbolic links are those of the host: a symbolic
// link stands for a reparse point, which FILE_FLAG_OPEN_REPARSE_POINT opens
// itself instead of what it points at. A file is shared as its handles'
// share modes allow, among the handles of every simulated machine of the
// process, as Windows shares a file among processes.
#pragma once

#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "sim/system/handle_numbers.h"
#include "sim/system/machine.h"

class SimFiles {
 public:
  SimFiles(const Machine::LogFile& settings, HandleNumbers& numbers)
      : settings_(settings), numbers_(numbers) {}
  ~SimFiles();
  SimFiles(const SimFiles&) = delete;
  SimFiles& operator=(const SimFiles&) = delete;

  // Each call sets error where Windows sets the last error.
  HANDLE Create(LPCSTR name, DWORD access, DWORD share, DWORD disposition, DWORD flags,
                std::optional<DWORD>& error);
  BOOL Information(HANDLE handle, LPBY_HANDLE_FILE_INFORMATION information,
                   std::optional<DWORD>& error);
  BOOL SetEnd(HANDLE handle, std::optional<DWORD>& error);
  BOOL Write(HANDLE handle, const void* data, DWORD size, LPDWORD written,
             std::optional<DWORD>& error);
  BOOL Flush(HANDLE handle, std::optional<DWORD>& error);
  BOOL Close(HANDLE handle, std::optional<DWORD>& error);

 private:
  struct OpenFile {
    std::string path;
    std::FILE* stream = nullptr;  // null for the null device and a link itself
    bool link = false;            // a symbolic link opened itself
    DWORD access = 0;
    DWORD share = 0;
    long position = 0;
  };
  // The real files open through any SimFiles of the process.
  static std::vector<const OpenFile*>& HostOpenFiles();
  // Whether an open of the path with that access and share mode agrees
  // with every handle open on the same file.
  static bool MayShare(const std::string& path, DWORD access, DWORD share);
  void Forget(const OpenFile& file);
  OpenFile* Find(HANDLE handle);
  // The open file of a handle that may be written; null with error set
  // otherwise.
  OpenFile* FindWritable(HANDLE handle, std::optional<DWORD>& error);
  static bool IsWritable(const OpenFile& file, std::optional<DWORD>& error);

  const Machine::LogFile& settings_;
  HandleNumbers& numbers_;
  std::map<std::uintptr_t, OpenFile> files_;
};
