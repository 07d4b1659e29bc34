#include "app/installation.h"

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

// The command the Run key starts, or nothing when the program's path as the
// system gives it would not start the program: cut short because it filled
// the whole buffer, or holding "?", which no file name may, where a
// character has no equivalent in the ANSI code page. A path with a space
// goes in double quotes: unquoted, Windows would first try each
// space-separated prefix (C:\Program.exe, ...) as the program to run at
// every log-on.
std::optional<std::string> RunValueData() {
  char path[MAX_PATH + 1] = {};
  DWORD length = Win32().GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length >= MAX_PATH) return std::nullopt;
  std::string module(path, strnlen(path, length));
  if (module.empty()) RaiseRegistryError("Unable to determine the program's path");
  if (module.find('?') != std::string::npos) return std::nullopt;
  if (module.find(' ') != std::string::npos) return "\"" + module + "\"";
  return module;
}

const char* Not(bool done) { return done ? "" : "not "; }

}  // namespace

bool UpdateInstallation(bool install) {
  bool runValueDone = false;
  bool softwareKeyDone = false;
  bool flagsRemoved = false;
  bool faulted = false;
  try {
    RegistryAccessor registry;
    if (!install) {
      registry.SetRootKey(HKEY_CURRENT_USER);
      flagsRemoved = registry.DeleteKey(SoftwareKeyPath);
    }
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    if (install) {
      if (std::optional<std::string> command = RunValueData()) {
        registry.OpenKey(kRunKeyPath, true);
        registry.WriteString(kRunValueName, *command);
        runValueDone = true;
      }
    } else {
      registry.OpenKey(kRunKeyPath, false);
      runValueDone = registry.DeleteValue(kRunValueName);
    }
    registry.CloseKey();
    if (install) {
      softwareKeyDone = registry.OpenKey(SoftwareKeyPath, true);
      registry.WriteString("", KESTRAVE_BUILD_STAMP);
      registry.CloseKey();
    } else {
      softwareKeyDone = registry.DeleteKey(SoftwareKeyPath);
      // Every loaded user hive, the current user's among them.
      registry.SetRootKey(HKEY_USERS);
      registry.OpenKey("", false);
      TStringList users;
      registry.GetKeyNames(users);
      for (int i = 0; i < users.Count(); ++i)
        if (registry.DeleteKey(users.Strings(i) + SoftwareKeyPath)) flagsRemoved = true;
      registry.CloseKey();
    }
  } catch (const RegistryError&) {
    LogFault(924, "Exception while accessing registry");
    faulted = true;
  }
  const char* direction = install ? "added to" : "removed from";
  Log() << "Kestrave was " << Not(runValueDone) << direction << " the Run key.\n";
  Log() << "The Kestrave software install key was " << Not(softwareKeyDone) << direction
        << " the registry.\n";
  Log() << "The Kestrave optimization flags were " << Not(flagsRemoved)
        << "removed from the registry.\n";
  // A removal ends with 0 whatever it found: a second one finds nothing, and
  // that is no failure.
  // The software install key counts as added once it is created, but an
  // installation whose stamp could not be written did not complete either.
  return !install || (runValueDone && softwareKeyDone && !faulted);
}
