#include "sim/machine_file/machine_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include "sim/machine_file/machine_reader.h"
#include "sim/machine_file/temporary_name.h"

bool IsDirectory(const std::string& path) {
  std::error_code unknown;
  return std::filesystem::is_directory(path, unknown);
}

Json LoadMachineDocument(const std::string& path) {
  // A directory opens as a stream on some systems and reads as nothing,
  // which the parser would report as a syntax error.
  if (IsDirectory(path)) throw std::runtime_error("is a directory");
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error(std::string("cannot read the file: ") + std::strerror(errno));
  std::ostringstream text;
  text << file.rdbuf();
  if (file.bad()) throw std::runtime_error("cannot read the file");
  return ParseMachineJson(text.str());
}

namespace {

// A target that is not a regular file is written into as it stands.
bool WriteWholeFile(const std::string& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << text;
  file.close();
  return static_cast<bool>(file);
}

std::string TemporaryName(const std::string& path) {
  std::random_device source;
  unsigned char random[8];
  for (unsigned char& byte : random) byte = static_cast<unsigned char>(source());
  return TemporaryNameBeside(path, random, ".kestrave-sim-tmp");
}

bool WriteAll(int file, const std::string& text) {
  for (size_t done = 0; done < text.size();) {
    ssize_t written = ::write(file, text.data() + done, text.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    done += static_cast<size_t>(written);
  }
  return true;
}

// The temporary file, made new: never opened where anything, a link
// included, exists under its name, and refused when it has a second name
// (a hard link made to it before it was checked). The text of the error
// when it cannot be written, empty when it was; made says whether the file
// is this call's to remove.
std::string WriteNewFile(const std::string& temporary, const std::string& text, bool& made) {
  const int file = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                          0666);
  made = file >= 0;
  if (!made) return std::strerror(errno);
  std::string problem;
  struct stat status;
  if (::fstat(file, &status) != 0)
    problem = std::strerror(errno);
  else if (!S_ISREG(status.st_mode) || status.st_nlink != 1)
    problem = "not a file of its own";
  else if (!WriteAll(file, text) || ::fsync(file) != 0)
    problem = std::strerror(errno);
  if (::close(file) != 0 && problem.empty()) problem = std::strerror(errno);
  return problem;
}

}  // namespace

void SaveFileAtomically(const std::string& path, const std::string& text) {
  // A device or a pipe, such as the null device, is written into: a file
  // renamed over it would take it away from every other program.
  std::error_code unknown;
  const std::filesystem::file_type type = std::filesystem::status(path, unknown).type();
  if (type == std::filesystem::file_type::directory) throw std::runtime_error("is a directory");
  if (type != std::filesystem::file_type::not_found &&
      type != std::filesystem::file_type::regular && !unknown) {
    if (!WriteWholeFile(path, text)) throw std::runtime_error("cannot write the file " + path);
    return;
  }
  // Written beside the target and renamed over it; the temporary file is
  // the only file removed.
  const std::string temporary = TemporaryName(path);
  bool made = false;
  std::string problem = WriteNewFile(temporary, text, made);
  if (problem.empty()) {
    std::error_code failure;
    std::filesystem::rename(temporary, path, failure);
    if (!failure) return;
    problem = "cannot replace the file: " + failure.message();
  } else {
    problem = "cannot write the file " + temporary + ": " + problem;
  }
  if (made) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
  }
  throw std::runtime_error(problem);
}
