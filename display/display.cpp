#include "display/display.h"

#include <algorithm>
#include <optional>

#include "base/backslash_names.h"
#include "base/errors.h"
#include "base/fixed_text.h"
#include "display/displayid_timings.h"
#include "display/edid_modes.h"
#include "platform/platform.h"

namespace {

// The base block and the most extension blocks its count can name.
const size_t kMaximumEdidSize = 128 * 256;

// The text of a monitor fault: "<message> in file 'TDisplay': line <n>."
TextError MonitorFault(const std::string& message, int line) {
  return TextError(message + " in file 'TDisplay': line " + std::to_string(line) + ".");
}

bool SameIgnoringCase(const char* a, int aLength, const char* b, int bLength) {
  return Win32().CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a, aLength, b, bLength) ==
         CSTR_EQUAL;
}

// Whether text starts with prefix, compared without regard to case in the
// user's locale; a shorter text is compared whole and does not match.
bool StartsWithIgnoringCase(const std::string& text, const char* prefix, int prefixLength) {
  int length = std::min(static_cast<int>(text.size()), prefixLength);
  return SameIgnoringCase(text.c_str(), length, prefix, prefixLength);
}

// The driver key that ends an XP hardware ID, MONITOR\<model>\<class>\<n>:
// "<class>\<n>", the pieces after the model; empty when there are none.
std::string DriverKeyOf(const std::vector<std::string>& pieces) {
  std::string key;
  for (size_t i = 2; i < pieces.size(); ++i) key += (i == 2 ? "" : "\\") + pieces[i];
  return key;
}

// Windows keeps an instance key below the model key for every connection
// on which it has seen a monitor of that model, and many monitors share a
// model ID, so the first instance may belong to another monitor. The one of
// the attached monitor names the monitor's driver key in its "Driver"
// value. The index of the first instance that does; 0 when none does or
// none can be read, as an instance whose value cannot be read is just not
// that one.
int AttachedInstance(RegistryAccessor& registry, const std::string& modelKey,
                     const TStringList& instances, const std::string& driverKey) {
  if (driverKey.empty()) return 0;
  int attached = 0;
  for (int i = 0; i < instances.Count(); ++i) {
    // From the root: a relative path would start at the instance opened last.
    if (!registry.OpenKeyReadOnly("\\" + modelKey + "\\" + instances.Strings(i))) continue;
    const std::optional<std::string> driver = registry.ReadStringIfAny("Driver");
    if (driver && SameIgnoringCase(driver->c_str(), -1, driverKey.c_str(), -1)) {
      attached = i;
      break;
    }
  }
  registry.CloseKey();
  return attached;
}

}  // namespace

TDisplay::TDisplay(const DISPLAY_DEVICEA& device)
    : DeviceString(FixedText(device.DeviceString)),
      StateFlags(device.StateFlags),
      HardwareKey(FixedText(device.DeviceID)),
      DeviceName(FixedText(device.DeviceName)),
      DeviceKey(FixedText(device.DeviceKey)) {
  LoadEdid();
  BuildPresets(Edid, Presets);
  PreferredMode = ReadPreferredTiming(Edid);
  ReadDisplayIdPreferredTimings(Edid, DisplayIdPreferredTimings);
}

void TDisplay::FindMonitorKey(RegistryAccessor* registry) {
  if (registry == nullptr) throw MonitorFault("Invalid registry pointer", 161);
  std::string driverKey;
  if (StartsWithIgnoringCase(HardwareKey, "Monitor", 7)) {
    // The XP form: MONITOR\<model>\<class>\<instance>.
    const std::vector<std::string> pieces = BackslashNames(HardwareKey);
    if (pieces.size() < 2) throw TextError("XP hardware key for monitor not in expected format.");
    driverKey = DriverKeyOf(pieces);
    HardwareKey = "SYSTEM\\CurrentControlSet\\Enum\\DISPLAY\\" + pieces[1];
  } else if (!StartsWithIgnoringCase(HardwareKey, "SYSTEM", 6)) {
    // Only a path below HKEY_LOCAL_MACHINE\SYSTEM is taken as it stands;
    // anything else would send the registry search somewhere unknown.
    throw MonitorFault("Unexpected monitor hardware key.", 193);
  }
  TStringList instances;
  if (!registry->OpenKeyReadOnly(HardwareKey))
    throw MonitorFault("Unable to open registry key '" + HardwareKey + "'", 207);
  registry->GetKeyNames(instances);
  registry->CloseKey();
  const int attached = AttachedInstance(*registry, HardwareKey, instances, driverKey);
  HardwareKey += "\\" + instances.Strings(attached) + "\\Device Parameters";
}

void TDisplay::LoadEdid() {
  RegistryAccessor registry(KEY_READ);
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  FindMonitorKey(&registry);
  if (!registry.OpenKeyReadOnly(HardwareKey)) return;
  std::string name;
  if (registry.ValueExists("EDID"))
    name = "EDID";
  else if (registry.ValueExists("BAD_EDID"))
    name = "BAD_EDID";
  else
    return;
  if (registry.GetDataSize(name) < 0) return;
  Edid = registry.ReadBinaryData(name);
  if (Edid.size() > kMaximumEdidSize) Edid.resize(kMaximumEdidSize);
}
