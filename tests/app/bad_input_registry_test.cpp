// The program's own registry keys found holding values of types it never
// writes: installing replaces them, removing takes them with the keys, and
// the flag test goes by the value's name alone.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/display_machine.h"
#include "tests/support/program_run.h"
#include "tests/support/test_names.h"

namespace {

const char kRunKey[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kSoftwareKey[] = "HKEY_LOCAL_MACHINE\\Software\\Calvorne\\Kestrave";
const char kUserKey[] = "HKEY_CURRENT_USER\\Software\\Calvorne\\Kestrave";
const std::string kFlagKey = std::string(kUserKey) + "\\" + kTestFlagKey;

const char kRemovedAll[] =
    "Kestrave was removed from the Run key.\r\n"
    "The Kestrave software install key was removed from the registry.\r\n"
    "The Kestrave optimization flags were removed from the registry.\r\n";

struct WrongTypeCase {
  const char* name;
  const char* runValue;       // the Run value "Kestrave" found
  const char* softwareStamp;  // the software key's default value found
};

void PrintTo(const WrongTypeCase& c, std::ostream* out) { *out << c.name; }

class OwnValuesOfWrongType : public testing::TestWithParam<WrongTypeCase> {
 protected:
  Json Machine() const {
    Json machine = {{"modulePath", "C:\\k.exe"}, {"registry", Json::object()}};
    machine["registry"][kRunKey] = {{"Kestrave", GetParam().runValue}, {"Other", "dword:00000005"}};
    machine["registry"][kSoftwareKey] = {{"@", GetParam().softwareStamp}};
    machine["registry"][kFlagKey] = {{"1280x1024@32", "dword:0000003c"},
                                     {"1024x768@32", "hex(7):36,30,00,00"}};
    machine["registry"][kFlagKey + "\\Deeper"] = {{"@", "hex(0):"}};
    machine["registry"]["HKEY_USERS\\.DEFAULT\\Software\\Calvorne\\Kestrave\\X"] = {
        {"1x1@1", "hex(b):01,00,00,00,00,00,00,00"}};
    return machine;
  }
};

TEST_P(OwnValuesOfWrongType, AreReplacedByInstallingWithStrings) {
  ProgramRun run = RunProgram(Machine(), "-d -i");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.log.find("not added"), std::string::npos) << run.log;
  const Json& registry = run.machine["registry"];
  EXPECT_EQ(registry[kRunKey], (Json{{"Kestrave", "C:\\k.exe"}, {"Other", "dword:00000005"}}));
  EXPECT_EQ(registry[kSoftwareKey], (Json{{"@", "Nov 20 2003  13:11:53"}}));
  EXPECT_EQ(registry[kFlagKey], Machine()["registry"][kFlagKey]);
}

TEST_P(OwnValuesOfWrongType, AreRemovedWithTheKeysThatHoldThem) {
  ProgramRun run = RunProgram(Machine(), "-d -u");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.PassLog(), kRemovedAll);
  const Json& registry = run.machine["registry"];
  EXPECT_EQ(registry[kRunKey], (Json{{"Other", "dword:00000005"}}));
  for (const auto& key : registry.items())
    EXPECT_EQ(key.key().find("Calvorne\\Kestrave"), std::string::npos) << key.key();
}

INSTANTIATE_TEST_SUITE_P(
    Registry, OwnValuesOfWrongType,
    testing::Values(WrongTypeCase{"Numbers", "dword:00000001", "dword:00000000"},
                    WrongTypeCase{"Binary", "hex:43,3a,5c", "hex:"},
                    WrongTypeCase{"MultiStringAndExpandable", "hex(7):43,00,00", "hex(2):25,00"},
                    WrongTypeCase{"NoType", "hex(0):", "hex(0):41"}),
    PrintedName());

const char kPreferredTarget[] = "  Optimal: [preferred mode: 1280x1024,32 bpp @ 60 Hz] ";

struct FlagCase {
  const char* name;
  Json userKey;  // the values of the user's Kestrave key
  Json flags;    // the values of the display's flag key, or null: no such key
  std::string optimal;  // the "Optimal:" line, or empty when the display is left alone
  Json flagsAfter;
};

void PrintTo(const FlagCase& c, std::ostream* out) { *out << c.name; }

class FlagsOfWrongType : public testing::TestWithParam<FlagCase> {};

TEST_P(FlagsOfWrongType, CountByTheirNamesAndAreLeftAsTheyAre) {
  Json machine = TestDisplayMachine();
  machine["registry"][kUserKey] = GetParam().userKey;
  if (!GetParam().flags.is_null()) machine["registry"][kFlagKey] = GetParam().flags;
  ProgramRun run = RunProgram(machine);
  EXPECT_EQ(run.exitCode, 0);
  if (GetParam().optimal.empty()) {
    EXPECT_NE(run.PassLog().find("  Previously optimized.\r\n"), std::string::npos)
        << run.PassLog();
    EXPECT_TRUE(run.CallsWith("ChangeDisplaySettingsExA", "").empty());
  } else {
    EXPECT_NE(run.PassLog().find(GetParam().optimal), std::string::npos) << run.PassLog();
  }
  EXPECT_EQ(run.machine["registry"][kUserKey], GetParam().userKey);
  EXPECT_EQ(run.machine["registry"][kFlagKey], GetParam().flagsAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Registry, FlagsOfWrongType,
    testing::Values(
        // The value of the current resolution and depth is there: that is enough.
        FlagCase{"CurrentModeAsNumber", Json::object(), {{"1024x768@32", "dword:0000003c"}}, "",
                 {{"1024x768@32", "dword:0000003c"}}},
        FlagCase{"CurrentModeEmptyBinary", Json::object(), {{"1024x768@32", "hex:"}}, "",
                 {{"1024x768@32", "hex:"}}},
        // Set before in another mode: only a better refresh rate, recorded as
        // a string beside the odd value.
        FlagCase{"OtherModeAsBinary", Json::object(), {{"800x600@16", "hex:01"}},
                 std::string(kPreferredTarget) + "1024x 768,32 bpp @ 75 Hz\r\n",
                 {{"800x600@16", "hex:01"}, {"1024x768@32", "75"}}},
        // A value where the flag key would be is no flag key.
        FlagCase{"FlagKeyNameAsValue", {{kTestFlagKey, "dword:00000001"}}, nullptr,
                 std::string(kPreferredTarget) + "1280x1024,32 bpp @ 60 Hz\r\n",
                 {{"1280x1024@32", "60"}}}),
    PrintedName());

}  // namespace
