// The capture reads a machine through the program's calls alone: run on a
// simulated machine, it must give that machine's file back, member for
// member, whatever the machine holds.
#include "tools/kestrave-capture/machine_capture.h"

#include <gtest/gtest.h>

#include <iostream>
#include <map>

#include "sim/machine_file/machine_document.h"
#include "sim/system/ansi_code_page.h"
#include "tests/app/fault_sweep_expectations.h"
#include "tests/support/sim_test_machine.h"
#include "tests/support/test_names.h"

namespace {

// Everything the capture records, with what real machines carry: device
// texts and paths with quotes, backslashes and bytes above 127 (in code
// page 1252 on the A calls, UTF-8 in the file), every registry type,
// an EDID value longer than 256 bytes, a registry link, a second user's
// flags, a failed device-installation wait with its text.
Json HardMachine() {
  Json machine = Json::parse(R"json({
    "os": {"major": 6, "minor": 1, "codePage": 1252},
    "user": {"sid": "S-1-5-21-7-8-9-1001", "admin": true},
    "modulePath": "C:\\Outils Müller\\kestrave.exe",
    "environment": {"windir": "C:\\Système"},
    "files": ["C:\\Données\\zqx640h.bmp", "C:\\Données\\zqx1280h.bmp"],
    "directories": ["C:\\Données\\zqx800h.bmp"],
    "wallpaper": {"path": "C:\\Données\\ZQX1024H.BMP"},
    "deviceInstall": {"results": [4294967295], "lastError": 1167},
    "messages": {"1167": "Le périphérique n'est pas connecté.\r\n"},
    "adapters": [{
      "DeviceName": "\\\\.\\DISPLAY1",
      "DeviceString": "Carte \"graphique\" \\ générique",
      "StateFlags": 5,
      "DeviceID": "PCI\\VEN_10DE&DEV_0110",
      "DeviceKey": "\\Registry\\Machine\\System\\CurrentControlSet\\Control\\Video\\{1}\\0000",
      "current": "1024x768x32@60",
      "registry": null,
      "monitors": [{
        "DeviceName": "\\\\.\\DISPLAY1\\Monitor0",
        "DeviceString": "Écran \"Plug and Play\"",
        "StateFlags": 3,
        "DeviceID": "MONITOR\\ABC1234\\{4D36E96E-E325-11CE-BFC1-08002BE10318}\\0001",
        "DeviceKey": "\\Registry\\Machine\\System\\CurrentControlSet\\Control\\Class\\{4D36E96E}\\0001"
      }, {
        "DeviceName": "\\\\.\\DISPLAY1\\Monitor1",
        "DeviceString": "Second",
        "StateFlags": 0,
        "DeviceID": "SYSTEM\\Elsewhere\\Monitor",
        "DeviceKey": ""
      }]
    }, {
      "DeviceName": "\\\\.\\DISPLAYV1",
      "DeviceString": "Mirror",
      "StateFlags": 8,
      "DeviceID": "",
      "DeviceKey": ""
    }],
    "registry": {
      "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\DISPLAY\\ABC1234\\5&1\\Device Parameters": {
        "@": "default",
        "Größe \"x\"": "a \"quoted\" C:\\path é",
        "none": "hex(0):",
        "expand": "hex(2):25,00",
        "binary": "hex:00,ff",
        "dword": "dword:0000003c",
        "big": "hex(5):00,00,00,01",
        "multi": "hex(7):61,00,62,00,00",
        "resources": "hex(8):01,02",
        "qword": "hex(b):01,02,03,04,05,06,07,08",
        "odd": "hex(ffff):ab",
        "unterminated": "hex(1):61,62"
      },
      "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\DISPLAY\\ABC1234\\5&1\\Control": {},
      "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\DISPLAY\\Other\\1": {"HardwareID": "x"},
      "HKEY_LOCAL_MACHINE\\SYSTEM\\Elsewhere\\Monitor\\7\\Device Parameters": {"EDID": "hex:00"},
      "HKEY_LOCAL_MACHINE\\Software\\Calvorne\\Kestrave": {"@": "Kestrave Nov 20 2003"},
      "HKEY_LOCAL_MACHINE\\Software\\Calvorne\\Kestrave\\Link": {},
      "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run": {
        "Kestrave": "\"C:\\Tools\\kestrave.exe\""
      },
      "HKEY_USERS\\.DEFAULT": {},
      "HKEY_USERS\\S-1-5-18\\Software\\Calvorne\\Kestrave\\Old_0000&Mon_0001": {},
      "HKEY_CURRENT_USER\\Software\\Calvorne\\Kestrave\\Carte_0000&Écran_0001": {}
    }
  })json");
  Json& registry = machine["registry"];
  registry["HKEY_LOCAL_MACHINE\\Software\\Calvorne\\Kestrave\\Link"]["SymbolicLinkValue"] =
      RegistryLinkData("\\Registry\\Machine\\SYSTEM");
  std::string edid = "hex:00,ff,ff,ff,ff,ff,ff,00";
  for (int i = 8; i < 384; ++i) edid += ",5a";
  registry
      ["HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\DISPLAY\\ABC1234\\5&1\\Device "
       "Parameters"]["EDID"] = edid;
  Json& adapter = machine["adapters"][0];
  for (int width = 640; width < 640 + 3000; ++width)
    adapter["modes"].push_back(std::to_string(width) + "x480x32@60");
  adapter["rawModes"] = adapter["modes"];
  adapter["rawModes"].push_back("4000x3000x32@30");
  return machine;
}

// A double-byte code page: texts and key names go through it both ways.
const char kJapaneseMachine[] = R"json({
  "os": {"major": 5, "minor": 1, "codePage": 932},
  "user": {"admin": false},
  "modulePath": "C:\\kestrave.exe",
  "environment": {},
  "adapters": [{
    "DeviceName": "\\\\.\\DISPLAY1",
    "DeviceString": "標準 VGA",
    "StateFlags": 5,
    "DeviceID": "PCI\\VEN_0000",
    "DeviceKey": "k",
    "modes": ["800x600x16@60"],
    "current": "800x600x16@60",
    "registry": "800x600x16@60",
    "monitors": [{
      "DeviceName": "\\\\.\\DISPLAY1\\Monitor0",
      "DeviceString": "プラグ アンド プレイ モニタ",
      "StateFlags": 3,
      "DeviceID": "MONITOR\\JPN0001\\{4D36E96E-E325-11CE-BFC1-08002BE10318}\\0000",
      "DeviceKey": "m"
    }]
  }],
  "registry": {
    "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\DISPLAY\\JPN0001\\表示\\Device Parameters": {
      "名前": "hex:01"
    },
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run": {},
    "HKEY_CURRENT_USER\\Software\\Calvorne\\Kestrave\\標準 VGA_&プラグ_": {}
  }
})json";

// Nothing but what every Windows has: the administrator is told by the
// right to write to HKEY_LOCAL_MACHINE\SOFTWARE.
const char kEmptyMachine[] = R"json({
  "os": {"codePage": 1252},
  "environment": {},
  "modulePath": "kestrave.exe",
  "registry": {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run": {}}
})json";

struct CaptureCase {
  const char* name;
  Json machine;
};

void PrintTo(const CaptureCase& c, std::ostream* out) { *out << c.name; }

// What the native program reads from Windows itself, from the machine.
CaptureFacts FactsOf(const Machine& machine) {
  AnsiCodePage codePage(machine.os.codePage, machine.os.textsInCodePage);
  return {machine.os.major, machine.os.minor, machine.os.codePage, machine.user.sid,
          [codePage](const std::string& text) { return codePage.ToMachine(text); }};
}

class Capture : public testing::TestWithParam<CaptureCase> {};

TEST_P(Capture, GivesTheMachineBackAndChangesNothing) {
  const Json& file = GetParam().machine;
  SimTestMachine simulated(file.dump());
  Json captured = MachineDocument(CaptureMachine(FactsOf(simulated.State())));

  const Json expected = MachineDocument(ReadMachine(file));
  for (const auto& member : expected.items())
    EXPECT_EQ(captured[member.key()], member.value()) << member.key();
  EXPECT_EQ(captured.size(), expected.size());
  EXPECT_EQ(MachineDocument(ReadMachine(ParseMachineJson(MachineDocumentText(captured)))),
            captured);
  EXPECT_FALSE(simulated.State().registry.Changed());
  for (const std::string& line : simulated.Calls().Trace())
    for (const char* change : {"RegSet", "RegCreate", "RegDelete", "ChangeDisplay", "CreateFile"})
      EXPECT_NE(line.rfind(change, 0), 0u) << line;
}

INSTANTIATE_TEST_SUITE_P(Machines, Capture,
                         testing::Values(CaptureCase{"HardMachine", HardMachine()},
                                         CaptureCase{"Japanese", Json::parse(kJapaneseMachine)},
                                         CaptureCase{"Empty", Json::parse(kEmptyMachine)}),
                         PrintedName());

// Whatever call fails, the capture ends with a machine or with a
// CaptureError that says why, never with a crash or another exception, and
// still changes nothing.
TEST(CaptureFaults, EveryFailedCallEndsInAMachineOrACaptureError) {
  const std::string machine = Json::parse(kJapaneseMachine).dump();
  SimTestMachine recorded(machine);
  CaptureMachine(FactsOf(recorded.State()));
  std::map<std::string, size_t> seen;
  int finished = 0;
  int refused = 0;
  for (const std::string& line : recorded.Calls().Trace()) {
    const std::string call = ParseTracedCall(line).name;
    const size_t nth = ++seen[call];
    for (const Failure& failure : FailuresOf(call)) {
      if (failure.raise) continue;  // a crash inside Windows is no answer to handle
      Json faulty = Json::parse(machine);
      faulty["faults"] = Json::array({{{"call", call}, {"nth", nth}, {"result", failure.result}}});
      SimTestMachine simulated(faulty.dump(), "\"kestrave.exe\"", false);
      try {
        CaptureMachine(FactsOf(simulated.State()));
        ++finished;
      } catch (const CaptureError&) {
        ++refused;
      }
      EXPECT_EQ(simulated.Calls().FaultsHit(), 1u) << line << " failing with " << failure.Text();
      EXPECT_FALSE(simulated.State().registry.Changed()) << line;
    }
  }
  std::cout << "capture fault sweep: " << recorded.Calls().Trace().size() << " calls, " << finished
            << " reruns finished, " << refused << " refused\n";
}

}  // namespace
