#include "display/has_mode.h"

#include "process/log.h"

const TMode* HasMode(const TObjectList* modes, const TMode* mode) {
  if (modes == nullptr) {
    LogFault(300, "Null adapter_modes pointer");
    return nullptr;
  }
  if (mode == nullptr) {
    LogFault(306, "Null mode pointer");
    return nullptr;
  }
  for (int i = 0; i < modes->Count(); ++i) {
    const auto* entry = dynamic_cast<const TMode*>(modes->Items(i));
    if (entry != nullptr && Matches(*mode, *entry)) return entry;
  }
  return nullptr;
}
