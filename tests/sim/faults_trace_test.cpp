#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/structured_exception.h"
#include "tests/support/sim_test_machine.h"
#include "tests/support/test_names.h"

namespace {

const char kAdapter[] = R"("adapters": [{"DeviceName": "\\\\.\\DISPLAY1", "DeviceString": "A",
    "StateFlags": 5, "DeviceID": "", "DeviceKey": "", "modes": ["1280x1024x32@60"],
    "current": "1024x768x32@60"}])";

std::string WithFaults(const std::string& faults) {
  return std::string("{") + kAdapter + R"(, "registry": {"HKEY_LOCAL_MACHINE\\SYSTEM\\X": {}},
      "faults": )" +
         faults + "}";
}

LONG OpenX(Platform& calls, HKEY& key) {
  return calls.RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\X", 0, KEY_READ, &key);
}

TEST(SimFaults, TheNthCallOfThatNameFails) {
  SimTestMachine machine(WithFaults(R"([{"call": "RegOpenKeyExA", "nth": 2, "result": 5}])"));
  Platform& calls = machine.Calls();
  HKEY key = nullptr;
  EXPECT_EQ(OpenX(calls, key), ERROR_SUCCESS);
  EXPECT_EQ(OpenX(calls, key), ERROR_ACCESS_DENIED);
  EXPECT_EQ(key, nullptr);
  EXPECT_EQ(OpenX(calls, key), ERROR_SUCCESS);
}

TEST(SimFaults, WithoutNthEveryCallFailsAndTheFirstFaultListedWins) {
  SimTestMachine machine(WithFaults(R"([{"call": "RegOpenKeyExA", "result": 2},
                                       {"call": "RegOpenKeyExA", "nth": 1, "result": 5}])"));
  HKEY key = nullptr;
  EXPECT_EQ(OpenX(machine.Calls(), key), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(OpenX(machine.Calls(), key), ERROR_FILE_NOT_FOUND);
}

TEST(SimFaults, CallsThatReportThroughTheLastErrorReturnTheirFailureValue) {
  SimTestMachine machine(WithFaults(R"([{"call": "GetFileAttributesA", "result": 5},
                                       {"call": "CreateFileA", "result": 32},
                                       {"call": "EnumDisplaySettingsA", "result": 8}])"));
  Platform& calls = machine.Calls();
  EXPECT_EQ(calls.GetFileAttributesA("C:\\"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(calls.GetLastError(), 5u);
  EXPECT_EQ(calls.CreateFileA("nul", GENERIC_WRITE, 3, nullptr, OPEN_ALWAYS, 0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(calls.GetLastError(), 32u);
  DEVMODEA mode = {};
  mode.dmSize = sizeof mode;
  EXPECT_FALSE(calls.EnumDisplaySettingsA("\\\\.\\DISPLAY1", ENUM_CURRENT_SETTINGS, &mode));
  EXPECT_EQ(calls.GetLastError(), 8u);
}

TEST(SimFaults, AFailedCallChangesNothing) {
  SimTestMachine machine(WithFaults(R"([{"call": "ChangeDisplaySettingsExA", "result": -1},
                                       {"call": "RegCreateKeyExA", "result": 5}])"));
  Platform& calls = machine.Calls();
  DEVMODEA mode = ModeRecord(1280, 1024, 32, 60);
  EXPECT_EQ(calls.ChangeDisplaySettingsExA("\\\\.\\DISPLAY1", &mode, nullptr, 9, nullptr), -1);
  EXPECT_EQ(ModeText(*machine.State().adapters[0].current), "1024x768x32@60");
  HKEY key = nullptr;
  EXPECT_EQ(calls.RegCreateKeyExA(HKEY_CURRENT_USER, "Software", 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr),
            ERROR_ACCESS_DENIED);
  EXPECT_FALSE(machine.State().registry.Changed());
}

TEST(SimFaults, AnAccessViolationIsRaisedInsideTheNthCallAfterItIsTraced) {
  SimTestMachine machine(
      WithFaults(R"([{"call": "EnumDisplayDevicesA", "nth": 2, "raise": "access-violation"}])"));
  DISPLAY_DEVICEA record = {};
  record.cb = sizeof record;
  EXPECT_TRUE(machine.Calls().EnumDisplayDevicesA(nullptr, 0, &record, 0));
  try {
    machine.Calls().EnumDisplayDevicesA(nullptr, 1, &record, 0);
    FAIL() << "no exception";
  } catch (const StructuredException& exception) {
    EXPECT_EQ(exception.Code(), 0xC0000005u);
  }
  EXPECT_EQ(
      machine.LastTraceLine(),
      "EnumDisplayDevicesA(NULL, 1, {cb=424}, 0x0) raises access-violation 0xC0000005 [fault]");
  EXPECT_FALSE(machine.Calls().EnumDisplayDevicesA(nullptr, 1, &record, 0));
}

struct TraceCase {
  const char* what;
  std::function<void(Platform&)> call;
  const char* line;
};

void PrintTo(const TraceCase& c, std::ostream* out) { *out << c.what; }

class TraceLines : public testing::TestWithParam<TraceCase> {};

TEST_P(TraceLines, ShowNameArgumentsResultAndOutValues) {
  SimTestMachine machine(std::string("{") + kAdapter + R"(,
        "deviceInstall": {"results": [4294967295], "lastError": 1167},
        "registry": {"HKEY_LOCAL_MACHINE\\SYSTEM\\X": {"EDID": "hex:00,ff"}},
        "faults": [{"call": "NtDeleteKey", "result": 3221225506}]})",
                         "\"C:\\Program Files\\Kestrave\\kestrave.exe\" -d 100%");
  GetParam().call(machine.Calls());
  EXPECT_EQ(machine.LastTraceLine(), GetParam().line);
}

const TraceCase kTraceCases[] = {
    {"an opened key",
     [](Platform& c) {
       HKEY key;
       c.RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\X", 0, KEY_READ, &key);
     },
     R"(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\X", 0, 0x20019, &) = 0 -> 0x100)"},
    {"a failed open",
     [](Platform& c) {
       HKEY key;
       c.RegOpenKeyExA(HKEY_CURRENT_USER, "\\Software", 0, KEY_ALL_ACCESS, &key);
     },
     R"(RegOpenKeyExA(HKEY_CURRENT_USER, "\Software", 0, 0xF003F, &) = 161)"},
    {"a value written",
     [](Platform& c) {
       HKEY key;
       c.RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\X", 0, KEY_ALL_ACCESS, &key);
       c.RegSetValueExA(key, "1280x1024@32", 0, REG_SZ, reinterpret_cast<const BYTE*>("60"), 3);
     },
     R"(RegSetValueExA(0x100, "1280x1024@32", 0, REG_SZ, "60%00", 3) = 0)"},
    {"binary data read",
     [](Platform& c) {
       HKEY key;
       c.RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\X", 0, KEY_READ, &key);
       BYTE data[4];
       DWORD size = sizeof data;
       DWORD type;
       c.RegQueryValueExA(key, "EDID", nullptr, &type, data, &size);
     },
     R"(RegQueryValueExA(0x100, "EDID", NULL, &, &, &4) = 0 -> REG_BINARY, 2, hex:00,ff)"},
    {"a value enumerated",
     [](Platform& c) {
       HKEY key;
       char name[8];
       DWORD length = sizeof name;
       if (OpenX(c, key) == ERROR_SUCCESS)
         c.RegEnumValueA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr);
     },
     R"(RegEnumValueA(0x100, 0, &, &8, NULL, NULL, NULL, NULL) = 0 -> "EDID")"},
    {"an injected status", [](Platform& c) { c.NtDeleteKey(HKEY_USERS); },
     R"(NtDeleteKey(HKEY_USERS) = 0xC0000022 [fault])"},
    {"a mode applied",
     [](Platform& c) {
       DEVMODEA mode = ModeRecord(1280, 1024, 32, 60);
       c.ChangeDisplaySettingsExA("\\\\.\\DISPLAY1", &mode, nullptr, 9, nullptr);
     },
     R"(ChangeDisplaySettingsExA("\\.\DISPLAY1", {1280x1024x32@60 dmFields=0x5C0000}, NULL, 0x9, NULL) = 0)"},
    {"a mode read",
     [](Platform& c) {
       DEVMODEA mode = {};
       mode.dmSize = sizeof mode;
       c.EnumDisplaySettingsA("\\\\.\\DISPLAY1", ENUM_CURRENT_SETTINGS, &mode);
     },
     R"(EnumDisplaySettingsA("\\.\DISPLAY1", ENUM_CURRENT_SETTINGS, {dmSize=156}) = TRUE -> 1024x768x32@60)"},
    {"a device read",
     [](Platform& c) {
       DISPLAY_DEVICEA record = {};
       record.cb = sizeof record;
       c.EnumDisplayDevicesA(nullptr, 0, &record, 0);
     },
     R"(EnumDisplayDevicesA(NULL, 0, {cb=424}, 0x0) = TRUE -> "\\.\DISPLAY1", "A", 0x5, "", "")"},
    {"a failed wait", [](Platform& c) { c.CMP_WaitNoPendingInstallEvents(0); },
     "CMP_WaitNoPendingInstallEvents(0) = 4294967295 (last error 1167)"},
    {"a missing file", [](Platform& c) { c.GetFileAttributesA("C:\\WINDOWS\\zqx1152h.bmp"); },
     R"(GetFileAttributesA("C:\WINDOWS\zqx1152h.bmp") = 0xFFFFFFFF (last error 2))"},
    {"quotes and percent signs escaped", [](Platform& c) { c.GetCommandLineA(); },
     R"(GetCommandLineA() = "%22C:\Program Files\Kestrave\kestrave.exe%22 -d 100%25")"},
    {"control characters escaped",
     [](Platform& c) { c.MessageBoxA(nullptr, "one\ntwo", "Caption", 0x2000); },
     R"(MessageBoxA(NULL, "one%0Atwo", "Caption", 0x2000) = 1)"},
    {"a message text",
     [](Platform& c) {
       char text[256];
       c.FormatMessageA(0x3000, nullptr, 5, 0, text, sizeof text, nullptr);
     },
     R"(FormatMessageA(0x3000, NULL, 5, 0, &, 256, NULL) = 19 -> "Access is denied.%0D%0A")"},
    {"a comparison of counted strings",
     [](Platform& c) { c.CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, "dx", 1, "D", -1); },
     R"(CompareStringA(0x400, 0x1, "d", 1, "D", -1) = 2)"},
};

INSTANTIATE_TEST_SUITE_P(Sim, TraceLines, testing::ValuesIn(kTraceCases), PrintedName());

TEST(SimTrace, RecordsEveryCallInOrder) {
  SimTestMachine machine;
  machine.Calls().GetCommandLineA();
  machine.Calls().GetLastError();
  ASSERT_EQ(machine.Calls().Trace().size(), 2u);
  EXPECT_EQ(machine.Calls().Trace()[1], "GetLastError() = 0");
}

}  // namespace
