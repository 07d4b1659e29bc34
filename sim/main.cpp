// kestrave-sim: the program on a simulated Windows machine; the usage below
// says how it is called.
#include <fstream>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/entry.h"
#include "platform/platform.h"
#include "sim/machine_file/machine_file.h"
#include "sim/machine_file/machine_file_error.h"
#include "sim/machine_file/machine_reader.h"
#include "sim/machine_file/machine_writer.h"
#include "sim/machine_file/sample_machine.h"
#include "sim/system/sim_platform.h"

namespace {

const int kCannotRun = 2;

const char kUsage[] =
    "Usage: kestrave-sim [--machine FILE] [--output FILE] [--trace FILE]\n"
    "                    [--command-line TEXT] [--] [SWITCH...]\n"
    "       kestrave-sim --save-sample FILE\n"
    "       kestrave-sim --help\n"
    "\n"
    "Runs Kestrave with the SWITCHes on the simulated Windows machine that FILE\n"
    "describes (the built-in sample machine without --machine).\n"
    "\n"
    "  --machine FILE       the machine to run on; written back after the run\n"
    "                       with what the run changed, unless --output is given\n"
    "  --output FILE        write the machine after the run to FILE instead,\n"
    "                       leaving the --machine file as it is\n"
    "  --trace FILE         write every platform call, one line each, to FILE\n"
    "  --command-line TEXT  the whole command line of the program, in place of\n"
    "                       the module path and the SWITCHes\n"
    "  --save-sample FILE   write the built-in sample machine to FILE\n"
    "  --help               show this text\n"
    "\n"
    "The exit code is the program's (0 or 1), or 2 when kestrave-sim cannot run.\n";

struct Options {
  std::optional<std::string> machine;
  std::optional<std::string> output;
  std::optional<std::string> trace;
  std::optional<std::string> commandLine;
  std::optional<std::string> sample;
  std::vector<std::string> switches;
  bool help = false;
};

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Options may come anywhere before "--"; everything else is a switch for
// the program.
Options ParseOptions(int argc, char** argv) {
  Options options;
  bool switchesOnly = false;
  for (int i = 1; i < argc; ++i) {
    std::string argument = argv[i];
    if (switchesOnly || argument.compare(0, 2, "--") != 0) {
      options.switches.push_back(argument);
      continue;
    }
    if (argument == "--") {
      switchesOnly = true;
      continue;
    }
    if (argument == "--help") {
      options.help = true;
      continue;
    }
    std::optional<std::string>* target = nullptr;
    if (argument == "--machine") target = &options.machine;
    if (argument == "--output") target = &options.output;
    if (argument == "--trace") target = &options.trace;
    if (argument == "--command-line") target = &options.commandLine;
    if (argument == "--save-sample") target = &options.sample;
    if (target == nullptr)
      throw UsageError("unknown option " + argument + " (use -- before it if it is a switch)");
    if (i + 1 >= argc) throw UsageError(argument + " needs a value");
    if (*target) throw UsageError(argument + " is given twice");
    *target = argv[++i];
  }
  if (options.help && argc != 2) throw UsageError("--help takes nothing else");
  if (options.sample && (argc != 3)) throw UsageError("--save-sample FILE takes nothing else");
  if (options.commandLine && !options.switches.empty())
    throw UsageError("--command-line gives the whole command line; no SWITCH goes with it");
  return options;
}

void WriteTrace(const std::string& path, const std::vector<std::string>& lines) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  for (const std::string& line : lines) file << line << '\n';
  file.close();
  if (!file) throw std::runtime_error("cannot write the trace");
}

int CannotRun(const std::string& file, const std::string& problem) {
  std::cerr << "kestrave-sim: " << file << ": " << problem << "\n";
  return kCannotRun;
}

int Run(const Options& options) {
  // A target that cannot be written is found before the run, not after it
  // has been left half-recorded.
  for (const std::optional<std::string>* target : {&options.output, &options.trace})
    if (*target && IsDirectory(**target)) return CannotRun(**target, "is a directory");
  Json document;
  std::string source = options.machine ? *options.machine : "the sample machine";
  std::optional<Machine> machine;
  try {
    document = options.machine ? LoadMachineDocument(*options.machine) : SampleMachine();
    machine.emplace(ReadMachine(document));
  } catch (const std::exception& error) {
    return CannotRun(source, error.what());
  }
  std::string commandLine = options.commandLine
                                ? *options.commandLine
                                : DefaultCommandLine(machine->modulePath, options.switches);
  SimPlatform platform(*machine, commandLine, std::cout, options.trace.has_value());
  SetPlatform(&platform);
  int code;
  {
    KestraveModule module;
    code = KestraveMain();
  }
  SetPlatform(nullptr);

  std::string target;
  try {
    if (options.trace) {
      target = *options.trace;
      WriteTrace(target, platform.Trace());
    }
    if (options.output || options.machine) {
      target = options.output ? *options.output : *options.machine;
      Json updated = UpdatedMachineDocument(document, *machine);
      // The machine file itself is rewritten only when the run changed it.
      if (options.output || updated != document)
        SaveFileAtomically(target, MachineDocumentText(updated));
    }
  } catch (const std::exception& error) {
    return CannotRun(target, error.what());
  }
  return code;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  try {
    options = ParseOptions(argc, argv);
  } catch (const UsageError& error) {
    std::cerr << "kestrave-sim: " << error.what() << "\n" << "Try 'kestrave-sim --help'.\n";
    return kCannotRun;
  }
  if (options.help) {
    std::cout << kUsage;
    return 0;
  }
  if (options.sample) {
    try {
      SaveFileAtomically(*options.sample, MachineDocumentText(SampleMachine()));
    } catch (const std::exception& error) {
      return CannotRun(*options.sample, error.what());
    }
    return 0;
  }
  return Run(options);
}
