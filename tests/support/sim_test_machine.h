// A simulated machine for a test: built from machine-file JSON, with the
// platform installed for the test's lifetime.
#pragma once

#include <cstdio>
#include <sstream>
#include <string>

#include "sim/machine_file/machine_reader.h"
#include "sim/system/sim_platform.h"

// A registry link's "SymbolicLinkValue" as a machine file writes it:
// REG_LINK, the target's native path (\Registry\Machine\...) in UTF-16.
inline std::string RegistryLinkData(const std::string& target) {
  std::string hex = "hex(6):";
  for (char c : target) {
    char byte[8];
    std::snprintf(byte, sizeof byte, "%s%02x,00", hex.size() > 7 ? "," : "", c);
    hex += byte;
  }
  return hex;
}

// Deletes a key that has no subkeys as the program does, through a handle
// on the key itself: a Win32 error when it cannot be opened, else the
// NTSTATUS of NtDeleteKey.
inline LONG DeleteKey(Platform& calls, HKEY root, const char* path) {
  HKEY key = nullptr;
  LONG status = calls.RegOpenKeyExA(root, path, REG_OPTION_OPEN_LINK, DELETE, &key);
  if (status != ERROR_SUCCESS) return status;
  status = calls.NtDeleteKey(key);
  calls.RegCloseKey(key);
  return status;
}

// A mode record as the program fills it to apply a mode.
inline DEVMODEA ModeRecord(DWORD width, DWORD height, DWORD bits, DWORD frequency) {
  DEVMODEA mode = {};
  mode.dmSize = sizeof mode;
  mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
  mode.dmPelsWidth = width;
  mode.dmPelsHeight = height;
  mode.dmBitsPerPel = bits;
  mode.dmDisplayFrequency = frequency;
  return mode;
}

class SimTestMachine {
 public:
  explicit SimTestMachine(const std::string& json = "{}",
                          const std::string& commandLine = "\"kestrave.exe\"", bool traced = true)
      : machine_(ReadMachine(ParseMachineJson(json))),
        platform_(machine_, commandLine, screen_, traced) {
    SetPlatform(&platform_);
  }
  ~SimTestMachine() { SetPlatform(nullptr); }

  Machine& State() { return machine_; }
  SimPlatform& Calls() { return platform_; }
  std::string Screen() const { return screen_.str(); }
  const std::string& LastTraceLine() const { return platform_.Trace().back(); }

 private:
  Machine machine_;
  std::ostringstream screen_;
  SimPlatform platform_;
};
