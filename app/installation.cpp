#include "app/installation.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "app/build_stamp.h"
#include "base/errors.h"
#include "platform/platform.h"
#include "platform/registry.h"
#include "process/log.h"
#include "process/process_state.h"

const char kRunKeyPath[] = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kRunValueName[] = "Kestrave";

namespace {

// Whether a path as the ANSI code page gives it is the program's own, as
// the wide call gives it: the code page gives a character it lacks as "?",
// or as a look-alike that names another file ("K" for U+FF2B), another
// folder ("\" for U+FF3C) or ends the quoted path early (a quote for
// U+FF02). Converted back, such a path is no longer the program's.
bool IsOwnPath(const std::string& module) {
  WCHAR own[MAX_PATH + 1] = {};
  DWORD ownLength = Win32().GetModuleFileNameW(nullptr, own, MAX_PATH);
  if (ownLength == 0 || ownLength >= MAX_PATH) return false;
  WCHAR converted[MAX_PATH + 1] = {};
  int convertedLength = Win32().MultiByteToWideChar(
      CP_ACP, 0, module.data(), static_cast<int>(module.size()), converted, MAX_PATH);
  return convertedLength > 0 && static_cast<DWORD>(convertedLength) == ownLength &&
         std::equal(own, own + ownLength, converted);
}

// The command the Run key starts, or nothing when the program's path as the
// system gives it would not start the program: cut short because it filled
// the whole buffer, or not the program's own path in the ANSI code page. A
// path with a space goes in double quotes: unquoted, Windows would first
// try each space-separated prefix (C:\Program.exe, ...) as the program to
// run at every log-on.
std::optional<std::string> RunValueData() {
  char path[MAX_PATH + 1] = {};
  DWORD length = Win32().GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length >= MAX_PATH) return std::nullopt;
  std::string module(path, strnlen(path, length));
  if (module.empty()) RaiseRegistryError("Unable to determine the program's path");
  if (!IsOwnPath(module)) return std::nullopt;
  if (module.find(' ') != std::string::npos) return "\"" + module + "\"";
  return module;
}

const char* Not(bool done) { return done ? "" : "not "; }

// The flags of every hive a removal visits: removed from the registry only
// when some hive held them and none holds them still.
struct FlagRemoval {
  bool removed = false;
  bool left = false;

  void Add(KeyRemoval removal) {
    removed = removed || removal == KeyRemoval::Removed;
    left = left || removal == KeyRemoval::Left;
  }
  bool Done() const { return removed && !left; }
};

// What an installation or a removal got done; kept up to date step by step,
// so that a registry error on the way leaves what was done before it.
struct Outcome {
  bool runValueDone = false;
  // The Run value an installation wrote.
  std::string runValue;
  bool softwareKeyDone = false;
  FlagRemoval flags;
  // Something a removal was to remove is still there.
  bool left = false;
};

void Install(RegistryAccessor& registry, bool allModes, Outcome& outcome) {
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  if (std::optional<std::string> command = RunValueData()) {
    // The switch follows the path, quoted or not, after one space: the
    // command line a log-on run splits into its switches.
    if (allModes) *command += " -p";
    registry.OpenKey(kRunKeyPath, true);
    registry.WriteString(kRunValueName, *command);
    outcome.runValueDone = true;
    outcome.runValue = *command;
  }
  registry.CloseKey();
  outcome.softwareKeyDone = registry.OpenKey(SoftwareKeyPath, true);
  registry.WriteString("", KESTRAVE_BUILD_STAMP);
  registry.CloseKey();
}

void Remove(RegistryAccessor& registry, Outcome& outcome) {
  registry.SetRootKey(HKEY_CURRENT_USER);
  KeyRemoval ownFlags = registry.DeleteKey(SoftwareKeyPath);
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  registry.OpenKey(kRunKeyPath, false);
  outcome.runValueDone = registry.DeleteValue(kRunValueName);
  registry.CloseKey();
  // A Run value that could not be deleted, as by a user without the right
  // to, still starts the program at every log-on, unless it was never there.
  outcome.left = !outcome.runValueDone && registry.ValueMayExist(kRunKeyPath, kRunValueName);
  KeyRemoval softwareKey = registry.DeleteKey(SoftwareKeyPath);
  outcome.softwareKeyDone = softwareKey == KeyRemoval::Removed;
  outcome.left = outcome.left || softwareKey == KeyRemoval::Left;
  // Every loaded user hive, the current user's among them. Listing them
  // needs no more than reading, which any user may; a hive that cannot be
  // listed is not shown to hold no flags.
  RegistryAccessor hives(KEY_READ);
  hives.SetRootKey(HKEY_USERS);
  TStringList users;
  if (!hives.OpenKey("", false) || !hives.GetKeyNames(users)) outcome.flags.Add(KeyRemoval::Left);
  hives.CloseKey();
  registry.SetRootKey(HKEY_USERS);
  for (int i = 0; i < users.Count(); ++i)
    outcome.flags.Add(registry.DeleteKey(users.Strings(i) + SoftwareKeyPath));
  // The current user's hive is among those, so flags left at the first try
  // may be gone since: what a second try finds is what is left.
  registry.SetRootKey(HKEY_CURRENT_USER);
  if (ownFlags == KeyRemoval::Left) ownFlags = registry.DeleteKey(SoftwareKeyPath);
  outcome.flags.Add(ownFlags);
}

}  // namespace

bool UpdateInstallation(bool install, bool allModes) {
  Outcome outcome;
  bool faulted = false;
  try {
    RegistryAccessor registry;
    if (install) {
      Install(registry, allModes, outcome);
    } else {
      Remove(registry, outcome);
    }
  } catch (const RegistryError&) {
    LogFault(924, "Exception while accessing registry");
    faulted = true;
  }
  const char* direction = install ? "added to" : "removed from";
  Log() << "Kestrave was " << Not(outcome.runValueDone) << direction << " the Run key.\n";
  // What every log-on run will do, as a second -i with other switches
  // writes the value anew.
  if (install && outcome.runValueDone)
    Log() << "Run value: " << outcome.runValue
          << (allModes ? " (each log-on takes the fastest refresh rate the adapter lists)\n"
                       : " (each log-on chooses among the monitor's own timings)\n");
  Log() << "The Kestrave software install key was " << Not(outcome.softwareKeyDone) << direction
        << " the registry.\n";
  Log() << "The Kestrave optimization flags were " << Not(outcome.flags.Done())
        << "removed from the registry.\n";
  if (install) {
    // The software install key counts as added once it is created, but an
    // installation whose stamp could not be written did not complete either.
    return outcome.runValueDone && outcome.softwareKeyDone && !faulted;
  }
  // What was absent to begin with is no failure: a second removal finds
  // nothing, and succeeds.
  return !outcome.left && !outcome.flags.left && !faulted;
}
