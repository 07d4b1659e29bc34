// Runs the whole program on a simulated machine, in a folder of its own,
// and hands back what a user or a later run would see: the exit code, the
// debug log, the calls made and the machine file as the run left it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/entry.h"
#include "sim/machine_file/machine_writer.h"
#include "tests/support/sim_test_machine.h"

struct ProgramRun {
  int exitCode = -1;
  // "kestrave.txt" byte for byte (lines end in CR LF); empty without -d.
  std::string log;
  std::vector<std::string> trace;
  // The machine file after the run: the input to a later run.
  Json machine;

  // The log after the banner and, when there are dumps, after their
  // closing rule: what the optimisation pass and the handlers wrote.
  std::string PassLog() const {
    const std::string ruleEnd = std::string(80, '=') + "\r\n\r\n";
    size_t rule = log.rfind(ruleEnd);
    if (rule != std::string::npos) return log.substr(rule + ruleEnd.size());
    size_t bannerEnd = log.find("\r\n\r\n");
    return bannerEnd == std::string::npos ? log : log.substr(bannerEnd + 4);
  }

  Json FlagValues(const std::string& flagKeyName) const;

  // The trace lines of calls to name that contain part.
  std::vector<std::string> CallsWith(const std::string& name, const std::string& part) const {
    std::vector<std::string> found;
    for (const std::string& line : trace)
      if (line.compare(0, name.size() + 1, name + "(") == 0 &&
          line.find(part) != std::string::npos)
        found.push_back(line);
    return found;
  }
};

// The values of the user's flag key of that name, as a machine file holds
// them; an empty object when the key has none.
inline Json FlagValues(const Json& machine, const std::string& flagKeyName) {
  auto registry = machine.find("registry");
  if (registry == machine.end()) return Json::object();
  auto key = registry->find("HKEY_CURRENT_USER\\Software\\Calvorne\\Kestrave\\" + flagKeyName);
  return key == registry->end() ? Json::object() : *key;
}

inline Json ProgramRun::FlagValues(const std::string& flagKeyName) const {
  return ::FlagValues(machine, flagKeyName);
}

// A fresh folder as the current directory for as long as it lives, so the
// log of one run never meets that of another.
class ScratchFolder {
 public:
  ScratchFolder() : previous_(std::filesystem::current_path()) {
    static int runs = 0;
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = test == nullptr ? "none" : std::string(test->test_suite_name()) + "-" +
                                                      test->name();
    for (char& c : name)
      if (c == '/') c = '-';
    folder_ = std::filesystem::temp_directory_path() /
              ("kestrave-run-" + name + "-" + std::to_string(++runs));
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    std::filesystem::current_path(folder_);
  }
  ~ScratchFolder() {
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

 private:
  std::filesystem::path previous_;
  std::filesystem::path folder_;
};

inline std::string FileContent(const char* name) {
  std::ifstream file(name, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// One run of the program, from module start to module end.
inline ProgramRun RunProgram(const Json& machine,
                             const std::string& commandLine = "\"kestrave.exe\" -d") {
  ScratchFolder folder;
  SimTestMachine simulated(machine.dump(), commandLine);
  ProgramRun run;
  {
    KestraveModule module;
    run.exitCode = KestraveMain();
  }
  run.log = FileContent("kestrave.txt");
  run.trace = simulated.Calls().Trace();
  run.machine = UpdatedMachineDocument(machine, simulated.State());
  return run;
}

inline ProgramRun RunProgram(const std::string& machineJson,
                             const std::string& commandLine = "\"kestrave.exe\" -d") {
  return RunProgram(ParseMachineJson(machineJson), commandLine);
}
