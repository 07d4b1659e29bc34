// Runs the whole program on a simulated machine, in a folder of its own,
// and hands back what a user or a later run would see: the exit code, the
// debug log, the screen, the calls made and the machine file as the run
// left it.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/entry.h"
#include "sim/machine_file/machine_writer.h"
#include "tests/support/files.h"
#include "tests/support/sim_test_machine.h"

inline const char kBanner[] = "Kestrave Nov 20 2003  13:11:53\n\n";
// What -d writes for a machine without display adapters: the dump's rule.
inline const std::string kEmptyDump = std::string(80, '=') + "\n\n";

// The values of the user's flag key of that name, as a machine file holds
// them; an empty object when the key has none.
inline Json FlagValues(const Json& machine, const std::string& flagKeyName) {
  auto registry = machine.find("registry");
  if (registry == machine.end()) return Json::object();
  auto key = registry->find("HKEY_CURRENT_USER\\Software\\Calvorne\\Kestrave\\" + flagKeyName);
  return key == registry->end() ? Json::object() : *key;
}

struct ProgramRun {
  int exitCode = -1;
  // "kestrave.txt" byte for byte (lines end in CR LF); empty without -d.
  std::string log;
  std::string screen;  // the message boxes shown
  std::vector<std::string> trace;  // empty for an untraced run
  DWORD faultsHit = 0;             // the calls the machine's faults applied to
  // The machine file after the run: the input to a later run.
  Json machine;

  // The log with CR LF turned into LF; every line feed must have come as
  // CR LF.
  std::string LogText() const {
    std::string text;
    for (size_t i = 0; i < log.size(); ++i) {
      if (log[i] == '\r' && i + 1 < log.size() && log[i + 1] == '\n') continue;
      EXPECT_NE(log[i], '\r') << "a carriage return without a line feed";
      if (log[i] == '\n') {
        EXPECT_TRUE(i > 0 && log[i - 1] == '\r') << "a bare line feed";
      }
      text += log[i];
    }
    return text;
  }

  // The log after the banner and, when there are dumps, after their
  // closing rule: what the optimisation pass and the handlers wrote.
  std::string PassLog() const {
    const std::string ruleEnd = std::string(80, '=') + "\r\n\r\n";
    size_t rule = log.rfind(ruleEnd);
    if (rule != std::string::npos) return log.substr(rule + ruleEnd.size());
    size_t bannerEnd = log.find("\r\n\r\n");
    return bannerEnd == std::string::npos ? log : log.substr(bannerEnd + 4);
  }

  Json FlagValues(const std::string& flagKeyName) const {
    return ::FlagValues(machine, flagKeyName);
  }

  // The trace lines of calls to name that contain part.
  std::vector<std::string> CallsWith(const std::string& name, const std::string& part) const {
    std::vector<std::string> found;
    for (const std::string& line : trace)
      if (line.compare(0, name.size() + 1, name + "(") == 0 &&
          line.find(part) != std::string::npos)
        found.push_back(line);
    return found;
  }

  // The registry the run left, read as a later run's calls read it: paths
  // go without regard to case and through links.
  bool KeyExists(HKEY root, const char* path) const {
    return Read(root, path, nullptr).has_value();
  }
  // A REG_SZ value, or none.
  std::optional<std::string> StringValue(HKEY root, const char* path, const char* name) const {
    return Read(root, path, name);
  }

 private:
  std::optional<std::string> Read(HKEY root, const char* path, const char* name) const {
    Json state = machine;
    state.erase("faults");
    SimTestMachine after(state.dump());
    HKEY key = nullptr;
    if (after.Calls().RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
      return std::nullopt;
    char data[1024] = {};
    DWORD size = sizeof data - 1;
    DWORD type = REG_SZ;
    LONG status = name == nullptr ? ERROR_SUCCESS
                                  : after.Calls().RegQueryValueExA(
                                        key, name, nullptr, &type, reinterpret_cast<BYTE*>(data),
                                        &size);
    after.Calls().RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
    return std::string(data);
  }
};

// One run of the program, from module start to module end, with the
// command line "kestrave.exe" and the switches. It runs in a scratch
// folder: the test's own when it has one, else a new one. prepare, when
// given, sees the simulated machine before the run starts.
inline ProgramRun RunProgram(const Json& machine, const std::string& switches = "-d",
                             bool traced = true,
                             const std::function<void(SimTestMachine&)>& prepare = {}) {
  std::optional<ScratchFolder> folder;
  if (ScratchFolder::Current() == 0) folder.emplace();
  SimTestMachine simulated(machine.dump(), "\"kestrave.exe\" " + switches, traced);
  if (prepare) prepare(simulated);
  ProgramRun run;
  {
    KestraveModule module;
    run.exitCode = KestraveMain();
  }
  run.log = FileContent("kestrave.txt");
  run.screen = simulated.Screen();
  run.trace = simulated.Calls().Trace();
  run.faultsHit = simulated.Calls().FaultsHit();
  run.machine = UpdatedMachineDocument(machine, simulated.State());
  return run;
}

inline ProgramRun RunProgram(const std::string& machineJson, const std::string& switches = "-d") {
  return RunProgram(ParseMachineJson(machineJson), switches);
}

inline ProgramRun RunProgram(const char* machineJson, const std::string& switches = "-d") {
  return RunProgram(std::string(machineJson), switches);
}
