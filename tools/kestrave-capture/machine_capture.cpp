#include "tools/kestrave-capture/machine_capture.h"

#include <set>

#include "app/wallpaper.h"
#include "base/fixed_text.h"
#include "platform/platform.h"

namespace {

// The program reaches HKEY_LOCAL_MACHINE for writing only as an
// administrator; opening a key for writing changes nothing.
bool IsAdministrator() {
  HKEY key = nullptr;
  if (Win32().RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_WRITE, &key) != ERROR_SUCCESS)
    return false;
  Win32().RegCloseKey(key);
  return true;
}

// The capture program's own path with its file name replaced: the
// kestrave.exe beside it, whether it is there yet or not.
std::string ProgramPath(const CaptureFacts& facts) {
  std::vector<char> path(MAX_PATH);
  DWORD length = 0;
  while ((length = Win32().GetModuleFileNameA(nullptr, path.data(),
                                              static_cast<DWORD>(path.size()))) >= path.size() &&
         path.size() < 32768)
    path.resize(path.size() * 2);
  if (length == 0 || length >= path.size())
    throw CaptureError("cannot find the capture program's own path");
  std::string module(path.data(), length);
  size_t separator = module.find_last_of("\\/:");
  return facts.toUtf8(module.substr(0, separator + 1) + "kestrave.exe");
}

std::optional<std::string> EnvironmentVariable(const char* name) {
  std::vector<char> value(MAX_PATH);
  DWORD length =
      Win32().GetEnvironmentVariableA(name, value.data(), static_cast<DWORD>(value.size()));
  if (length >= value.size()) {
    value.resize(length);
    length = Win32().GetEnvironmentVariableA(name, value.data(), static_cast<DWORD>(value.size()));
    if (length >= value.size()) throw CaptureError(std::string("cannot read ") + name);
  }
  if (length == 0) return std::nullopt;  // not set (an empty value is unset too)
  return std::string(value.data(), length);
}

// The bitmaps the wallpaper step may look for, one for each width a mode
// can give; the sim knows a file only by its path.
void CaptureWallpaper(const CaptureFacts& facts, Machine& machine) {
  char buffer[MAX_PATH] = {};
  machine.wallpaper.readable =
      Win32().SystemParametersInfoA(SPI_GETDESKWALLPAPER, MAX_PATH, buffer, 0) != 0;
  const std::string current = FixedText(buffer);
  machine.wallpaper.path = facts.toUtf8(current);
  std::set<DWORD> widths;
  for (const SimAdapter& adapter : machine.adapters)
    for (const SimMode& mode : adapter.modes) widths.insert(mode.width);
  std::set<std::string> looked;
  for (DWORD width : widths) {
    std::string candidate = SizedWallpaper(current, width);
    if (candidate.empty() || !looked.insert(candidate).second) continue;
    DWORD attributes = Win32().GetFileAttributesA(candidate.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) continue;
    auto& list = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? machine.directories : machine.files;
    list.push_back(facts.toUtf8(candidate));
  }
}

// The result of the device-installation wait now, without waiting, and
// the error and its text when the wait fails.
void CaptureDeviceInstall(const CaptureFacts& facts, Machine& machine) {
  DWORD result = Win32().CMP_WaitNoPendingInstallEvents(0);
  machine.deviceInstall.results = {result};
  if (result != WAIT_FAILED) return;
  DWORD error = Win32().GetLastError();
  machine.deviceInstall.lastError = error;
  char text[1024] = {};
  DWORD length = Win32().FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, text, sizeof text, nullptr);
  if (length > 0 && length < sizeof text)
    machine.messages[error] = facts.toUtf8(std::string(text, length));
}

}  // namespace

Machine CaptureMachine(const CaptureFacts& facts) {
  Machine machine;
  machine.os = {facts.osMajor, facts.osMinor, facts.codePage, true};
  machine.user = {facts.userSid, IsAdministrator()};
  machine.registry = RegistryTree(facts.userSid);
  machine.modulePath = ProgramPath(facts);
  machine.environment.clear();
  if (std::optional<std::string> windir = EnvironmentVariable("windir"))
    machine.environment.emplace_back("windir", facts.toUtf8(*windir));
  CaptureDeviceInstall(facts, machine);
  std::vector<std::string> hardwareKeys = CaptureAdapters(facts, machine);
  CaptureWallpaper(facts, machine);
  CaptureRegistry(facts, hardwareKeys, machine);
  return machine;
}
