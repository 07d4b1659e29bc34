#include "sim/system/call_record.h"

#include "platform/structured_exception.h"
#include "sim/system/sim_constants.h"

namespace {
const char kAccessViolationText[] = " raises access-violation 0xC0000005";
}  // namespace

void CallRecord::RaiseInjectedFault() {
  if (fault_ == nullptr || !fault_->raise) return;
  if (context_.traced) context_.trace.push_back(head_ + kAccessViolationText + " [fault]");
  throw StructuredException(sim::kAccessViolation);
}

void CallRecord::RaiseAccessViolation() {
  if (context_.traced) context_.trace.push_back(head_ + kAccessViolationText);
  throw StructuredException(sim::kAccessViolation);
}

void CallRecord::SetLastError(DWORD error) {
  context_.lastError = error;
  setsLastError_ = true;
}

void CallRecord::End(const std::string& resultText, const std::string& outValues) {
  std::string line = head_ + " = " + resultText;
  if (!outValues.empty()) line += " -> " + outValues;
  if (setsLastError_) line += " (last error " + std::to_string(context_.lastError) + ")";
  if (fault_ != nullptr) line += " [fault]";
  context_.trace.push_back(line);
}
