#include "sim/system/sim_files.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "sim/system/sim_constants.h"
#include "sim/system/windows1252_case.h"

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
  for (auto& entry : files_) {
    Forget(entry.second);
    if (entry.second.stream != nullptr) std::fclose(entry.second.stream);
  }
}

std::vector<const SimFiles::OpenFile*>& SimFiles::HostOpenFiles() {
  static std::vector<const OpenFile*> files;
  return files;
}

bool SimFiles::MayShare(const std::string& path, DWORD access, DWORD share) {
  auto reads = [](DWORD rights) { return (rights & sim::kGenericRead) != 0; };
  auto writes = [](DWORD rights) { return (rights & GENERIC_WRITE) != 0; };
  for (const OpenFile* open : HostOpenFiles()) {
    std::error_code ignored;
    if (!std::filesystem::equivalent(open->path, path, ignored)) continue;
    if ((reads(access) && (open->share & FILE_SHARE_READ) == 0) ||
        (writes(access) && (open->share & FILE_SHARE_WRITE) == 0) ||
        (reads(open->access) && (share & FILE_SHARE_READ) == 0) ||
        (writes(open->access) && (share & FILE_SHARE_WRITE) == 0))
      return false;
  }
  return true;
}

void SimFiles::Forget(const OpenFile& file) {
  std::vector<const OpenFile*>& open = HostOpenFiles();
  open.erase(std::remove(open.begin(), open.end(), &file), open.end());
}

SimFiles::OpenFile* SimFiles::Find(HANDLE handle) {
  auto found = files_.find(reinterpret_cast<std::uintptr_t>(handle));
  return found == files_.end() ? nullptr : &found->second;
}

bool SimFiles::IsWritable(const OpenFile& file, std::optional<DWORD>& error) {
  if ((file.access & GENERIC_WRITE) != 0) return true;
  error = ERROR_ACCESS_DENIED;
  return false;
}

SimFiles::OpenFile* SimFiles::FindWritable(HANDLE handle, std::optional<DWORD>& error) {
  OpenFile* file = Find(handle);
  if (file == nullptr) {
    error = ERROR_INVALID_HANDLE;
    return nullptr;
  }
  return IsWritable(*file, error) ? file : nullptr;
}

HANDLE SimFiles::Create(LPCSTR name, DWORD access, DWORD share, DWORD disposition, DWORD flags,
                        std::optional<DWORD>& error) {
  if (name == nullptr || disposition != OPEN_ALWAYS) {
    error = ERROR_INVALID_PARAMETER;
    return INVALID_HANDLE_VALUE;
  }
  OpenFile file;
  file.access = access;
  file.share = share;
  if (EqualNoCase(name, "nul")) {
    error = kErrorAlreadyExists;
  } else {
    if (!settings_.openable) {
      error = ERROR_ACCESS_DENIED;
      return INVALID_HANDLE_VALUE;
    }
    std::error_code ignored;
    // Absolute, so that another machine's handle on the file is known
    // whatever the current directory is when it opens it.
    file.path = std::filesystem::absolute(name, ignored).string();
    file.link = (flags & FILE_FLAG_OPEN_REPARSE_POINT) != 0 &&
                std::filesystem::is_symlink(std::filesystem::symlink_status(file.path, ignored));
    bool existed = file.link || std::filesystem::exists(file.path, ignored);
    if (existed && !MayShare(file.path, access, share)) {
      error = sim::kErrorSharingViolation;
      return INVALID_HANDLE_VALUE;
    }
    if (file.link) {
      // The link itself, whatever it points at (if anything).
    } else if (!existed) {
      std::FILE* created = std::fopen(name, "wb");
      if (created == nullptr) {
        error = ErrorOfErrno(errno);
        return INVALID_HANDLE_VALUE;
      }
      std::fclose(created);
    }
    if (!file.link) file.stream = std::fopen(name, "r+b");
    if (!file.link && file.stream == nullptr) {
      error = ErrorOfErrno(errno);
      return INVALID_HANDLE_VALUE;
    }
    // Unbuffered: every write reaches the file at once, as the log expects
    // of a file that must hold every line however the process ends, and
    // goes there from the caller's bytes without a copy.
    if (file.stream != nullptr) std::setvbuf(file.stream, nullptr, _IONBF, 0);
    // OPEN_ALWAYS reports whether the file was there already.
    error = existed ? kErrorAlreadyExists : ERROR_SUCCESS;
  }
  std::uintptr_t number = numbers_.Next();
  const OpenFile& opened = files_[number] = file;
  if (!opened.path.empty()) HostOpenFiles().push_back(&opened);
  return reinterpret_cast<HANDLE>(number);
}

BOOL SimFiles::Information(HANDLE handle, LPBY_HANDLE_FILE_INFORMATION information,
                           std::optional<DWORD>& error) {
  OpenFile* file = Find(handle);
  if (file == nullptr) {
    error = ERROR_INVALID_HANDLE;
    return FALSE;
  }
  if (information == nullptr) {
    error = sim::kErrorNoAccess;
    return FALSE;
  }
  // The null device is no file and has no such information.
  if (file->path.empty()) {
    error = sim::kErrorInvalidFunction;
    return FALSE;
  }
  *information = BY_HANDLE_FILE_INFORMATION{};
  information->nNumberOfLinks = 1;
  if (file->link) {
    information->dwFileAttributes = FILE_ATTRIBUTE_REPARSE_POINT;
    return TRUE;
  }
  std::error_code failure;
  std::uintmax_t links = std::filesystem::hard_link_count(file->path, failure);
  std::uintmax_t size = failure ? 0 : std::filesystem::file_size(file->path, failure);
  if (failure) {
    error = ERROR_ACCESS_DENIED;
    return FALSE;
  }
  information->dwFileAttributes = sim::kFileAttributeArchive;
  information->nNumberOfLinks = static_cast<DWORD>(links);
  information->nFileSizeHigh = static_cast<DWORD>(size >> 32);
  information->nFileSizeLow = static_cast<DWORD>(size);
  return TRUE;
}

BOOL SimFiles::SetEnd(HANDLE handle, std::optional<DWORD>& error) {
  OpenFile* file = FindWritable(handle, error);
  if (file == nullptr) return FALSE;
  if (file->stream == nullptr) return TRUE;
  if (!settings_.truncatable) {
    error = ERROR_ACCESS_DENIED;
    return FALSE;
  }
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
  if (!IsWritable(*file, error)) return FALSE;
  // The stream's own position follows the writes: nothing else moves it.
  if (file->stream != nullptr && size != 0) {
    if (std::fwrite(data, 1, size, file->stream) != size) {
      error = ERROR_ACCESS_DENIED;
      return FALSE;
    }
    file->position += static_cast<long>(size);
  }
  *written = size;
  return TRUE;
}

BOOL SimFiles::Flush(HANDLE handle, std::optional<DWORD>& error) {
  OpenFile* file = FindWritable(handle, error);
  if (file == nullptr) return FALSE;
  if (file->stream != nullptr && std::fflush(file->stream) != 0) {
    error = ERROR_ACCESS_DENIED;
    return FALSE;
  }
  return TRUE;
}

BOOL SimFiles::Close(HANDLE handle, std::optional<DWORD>& error) {
  OpenFile* file = Find(handle);
  if (file == nullptr) {
    error = ERROR_INVALID_HANDLE;
    return FALSE;
  }
  Forget(*file);
  if (file->stream != nullptr) std::fclose(file->stream);
  files_.erase(reinterpret_cast<std::uintptr_t>(handle));
  return TRUE;
}
