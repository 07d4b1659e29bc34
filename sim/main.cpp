// kestrave-sim: the program on a simulated Windows machine.
//   kestrave-sim [--machine FILE] [--trace FILE] [--command-line TEXT] [--] [SWITCH...]
//   kestrave-sim --save-sample FILE
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

struct Options {
  std::optional<std::string> machine;
  std::optional<std::string> trace;
  std::optional<std::string> commandLine;
  std::optional<std::string> sample;
  std::vector<std::string> switches;
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
    std::optional<std::string>* target = nullptr;
    if (argument == "--machine") target = &options.machine;
    if (argument == "--trace") target = &options.trace;
    if (argument == "--command-line") target = &options.commandLine;
    if (argument == "--save-sample") target = &options.sample;
    if (target == nullptr)
      throw UsageError("unknown option " + argument + " (use -- before it if it is a switch)");
    if (i + 1 >= argc) throw UsageError(argument + " needs a value");
    if (*target) throw UsageError(argument + " is given twice");
    *target = argv[++i];
  }
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

int Run(const Options& options) {
  Json document;
  std::string source = options.machine ? *options.machine : "the sample machine";
  std::optional<Machine> machine;
  try {
    document = options.machine ? LoadMachineDocument(*options.machine) : SampleMachine();
    machine.emplace(ReadMachine(document));
  } catch (const std::exception& error) {
    std::cerr << "kestrave-sim: " << source << ": " << error.what() << "\n";
    return kCannotRun;
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
    if (options.machine) {
      target = *options.machine;
      Json updated = UpdatedMachineDocument(document, *machine);
      if (updated != document) SaveFileAtomically(target, MachineDocumentText(updated));
    }
  } catch (const std::exception& error) {
    std::cerr << "kestrave-sim: " << target << ": " << error.what() << "\n";
    return kCannotRun;
  }
  return code;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  try {
    options = ParseOptions(argc, argv);
  } catch (const UsageError& error) {
    std::cerr << "kestrave-sim: " << error.what() << "\n";
    return kCannotRun;
  }
  if (options.sample) {
    try {
      SaveFileAtomically(*options.sample, MachineDocumentText(SampleMachine()));
    } catch (const std::exception& error) {
      std::cerr << "kestrave-sim: " << *options.sample << ": " << error.what() << "\n";
      return kCannotRun;
    }
    return 0;
  }
  return Run(options);
}
