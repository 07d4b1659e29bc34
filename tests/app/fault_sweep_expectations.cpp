#include "tests/app/fault_sweep_expectations.h"

#include "tests/app/owned_changes.h"

namespace {

const char* const kDisplayCalls[] = {"EnumDisplayDevicesA", "EnumDisplaySettingsA",
                                     "EnumDisplaySettingsExA", "ChangeDisplaySettingsExA"};

// Results for calls whose return value is the status, last errors for the
// others; each a failure the real call is known to report.
const std::map<std::string, std::vector<long long>> kFailureResults = {
    {"EnumDisplayDevicesA", {87}},
    {"EnumDisplaySettingsA", {87}},
    {"EnumDisplaySettingsExA", {87}},
    {"ChangeDisplaySettingsExA", {-1, -2, -3, -4, -5, -6}},
    {"RegOpenKeyExA", {2, 5}},
    {"RegOpenKeyExW", {2, 5}},
    {"RegCreateKeyExA", {5, 161}},
    {"RegSetValueExA", {5, 1450}},
    {"RegQueryValueExA", {2, 5, 234}},
    {"RegDeleteValueA", {2, 5}},
    {"RegQueryInfoKeyA", {5, 6}},
    {"RegEnumKeyExA", {234, 259}},
    {"RegEnumKeyExW", {234, 259}},
    {"RegEnumValueA", {5, 234, 259}},
    {"RegCloseKey", {6}},
    // STATUS_ACCESS_DENIED, STATUS_CANNOT_DELETE
    {"NtDeleteKey", {3221225506LL, 3221225761LL}},
    {"VerifyVersionInfoA", {1150}},
    {"CMP_WaitNoPendingInstallEvents", {258, 4294967295LL}},
    {"FormatMessageA", {317}},
    {"SystemParametersInfoA", {5, 87}},
    {"GetEnvironmentVariableA", {203}},
    {"GetFileAttributesA", {2, 3, 5}},
    {"CompareStringA", {87}},
    {"CharLowerBuffA", {87}},
    {"MultiByteToWideChar", {122, 1113}},
    {"GetModuleFileNameA", {87}},
    {"GetModuleFileNameW", {87}},
    {"MessageBoxA", {1400}},
    {"CreateFileA", {5, 32}},
    {"GetFileInformationByHandle", {1, 5}},
    {"SetEndOfFile", {5, 112}},
    {"WriteFile", {112}},
    {"FlushFileBuffers", {5, 112}},
    {"CloseHandle", {6}},
};

const std::map<long long, std::string> kChangeResultTexts = {
    {-1, "The display driver failed the specified graphics mode."},
    {-2, "The graphics mode is not supported."},
    {-3, "Windows NT/2000: Unable to write settings to the registry."},
    {-4, "An invalid set of flags was passed in."},
    {-5, "An invalid parameter was passed in. This can include an invalid flag or combination "
         "of flags."},
    {-6, "Unknown error code from ChangeDisplaySettingsEx."},
};

bool IsDisplayCall(const std::string& name) {
  for (const char* call : kDisplayCalls)
    if (name == call) return true;
  return false;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A monitor's model key below Enum\DISPLAY, where the program looks for
// the instance that holds its "Device Parameters".
bool IsModelKey(const std::string& key) {
  const std::string display = "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\DISPLAY\\";
  return key.compare(0, display.size(), display) == 0 &&
         key.find('\\', display.size()) == std::string::npos;
}

// An instance key below a model key: its "Driver" value tells whether it is
// the attached monitor's.
bool IsInstanceKey(const std::string& key) {
  const size_t last = key.rfind('\\');
  return last != std::string::npos && IsModelKey(key.substr(0, last));
}

std::string KeyOf(const RecordedRun& run, size_t index) {
  auto key = run.keys.find(index);
  return key == run.keys.end() ? "" : key->second;
}

// Either query of an instance's "Driver" value, or the comparison of the
// value read with the monitor's driver key.
bool ReadsDriver(const RecordedRun& run, size_t index) {
  auto isQuery = [&](size_t at) {
    return run.calls[at].name == "RegQueryValueExA" && run.calls[at].Text(1) == "Driver";
  };
  if (run.calls[index].name == "CompareStringA") return index > 0 && isQuery(index - 1);
  return isQuery(index);
}

// A "Driver" read that fails makes its instance no match. That changes the
// choice only for the last instance read, the one the run took unless none
// matched: the first instance then belongs to the monitor, and the log
// shows it. Empty for the other reads.
std::string HardwareKeyLineWithoutDriver(const RecordedRun& run, size_t index) {
  size_t read = index;
  while (read > 0 && !IsInstanceKey(KeyOf(run, read))) --read;
  const std::string instance = KeyOf(run, read);
  const std::string model = instance.substr(0, instance.rfind('\\'));
  for (size_t next = index + 1; next < run.calls.size(); ++next) {
    const std::string key = KeyOf(run, next);
    if (key.empty() || key == instance) continue;
    if (IsInstanceKey(key) && key.compare(0, model.size() + 1, model + "\\") == 0) return "";
    break;
  }
  size_t first = read;
  while (first > 0 && KeyOf(run, first - 1) != model) --first;
  while (!IsInstanceKey(KeyOf(run, first))) ++first;
  const std::string machine = "HKEY_LOCAL_MACHINE\\";
  return "H/W key -> " + KeyOf(run, first).substr(machine.size()) + "\\Device Parameters\r\n";
}

// How many subkey names the listing of a model key that the call at index
// belongs to asks for.
size_t NamesListed(const RecordedRun& run, size_t index) {
  size_t start = index;
  while (start > 0 && run.calls[start - 1].name == "RegEnumKeyExA" &&
         KeyOf(run, start - 1) == KeyOf(run, index))
    --start;
  size_t end = index + 1;
  while (end < run.calls.size() && run.calls[end].name == "RegEnumKeyExA" &&
         KeyOf(run, end) == KeyOf(run, index))
    ++end;
  return end - start;
}

bool IsFlagKey(const std::string& key) {
  const std::string flags = "HKEY_CURRENT_USER\\Software\\Calvorne\\Kestrave\\";
  return key.compare(0, flags.size(), flags) == 0;
}

// The two queries that read a value as bytes: its size and type, then its
// data. A value that was found and sized but cannot then be read ends the run.
bool IsBinaryRead(const RecordedRun& run, size_t index) {
  auto readsData = [&](size_t at) {
    const TracedCall& call = run.calls[at];
    return call.name == "RegQueryValueExA" && call.arguments.size() > 4 &&
           call.arguments[4] == "&" && call.Text(1) == run.calls[index].Text(1);
  };
  return readsData(index) || (index + 1 < run.calls.size() && readsData(index + 1));
}

Expectation Fatal(const std::string& line) { return {1, line, LogShape::Any}; }

const std::string kTimedOut = "Timed-out waiting for device enumeration to complete.\r\n";

}  // namespace

std::string Failure::Text() const {
  return raise ? "access-violation" : std::to_string(result);
}

std::vector<Failure> FailuresOf(const std::string& call) {
  std::vector<Failure> failures;
  auto results = kFailureResults.find(call);
  if (results != kFailureResults.end())
    for (long long result : results->second) failures.push_back({false, result});
  if (IsDisplayCall(call)) failures.push_back({true, 0});
  return failures;
}

Expectation ExpectedOutcome(const RecordedRun& run, size_t index, const Failure& failure) {
  const TracedCall& call = run.calls[index];
  auto keyOfCall = run.keys.find(index);
  const std::string key = keyOfCall == run.keys.end() ? "" : keyOfCall->second;
  Expectation same{run.exitCode, "", LogShape::Any};

  if (failure.raise) return Fatal("\r\nWin32 threw an exception.\r\n");
  // A log file that cannot be opened, checked or emptied is not written.
  if (call.name == "CreateFileA" || call.name == "GetFileInformationByHandle" ||
      call.name == "SetEndOfFile")
    return {run.exitCode, "", LogShape::Empty};
  if (call.name == "WriteFile") return {run.exitCode, "", LogShape::BaselinePrefix};
  // Hives that cannot be listed are not shown to hold no flags.
  if (run.removes && key == "HKEY_USERS" && call.name != "RegCloseKey")
    return {1, "The Kestrave optimization flags were not removed from the registry.\r\n",
            LogShape::Any};
  if (run.removes && !key.empty()) {
    Expectation removal = same;
    removal.removal = true;
    // A key on the way to the program key that Windows reports missing has
    // no program key below it; one that cannot be opened, or on the way
    // shown to be no link, is not looked below, but for the current user's,
    // which is visited again among the loaded hives.
    bool opens = call.name == "RegOpenKeyExA" || call.name == "RegOpenKeyExW";
    bool onTheWay = !EndsWith(key, "\\Software\\Calvorne\\Kestrave");
    bool checks = opens || (onTheWay && call.name == "RegQueryValueExA" &&
                            call.Text(1) == "SymbolicLinkValue");
    if (checks && LeadsToProgramKey(key)) {
      if (failure.result == 2 && opens)
        removal.missingKey = key;
      else if (failure.result != 2 && key.compare(0, 17, "HKEY_CURRENT_USER") != 0)
        removal.uncheckedKey = key;
    }
    return removal;
  }
  if (call.name == "VerifyVersionInfoA")
    return Fatal("\r\nError: Only supported on 2K, XP, or newer OS.\r\n");
  if (call.name == "CMP_WaitNoPendingInstallEvents") {
    // A wait refused for want of rights counts as nothing pending.
    if (failure.result == 4294967295LL && run.installWaitError == 5) return same;
    if (failure.result == 4294967295LL)
      return Fatal("\r\nError in Kestrave line 586: Wait for completion of device installation "
                   "failed with this error message: ''.\r\n" + kTimedOut);
    // A pending installation on the first poll only leads to the wait
    // itself; one still pending after the wait ends the run.
    return call.arguments[0] == "0" ? same : Fatal(kTimedOut);
  }
  if (call.name == "ChangeDisplaySettingsExA")
    return {run.exitCode, "  " + kChangeResultTexts.at(failure.result) + "\r\n", LogShape::Any};
  if (call.name == "CompareStringA" && call.Text(2) == "MONITOR")
    return Fatal("\r\nError: Unexpected monitor hardware key. in file 'TDisplay': line 193.\r\n");
  // A model key that refuses one access is opened with the next, so one
  // failing open never loses it. A model key whose subkeys cannot be
  // counted, or whose one instance cannot be named, leaves no first name to
  // take; of several, the rest are still taken from.
  if (IsModelKey(key) && (call.name == "RegQueryInfoKeyA" ||
                          (call.name == "RegEnumKeyExA" && NamesListed(run, index) == 1)))
    return Fatal("\r\nVCL exception: List index out of bounds (0)@");
  if (ReadsDriver(run, index))
    return {run.exitCode, HardwareKeyLineWithoutDriver(run, index), LogShape::Any};
  if (call.name == "RegQueryValueExA" && IsBinaryRead(run, index))
    return Fatal("\r\nVCL exception: Failed to get data for '" + call.Text(1) + "'@");
  // A program path that cannot be shown to be the program's own is not
  // written into the Run key.
  if ((call.name == "GetModuleFileNameW" || call.name == "MultiByteToWideChar") && run.installs)
    return {1, "Kestrave was not added to the Run key.\r\n", LogShape::Any};
  // An installation that did not complete ends with exit code 1.
  if ((call.name == "RegCreateKeyExA" || call.name == "RegSetValueExA" ||
       call.name == "GetModuleFileNameA") &&
      run.installs)
    return {1, "\r\nError in Kestrave line 924: Exception while accessing registry.\r\n",
            LogShape::Any};
  if ((call.name == "RegCreateKeyExA" || call.name == "RegSetValueExA") && IsFlagKey(key))
    return {run.exitCode,
            "\r\nError in Kestrave line 1256: Exception while updating registry to indicate "
            "monitor was optimized.\r\n",
            LogShape::Any};
  if (call.name == "SystemParametersInfoA" && call.arguments[0] == "SPI_GETDESKWALLPAPER")
    return {run.exitCode,
            "\r\nError in Kestrave line 351: Unable to read current wallpaper setting.\r\n",
            LogShape::Any};
  if (call.name == "SystemParametersInfoA" && call.arguments[0] == "SPI_SETDESKWALLPAPER")
    return {run.exitCode,
            "\r\nError in Kestrave line 404: Unable to set wallpaper to '" + call.Text(2) + "'.\r\n",
            LogShape::Any};
  if (call.name == "CompareStringA" && EndsWith(call.Text(2), "\\"))
    return {run.exitCode,
            "Wallpaper not changed since current wallpaper is not in the Windows directory.\r\n",
            LogShape::Any};
  return same;
}

Expectation ResolveRemoval(Expectation expected, const Json& before, const Json& after) {
  const OwnedLeft left = LeftByRemoval(before, after, expected.missingKey, expected.uncheckedKey);
  expected.exitCode = left.runValue || left.softwareKey || left.flags ? 1 : 0;
  if (expected.shape == LogShape::Any)
    expected.line = std::string("The Kestrave optimization flags were ") +
                    (left.flagsRemoved && !left.flags ? "" : "not ") +
                    "removed from the registry.\r\n";
  return expected;
}
