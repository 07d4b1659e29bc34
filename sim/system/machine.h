// The simulated Windows machine: everything the machine file describes and
// what the run changes in it. The members and their defaults are those of
// the machine file.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32_types.h"
#include "sim/system/registry_tree.h"
#include "sim/system/sim_mode.h"

// The texts and flags of one DISPLAY_DEVICEA record.
struct SimDisplayDevice {
  std::string deviceName;
  std::string deviceString;
  DWORD stateFlags = 0;
  std::string deviceId;
  std::string deviceKey;
};

struct SimAdapter {
  SimDisplayDevice device;
  std::vector<SimMode> modes;
  std::optional<std::vector<SimMode>> rawModes;  // none: the same as modes
  std::optional<SimMode> current;
  std::optional<SimMode> registry;
  std::vector<std::pair<SimMode, LONG>> changeResults;
  std::optional<LONG> defaultChangeResult;
  std::vector<SimDisplayDevice> monitors;
};

struct SimFault {
  std::string call;
  std::optional<DWORD> nth;  // none: every call
  bool raise = false;        // an access violation instead of a result
  DWORD result = 0;
};

const char kDefaultUserSid[] = "S-1-5-21-1004336348-1177238915-682003330-1000";

struct Machine {
  struct Os {
    DWORD major = 5;
    DWORD minor = 1;
    DWORD codePage = 1252;  // the ANSI code page
    // Whether the file names the code page: texts are converted into it.
    // A file without one hands its UTF-8 bytes over as they stand.
    bool textsInCodePage = false;
  } os;
  struct User {
    std::string sid = kDefaultUserSid;
    bool admin = true;
  } user;
  std::string modulePath = "C:\\Program Files\\Kestrave\\kestrave.exe";
  std::vector<std::pair<std::string, std::string>> environment = {{"windir", "C:\\WINDOWS"}};
  std::vector<std::string> files;
  std::vector<std::string> directories;
  struct Wallpaper {
    std::string path;
    bool readable = true;
    bool settable = true;
  } wallpaper;
  struct DeviceInstall {
    std::vector<DWORD> results = {0};
    DWORD lastError = 0;
  } deviceInstall;
  std::map<DWORD, std::string> messages;
  bool multipleMonitorApi = true;
  struct LogFile {
    bool openable = true;
    bool truncatable = true;
  } logFile;
  std::vector<SimAdapter> adapters;
  RegistryTree registry{kDefaultUserSid};
  std::vector<SimFault> faults;
};
