#include "platform/sim/sim_files.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "platform/sim/sim_constants.h"
#include "platform/sim/windows1252_case.h"

namespace {

const DWORD kErrorAlreadyExists = 183;

DWORD ErrorOfErrno(int number) {
  switch (number) {
    case ENOENT:
    case ENOTDIR:
      return sim::kErrorPathNotFound;
    default:
      return ERROR_ACCESS_DENIED;
  }
}

}  // namespace

SimFiles::~SimFiles() {
  for (auto& entry : files_)
    if (entry.second.stream != nullptr) std::fclose(entry.second.stream);
}

SimFiles::OpenFile* SimFiles::Find(HANDLE handle) {
  auto found = files_.find(reinterpret_cast<std::uintptr_t>(handle));
  return found == files_.end() ? nullptr : &found->second;
}

HANDLE SimFiles::Create(LPCSTR name, DWORD access, DWORD disposition, std::optional<DWORD>& error) {
  if (name == nullptr || disposition != OPEN_ALWAYS) {
    error = ERROR_INVALID_PARAMETER;
    return INVALID_HANDLE_VALUE;
  }
  OpenFile file;
  file.access = access;
  if (EqualNoCase(name, "nul")) {
    error = kErrorAlreadyExists;
  } else {
    if (!settings_.openable) {
      error = ERROR_ACCESS_DENIED;
      return INVALID_HANDLE_VALUE;
    }
    file.path = name;
    std::error_code ignored;
    bool existed = std::filesystem::exists(file.path, ignored);
    if (!existed) {
      std::FILE* created = std::fopen(name, "wb");
      if (created == nullptr) {
        error = ErrorOfErrno(errno);
        return INVALID_HANDLE_VALUE;
      }
      std::fclose(created);
    }
    file.stream = std::fopen(name, "r+b");
    if (file.stream == nullptr) {
      error = ErrorOfErrno(errno);
      return INVALID_HANDLE_VALUE;
    }
    // OPEN_ALWAYS reports whether the file was there already.
    error = existed ? kErrorAlreadyExists : ERROR_SUCCESS;
  }
  std::uintptr_t number = numbers_.Next();
  files_[number] = file;
  return reinterpret_cast<HANDLE>(number);
}

BOOL SimFiles::SetEnd(HANDLE handle, std::optional<DWORD>& error) {
  OpenFile* file = Find(handle);
  if (file == nullptr) {
    error = ERROR_INVALID_HANDLE;
    return FALSE;
  }
  if ((file->access & GENERIC_WRITE) == 0) {
    error = ERROR_ACCESS_DENIED;
    return FALSE;
  }
  if (file->stream == nullptr) return TRUE;
  if (!settings_.truncatable) {
    error = ERROR_ACCESS_DENIED;
    return FALSE;
  }
  std::fflush(file->stream);
  std::error_code failure;
  std::filesystem::resize_file(file->path, static_cast<std::uintmax_t>(file->position), failure);
  if (failure) {
    error = ERROR_ACCESS_DENIED;
    return FALSE;
  }
  return TRUE;
}

BOOL SimFiles::Write(HANDLE handle, const void* data, DWORD size, LPDWORD written,
                     std::optional<DWORD>& error) {
  OpenFile* file = Find(handle);
  if (file == nullptr) {
    error = ERROR_INVALID_HANDLE;
    return FALSE;
  }
  if (written == nullptr || (data == nullptr && size != 0)) {
    error = sim::kErrorNoAccess;
    return FALSE;
  }
  *written = 0;
  if ((file->access & GENERIC_WRITE) == 0) {
    error = ERROR_ACCESS_DENIED;
    return FALSE;
  }
  if (file->stream != nullptr && size != 0) {
    // Every write reaches the disk at once, as the log expects of a file
    // that must hold every line however the process ends.
    if (std::fseek(file->stream, file->position, SEEK_SET) != 0 ||
        std::fwrite(data, 1, size, file->stream) != size || std::fflush(file->stream) != 0) {
      error = ERROR_ACCESS_DENIED;
      return FALSE;
    }
    file->position += static_cast<long>(size);
  }
  *written = size;
  return TRUE;
}

BOOL SimFiles::Close(HANDLE handle, std::optional<DWORD>& error) {
  OpenFile* file = Find(handle);
  if (file == nullptr) {
    error = ERROR_INVALID_HANDLE;
    return FALSE;
  }
  if (file->stream != nullptr) std::fclose(file->stream);
  files_.erase(reinterpret_cast<std::uintptr_t>(handle));
  return TRUE;
}
