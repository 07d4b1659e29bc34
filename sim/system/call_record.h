// One call through the simulated platform: it counts the call for the
// fault plan, and when the call ends it adds its line to the trace:
//   Name(arguments) = result[ -> out-values][ (last error N)][ [fault]]
// The texts of a call are given as strings or as callables that make them.
// A callable is called only when the run is traced: the texts cost more than
// most calls do, and an untraced run would throw them away.
#pragma once

#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/win32_types.h"
#include "sim/system/fault_plan.h"

struct CallContext {
  FaultPlan& faults;
  std::vector<std::string>& trace;
  DWORD& lastError;
  bool traced;
};

template <typename Text>
std::string MakeTraceText(Text&& text) {
  if constexpr (std::is_invocable_v<Text>) {
    return std::forward<Text>(text)();
  } else {
    return std::string(std::forward<Text>(text));
  }
}

class CallRecord {
 public:
  // Raises the injected structured exception, after recording the call,
  // when the plan has one for this call.
  template <typename Arguments>
  CallRecord(CallContext& context, const char* name, Arguments&& arguments)
      : context_(context), fault_(context.faults.Next(name)) {
    if (context.traced) head_ = std::string(name) + "(" + MakeTraceText(arguments) + ")";
    RaiseInjectedFault();
  }
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
  template <typename T, typename Result, typename OutValues = const char*>
  T Return(T value, Result&& resultText, OutValues&& outValues = "") {
    if (context_.traced) End(MakeTraceText(resultText), MakeTraceText(outValues));
    return value;
  }
  template <typename OutValues = const char*>
  LONG ReturnStatus(LONG status, OutValues&& outValues = "") {
    return Return(
        status, [status] { return std::to_string(status); }, outValues);
  }
  // Ends the call in the access violation that Windows itself raises in it,
  // as for a pointer the call reads through.
  [[noreturn]] void RaiseAccessViolation();
  // Ends an injected failure of a call that reports it through the last
  // error: the failure value is returned and the fault's result is the error.
  template <typename T, typename Result>
  T ReturnFault(T failureValue, Result&& resultText) {
    SetLastError(fault_->result);
    return Return(failureValue, resultText);
  }

 private:
  void RaiseInjectedFault();
  void End(const std::string& resultText, const std::string& outValues);

  CallContext& context_;
  const SimFault* fault_;
  std::string head_;  // empty when the run is not traced
  bool setsLastError_ = false;
};
