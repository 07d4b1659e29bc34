// Runs whole program runs again and again, each time with one call of the
// recorded run failing, and holds every rerun to the outcome that failure
// must have: the exit code, the line that reports it, no harm to data the
// program does not own. Prints how many reruns ended how.
#include <gtest/gtest.h>

#include <iostream>
#include <map>

#include "tests/app/fault_sweep_expectations.h"
#include "tests/app/owned_changes.h"
#include "sim/machine_file/sample_machine.h"
#include "tests/support/program_run.h"
#include "tests/support/test_names.h"

namespace {

struct SweepCase {
  const char* name;
  const char* machineFile;  // in the test data; null for the built-in sample
  const char* switches;
  bool installs;
};

const SweepCase kSweepCases[] = {
    {"SampleDebug", nullptr, "-d", false},
    {"SampleInstall", nullptr, "-d -i", true},
    {"SampleInstallAllModes", nullptr, "-d -i -p", true},
    {"BusyDebug", "fault-sweep-machine.json", "-d", false},
    {"BusyRemove", "fault-sweep-machine.json", "-d -u", true},
};

// Failed reruns reported in full; the count of the rest is enough after that.
const int kReportedFailures = 20;

void PrintTo(const SweepCase& sweep, std::ostream* out) { *out << sweep.name; }

Json MachineOf(const SweepCase& sweep) {
  if (sweep.machineFile == nullptr) return SampleMachine();
  std::string path = std::string(KESTRAVE_TEST_DATA_DIR) + "/" + sweep.machineFile;
  return ParseMachineJson(FileContent(path));
}

Json WithFault(Json machine, const std::string& call, size_t nth, const Failure& failure) {
  Json fault = {{"call", call}, {"nth", nth}};
  if (failure.raise)
    fault["raise"] = "access-violation";
  else
    fault["result"] = failure.result;
  machine["faults"] = Json::array({fault});
  return machine;
}

// Every way the rerun differs from its expectation, one line each.
std::vector<std::string> Deviations(const ProgramRun& rerun, const ProgramRun& baseline,
                                    Expectation expected, const Json& machine) {
  if (expected.removal) expected = ResolveRemoval(expected, machine, rerun.machine);
  std::vector<std::string> deviations;
  if (rerun.faultsHit != 1)
    deviations.push_back("the fault was hit " + std::to_string(rerun.faultsHit) + " times");
  if (rerun.exitCode != expected.exitCode)
    deviations.push_back("exit code " + std::to_string(rerun.exitCode));
  if (!expected.line.empty() && rerun.log.find(expected.line) == std::string::npos)
    deviations.push_back("the log lacks \"" + expected.line + "\"");
  if (expected.shape == LogShape::Empty && !rerun.log.empty())
    deviations.push_back("the log is not empty");
  if (expected.shape == LogShape::BaselinePrefix &&
      (rerun.log.size() >= baseline.log.size() ||
       baseline.log.compare(0, rerun.log.size(), rerun.log) != 0))
    deviations.push_back("the log is not the start of the log without the fault");
  for (const std::string& change : ChangesNotOwned(machine, rerun.machine))
    deviations.push_back(change);
  return deviations;
}

class FaultSweep : public testing::TestWithParam<SweepCase> {};

TEST_P(FaultSweep, EveryFailingCallEndsAsItMust) {
  const SweepCase& sweep = GetParam();
  const Json machine = MachineOf(sweep);
  const ProgramRun baseline = RunProgram(machine, sweep.switches);
  ASSERT_EQ(baseline.exitCode, 0);
  ASSERT_TRUE(ChangesNotOwned(machine, baseline.machine).empty());

  RecordedRun recorded;
  for (const std::string& line : baseline.trace) recorded.calls.push_back(ParseTracedCall(line));
  recorded.keys = RegistryKeysOfCalls(recorded.calls);
  recorded.exitCode = baseline.exitCode;
  recorded.installs = sweep.installs;
  recorded.removes = std::string(sweep.switches).find("-u") != std::string::npos;
  recorded.installWaitError = machine.value("/deviceInstall/lastError"_json_pointer, 0LL);

  std::map<std::string, size_t> occurrences;
  std::map<int, int> exitCodes;
  int reruns = 0, cannotFail = 0, failed = 0;
  for (size_t index = 0; index < recorded.calls.size(); ++index) {
    const std::string& name = recorded.calls[index].name;
    size_t nth = ++occurrences[name];
    std::vector<Failure> failures = FailuresOf(name);
    if (failures.empty()) ++cannotFail;
    for (const Failure& failure : failures) {
      const Json faulted = WithFault(machine, name, nth, failure);
      // Untraced: the deviations need no trace, and the reruns are most of the time the
      // sweep takes.
      ProgramRun rerun = RunProgram(faulted, sweep.switches, false);
      ++reruns;
      ++exitCodes[rerun.exitCode];
      std::vector<std::string> deviations =
          Deviations(rerun, baseline, ExpectedOutcome(recorded, index, failure), faulted);
      if (deviations.empty()) continue;
      if (++failed > kReportedFailures) continue;
      std::string report;
      for (const std::string& deviation : deviations) report += "\n  " + deviation;
      ADD_FAILURE() << baseline.trace[index] << " failing with " << failure.Text() << ":"
                    << report;
    }
  }
  std::cout << "fault sweep " << sweep.name << ": " << recorded.calls.size() << " calls, "
            << cannotFail << " that cannot fail, " << reruns << " reruns (";
  const char* separator = "";
  for (const auto& code : exitCodes) {
    std::cout << separator << code.second << " exit " << code.first;
    separator = ", ";
  }
  std::cout << "), " << failed << " not as expected\n";
  EXPECT_EQ(failed, 0);
}

INSTANTIATE_TEST_SUITE_P(Machines, FaultSweep, testing::ValuesIn(kSweepCases), PrintedName());

}  // namespace
