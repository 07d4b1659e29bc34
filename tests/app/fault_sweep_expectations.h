// What one failing platform call must do to a run of the program: the
// failures each call really reports, and for a failure injected into one
// call of a recorded run, the exit code and the log line that follow.
#pragma once

#include <map>
#include <string>
#include <vector>

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
  int exitCode = 0;
  // A piece the log must hold; empty when the failure has no line of its own.
  std::string line;
  LogShape shape = LogShape::Any;
};

// The recorded run whose calls are made to fail one at a time.
struct RecordedRun {
  std::vector<TracedCall> calls;
  std::map<size_t, std::string> keys;  // RegistryKeysOfCalls of calls
  int exitCode = 0;
  bool installs = false;  // the command line has -i or -u
  long long installWaitError = 0;  // the last error of a failed wait
};

Expectation ExpectedOutcome(const RecordedRun& run, size_t index, const Failure& failure);
