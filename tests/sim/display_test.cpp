#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/support/sim_test_machine.h"
#include "tests/support/test_names.h"

namespace {

const char kAdapters[] = R"({
  "adapters": [
    {"DeviceName": "\\\\.\\DISPLAY1", "DeviceString": "Lumenar LX", "StateFlags": 5,
     "DeviceID": "PCI\\VEN_1B3A", "DeviceKey": "\\Registry\\Machine\\Video\\{X}\\0000",
     "modes": ["1024x768x32@60", "1280x1024x32@60", "1280x1024x32@75"],
     "rawModes": ["1024x768x32@60", "1600x1200x32@60"],
     "current": "1024x768x32@60", "registry": "1024x768x32@60",
     "monitors": [
       {"DeviceName": "\\\\.\\DISPLAY1\\Monitor0", "DeviceString": "Plug and Play Monitor",
        "StateFlags": 3, "DeviceID": "MONITOR\\LEN60AA\\{4D36E96E}\\0001", "DeviceKey": "K"}]},
    {"DeviceName": "\\\\.\\DISPLAYV1", "DeviceString": "Mirror", "StateFlags": 8,
     "DeviceID": "", "DeviceKey": ""}
  ]
})";

DISPLAY_DEVICEA Record() {
  DISPLAY_DEVICEA record = {};
  record.cb = sizeof record;
  return record;
}

std::string Read(Platform& calls, const char* device, DWORD number, DWORD flags) {
  DEVMODEA mode = {};
  mode.dmSize = sizeof mode;
  if (!calls.EnumDisplaySettingsExA(device, number, &mode, flags)) return "none";
  return ModeText(
      {mode.dmPelsWidth, mode.dmPelsHeight, mode.dmBitsPerPel, mode.dmDisplayFrequency});
}

TEST(SimDisplay, AdaptersByIndexAndMonitorsByAdapterName) {
  SimTestMachine machine(kAdapters);
  Platform& calls = machine.Calls();
  DISPLAY_DEVICEA record = Record();
  ASSERT_TRUE(calls.EnumDisplayDevicesA(nullptr, 1, &record, 0));
  EXPECT_STREQ(record.DeviceName, "\\\\.\\DISPLAYV1");
  EXPECT_EQ(record.StateFlags, 8u);
  EXPECT_FALSE(calls.EnumDisplayDevicesA(nullptr, 2, &record, 0));

  record = Record();
  ASSERT_TRUE(calls.EnumDisplayDevicesA("\\\\.\\display1", 0, &record, 0));
  EXPECT_STREQ(record.DeviceString, "Plug and Play Monitor");
  EXPECT_STREQ(record.DeviceID, "MONITOR\\LEN60AA\\{4D36E96E}\\0001");
  EXPECT_FALSE(calls.EnumDisplayDevicesA("\\\\.\\DISPLAY1", 1, &record, 0));
  EXPECT_FALSE(calls.EnumDisplayDevicesA("\\\\.\\DISPLAY3", 0, &record, 0));

  record.cb = 300;
  EXPECT_FALSE(calls.EnumDisplayDevicesA(nullptr, 0, &record, 0));
}

TEST(SimDisplay, WithoutTheMultipleMonitorApiThereIsOneAdapterNamedDisplay) {
  std::string json = kAdapters;
  json.insert(1, "\"multipleMonitorApi\": false,");
  SimTestMachine machine(json);
  Platform& calls = machine.Calls();
  DISPLAY_DEVICEA record = Record();
  std::memset(record.DeviceID, 'x', sizeof record.DeviceID);
  ASSERT_TRUE(calls.EnumDisplayDevicesA(nullptr, 0, &record, 0));
  EXPECT_STREQ(record.DeviceName, "DISPLAY");
  EXPECT_STREQ(record.DeviceString, "DISPLAY");
  EXPECT_EQ(record.StateFlags, 5u);
  EXPECT_STREQ(record.DeviceID, "");
  EXPECT_STREQ(record.DeviceKey, "");
  EXPECT_FALSE(calls.EnumDisplayDevicesA(nullptr, 1, &record, 0));
  EXPECT_FALSE(calls.EnumDisplayDevicesA("DISPLAY", 0, &record, 0));
  EXPECT_EQ(Read(calls, "DISPLAY", 0, 0), "none");
}

TEST(SimDisplay, ModesRawModesAndTheCurrentAndRegistryModes) {
  std::string json = kAdapters;
  SimTestMachine machine(json);
  Platform& calls = machine.Calls();
  const char* name = "\\\\.\\DISPLAY1";
  EXPECT_EQ(Read(calls, name, 2, 0), "1280x1024x32@75");
  EXPECT_EQ(Read(calls, name, 3, 0), "none");
  EXPECT_EQ(Read(calls, name, 1, EDS_RAWMODE), "1600x1200x32@60");
  EXPECT_EQ(Read(calls, name, 2, EDS_RAWMODE), "none");
  EXPECT_EQ(Read(calls, name, ENUM_CURRENT_SETTINGS, 0), "1024x768x32@60");
  EXPECT_EQ(Read(calls, "\\\\.\\DISPLAYV1", ENUM_CURRENT_SETTINGS, 0), "none");
  EXPECT_EQ(Read(calls, "\\\\.\\DISPLAYV1", ENUM_REGISTRY_SETTINGS, 0), "none");
  EXPECT_EQ(Read(calls, "\\\\.\\DISPLAY9", 0, 0), "none");

  DEVMODEA mode = {};
  mode.dmSize = sizeof mode;
  ASSERT_TRUE(calls.EnumDisplaySettingsA(name, ENUM_REGISTRY_SETTINGS, &mode));
  EXPECT_EQ(mode.dmPelsWidth, 1024u);
  EXPECT_EQ(mode.dmFields & 0x5C0000u, 0x5C0000u);
}

TEST(SimDisplay, RawModesDefaultToTheModes) {
  SimTestMachine machine(R"({"adapters": [{"DeviceName": "D", "DeviceString": "", "StateFlags": 1,
      "DeviceID": "", "DeviceKey": "", "modes": ["800x600x16@60"], "rawModes": null}]})");
  EXPECT_EQ(Read(machine.Calls(), "D", 0, EDS_RAWMODE), "800x600x16@60");
}

struct ChangeCase {
  const char* changeResults;
  SimMode mode;
  DWORD flags;
  LONG result;
  const char* current;
  const char* registry;
};

void PrintTo(const ChangeCase& c, std::ostream* out) {
  *out << ModeText(c.mode) << " flags " << c.flags;
  if (std::string(c.changeResults) != "{}") *out << " results " << c.changeResults;
}

class ChangeResults : public testing::TestWithParam<ChangeCase> {};

TEST_P(ChangeResults, DecideTheAnswerAndTheModesKept) {
  const ChangeCase& test = GetParam();
  std::string json = std::string(R"({"adapters": [{"DeviceName": "\\\\.\\DISPLAY1",
      "DeviceString": "", "StateFlags": 5, "DeviceID": "", "DeviceKey": "",
      "modes": ["1024x768x32@60", "1280x1024x32@60"],
      "current": "1024x768x32@60", "registry": "1024x768x32@60", "changeResults": )") +
                     test.changeResults + "}]}";
  SimTestMachine machine(json);
  DEVMODEA mode =
      ModeRecord(test.mode.width, test.mode.height, test.mode.bitsPerPixel, test.mode.frequency);
  EXPECT_EQ(machine.Calls().ChangeDisplaySettingsExA("\\\\.\\DISPLAY1", &mode, nullptr, test.flags,
                                                     nullptr),
            test.result);
  const SimAdapter& adapter = machine.State().adapters[0];
  EXPECT_EQ(ModeText(*adapter.current), test.current);
  EXPECT_EQ(ModeText(*adapter.registry), test.registry);
}

const SimMode k1280{1280, 1024, 32, 60};
const ChangeCase kChangeCases[] = {
    {"{}", k1280, CDS_UPDATEREGISTRY | CDS_GLOBAL, 0, "1280x1024x32@60", "1280x1024x32@60"},
    {"{}", k1280, 0, 0, "1280x1024x32@60", "1024x768x32@60"},
    {"{}", {1280, 1024, 32, 75}, 9, DISP_CHANGE_BADMODE, "1024x768x32@60", "1024x768x32@60"},
    {"{}", {1280, 1024, 32, 61}, 9, DISP_CHANGE_BADMODE, "1024x768x32@60", "1024x768x32@60"},
    {"{}", {1280, 1024, 16, 60}, 9, DISP_CHANGE_BADMODE, "1024x768x32@60", "1024x768x32@60"},
    {R"({"1280x1024x32@60": -1})", k1280, 9, DISP_CHANGE_FAILED, "1024x768x32@60",
     "1024x768x32@60"},
    {R"({"default": 1})", k1280, 9, DISP_CHANGE_RESTART, "1024x768x32@60", "1280x1024x32@60"},
    {R"({"default": 1})", k1280, 0, DISP_CHANGE_RESTART, "1024x768x32@60", "1280x1024x32@60"},
    {R"({"default": -1, "1280x1024x32@60": 0})", k1280, 9, 0, "1280x1024x32@60", "1280x1024x32@60"},
    {R"({"1600x1200x32@60": 0})", {1600, 1200, 32, 60}, 9, 0, "1600x1200x32@60", "1600x1200x32@60"},
    {R"({"default": -6})", k1280, 9, -6, "1024x768x32@60", "1024x768x32@60"},
    {"{}", k1280, CDS_GLOBAL, DISP_CHANGE_BADFLAGS, "1024x768x32@60", "1024x768x32@60"},
};

INSTANTIATE_TEST_SUITE_P(Sim, ChangeResults, testing::ValuesIn(kChangeCases), PrintedName());

TEST(SimDisplay, AChangeOnAnUnknownAdapterFails) {
  SimTestMachine machine(kAdapters);
  DEVMODEA mode = ModeRecord(1280, 1024, 32, 60);
  EXPECT_EQ(machine.Calls().ChangeDisplaySettingsExA("DISPLAY", &mode, nullptr, 9, nullptr),
            DISP_CHANGE_BADPARAM);
}

TEST(SimDisplay, FieldsTheRecordLeavesOutStayAsTheyAre) {
  SimTestMachine machine(kAdapters);
  DEVMODEA mode = ModeRecord(1280, 1024, 0, 60);
  mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
  EXPECT_EQ(machine.Calls().ChangeDisplaySettingsExA("\\\\.\\DISPLAY1", &mode, nullptr, 9, nullptr),
            DISP_CHANGE_SUCCESSFUL);
  EXPECT_EQ(ModeText(*machine.State().adapters[0].current), "1280x1024x32@60");
}

}  // namespace
