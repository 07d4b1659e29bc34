#include "app/optimisation_flags.h"

#include "base/errors.h"
#include "platform/registry.h"
#include "process/log.h"
#include "process/process_state.h"

std::string DeviceKeyTail(const std::string& deviceKey) {
  size_t brace = deviceKey.rfind('}');
  size_t start = brace == std::string::npos ? 1 : brace + 2;
  return start >= deviceKey.size() ? std::string() : deviceKey.substr(start);
}

std::string FlagKeyPath(const TAdapter* adapter) {
  if (adapter == nullptr) {
    LogFault(524, "Null adapter pointer");
    return std::string();
  }
  const TDisplay* monitor = MonitorOf(*adapter);
  if (monitor == nullptr) {
    LogFault(533, "No monitor on " + adapter->DeviceName);
    return std::string();
  }
  // Nothing is escaped: a backslash in a description opens a further level.
  std::string name = adapter->DeviceString + "_" + DeviceKeyTail(adapter->DeviceKey) + "&" +
                     monitor->DeviceString + "_" + DeviceKeyTail(monitor->DeviceKey);
  // Windows refuses a key name of more than 255 characters. Two long
  // descriptions would make a flag that can never be written, and the
  // display would be optimised again at every log-on; the name is cut
  // instead, here, so that the test, the record and the log all use the
  // same one.
  const size_t kMaxKeyNameLength = 255;
  if (name.size() > kMaxKeyNameLength) name.resize(kMaxKeyNameLength);
  return SoftwareKeyPath + name;
}

bool IsPreviouslyOptimised(const TAdapter* adapter, bool& optimisedBefore) {
  optimisedBefore = true;
  if (adapter == nullptr || adapter->CurrentMode == nullptr) {
    LogFault(243, "Null adapter or currentmode pointer");
    return true;
  }
  try {
    std::string path = FlagKeyPath(adapter);
    Log() << "  Optimization flag is 'HKEY_CURRENT_USER\\" << (path.empty() ? path : path.substr(1))
          << "'\n";
    RegistryAccessor registry;
    registry.SetRootKey(HKEY_CURRENT_USER);
    optimisedBefore = registry.KeyExists(path);
    registry.OpenKey(path, false);
    bool optimised = registry.ValueExists(ValueName(*adapter->CurrentMode));
    registry.CloseKey();
    return optimised;
  } catch (const RegistryError&) {
    LogFault(272, "Error checking registry for optimized flag");
    return false;
  }
}

void RecordOptimised(const TAdapter* adapter, const TMode* mode) {
  if (adapter == nullptr) {
    LogFault(1227, "Null adapter pointer");
    return;
  }
  if (mode == nullptr) {
    LogFault(1233, "Null mode pointer");
    return;
  }
  try {
    std::string path = FlagKeyPath(adapter);
    // Without a flag key name the value would land in the root of the
    // user's hive; FlagKeyPath has already written why.
    if (path.empty()) return;
    RegistryAccessor registry;
    registry.SetRootKey(HKEY_CURRENT_USER);
    registry.OpenKey(path, true);
    registry.WriteString(ValueName(*mode), std::to_string(mode->Frequency));
    registry.CloseKey();
  } catch (const RegistryError&) {
    LogFault(1256, "Exception while updating registry to indicate monitor was optimized");
  }
}
