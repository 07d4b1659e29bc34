#include "sim/machine_file/machine_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include "sim/machine_file/machine_reader.h"

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

bool WriteWholeFile(const std::string& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << text;
  file.close();
  return static_cast<bool>(file);
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
  std::string temporary = path + ".kestrave-sim-tmp";
  if (!WriteWholeFile(temporary, text)) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    throw std::runtime_error("cannot write the file " + temporary);
  }
  std::error_code failure;
  std::filesystem::rename(temporary, path, failure);
  if (failure) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    throw std::runtime_error("cannot replace the file: " + failure.message());
  }
}
