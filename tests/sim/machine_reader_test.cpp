#include <gtest/gtest.h>

#include <string>

#include "sim/machine_file/machine_file_error.h"
#include "sim/machine_file/machine_reader.h"
#include "sim/machine_file/registry_data_text.h"
#include "tests/support/test_names.h"

namespace {

struct BadFile {
  const char* json;
  const char* place;
  const char* problem;  // a part of the problem text
};

void PrintTo(const BadFile& c, std::ostream* out) {
  *out << c.place << (*c.place ? ": " : "") << c.problem;
}

std::string Adapter(const std::string& members) {
  return R"({"adapters": [{"DeviceName": "\\\\.\\DISPLAY1", "DeviceString": "A", "StateFlags": 5,
             "DeviceID": "", "DeviceKey": "")" +
         members + "}]}";
}

class MachineFileErrors : public testing::TestWithParam<BadFile> {};

TEST_P(MachineFileErrors, NamePlaceAndProblem) {
  const BadFile& bad = GetParam();
  try {
    ReadMachine(ParseMachineJson(bad.json));
    FAIL() << "accepted: " << bad.json;
  } catch (const MachineFileError& error) {
    EXPECT_EQ(error.Place(), bad.place) << error.what();
    EXPECT_NE(error.Problem().find(bad.problem), std::string::npos) << error.what();
  }
}

const std::string kLongName(33, 'N');
const std::string kAdapterWithBadMode = Adapter(R"(, "modes": ["640x480x32@60", "1024x768"])");
const std::string kAdapterWithLongName =
    R"({"adapters": [{"DeviceName": ")" + kLongName +
    R"(", "DeviceString": "", "StateFlags": 0, "DeviceID": "", "DeviceKey": ""}]})";
const std::string kAdapterWithoutKey =
    R"({"adapters": [{"DeviceName": "D", "DeviceString": "", "StateFlags": 0, "DeviceID": ""}]})";
const std::string kMonitorWithUnknownMember = Adapter(
    R"(, "monitors": [{"DeviceName": "M", "DeviceString": "", "StateFlags": 3, "DeviceID": "",
        "DeviceKey": "", "EDID": ""}])");
const std::string kBadStateFlags =
    R"({"adapters": [{"DeviceName": "D", "DeviceString": "", "StateFlags": "5", "DeviceID": "",
        "DeviceKey": ""}]})";
const std::string kBadChangeResult = Adapter(R"(, "changeResults": {"fast": 0})");
const std::string kBadCurrent = Adapter(R"(, "current": "1024x768x32@60Hz")");
const std::string kHugeMode = Adapter(R"(, "registry": "4294967296x768x32@60")");

const BadFile kBadFiles[] = {
    {R"({"os": {"major": 5,}})", "line 1, column 20", "syntax error"},
    {"", "line 1, column 1", "syntax error"},
    {R"({"os": {"major": 1e999}})", "/os/major", "number overflow parsing '1e999'"},
    {R"({"adapters": [{}, {"StateFlags": -1e400}]})", "/adapters/1/StateFlags", "overflow"},
    {R"({"deviceInstall": {"results": [[0], 2e308]}})", "/deviceInstall/results/1", "overflow"},
    {"[]", "", "expected an object, found an array"},
    {R"({"osx": {}})", "/osx", "unknown member"},
    {R"({"os": {"major": 4}, "os": {"major": 6}})", "/os", "the same member appears twice"},
    {R"({"registry": {"HKEY_LOCAL_MACHINE\\X": {"A": "1"}, "HKEY_LOCAL_MACHINE\\X": {}}})",
     "/registry/HKEY_LOCAL_MACHINE\\X", "the same member appears twice"},
    {R"({"a/b~c": 1})", "/a~1b~0c", "unknown member"},
    {R"({"os": {"major": 5, "build": 2600}})", "/os/build", "unknown member"},
    {R"({"os": {"major": -4}})", "/os/major", "whole number from 0 to 4294967295, found -4"},
    {R"({"os": {"minor": 1.5}})", "/os/minor", "found the number 1.5"},
    {R"({"user": {"admin": "no"}})", "/user/admin", "expected true or false, found a string"},
    {R"({"user": {"sid": "S-1\\X"}})", "/user/sid", "backslash"},
    {R"({"modulePath": null})", "/modulePath", "expected a string, found null"},
    {R"({"environment": {"windir": "C:\\W", "WINDIR": "D:\\W"}})", "/environment/WINDIR",
     "the same variable"},
    {R"({"files": ["C:\\a", 3]})", "/files/1", "expected a string"},
    {R"({"directories": {}})", "/directories", "expected an array"},
    {R"({"wallpaper": {"path": "", "readable": 1}})", "/wallpaper/readable", "true or false"},
    {R"({"deviceInstall": {"results": []}})", "/deviceInstall/results", "at least one"},
    {R"({"deviceInstall": {"results": [0, "258"]}})", "/deviceInstall/results/1", "whole number"},
    {R"({"messages": {"x5": "text"}})", "/messages/x5", "not an error code"},
    {R"({"messages": {"5": "a", "05": "b"}})", "/messages/05", "twice"},
    {R"({"multipleMonitorApi": "yes"})", "/multipleMonitorApi", "true or false"},
    {R"({"os": {"codePage": 437}})", "/os/codePage", "not an ANSI code page of Windows"},
    {R"({"logFile": {"truncatable": null}})", "/logFile/truncatable", "true or false"},
    {kAdapterWithBadMode.c_str(), "/adapters/0/modes/1", "\"1024x768\" is not a mode"},
    {kBadCurrent.c_str(), "/adapters/0/current", "WIDTHxHEIGHTxBITS@HZ"},
    {kHugeMode.c_str(), "/adapters/0/registry", "is not a mode"},
    {kAdapterWithLongName.c_str(), "/adapters/0/DeviceName",
     "a text of 33 bytes; DISPLAY_DEVICEA.DeviceName holds at most 32"},
    {kAdapterWithoutKey.c_str(), "/adapters/0", "missing member \"DeviceKey\""},
    {kMonitorWithUnknownMember.c_str(), "/adapters/0/monitors/0/EDID", "unknown member"},
    {kBadStateFlags.c_str(), "/adapters/0/StateFlags", "found a string"},
    {kBadChangeResult.c_str(), "/adapters/0/changeResults/fast", "neither \"default\" nor a mode"},
    {R"({"registry": {"HKLM\\SOFTWARE": {}}})", "/registry/HKLM\\SOFTWARE",
     "must begin with HKEY_LOCAL_MACHINE"},
    {R"({"registry": {"HKEY_LOCAL_MACHINE\\\\SOFTWARE": {}}})",
     "/registry/HKEY_LOCAL_MACHINE\\\\SOFTWARE", "empty key name"},
    {R"({"registry": {"HKEY_LOCAL_MACHINE\\X": []}})", "/registry/HKEY_LOCAL_MACHINE\\X",
     "expected an object"},
    {R"({"registry": {"HKEY_LOCAL_MACHINE\\X": {"EDID": "hex:00,fg"}}})",
     "/registry/HKEY_LOCAL_MACHINE\\X/EDID", "bad hex byte at character 4"},
    {R"({"registry": {"HKEY_LOCAL_MACHINE\\X": {"EDID": "hex:00;ff"}}})",
     "/registry/HKEY_LOCAL_MACHINE\\X/EDID", "expected a comma"},
    {R"({"registry": {"HKEY_LOCAL_MACHINE\\X": {"N": "dword:3c"}}})",
     "/registry/HKEY_LOCAL_MACHINE\\X/N", "exactly 8 hex digits"},
    {R"({"registry": {"HKEY_LOCAL_MACHINE\\X": {"N": "hex(q):00"}}})",
     "/registry/HKEY_LOCAL_MACHINE\\X/N", "hexadecimal"},
    {R"({"registry": {"HKEY_LOCAL_MACHINE\\X": {"N": 60}}})", "/registry/HKEY_LOCAL_MACHINE\\X/N",
     "expected a string"},
    {R"({"registry": {"HKEY_LOCAL_MACHINE\\X": {"Name": "1", "NAME": "2"}}})",
     "/registry/HKEY_LOCAL_MACHINE\\X/NAME", "the same value as \"Name\""},
    {R"({"registry": {"HKEY_CURRENT_USER\\Software": {},
          "HKEY_USERS\\S-1-5-21-1004336348-1177238915-682003330-1000\\SOFTWARE": {}}})",
     "/registry/HKEY_USERS\\S-1-5-21-1004336348-1177238915-682003330-1000\\SOFTWARE",
     "the same key as \"HKEY_CURRENT_USER\\Software\""},
    {R"({"registry": {"HKEY_LOCAL_MACHINE\\X": {}},
        "refusedAccess": {"HKEY_LOCAL_MACHINE\\Y": 1}})",
     "/refusedAccess/HKEY_LOCAL_MACHINE\\Y", "not a key of the registry member"},
    {R"({"registry": {"HKEY_CURRENT_USER\\X": {}}, "refusedAccess": {"HKEY_CURRENT_USER\\X": 1,
        "HKEY_USERS\\S-1-5-21-1004336348-1177238915-682003330-1000\\x": 2}})",
     "/refusedAccess/HKEY_USERS\\S-1-5-21-1004336348-1177238915-682003330-1000\\x",
     "the same key as \"HKEY_CURRENT_USER\\X\""},
    {R"({"faults": [{"call": "RegOpenKey", "result": 5}]})", "/faults/0/call",
     "\"RegOpenKey\" is not a call of the platform layer"},
    {R"({"faults": [{"call": "RegOpenKeyExA"}]})", "/faults/0", "exactly one of"},
    {R"({"faults": [{"call": "RegOpenKeyExA", "result": 5, "raise": "access-violation"}]})",
     "/faults/0", "needs exactly one of \"result\" and \"raise\""},
    {R"({"faults": [{"call": "RegOpenKeyExA", "raise": "stack-overflow"}]})", "/faults/0/raise",
     "access-violation"},
    {R"({"faults": [{"call": "RegOpenKeyExA", "nth": 0, "result": 5}]})", "/faults/0/nth",
     "counted from 1"},
    {R"({"faults": [{"call": "GetCommandLineA", "result": 5}]})", "/faults/0/result",
     "cannot fail"},
    {R"({"faults": [{"call": "RegOpenKeyExA", "result": 4294967296}]})", "/faults/0/result",
     "from -2147483648 to 4294967295"},
};

INSTANTIATE_TEST_SUITE_P(Sim, MachineFileErrors, testing::ValuesIn(kBadFiles), PrintedName());

TEST(SimMachineReader, EveryMemberHasItsDefault) {
  Machine machine = ReadMachine(ParseMachineJson("{}"));
  EXPECT_EQ(machine.os.major, 5u);
  EXPECT_EQ(machine.os.minor, 1u);
  EXPECT_EQ(machine.user.sid, "S-1-5-21-1004336348-1177238915-682003330-1000");
  EXPECT_TRUE(machine.user.admin);
  EXPECT_EQ(machine.modulePath, "C:\\Program Files\\Kestrave\\kestrave.exe");
  ASSERT_EQ(machine.environment.size(), 1u);
  EXPECT_EQ(machine.environment[0].second, "C:\\WINDOWS");
  EXPECT_EQ(machine.wallpaper.path, "");
  EXPECT_TRUE(machine.wallpaper.readable && machine.wallpaper.settable);
  EXPECT_EQ(machine.deviceInstall.results, std::vector<DWORD>{0});
  EXPECT_TRUE(machine.multipleMonitorApi);
  EXPECT_TRUE(machine.logFile.openable && machine.logFile.truncatable);
  EXPECT_TRUE(machine.adapters.empty() && machine.faults.empty() && machine.messages.empty());
}

TEST(SimMachineReader, MembersDefaultEachOnItsOwn) {
  Machine machine = ReadMachine(ParseMachineJson(
      R"({"user": {"admin": false}, "wallpaper": {"settable": false}, "environment": {}})"));
  EXPECT_EQ(machine.user.sid, "S-1-5-21-1004336348-1177238915-682003330-1000");
  EXPECT_FALSE(machine.user.admin);
  EXPECT_TRUE(machine.wallpaper.readable);
  EXPECT_FALSE(machine.wallpaper.settable);
  EXPECT_TRUE(machine.environment.empty());
}

TEST(SimMachineReader, AdaptersWithModesResultsAndTextsAtTheirLimits) {
  std::string longString(128, 's');
  std::string json = R"({"adapters": [{"DeviceName": ")" + std::string(32, 'n') +
                     R"(", "DeviceString": ")" + longString + R"(", "StateFlags": 4294967295,
      "DeviceID": "", "DeviceKey": "", "modes": ["1280x1024x32@60"], "rawModes": null,
      "current": null, "registry": "800x600x16@75",
      "changeResults": {"1280x1024x32@60": -1, "default": 1}}]})";
  Machine machine = ReadMachine(ParseMachineJson(json));
  const SimAdapter& adapter = machine.adapters.at(0);
  EXPECT_EQ(adapter.device.deviceString, longString);
  EXPECT_EQ(adapter.device.stateFlags, 0xFFFFFFFFu);
  EXPECT_FALSE(adapter.rawModes);
  EXPECT_FALSE(adapter.current);
  EXPECT_EQ(*adapter.registry, (SimMode{800, 600, 16, 75}));
  ASSERT_EQ(adapter.changeResults.size(), 1u);
  EXPECT_EQ(adapter.changeResults[0].second, -1);
  EXPECT_EQ(adapter.defaultChangeResult, 1);
}

struct DataForm {
  const char* text;
  DWORD type;
  std::string bytes;
};

void PrintTo(const DataForm& c, std::ostream* out) { *out << "text '" << c.text << "'"; }

class RegistryDataForms : public testing::TestWithParam<DataForm> {};

TEST_P(RegistryDataForms, ReadAndWriteTheSameWay) {
  const DataForm& form = GetParam();
  RegistryData data = ParseRegistryDataText(form.text);
  EXPECT_EQ(data.type, form.type);
  EXPECT_EQ(data.bytes, form.bytes);
  EXPECT_EQ(RegistryDataText(data), form.text);
}

const DataForm kDataForms[] = {
    {"C:\\WINDOWS\\ov.bmp", REG_SZ, std::string("C:\\WINDOWS\\ov.bmp", 18)},
    {"", REG_SZ, std::string(1, '\0')},
    {"Gr\xc3\xbc\xc3\x9f"
     "e",
     REG_SZ,
     std::string("Gr\xc3\xbc\xc3\x9f"
                 "e",
                 8)},
    {"dword:0000003c", REG_DWORD, std::string("\x3c\0\0\0", 4)},
    {"hex:", REG_BINARY, ""},
    {"hex:00,ff,7f", REG_BINARY, std::string("\x00\xff\x7f", 3)},
    {"hex(2):25,00", REG_EXPAND_SZ, std::string("%\0", 2)},
    {"hex(7):61,00,00", REG_MULTI_SZ, std::string("a\0\0", 3)},
    {"hex(0):", REG_NONE, ""},
    {"hex(4):01,02,03", REG_DWORD, "\x01\x02\x03"},
    {"hex(1a):01", 0x1A, "\x01"},
    // Strings that a plain JSON string cannot give back unchanged.
    {"hex(1):61,62", REG_SZ, "ab"},
    {"hex(1):61,00,62,00", REG_SZ, std::string("a\0b\0", 4)},
    {"hex(1):e9,00", REG_SZ, std::string("\xe9\0", 2)},
    {"hex(1):68,65,78,3a,00", REG_SZ, std::string("hex:\0", 5)},
};

INSTANTIATE_TEST_SUITE_P(Sim, RegistryDataForms, testing::ValuesIn(kDataForms), PrintedName());

TEST(SimMachineReader, UppercaseHexDigitsAreRead) {
  RegistryData data = ParseRegistryDataText("hex(A):FF,Aa");
  EXPECT_EQ(data.type, 10u);
  EXPECT_EQ(data.bytes, "\xff\xaa");
}

}  // namespace
