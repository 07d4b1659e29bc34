// The display model on a simulated machine: how a monitor finds its
// registry key and EDID block, what ends the run when it cannot, and which
// devices and monitors the enumeration keeps.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/entry.h"
#include "display/adapter.h"
#include "display/adapter_enumeration.h"
#include "display/display.h"
#include "tests/support/display_machine.h"
#include "tests/support/program_run.h"
#include "tests/support/test_names.h"

namespace {

const char kMonitorKey[] = "SYSTEM\\CurrentControlSet\\Enum\\DISPLAY\\ABC1234\\5&1\\Device Parameters";
const std::string kParameters = std::string(kTestModelKey) + "\\5&1\\Device Parameters";

DISPLAY_DEVICEA MonitorRecord(const std::string& deviceId) {
  DISPLAY_DEVICEA record = {};
  record.cb = sizeof record;
  std::strcpy(record.DeviceName, "\\\\.\\DISPLAY1\\Monitor0");
  std::strcpy(record.DeviceString, "Plug and Play Monitor");
  record.StateFlags = 3;
  std::strncpy(record.DeviceID, deviceId.c_str(), sizeof record.DeviceID - 1);
  return record;
}

std::vector<unsigned char> Bytes(size_t count) {
  std::vector<unsigned char> bytes(count);
  for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<unsigned char>(i * 7);
  return bytes;
}

Json WithParameters(const Json& values) {
  Json machine = TestDisplayMachine();
  machine["registry"][kParameters] = values;
  return machine;
}

struct MonitorKeyCase {
  const char* name;
  std::string deviceId;
  Json machine;
  std::string hardwareKey;
  std::vector<unsigned char> edid;
};

void PrintTo(const MonitorKeyCase& c, std::ostream* out) { *out << c.name; }

class MonitorKey : public testing::TestWithParam<MonitorKeyCase> {};

TEST_P(MonitorKey, LeadsToTheDeviceParametersKeyAndItsBlock) {
  KestraveModule module;
  SimTestMachine machine(GetParam().machine.dump());
  TDisplay monitor(MonitorRecord(GetParam().deviceId));
  EXPECT_EQ(monitor.HardwareKey, GetParam().hardwareKey);
  EXPECT_EQ(monitor.Edid, GetParam().edid);
}

Json InstancesOutOfOrder() {
  Json machine = TestDisplayMachine();
  machine["registry"] = Json::object();
  machine["registry"][std::string(kTestModelKey) + "\\5&1"] = Json::object();
  machine["registry"][std::string(kTestModelKey) + "\\4&2\\Device Parameters"] = {
      {"EDID", HexData(Bytes(128))}};
  return machine;
}

const std::string kXpId = "MONITOR\\ABC1234\\{4D36E96E-E325-11CE-BFC1-08002BE10318}\\0001";
const char kDriverKey[] = "{4D36E96E-E325-11CE-BFC1-08002BE10318}\\0001";

// Two instances of the model, each with its "Driver" value and a block of
// its own: 128 bytes under 5&1, listed first, and 256 under 4&2.
Json TwoInstances(const Json& firstDriver, const Json& secondDriver) {
  Json machine = TestDisplayMachine();
  machine["registry"] = Json::object();
  const std::string model = kTestModelKey;
  machine["registry"][model + "\\5&1"] = {{"Driver", firstDriver}};
  machine["registry"][model + "\\5&1\\Device Parameters"] = {{"EDID", HexData(Bytes(128))}};
  machine["registry"][model + "\\4&2"] = {{"Driver", secondDriver}};
  machine["registry"][model + "\\4&2\\Device Parameters"] = {{"EDID", HexData(Bytes(256))}};
  return machine;
}

const char kSecondKey[] = "SYSTEM\\CurrentControlSet\\Enum\\DISPLAY\\ABC1234\\4&2\\Device Parameters";
const char kOtherDriver[] = "{4D36E96E-E325-11CE-BFC1-08002BE10318}\\0000";

INSTANTIATE_TEST_SUITE_P(
    Registry, MonitorKey,
    testing::Values(
        MonitorKeyCase{"XpForm", kXpId, TestDisplayMachine(), kMonitorKey, TestMonitorEdid()},
        MonitorKeyCase{"DoubledBackslash", "Monitor\\\\ABC1234\\\\{4D36E96E}\\0001",
                       TestDisplayMachine(), kMonitorKey, TestMonitorEdid()},
        MonitorKeyCase{"SystemPath", "system\\CurrentControlSet\\Enum\\DISPLAY\\ABC1234",
                       TestDisplayMachine(),
                       "system\\CurrentControlSet\\Enum\\DISPLAY\\ABC1234\\5&1\\Device Parameters",
                       TestMonitorEdid()},
        // Without "Driver" values the first instance the registry lists
        // wins, even without a block.
        MonitorKeyCase{"FirstListedInstance", kXpId, InstancesOutOfOrder(), kMonitorKey, {}},
        // The instance whose "Driver" value is the driver key that ends the
        // hardware ID belongs to the attached monitor.
        MonitorKeyCase{"AttachedInstanceSecond", kXpId, TwoInstances(kOtherDriver, kDriverKey),
                       kSecondKey, Bytes(256)},
        MonitorKeyCase{"DriverInAnotherCase", kXpId,
                       TwoInstances(kOtherDriver, "{4d36e96e-e325-11ce-bfc1-08002be10318}\\0001"),
                       kSecondKey, Bytes(256)},
        MonitorKeyCase{"NoDriverMatches", kXpId, TwoInstances(kOtherDriver, "dword:00000001"),
                       kMonitorKey, Bytes(128)},
        MonitorKeyCase{"NoDeviceParameters", kXpId,
                       Json{{"registry", {{std::string(kTestModelKey) + "\\5&1", Json::object()}}}},
                       kMonitorKey,
                       {}},
        MonitorKeyCase{"EdidBeforeBadEdid", kXpId,
                       WithParameters({{"BAD_EDID", HexData(Bytes(128))},
                                       {"EDID", HexData(Bytes(256))}}),
                       kMonitorKey, Bytes(256)},
        // How one value is read, whatever its length and type, the bad EDID
        // tests hold for whole runs.
        MonitorKeyCase{"NeitherValue", kXpId, WithParameters({{"Other", "x"}}), kMonitorKey, {}}),
    PrintedName());

struct RunEndingCase {
  const char* name;
  std::string deviceId;
  Json machine;
  std::string line;  // what follows the line end the handler writes first
};

void PrintTo(const RunEndingCase& c, std::ostream* out) { *out << c.name; }

class MonitorFault : public testing::TestWithParam<RunEndingCase> {};

TEST_P(MonitorFault, EndsTheRunWithItsLineAndExitCodeOne) {
  Json machine = GetParam().machine;
  machine["adapters"][0]["monitors"][0]["DeviceID"] = GetParam().deviceId;
  ProgramRun run = RunProgram(machine);
  EXPECT_EQ(run.exitCode, 1);
  std::string expected = "\r\n" + GetParam().line;
  EXPECT_EQ(run.PassLog().substr(0, expected.size()), expected);
  EXPECT_TRUE(run.CallsWith("ChangeDisplaySettingsExA", "").empty());
}

const char kUnexpected[] = "Error: Unexpected monitor hardware key. in file 'TDisplay': line 193.\r\n";
const char kNotXp[] = "Error: XP hardware key for monitor not in expected format.\r\n";

INSTANTIATE_TEST_SUITE_P(
    Registry, MonitorFault,
    testing::Values(
        RunEndingCase{"LoneMonitor", "Monitor", TestDisplayMachine(), kNotXp},
        RunEndingCase{"MonitorAndBackslashes", "Monitor\\\\", TestDisplayMachine(), kNotXp},
        RunEndingCase{"OtherForm", "DISPLAY\\ABC1234\\5&1", TestDisplayMachine(), kUnexpected},
        RunEndingCase{"ShortSystem", "SYS", TestDisplayMachine(), kUnexpected},
        RunEndingCase{"MissingModelKey", kXpId, Json{{"adapters", {TestAdapter()}}},
                      "Error: Unable to open registry key "
                      "'SYSTEM\\CurrentControlSet\\Enum\\DISPLAY\\ABC1234' in file 'TDisplay': "
                      "line 207.\r\n"},
        RunEndingCase{"ModelKeyWithoutInstances", kXpId,
                      Json{{"adapters", {TestAdapter()}},
                           {"registry", {{kTestModelKey, Json::object()}}}},
                      "VCL exception: List index out of bounds (0)@"}),
    PrintedName());

// The DeviceNames of the adapter list after an enumeration.
std::vector<std::string> AdapterNames(const TStringList& adapters) {
  std::vector<std::string> names;
  for (int i = 0; i < adapters.Count(); ++i) names.push_back(adapters.Strings(i));
  return names;
}

TEST(DisplayModel, MirroringDriversAreSkippedAndTheDevicesAfterThemKept) {
  Json machine = TestDisplayMachine();
  Json mirror = TestAdapter("\\\\.\\DISPLAYV1");
  mirror["StateFlags"] = 8;
  Json detached = TestAdapter("\\\\.\\DISPLAY2");
  detached["StateFlags"] = 0;
  detached["current"] = nullptr;
  machine["adapters"] = {mirror, TestAdapter(), mirror, detached};
  KestraveModule module;
  SimTestMachine simulated(machine.dump());
  AdapterList adapters;
  EnumerateAdapters(adapters.get());
  EXPECT_EQ(AdapterNames(*adapters.get()),
            (std::vector<std::string>{"\\\\.\\DISPLAY1", "\\\\.\\DISPLAY2"}));
  const auto* last = dynamic_cast<const TAdapter*>(adapters.get()->Objects(1));
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(last->CurrentMode, nullptr);
}

TEST(DisplayModel, InactiveMonitorsArePassedOver) {
  Json machine = TestDisplayMachine();
  Json inactive = TestMonitor();
  inactive["StateFlags"] = 2;
  inactive["DeviceString"] = "Sleeping Monitor";
  Json& monitors = machine["adapters"][0]["monitors"];
  monitors = {inactive, monitors[0], inactive};
  KestraveModule module;
  SimTestMachine simulated(machine.dump());
  AdapterList adapters;
  EnumerateAdapters(adapters.get());
  const auto* adapter = dynamic_cast<const TAdapter*>(adapters.get()->Objects(0));
  ASSERT_NE(adapter, nullptr);
  ASSERT_EQ(adapter->Monitors.Count(), 1);
  EXPECT_EQ(adapter->Monitors.Strings(0), "Plug and Play Monitor");
}

TEST(DisplayModel, AnAdapterWhoseMonitorsAreAllInactiveHasNoMonitor) {
  Json machine = TestDisplayMachine();
  machine["adapters"][0]["monitors"][0]["StateFlags"] = 2;
  ProgramRun run = RunProgram(machine);
  EXPECT_EQ(run.PassLog(), "No monitor on \\\\.\\DISPLAY1.\r\n\r\n");
}

TEST(DisplayModel, RawModesAreEnumeratedOnlyInDebugMode) {
  const std::string raw = ", 0x2) = ";
  ProgramRun debug = RunProgram(TestDisplayMachine(), "-d");
  // Three modes and the call that ends the walk.
  EXPECT_EQ(debug.CallsWith("EnumDisplaySettingsExA", raw).size(), 4u);
  ProgramRun quiet = RunProgram(TestDisplayMachine(), "");
  EXPECT_TRUE(quiet.CallsWith("EnumDisplaySettingsExA", raw).empty());
  EXPECT_EQ(quiet.CallsWith("EnumDisplaySettingsExA", ", 0x0) = ").size(), 4u);
}

TEST(DisplayModel, WithoutTheMultipleMonitorApiTheOneAdapterHasNoMonitor) {
  Json machine = TestDisplayMachine();
  machine["multipleMonitorApi"] = false;
  ProgramRun run = RunProgram(machine);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.PassLog(), "No monitor on DISPLAY.\r\n\r\n");
}

}  // namespace
