// What one failing platform call must do to a run of the program: the
// failures each call really reports, and for a failure injected into one
// call of a recorded run, the exit code and the log line that follow.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "sim/machine_file/machine_reader.h"
#include "tests/app/traced_call.h"

struct Failure {
  bool raise = false;  // a structured exception instead of a result
  long long result = 0;

  std::string Text() const;
};

// The failures to inject into a call of that name; none for a call that
// cannot fail.
std::vector<Failure> FailuresOf(const std::string& call);

enum class LogShape {
  Any,
  Empty,           // the log could not be opened, so nothing reaches it
  BaselinePrefix,  // writes stop at the failed one: the start of the log without the fault
};

struct Expectation {
  Expectation(int exitCode, std::string line, LogShape shape)
      : exitCode(exitCode), line(std::move(line)), shape(shape) {}

  int exitCode = 0;
  // A piece the log must hold; empty when the failure has no line of its own.
  std::string line;
  LogShape shape = LogShape::Any;
  // A removal's exit code and flags line follow from what the rerun left
  // (ResolveRemoval), but for the program key below a key on the way to it
  // that the failure reports missing, or that it keeps the removal from
  // looking at.
  bool removal = false;
  std::string missingKey;
  std::string uncheckedKey;
};

// The recorded run whose calls are made to fail one at a time.
struct RecordedRun {
  std::vector<TracedCall> calls;
  std::map<size_t, std::string> keys;  // RegistryKeysOfCalls of calls
  int exitCode = 0;
  bool installs = false;  // the command line has -i or -u
  bool removes = false;   // the command line has -u
  long long installWaitError = 0;  // the last error of a failed wait
};

Expectation ExpectedOutcome(const RecordedRun& run, size_t index, const Failure& failure);

// A removal's expectation made whole from the machine before the rerun and
// after it: exit code 1 exactly when something it removes is left, and the
// flags line that says whether any hive's flags were removed and none left.
Expectation ResolveRemoval(Expectation expected, const Json& before, const Json& after);
