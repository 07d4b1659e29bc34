// kestrave-edid [FILE...]: writes the EDID report of each file, or of
// standard input when no file is named, exactly as the debug log shows it
// for a monitor. A file is raw binary or hex text (see edid_input.h); as the
// program does with the registry value, only its first 256 bytes are taken.
// With several files each report is headed by a line naming its file.
// Exits with 1 when a file could not be read or parsed, 0 otherwise.

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "edid/edid_report.h"
#include "platform/binary_stdin.h"
#include "tools/kestrave-edid/edid_input.h"

namespace {

// The longest EDID block the program keeps of a monitor's registry value.
constexpr std::size_t kMaximumEdidSize = 256;
// The indentation at which the monitor dump writes the report.
const char* const kReportIndentation = "    ";

void Fail(const std::string& name, const std::string& message) {
  std::cerr << "kestrave-edid: " << name << ": " << message << std::endl;
}

// The EDID bytes of one input; false, with a message on standard error,
// when it could not be read or parsed.
bool ReadEdid(const std::string& name, std::istream& in, std::vector<std::uint8_t>& bytes) {
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad()) {
    Fail(name, "cannot be read");
    return false;
  }
  EdidInput input = ReadEdidInput(content.str());
  if (!input.error.empty()) {
    Fail(name, input.error);
    return false;
  }
  if (input.bytes.size() > kMaximumEdidSize) input.bytes.resize(kMaximumEdidSize);
  bytes = std::move(input.bytes);
  return true;
}

void Report(const std::vector<std::uint8_t>& bytes) {
  WriteEdidReport(bytes.data(), bytes.size(), std::cout, kReportIndentation);
}

bool ReadEdidFile(const std::string& name, std::vector<std::uint8_t>& bytes) {
  std::error_code error;
  if (std::filesystem::is_directory(name, error)) {
    Fail(name, "is a directory");
    return false;
  }
  std::ifstream file(name, std::ios::binary);
  if (!file) {
    Fail(name, "cannot be opened");
    return false;
  }
  return ReadEdid(name, file, bytes);
}

}  // namespace

int main(int argc, char* argv[]) {
  std::vector<std::uint8_t> bytes;
  if (argc < 2) {
    SetStdinBinary();
    if (!ReadEdid("standard input", std::cin, bytes)) return 1;
    Report(bytes);
    return 0;
  }
  bool allReported = true;
  int reported = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string name = argv[i];
    if (!ReadEdidFile(name, bytes)) {
      allReported = false;
      continue;
    }
    if (argc > 2) std::cout << (reported > 0 ? "\n" : "") << "==> " << name << " <==" << std::endl;
    Report(bytes);
    ++reported;
  }
  return allReported ? 0 : 1;
}
