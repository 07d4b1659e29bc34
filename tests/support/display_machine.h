// A machine file with one adapter and one monitor whose EDID block the
// registry holds, for tests to vary: the monitor prefers 1280x1024 at 60 Hz
// and lists 1024x768 at 60 and 75 Hz and 1280x1024 at 60 Hz; the adapter
// offers those three at 32 bits and runs in 1024x768 at 60 Hz.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/edid_blocks.h"
#include "sim/machine_file/json_reading.h"

// The flag key name of the adapter and monitor of TestDisplayMachine().
const char kTestFlagKey[] = "Lumenar LX_0000&Plug and Play Monitor_0001";
const char kTestModelKey[] = "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\DISPLAY\\ABC1234";

// Bytes in the machine file's REG_BINARY form, "hex:00,ff".
inline std::string HexData(const std::vector<unsigned char>& bytes) {
  std::string text = "hex:";
  for (size_t i = 0; i < bytes.size(); ++i) {
    char pair[4];
    std::snprintf(pair, sizeof pair, "%02x", bytes[i]);
    text += (i == 0 ? "" : ",") + std::string(pair);
  }
  return text;
}

inline std::vector<unsigned char> TestMonitorEdid() {
  std::vector<unsigned char> block = UsableBlock();
  block[0x24] = 0x08 | 0x02;  // 1024x768 at 60 and 75 Hz
  block[0x26] = 0x81;         // 1280 wide, 5:4, 60 Hz
  block[0x27] = 0x80;
  PutPreferredTiming(block, {10800, 1280, 408, 1024, 42});
  return block;
}

inline Json TestMonitor(const std::string& model = "ABC1234", const std::string& instance = "0001") {
  return Json{{"DeviceName", "\\\\.\\DISPLAY1\\Monitor0"},
              {"DeviceString", "Plug and Play Monitor"},
              {"StateFlags", 3},
              {"DeviceID", "MONITOR\\" + model + "\\{4D36E96E-E325-11CE-BFC1-08002BE10318}\\" +
                               instance},
              {"DeviceKey",
               "\\Registry\\Machine\\System\\CurrentControlSet\\Control\\Class\\"
               "{4D36E96E-E325-11CE-BFC1-08002BE10318}\\" +
                   instance}};
}

inline Json TestAdapter(const std::string& deviceName = "\\\\.\\DISPLAY1",
                        const std::string& instance = "0000") {
  Json monitor = TestMonitor();
  monitor["DeviceName"] = deviceName + "\\Monitor0";
  return Json{{"DeviceName", deviceName},
              {"DeviceString", "Lumenar LX"},
              {"StateFlags", 5},
              {"DeviceID", "PCI\\VEN_1B3A&DEV_0042"},
              {"DeviceKey",
               "\\Registry\\Machine\\System\\CurrentControlSet\\Control\\Video\\"
               "{23A77BF7-ED96-40EC-AF06-9B1F4867732A}\\" +
                   instance},
              {"modes", {"1024x768x32@60", "1024x768x32@75", "1280x1024x32@60"}},
              {"current", "1024x768x32@60"},
              {"registry", "1024x768x32@60"},
              {"monitors", Json::array({monitor})}};
}

inline Json TestDisplayMachine() {
  Json machine = {{"adapters", Json::array({TestAdapter()})}, {"registry", Json::object()}};
  machine["registry"][std::string(kTestModelKey) + "\\5&1\\Device Parameters"] = {
      {"EDID", HexData(TestMonitorEdid())}};
  return machine;
}
