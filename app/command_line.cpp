#include "app/command_line.h"

#include <string>
#include <vector>

#include "app/build_stamp.h"
#include "app/installation.h"
#include "platform/platform.h"
#include "process/log.h"
#include "process/process_state.h"

namespace {

bool IsSeparator(char c) { return static_cast<unsigned char>(c) <= ' '; }

// Splits the command line: runs of characters up to code 32 separate
// arguments, except inside double quotes; the quotes are dropped, and a
// pair of double quotes at the start of an argument is skipped.
std::vector<std::string> SplitCommandLine(const char* line) {
  std::vector<std::string> arguments;
  const char* p = line;
  while (true) {
    while (true) {
      while (*p != '\0' && IsSeparator(*p)) ++p;
      if (p[0] == '"' && p[1] == '"')
        p += 2;
      else
        break;
    }
    if (*p == '\0') break;
    std::string argument;
    while (*p != '\0' && !IsSeparator(*p)) {
      if (*p == '"') {
        ++p;
        while (*p != '\0' && *p != '"') argument += *p++;
        if (*p == '"') ++p;
      } else {
        argument += *p++;
      }
    }
    arguments.push_back(argument);
  }
  return arguments;
}

const char* const kUsageText =
    KESTRAVE_BANNER "\n"
    "\n"
    "  -d Write debug info out to file 'kestrave.txt'.\n"
    "  -f Force the displays to be optimized.\n"
    "  -i Install the program to be run at each boot.\n"
    "  -p Use the highest refresh rate even if it isn't a preset.\n"
    "  -u Remove all optimization flags and stop running at each boot.\n"
    "  -? Display this list of command line options.\n"
    "\n"
    "The -i, -u, and -? options are mutually exclusive.  If more than one is\n"
    "specified, the highest precedence one (in the order iu?) is processed\n"
    "and the others are ignored.\n"
    "\n"
    "This program is only supported under Windows 2K, XP, and later.";

}  // namespace

bool HasSwitch(const char* letter) {
  const char* line = Win32().GetCommandLineA();
  if (line == nullptr) return false;
  std::vector<std::string> arguments = SplitCommandLine(line);
  for (size_t i = 1; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument.empty() || (argument[0] != '-' && argument[0] != '/')) continue;
    std::string rest = argument.substr(1);
    if (Win32().CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, rest.c_str(), -1, letter,
                               -1) == CSTR_EQUAL)
      return true;
  }
  return false;
}

std::optional<int> ParseCommandLine() {
  DebugMode = HasSwitch("d");
  OpenLog(DebugMode);
  Log() << KESTRAVE_BANNER << "\n\n";
  // -p given with -i goes into the Run value, for the log-on runs.
  if (HasSwitch("i")) return UpdateInstallation(true, HasSwitch("p")) ? 0 : 1;
  if (HasSwitch("u")) return UpdateInstallation(false) ? 0 : 1;
  if (HasSwitch("?")) {
    ShowUsage();
    return 0;
  }
  ForceOptimization = HasSwitch("f");
  PresetsOnly = !HasSwitch("p");
  return std::nullopt;
}

void ShowUsage() {
  Win32().MessageBoxA(nullptr, kUsageText, "Kestrave Command Line Options", MB_OK | MB_TASKMODAL);
}
