#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "display/adapter.h"
#include "display/debug_dump.h"
#include "display/display.h"
#include "edid/edid_report.h"
#include "tests/support/display_machine.h"
#include "tests/support/edid_blocks.h"
#include "tests/support/log_capture.h"
#include "tests/support/mode_values.h"
#include "tests/support/sim_test_machine.h"
#include "tests/support/test_names.h"

namespace {

const std::string kRule(80, '=');
const char kMonitorKey[] =
    "SYSTEM\\CurrentControlSet\\Enum\\DISPLAY\\ABC1234\\5&1\\Device Parameters";

const ModeValues k1024{1024, 768, 32, 60};
const ModeValues k1280{1280, 1024, 32, 60};
const ModeValues k1600{1600, 1200, 16, 75};
const char k1024Text[] = "1024x 768,32 bpp @ 60 Hz";
const char k1280Text[] = "1280x1024,32 bpp @ 60 Hz";
const char k1600Text[] = "1600x1200,16 bpp @ 75 Hz";

// A usable block with one established timing (800x600 at 60 Hz) and a
// preferred detailed timing of 1280x1024 at 60 Hz.
std::vector<unsigned char> MonitorEdid() {
  std::vector<unsigned char> block = UsableBlock();
  block[0x23] = 0x01;
  PutPreferredTiming(block, {10800, 1280, 408, 1024, 42});
  return block;
}

// The "Device Parameters" keys of two monitor models: ABC1234 with the
// block, NOE0000 without any EDID value.
std::string MachineJson() {
  return std::string(R"({"registry": {
      "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\DISPLAY\\ABC1234\\5&1\\Device Parameters":
        {"EDID": ")") +
         HexData(MonitorEdid()) + R"("},
      "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\DISPLAY\\NOE0000\\7&2\\Device Parameters":
        {}}})";
}

DISPLAY_DEVICEA Device(const char* name, const char* text, const char* id, const char* key) {
  DISPLAY_DEVICEA device = {};
  device.cb = sizeof device;
  std::snprintf(device.DeviceName, sizeof device.DeviceName, "%s", name);
  std::snprintf(device.DeviceString, sizeof device.DeviceString, "%s", text);
  std::snprintf(device.DeviceID, sizeof device.DeviceID, "%s", id);
  std::snprintf(device.DeviceKey, sizeof device.DeviceKey, "%s", key);
  return device;
}

TAdapter* NewAdapter() {
  return new TAdapter(Device("\\\\.\\DISPLAY1", "Lumenar LX", "PCI\\VEN_1B3A",
                             "\\Registry\\Machine\\Video\\{X}\\0000"));
}

// A monitor of the given model, built from the registry of the machine.
TDisplay* NewMonitor(const std::string& model, const char* name = "\\\\.\\DISPLAY1\\Monitor0") {
  const std::string id = "MONITOR\\" + model + "\\{4D36E96E}\\0001";
  return new TDisplay(Device(name, "Plug and Play Monitor", id.c_str(), "K"));
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string EdidReport(const std::vector<unsigned char>& edid) {
  std::ostringstream out;
  WriteEdidReport(edid.data(), edid.size(), out, "    ");
  return out.str();
}

std::string AdapterDump(const TStringList& adapters) {
  LogCapture log;
  WriteAdapterDump(adapters);
  return log.Text();
}

std::string MonitorDump(const TStringList* monitors) {
  LogCapture log;
  WriteMonitorDump(monitors, "  ");
  return log.Text();
}

// Owns the adapters of a dump, as the adapter list's owner does.
class DebugDump : public testing::Test {
 protected:
  ~DebugDump() override { FreeObjects<TAdapter>(adapters_); }

  TAdapter& AddAdapter() {
    TAdapter* adapter = NewAdapter();
    adapters_.AddObject(adapter->DeviceName, adapter);
    return *adapter;
  }

  SimTestMachine machine_{MachineJson()};
  TStringList adapters_;
};

TEST_F(DebugDump, AnEmptyAdapterListWritesOnlyTheRuleAndABlankLine) {
  EXPECT_EQ(AdapterDump(adapters_), kRule + "\n\n");
  adapters_.Add("not an adapter");
  EXPECT_EQ(AdapterDump(adapters_), kRule + "\n\n");
}

struct ModeListCase {
  const char* name;
  // A null entry stands for an object that is not a mode.
  std::vector<const ModeValues*> entries;
  const char* expected;
};

void PrintTo(const ModeListCase& c, std::ostream* out) { *out << c.name; }

class ModeList : public testing::TestWithParam<ModeListCase> {};

TEST_P(ModeList, FourModesToALineEachWithTwoTrailingSpaces) {
  TObjectList modes;
  for (const ModeValues* entry : GetParam().entries) {
    if (entry != nullptr)
      modes.Add(NewMode(*entry));
    else
      modes.Add(std::make_unique<TObject>());
  }
  LogCapture log;
  WriteModeList(&modes, ">");
  EXPECT_EQ(log.Text(), GetParam().expected);
}

const std::string kFourModes = std::string(k1024Text) + "  " + k1280Text + "  " + k1600Text +
                               "  " + k1024Text + "  ";
const ModeListCase kModeListCases[] = {
    {"Empty", {}, "\n"},
    {"Four", {&k1024, &k1280, &k1600, &k1024}, "\n>1024x 768,32 bpp @ 60 Hz  "
                                               "1280x1024,32 bpp @ 60 Hz  "
                                               "1600x1200,16 bpp @ 75 Hz  "
                                               "1024x 768,32 bpp @ 60 Hz  \n"},
    {"Five", {&k1024, &k1280, &k1600, &k1024, &k1280}, "\n>1024x 768,32 bpp @ 60 Hz  "
                                                       "1280x1024,32 bpp @ 60 Hz  "
                                                       "1600x1200,16 bpp @ 75 Hz  "
                                                       "1024x 768,32 bpp @ 60 Hz  \n"
                                                       ">1280x1024,32 bpp @ 60 Hz  \n"},
    {"OtherObjectCounts", {&k1024, nullptr, &k1600, &k1024, &k1280},
     "\n>1024x 768,32 bpp @ 60 Hz  1600x1200,16 bpp @ 75 Hz  1024x 768,32 bpp @ 60 Hz  \n"
     ">1280x1024,32 bpp @ 60 Hz  \n"},
};

INSTANTIATE_TEST_SUITE_P(Debug, ModeList, testing::ValuesIn(kModeListCases), PrintedName());

TEST(ModeListWithoutList, WritesNothing) {
  LogCapture log;
  WriteModeList(nullptr, ">");
  EXPECT_EQ(log.Text(), "");
}

TEST_F(DebugDump, AMissingCurrentOrRegistryModeShowsNotAvailable) {
  TAdapter& withoutCurrent = AddAdapter();
  withoutCurrent.RegistryMode = NewMode(k1024);
  TAdapter& withoutRegistry = AddAdapter();
  withoutRegistry.CurrentMode = NewMode(k1280);
  const std::vector<std::string> lines = Lines(AdapterDump(adapters_));
  // Each adapter without monitors takes 14 lines.
  ASSERT_GE(lines.size(), 22u);
  EXPECT_EQ(lines[6], "  Current mode  -> N/A");
  EXPECT_EQ(lines[7], std::string("  Registry mode -> ") + k1024Text);
  EXPECT_EQ(lines[20], std::string("  Current mode  -> ") + k1280Text);
  EXPECT_EQ(lines[21], "  Registry mode -> N/A");
}

TEST_F(DebugDump, AnAdapterWithoutMonitorsEndsWithTheLineEndOfItsEmptyMonitorList) {
  TAdapter& adapter = AddAdapter();
  adapter.Modes.Add(NewMode(k1024));
  adapter.Monitors.Add("not a monitor");
  const std::string ending = std::string("  Modes supported by monitor:\n    ") + k1024Text +
                             "  \n\n\n" + kRule + "\n\n";
  const std::string dump = AdapterDump(adapters_);
  ASSERT_GE(dump.size(), ending.size());
  EXPECT_EQ(dump.substr(dump.size() - ending.size()), ending);
}

TEST(MonitorDumpWithoutList, WritesOneLineEnd) { EXPECT_EQ(MonitorDump(nullptr), "\n"); }

TEST_F(DebugDump, AMonitorWithoutEdidHasTheShortBlockReportNoPresetsAndNoPreferredTiming) {
  TAdapter& adapter = AddAdapter();
  adapter.Monitors.AddObject("Plug and Play Monitor", NewMonitor("NOE0000"));
  const std::string report = EdidReport({});
  EXPECT_NE(report.find("EDID block too short to decode (0 bytes).\n"), std::string::npos);
  EXPECT_EQ(MonitorDump(&adapter.Monitors),
            "  Plug and Play Monitor  [\\\\.\\DISPLAY1\\Monitor0]\n"
            "    H/W key -> SYSTEM\\CurrentControlSet\\Enum\\DISPLAY\\NOE0000\\7&2\\Device "
            "Parameters\n"
            "    S/W key -> K\n\n" +
                report +
                "\n"
                "      Presets:\n\n"
                "      Preferred timing: Not specified.\n\n\n");
}

TEST_F(DebugDump, TwoMonitorsAreBothWrittenInListOrder) {
  TAdapter& first = AddAdapter();
  first.Monitors.AddObject("", NewMonitor("ABC1234"));
  TAdapter& second = AddAdapter();
  second.Monitors.AddObject("", NewMonitor("NOE0000", "\\\\.\\DISPLAY1\\Monitor1"));
  TAdapter& both = AddAdapter();
  both.Monitors.AddObject("", NewMonitor("ABC1234"));
  both.Monitors.AddObject("", NewMonitor("NOE0000", "\\\\.\\DISPLAY1\\Monitor1"));
  std::string alone = MonitorDump(&first.Monitors);
  alone.pop_back();  // the line end of the list, written once after both
  EXPECT_EQ(MonitorDump(&both.Monitors), alone + MonitorDump(&second.Monitors));
}

TEST_F(DebugDump, OneAdapterWithOneMonitorLineByLine) {
  TAdapter& adapter = AddAdapter();
  adapter.CurrentMode = NewMode(k1024);
  adapter.RegistryMode = NewMode(k1280);
  for (const ModeValues& mode : {k1024, k1280, k1600, k1024, k1280})
    adapter.RawModes.Add(NewMode(mode));
  for (const ModeValues& mode : {k1024, k1280}) adapter.Modes.Add(NewMode(mode));
  adapter.Monitors.AddObject("Plug and Play Monitor", NewMonitor("ABC1234"));

  std::vector<std::string> expected = {
      kRule,
      "",
      "Lumenar LX  [\\\\.\\DISPLAY1]",
      "  H/W key -> PCI\\VEN_1B3A",
      "  S/W key -> \\Registry\\Machine\\Video\\{X}\\0000",
      "",
      std::string("  Current mode  -> ") + k1024Text,
      std::string("  Registry mode -> ") + k1280Text,
      "",
      "  Modes supported by adapter:",
      "    " + kFourModes,
      std::string("    ") + k1280Text + "  ",
      "",
      "  Modes supported by monitor:",
      std::string("    ") + k1024Text + "  " + k1280Text + "  ",
      "",
      "  Plug and Play Monitor  [\\\\.\\DISPLAY1\\Monitor0]",
      std::string("    H/W key -> ") + kMonitorKey,
      "    S/W key -> K",
      ""};
  for (const std::string& line : Lines(EdidReport(MonitorEdid()))) expected.push_back(line);
  for (const char* line : {"", "      Presets:", "       800x 600, 0 bpp @ 60 Hz  ", "",
                           "      Preferred timing: 1280x1024, 0 bpp @ 60 Hz", "", ""})
    expected.push_back(line);
  expected.push_back(kRule);
  expected.push_back("");

  const std::string dump = AdapterDump(adapters_);
  ASSERT_EQ(dump.back(), '\n');
  const std::vector<std::string> lines = Lines(dump);
  ASSERT_EQ(lines.size(), expected.size());
  for (size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i], expected[i]) << "line " << i + 1;
}

}  // namespace
