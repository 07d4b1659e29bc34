#include "display/display.h"

#include <algorithm>

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

// Whether text starts with prefix, compared without regard to case in the
// user's locale; a shorter text is compared whole and does not match.
bool StartsWithIgnoringCase(const std::string& text, const char* prefix, int prefixLength) {
  int length = std::min(static_cast<int>(text.size()), prefixLength);
  return Win32().CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, text.c_str(), length, prefix,
                                prefixLength) == CSTR_EQUAL;
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
  if (StartsWithIgnoringCase(HardwareKey, "Monitor", 7)) {
    // The XP form: MONITOR\<model>\<class>\<instance>.
    const std::vector<std::string> pieces = BackslashNames(HardwareKey);
    if (pieces.size() < 2) throw TextError("XP hardware key for monitor not in expected format.");
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
  // Only the first instance is ever taken, whichever monitor it belongs to.
  HardwareKey += "\\" + instances.Strings(0) + "\\Device Parameters";
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
