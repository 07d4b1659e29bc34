// kestrave-edid: writes the EDID report of each file, or of standard input,
// exactly as the debug log shows it for a monitor; the usage below says how
// it is called. A file is raw binary, hex text (see edid_input.h), a debug
// log, whose every EDID dump is reported under its monitor's heading (see
// debug_log_input.h), or the output of edid-decode or xrandr --verbose (see
// tool_output_input.h). As the program does with the registry value, only
// the first 256 bytes of a block are taken.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "edid/edid_fields.h"
#include "edid/edid_report.h"
#include "platform/binary_stdin.h"
#include "tools/kestrave-edid/debug_log_input.h"
#include "tools/kestrave-edid/edid_input.h"
#include "tools/kestrave-edid/tool_output_input.h"

namespace {

// The longest EDID block the program keeps of a monitor's registry value.
constexpr std::size_t kMaximumEdidSize = 256;
// The indentation at which the monitor dump writes the report.
const char* const kReportIndentation = "    ";

const char kUsage[] =
    "Usage: kestrave-edid [--raw OUT] [FILE...]\n"
    "       kestrave-edid --help\n"
    "\n"
    "Writes the EDID report of each FILE (standard input without one) as the\n"
    "Kestrave debug log shows it. A FILE holds the raw bytes of a block, hex\n"
    "text, the output of edid-decode or of xrandr --verbose, or a debug log\n"
    "(kestrave.txt). Every block of a debug log or of xrandr's output is\n"
    "reported under the heading of its monitor or output.\n"
    "\n"
    "  --raw OUT  also write the bytes of each block read: the first to OUT,\n"
    "             the second to OUT.2, the third to OUT.3, and so on\n"
    "  --help     show this text\n"
    "\n"
    "Exit code 0 when every FILE gave a block of 128 bytes or more; 1, with a\n"
    "line on standard error naming the FILE and the problem, otherwise.\n";

struct Options {
  std::optional<std::string> raw;
  std::vector<std::string> files;
  bool help = false;
};

void Fail(const std::string& name, const std::string& message) {
  std::cerr << "kestrave-edid: " << name << ": " << message << std::endl;
}

// The content of one input; none, with a message on standard error, when it
// cannot be read.
std::optional<std::string> ReadContent(const std::string& name, std::istream& in) {
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad()) {
    Fail(name, "cannot be read");
    return std::nullopt;
  }
  return content.str();
}

std::optional<std::string> ReadFile(const std::string& name) {
  std::error_code error;
  if (std::filesystem::is_directory(name, error)) {
    Fail(name, "is a directory");
    return std::nullopt;
  }
  std::ifstream file(name, std::ios::binary);
  if (!file) {
    Fail(name, "cannot be opened");
    return std::nullopt;
  }
  return ReadContent(name, file);
}

// The blocks of one input: every dump of a debug log, else every block of
// edid-decode's or xrandr's output, else the one block of a raw or hex
// file; none, with a message, for text that is none of these.
std::optional<std::vector<LoggedEdid>> BlocksOf(const std::string& name,
                                                const std::string& content) {
  std::vector<LoggedEdid> logged = ReadDebugLogEdids(content);
  if (logged.empty()) logged = ReadToolOutputEdids(content);
  if (!logged.empty()) return logged;
  EdidInput input = ReadEdidInput(content);
  if (!input.error.empty()) {
    Fail(name, input.error);
    return std::nullopt;
  }
  return std::vector<LoggedEdid>{{std::string(), std::move(input.bytes)}};
}

bool WriteRaw(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) Fail(path, "cannot be written");
  return static_cast<bool>(out);
}

class Reporter {
 public:
  Reporter(const Options& options, bool headed) : options_(options), headed_(headed) {}

  // Reports every block of one input; false when it gave no full block.
  bool Report(const std::string& name, const std::optional<std::string>& content) {
    if (!content) return false;
    std::optional<std::vector<LoggedEdid>> blocks = BlocksOf(name, *content);
    if (!blocks) return false;
    if (headed_) std::cout << (reported_++ > 0 ? "\n" : "") << "==> " << name << " <==" << std::endl;
    std::size_t longest = 0;
    bool written = true;
    for (LoggedEdid& block : *blocks) {
      if (block.bytes.size() > kMaximumEdidSize) block.bytes.resize(kMaximumEdidSize);
      longest = std::max(longest, block.bytes.size());
      if (!block.monitor.empty()) std::cout << "--- " << block.monitor << std::endl;
      WriteEdidReport(block.bytes.data(), block.bytes.size(), std::cout, kReportIndentation);
      if (options_.raw && !WriteRaw(RawPath(++rawBlocks_), block.bytes)) written = false;
    }
    if (longest < kEdidBaseBlockSize) {
      Fail(name, "holds " + std::to_string(longest) + " bytes of EDID data, fewer than " +
                     std::to_string(kEdidBaseBlockSize));
      return false;
    }
    return written;
  }

 private:
  // Where --raw writes the nth block of the run, counted from 1.
  std::string RawPath(int n) const {
    return n == 1 ? *options_.raw : *options_.raw + "." + std::to_string(n);
  }

  const Options& options_;
  const bool headed_;
  int reported_ = 0;
  int rawBlocks_ = 0;
};

// False, with a message, for a command line it cannot follow.
bool ParseOptions(int argc, char* argv[], Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--help") {
      options.help = true;
    } else if (argument == "--raw") {
      if (i + 1 >= argc || options.raw) {
        std::cerr << "kestrave-edid: --raw takes one file, once\n";
        return false;
      }
      options.raw = argv[++i];
    } else {
      options.files.push_back(argument);
    }
  }
  return true;
}

}  // namespace

int main(int argc, char* argv[]) {
  Options options;
  if (!ParseOptions(argc, argv, options)) return 1;
  if (options.help) {
    std::cout << kUsage;
    return 0;
  }
  Reporter reporter(options, options.files.size() > 1);
  if (options.files.empty()) {
    SetStdinBinary();
    return reporter.Report("standard input", ReadContent("standard input", std::cin)) ? 0 : 1;
  }
  bool allReported = true;
  for (const std::string& name : options.files)
    if (!reporter.Report(name, ReadFile(name))) allReported = false;
  return allReported ? 0 : 1;
}
