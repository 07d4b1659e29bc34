#include "display/has_mode.h"

#include "app/log.h"

bool HasMode(const TObjectList* modes, const TMode* mode) {
  if (modes == nullptr) {
    LogFault(300, "Null adapter_modes pointer");
    return false;
  }
  if (mode == nullptr) {
    LogFault(306, "Null mode pointer");
    return false;
  }
  for (int i = 0; i < modes->Count(); ++i) {
    const auto* entry = dynamic_cast<const TMode*>(modes->Items(i));
    if (entry != nullptr && Matches(*mode, *entry)) return true;
  }
  return false;
}
