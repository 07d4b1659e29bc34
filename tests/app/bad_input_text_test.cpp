// Device texts as a driver may hand them over: filling their arrays without
// a terminating zero, or holding characters that mean something in a
// registry path. The flag key they name must still be found again and
// removed by -u, and nothing else may be touched.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/display_machine.h"
#include "tests/support/program_run.h"
#include "tests/support/test_names.h"

namespace {

// text, padded with fill to exactly length characters.
std::string Filled(const std::string& text, size_t length, char fill) {
  return text + std::string(length - text.size(), fill);
}

TEST(BadDeviceText, TextsFillingTheirArraysAreReadToTheArrayEndAndNoFurther) {
  // DISPLAY_DEVICEA: DeviceName 32 characters, the other three 128.
  const std::string adapterName = Filled("\\\\.\\DISPLAY1", 32, 'N');
  const std::string adapterString = Filled("Lumenar LX", 128, 's');
  const std::string adapterKey = Filled("\\Registry\\Machine\\System\\{23A77BF7}\\", 128, '7');
  const std::string monitorName = Filled("\\\\.\\DISPLAY1\\Monitor0", 32, 'm');
  const std::string monitorString = Filled("Plug and Play Monitor", 128, 'p');
  const std::string monitorKey = Filled("\\Registry\\Machine\\Class\\{4D36E96E}\\", 128, '3');
  Json machine = TestDisplayMachine();
  Json& adapter = machine["adapters"][0];
  adapter["DeviceName"] = adapterName;
  adapter["DeviceString"] = adapterString;
  adapter["DeviceID"] = Filled("PCI\\VEN_1B3A&DEV_0042", 128, 'i');
  adapter["DeviceKey"] = adapterKey;
  Json& monitor = adapter["monitors"][0];
  monitor["DeviceName"] = monitorName;
  monitor["DeviceString"] = monitorString;
  monitor["DeviceID"] = Filled("MONITOR\\ABC1234\\{4D36E96E}\\", 128, 'd');
  monitor["DeviceKey"] = monitorKey;

  ProgramRun run = RunProgram(machine);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(run.log.find("\r\n" + adapterString + "  [" + adapterName + "]\r\n"),
            std::string::npos);
  EXPECT_NE(run.log.find("\r\n  " + monitorString + "  [" + monitorName + "]\r\n"),
            std::string::npos);
  EXPECT_NE(run.log.find("\r\n    S/W key -> " + monitorKey + "\r\n"), std::string::npos);
  EXPECT_EQ(run.CallsWith("ChangeDisplaySettingsExA", "(\"" + adapterName + "\", {").size(), 1u);
  // Windows takes a key name of at most 255 characters: the flag key's is
  // cut to that, and a second run finds the flag under the same name.
  const std::string flagKey = (adapterString + "_" + adapterKey.substr(adapterKey.find('}') + 2) +
                               "&" + monitorString + "_" +
                               monitorKey.substr(monitorKey.find('}') + 2))
                                  .substr(0, 255);
  EXPECT_EQ(run.FlagValues(flagKey), (Json{{"1280x1024@32", "60"}})) << run.PassLog();
  EXPECT_NE(RunProgram(run.machine).log.find("\r\n  Previously optimized.\r\n"), std::string::npos);
}

const char kOwnKey[] = "\\Software\\Calvorne\\Kestrave";

// Whether the machine still has the program's key, or a key below it, in
// the user's hive.
bool HasFlagKeys(const Json& machine) {
  for (const auto& key : machine["registry"].items()) {
    const std::string& path = key.key();
    size_t own = path.find(kOwnKey);
    if (own == std::string::npos) continue;
    size_t end = own + std::string(kOwnKey).size();
    if (end == path.size() || path[end] == '\\') return true;
  }
  return false;
}

struct DeviceStringCase {
  const char* name;
  std::string adapterString;
  std::string monitorString;
  bool recorded;  // whether the flag key can be created at all
};

void PrintTo(const DeviceStringCase& c, std::ostream* out) { *out << c.name; }

class FlagKeyOfDeviceStrings : public testing::TestWithParam<DeviceStringCase> {};

TEST_P(FlagKeyOfDeviceStrings, IsUsedAsItStandsAndRemovedByUninstall) {
  const DeviceStringCase& strings = GetParam();
  Json machine = TestDisplayMachine();
  machine["adapters"][0]["DeviceString"] = strings.adapterString;
  machine["adapters"][0]["monitors"][0]["DeviceString"] = strings.monitorString;
  // Beside the program's key: left alone by every run.
  machine["registry"]["HKEY_CURRENT_USER\\Software\\Calvorne\\Kestrave2"] = {{"x", "1"}};
  const std::string flagKey =
      strings.adapterString + "_0000&" + strings.monitorString + "_0001";

  ProgramRun first = RunProgram(machine);
  EXPECT_EQ(first.exitCode, 0);
  EXPECT_EQ(first.CallsWith("ChangeDisplaySettingsExA", "= 0").size(), 1u);
  const std::string fault =
      "\r\nError in Kestrave line 1256: Exception while updating registry to indicate monitor "
      "was optimized.\r\n";
  EXPECT_EQ(first.PassLog().find(fault) == std::string::npos, strings.recorded) << first.PassLog();
  const Json flagValues = strings.recorded ? Json{{"1280x1024@32", "60"}} : Json::object();
  EXPECT_EQ(first.FlagValues(flagKey), flagValues);

  ProgramRun second = RunProgram(first.machine);
  EXPECT_EQ(second.PassLog().find("  Previously optimized.\r\n") != std::string::npos,
            strings.recorded)
      << second.PassLog();

  ProgramRun removal = RunProgram(second.machine, "-d -u");
  EXPECT_EQ(removal.exitCode, 0);
  EXPECT_NE(removal.log.find(strings.recorded
                                 ? "The Kestrave optimization flags were removed from"
                                 : "The Kestrave optimization flags were not removed from"),
            std::string::npos)
      << removal.log;
  EXPECT_FALSE(HasFlagKeys(removal.machine)) << removal.machine["registry"].dump(1);
  EXPECT_EQ(removal.machine["registry"]["HKEY_CURRENT_USER\\Software\\Calvorne\\Kestrave2"],
            (Json{{"x", "1"}}));
  EXPECT_EQ(removal.machine["registry"][std::string(kTestModelKey) + "\\5&1\\Device Parameters"],
            machine["registry"][std::string(kTestModelKey) + "\\5&1\\Device Parameters"]);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FlagKeyOfDeviceStrings,
    testing::Values(
        DeviceStringCase{"QuotesAndAmpersands", "Lumenar \"LX\" & Co", "Monitor & \"Co\"", true},
        // A backslash opens a further key level.
        DeviceStringCase{"Backslashes", "Lumenar\\LX 9000", "Plug\\and\\Play", true},
        DeviceStringCase{"TrailingBackslash", "Lumenar LX\\", "Monitor\\", true},
        DeviceStringCase{"BytesAbove127", "Lumi\xc3\xa8re \xc3\x89" "cran", "\xc3\x9c" "ber", true},
        DeviceStringCase{"PercentAndControlCharacters", "100% \x01\x1f", "\x7f" "Monitor", true},
        // An empty key name in the path: no flag can be recorded, and the
        // display is optimised again at every run.
        DeviceStringCase{"LeadingBackslash", "\\Lumenar LX", "Plug and Play Monitor", false},
        DeviceStringCase{"DoubledBackslash", "Lumenar\\\\LX", "Plug and Play Monitor", false}),
    PrintedName());

}  // namespace
