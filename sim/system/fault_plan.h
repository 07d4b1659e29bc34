// The calls of the platform layer that the machine file may make fail on
// purpose, and the plan that decides, call by call, which fault applies.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "sim/system/machine.h"

// How a call reports failure, which decides what a fault's result means.
enum class FailureReport {
  Status,     // the return value is the status: the result is returned
  LastError,  // a failure value is returned: the result becomes the last error
  Never,      // the call cannot fail: only an exception can be raised in it
};

// The report of a platform call by its Win32 name; false for a name that
// is not a call of the platform layer.
bool FindPlatformCall(std::string_view name, FailureReport& report);

class FaultPlan {
 public:
  explicit FaultPlan(const std::vector<SimFault>& faults) : faults_(faults) {}

  // Counts one call of that name, runs what is to happen before it, and
  // returns the first fault of the file that applies to it, or null.
  const SimFault* Next(std::string_view call);
  // Has action run just before the nth call of that name, as another
  // program would act between two calls of the run. Tests place it between
  // a check and what the check was for; the machine file cannot.
  void RunBefore(std::string call, DWORD nth, std::function<void()> action);
  // How many calls a fault applied to, which an untraced run cannot show.
  DWORD Hits() const { return hits_; }

 private:
  struct Interleaved {
    std::string call;
    DWORD nth;
    std::function<void()> action;
  };

  const std::vector<SimFault>& faults_;
  std::vector<Interleaved> interleaved_;
  std::map<std::string, DWORD, std::less<>> counts_;
  DWORD hits_ = 0;
};
