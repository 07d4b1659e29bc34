// One call through the simulated platform: it counts the call for the
// fault plan, and when the call ends it adds its line to the trace:
//   Name(arguments) = result[ -> out-values][ (last error N)][ [fault]]
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sim/system/fault_plan.h"
#include "platform/win32_types.h"

struct CallContext {
  FaultPlan& faults;
  std::vector<std::string>& trace;
  DWORD& lastError;
};

class CallRecord {
 public:
  // Raises the injected structured exception, after recording the call,
  // when the plan has one for this call.
  CallRecord(CallContext& context, const char* name, std::string arguments);
  CallRecord(const CallRecord&) = delete;
  CallRecord& operator=(const CallRecord&) = delete;

  bool Faulted() const { return fault_ != nullptr; }
  // The injected status of a call that returns one.
  LONG FaultStatus() const { return static_cast<LONG>(fault_->result); }

  void SetLastError(DWORD error);
  // Sets the last error when the call's model gave one.
  void SetLastError(const std::optional<DWORD>& error) {
    if (error) SetLastError(*error);
  }

  // Ends the call with its value, as the trace shows it.
  template <typename T>
  T Return(T value, const std::string& resultText, const std::string& outValues = std::string()) {
    End(resultText, outValues);
    return value;
  }
  LONG ReturnStatus(LONG status, const std::string& outValues = std::string()) {
    return Return(status, std::to_string(status), outValues);
  }
  // Ends the call in the access violation that Windows itself raises in it,
  // as for a pointer the call reads through.
  [[noreturn]] void RaiseAccessViolation();
  // Ends an injected failure of a call that reports it through the last
  // error: the failure value is returned and the fault's result is the error.
  template <typename T>
  T ReturnFault(T failureValue, const std::string& resultText) {
    SetLastError(fault_->result);
    return Return(failureValue, resultText);
  }

 private:
  void End(const std::string& resultText, const std::string& outValues);

  CallContext& context_;
  std::string head_;
  const SimFault* fault_;
  bool setsLastError_ = false;
};
