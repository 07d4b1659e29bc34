#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "sim/machine_file/registry_data_text.h"
#include "tests/app/traced_call.h"
#include "tests/support/program_run.h"
#include "tests/support/test_names.h"

namespace {

const char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kSoftwareKey[] = "Software\\Calvorne\\Kestrave";
const char kFlagKey[] = "Software\\Calvorne\\Kestrave\\Card_0000&Monitor_0001";
const char kOtherUserFlags[] = ".DEFAULT\\Software\\Calvorne\\Kestrave";

// runValueLine: what an installation that wrote the Run value says of it.
std::string Lines(bool install, bool runValue, bool softwareKey, bool flags,
                  const std::string& runValueLine = "") {
  const char* direction = install ? "added to" : "removed from";
  return std::string("Kestrave was ") + (runValue ? "" : "not ") + direction + " the Run key.\n" +
         runValueLine + "The Kestrave software install key was " + (softwareKey ? "" : "not ") +
         direction + " the registry.\nThe Kestrave optimization flags were " +
         (flags ? "" : "not ") + "removed from the registry.\n";
}

const char kOwnTimings[] =
    "Run value: \"C:\\Program Files\\Kestrave\\kestrave.exe\" (each log-on chooses among the "
    "monitor's own timings)\n";

const char kFault924[] = "\nError in Kestrave line 924: Exception while accessing registry.\n";

std::string InstallMachine(bool admin, const std::string& modulePath, bool installed) {
  std::string registry = installed ? R"(
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run": {"Kestrave": "x"},
    "HKEY_LOCAL_MACHINE\\Software\\Calvorne\\Kestrave": {"@": "stamp"},
    "HKEY_CURRENT_USER\\Software\\Calvorne\\Kestrave\\Card_0000&Monitor_0001": {"1024x768@32": "75"},
    "HKEY_USERS\\.DEFAULT\\Software\\Calvorne\\Kestrave\\Card_0000&Monitor_0001": {"800x600@16": "60"})"
                                   : R"(
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion": {},
    "HKEY_USERS\\.DEFAULT\\Software": {})";
  return std::string(R"({"user": {"admin": )") + (admin ? "true" : "false") +
         R"(}, "modulePath": ")" + modulePath + R"(", "registry": {)" + registry + "}}";
}

TEST(InstallationTest, InstallQuotesAPathWithASpaceAndWritesTheStamp) {
  const ProgramRun run = RunProgram(
      InstallMachine(true, "C:\\\\Program Files\\\\Kestrave\\\\kestrave.exe", false), "-d -i");
  ASSERT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.LogText(), kBanner + Lines(true, true, true, false, kOwnTimings));
  EXPECT_EQ(run.StringValue(HKEY_LOCAL_MACHINE, kRunKey, "Kestrave"),
            "\"C:\\Program Files\\Kestrave\\kestrave.exe\"");
  EXPECT_EQ(run.StringValue(HKEY_LOCAL_MACHINE, kSoftwareKey, ""), "Nov 20 2003  13:11:53");
}

TEST(InstallationTest, InstallStoresAPathWithoutASpaceAsItStands) {
  const ProgramRun run =
      RunProgram(InstallMachine(true, "C:\\\\Tools\\\\kestrave.exe", false), "-i");
  ASSERT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.StringValue(HKEY_LOCAL_MACHINE, kRunKey, "Kestrave"), "C:\\Tools\\kestrave.exe");
}

TEST(InstallationTest, ASecondInstallOverwritesAndLeavesTheFlags) {
  const ProgramRun run = RunProgram(InstallMachine(true, "C:\\\\k.exe", true), "-i");
  ASSERT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.StringValue(HKEY_LOCAL_MACHINE, kRunKey, "Kestrave"), "C:\\k.exe");
  EXPECT_EQ(run.StringValue(HKEY_LOCAL_MACHINE, kSoftwareKey, ""), "Nov 20 2003  13:11:53");
  EXPECT_EQ(run.StringValue(HKEY_CURRENT_USER, kFlagKey, "1024x768@32"), "75");
}

// -p goes after the path, quoted or not, so that the log-on runs have it;
// the next -i writes the value from its own switches, and -u removes it
// whatever it holds.
TEST(InstallationTest, InstallWithMinusPPutsItIntoTheRunValue) {
  const ProgramRun quoted = RunProgram(
      InstallMachine(true, "C:\\\\Program Files\\\\Kestrave\\\\kestrave.exe", false), "-d -i -p");
  ASSERT_EQ(quoted.exitCode, 0);
  EXPECT_EQ(quoted.StringValue(HKEY_LOCAL_MACHINE, kRunKey, "Kestrave"),
            "\"C:\\Program Files\\Kestrave\\kestrave.exe\" -p");
  EXPECT_EQ(quoted.LogText(),
            kBanner + Lines(true, true, true, false,
                            "Run value: \"C:\\Program Files\\Kestrave\\kestrave.exe\" -p (each "
                            "log-on takes the fastest refresh rate the adapter lists)\n"));
  const ProgramRun again = RunProgram(quoted.machine, "-d -i");
  EXPECT_EQ(again.StringValue(HKEY_LOCAL_MACHINE, kRunKey, "Kestrave"),
            "\"C:\\Program Files\\Kestrave\\kestrave.exe\"");
  EXPECT_EQ(again.LogText(), kBanner + Lines(true, true, true, false, kOwnTimings));
  const ProgramRun removal = RunProgram(quoted.machine, "-u");
  EXPECT_EQ(removal.exitCode, 0);
  EXPECT_EQ(removal.StringValue(HKEY_LOCAL_MACHINE, kRunKey, "Kestrave"), std::nullopt);

  const ProgramRun unquoted =
      RunProgram(InstallMachine(true, "C:\\\\Tools\\\\kestrave.exe", false), "/P -i");
  EXPECT_EQ(unquoted.StringValue(HKEY_LOCAL_MACHINE, kRunKey, "Kestrave"),
            "C:\\Tools\\kestrave.exe -p");
}

TEST(InstallationTest, InstallWithoutAdministratorRightsFailsEveryStep) {
  const ProgramRun run = RunProgram(InstallMachine(false, "C:\\\\k.exe", false), "-d -i");
  ASSERT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.LogText(), kBanner + std::string(kFault924) + Lines(true, false, false, false));
  EXPECT_FALSE(run.KeyExists(HKEY_LOCAL_MACHINE, kRunKey));
}

TEST(InstallationTest, RemovalByAnAdministratorRemovesEverything) {
  const ProgramRun run = RunProgram(InstallMachine(true, "C:\\\\k.exe", true), "-d -u");
  ASSERT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.LogText(), kBanner + Lines(false, true, true, true));
  EXPECT_EQ(run.StringValue(HKEY_LOCAL_MACHINE, kRunKey, "Kestrave"), std::nullopt);
  EXPECT_TRUE(run.KeyExists(HKEY_LOCAL_MACHINE, kRunKey));
  EXPECT_FALSE(run.KeyExists(HKEY_LOCAL_MACHINE, kSoftwareKey));
  EXPECT_FALSE(run.KeyExists(HKEY_CURRENT_USER, kSoftwareKey));
  EXPECT_FALSE(run.KeyExists(HKEY_USERS, kOtherUserFlags));
  EXPECT_TRUE(run.KeyExists(HKEY_USERS, ".DEFAULT\\Software\\Calvorne"));
}

// The usual case on Vista and later without elevation: the Run value stays
// and starts the program at every log-on, which an uninstaller must learn.
// Another user's flags stay too, so the flags are not removed either.
TEST(InstallationTest, RemovalWithoutAdministratorRightsRemovesTheUsersOwnFlagsAndFails) {
  const ProgramRun run = RunProgram(InstallMachine(false, "C:\\\\k.exe", true), "-d -u");
  ASSERT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.LogText(), kBanner + Lines(false, false, false, false));
  EXPECT_EQ(run.StringValue(HKEY_LOCAL_MACHINE, kRunKey, "Kestrave"), "x");
  EXPECT_FALSE(run.KeyExists(HKEY_CURRENT_USER, kSoftwareKey));
  EXPECT_TRUE(run.KeyExists(HKEY_USERS, kOtherUserFlags));
}

TEST(InstallationTest, RemovalOfNothingSaysSoInEveryLineAndSucceeds) {
  for (bool admin : {true, false}) {
    const ProgramRun run = RunProgram(InstallMachine(admin, "C:\\\\k.exe", false), "-d -u");
    EXPECT_EQ(run.exitCode, 0) << admin;
    EXPECT_EQ(run.LogText(), kBanner + Lines(false, false, false, false)) << admin;
  }
}

TEST(InstallationTest, RemovalReportsAnotherUsersFlagsAlone) {
  std::string machine = R"({"registry": {
    "HKEY_USERS\\.DEFAULT\\Software\\Calvorne\\Kestrave\\X": {"1x1@1": "1"}}})";
  const ProgramRun run = RunProgram(machine, "-d -u");
  ASSERT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.LogText(), kBanner + Lines(false, false, false, true));
}

// On Japanese, Chinese and Korean Windows the monitor's description in a
// flag key name is localized, and its name takes more bytes in the code
// page than the registry counts characters.
TEST(InstallationTest, RemovalOnADoubleByteCodePageRemovesLocalizedFlagKeys) {
  // "汎用モニター" (a generic monitor), in UTF-8 as the machine file holds it.
  const std::string monitor =
      "\xE6\xB1\x8E\xE7\x94\xA8\xE3\x83\xA2\xE3\x83\x8B\xE3\x82\xBF\xE3\x83\xBC";
  const ProgramRun run = RunProgram(R"({"os": {"codePage": 932}, "registry": {
    "HKEY_CURRENT_USER\\Software\\Calvorne\\Kestrave\\Card_0000&)" + monitor +
                                        R"(_0001": {"1024x768@32": "60"}}})",
                                    "-d -u");
  ASSERT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.LogText(), kBanner + Lines(false, false, false, true));
  EXPECT_FALSE(run.KeyExists(HKEY_CURRENT_USER, kSoftwareKey));
}

// Any user can make a link in their own hive, and give it a security
// descriptor that refuses an administrator access. A link inside the
// program's key is the program's to remove, itself, never what it leads
// to; one on the way down to it, or one that cannot be opened, stays with
// the key above it, and the flags are then not removed.
struct PlantedLinkCase {
  const char* name;
  const char* link;    // below HKEY_CURRENT_USER
  const char* target;  // native path; the user's hive is \Registry\User\<sid>
  REGSAM refused;      // by the link's security descriptor
  bool removed;        // the link, and with it every flag
};

void PrintTo(const PlantedLinkCase& c, std::ostream* out) { *out << c.name; }

class RemovalOfAPlantedLink : public testing::TestWithParam<PlantedLinkCase> {};

TEST_P(RemovalOfAPlantedLink, LeavesWhatItLeadsTo) {
  const PlantedLinkCase& planted = GetParam();
  const std::string leaf = "Software\\Victim\\Kestrave\\Leaf";
  Json machine = {{"registry", {{"HKEY_LOCAL_MACHINE\\" + leaf, {{"keep", "1"}}}}}};
  std::string target = planted.target;
  const std::string user = "\\Registry\\User\\";
  if (target.compare(0, user.size(), user) == 0)
    target.insert(user.size(), std::string(kDefaultUserSid) + "\\");
  const std::string link = std::string("HKEY_CURRENT_USER\\") + planted.link;
  machine["registry"][link] = {{"SymbolicLinkValue", RegistryLinkData(target)}};
  const bool belowTheProgramKey = std::string(planted.link).size() > sizeof kSoftwareKey - 1;
  if (belowTheProgramKey)
    machine["registry"][std::string("HKEY_CURRENT_USER\\") + kFlagKey] = {{"1024x768@32", "75"}};
  if (planted.refused != 0) machine["refusedAccess"] = {{link, planted.refused}};
  const ProgramRun run = RunProgram(machine, "-d -u");
  EXPECT_EQ(run.exitCode, planted.removed ? 0 : 1);
  EXPECT_EQ(run.LogText(), kBanner + Lines(false, false, false, planted.removed));
  EXPECT_EQ(run.StringValue(HKEY_LOCAL_MACHINE, leaf.c_str(), "keep"), "1");
  EXPECT_EQ(run.KeyExists(HKEY_CURRENT_USER, planted.link), !planted.removed);
  EXPECT_FALSE(run.KeyExists(HKEY_CURRENT_USER, kFlagKey));
}

const char kLinkBelowFlags[] = "Software\\Calvorne\\Kestrave\\Link";
const char kVictimLeaf[] = "\\Registry\\Machine\\Software\\Victim\\Kestrave\\Leaf";

INSTANTIATE_TEST_SUITE_P(
    Links, RemovalOfAPlantedLink,
    testing::Values(
        PlantedLinkCase{"BelowTheFlags", kLinkBelowFlags, kVictimLeaf, 0, true},
        PlantedLinkCase{"ToItsOwnParent", "Software\\Calvorne\\Kestrave\\Loop",
                        "\\Registry\\User\\Software\\Calvorne\\Kestrave", 0, true},
        PlantedLinkCase{"TheProgramsKeyItself", "Software\\Calvorne\\Kestrave",
                        "\\Registry\\Machine\\Software\\Victim\\Kestrave", 0, true},
        // Refusing KEY_ALL_ACCESS refuses every right the removal needs.
        PlantedLinkCase{"RefusingEveryAccess", kLinkBelowFlags, kVictimLeaf, KEY_ALL_ACCESS, false},
        // The removal asks for no more than it needs: listing, telling a link
        // and deleting.
        PlantedLinkCase{"RefusingMoreThanTheRemovalNeeds", kLinkBelowFlags, kVictimLeaf,
                        KEY_SET_VALUE | KEY_CREATE_SUB_KEY | WRITE_DAC | WRITE_OWNER, true},
        PlantedLinkCase{"OnTheWayDown", "Software\\Calvorne",
                        "\\Registry\\Machine\\Software\\Victim", 0, false}),
    PrintedName());

// Another program swaps a flag key for a link after the removal checked the
// key and before it deletes it: the deletion goes through the handle it
// checked, never by the path, and what the link leads to stays.
TEST(InstallationTest, AKeySwappedForALinkAfterItsCheckLeavesWhatTheLinkLeadsTo) {
  Json machine = {{"registry",
                   {{"HKEY_LOCAL_MACHINE\\Software\\Victim\\Leaf", {{"keep", "1"}}},
                    {std::string("HKEY_CURRENT_USER\\") + kFlagKey, {{"1024x768@32", "75"}}}}}};
  const ProgramRun run = RunProgram(machine, "-d -u", true, [](SimTestMachine& simulated) {
    RegistryTree& registry = simulated.State().registry;
    // The program key's subkeys are counted first, then the flag key's.
    simulated.Calls().Faults().RunBefore("RegQueryInfoKeyA", 2, [&registry] {
      std::shared_ptr<RegistryKey> program = registry.UserHive()
                                                 ->FindSubkey("Software")
                                                 ->FindSubkey("Calvorne")
                                                 ->FindSubkey("Kestrave");
      program->DeleteSubkey(program->FindSubkey("Card_0000&Monitor_0001"));
      registry.AddSubkey(*program, "Card_0000&Monitor_0001", false)
          ->SetValue("SymbolicLinkValue", ParseRegistryDataText(RegistryLinkData(
                                              "\\Registry\\Machine\\Software\\Victim\\Leaf")));
    });
  });
  EXPECT_EQ(run.StringValue(HKEY_LOCAL_MACHINE, "Software\\Victim\\Leaf", "keep"), "1");
  // The key checked was already gone; the link is removed itself when the
  // user's hive is visited again among the loaded ones.
  EXPECT_EQ(run.CallsWith("NtDeleteKey", "= 0xC000017C").size(), 1u);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_FALSE(run.KeyExists(HKEY_CURRENT_USER, kSoftwareKey));
}

TEST(InstallationTest, RemovalDeletesTheKeyTreeFromTheLastSubkeyDown) {
  const ProgramRun run = RunProgram(InstallMachine(true, "C:\\\\k.exe", true), "-u");
  ASSERT_EQ(run.exitCode, 0);
  std::vector<TracedCall> calls;
  for (const std::string& line : run.trace) calls.push_back(ParseTracedCall(line));
  std::map<size_t, std::string> keys = RegistryKeysOfCalls(calls);
  size_t first = 0;
  while (first < calls.size() && calls[first].name != "NtDeleteKey") ++first;
  ASSERT_LT(first, calls.size());
  EXPECT_EQ(keys[first], std::string("HKEY_CURRENT_USER\\") + kFlagKey);
}

TEST(InstallationTest, ARunValueThatCannotBeWrittenIsAFault) {
  std::string machine =
      R"({"faults": [{"call": "RegSetValueExA", "nth": 1, "result": 5}]})";
  const ProgramRun run = RunProgram(machine, "-d -i");
  ASSERT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.LogText(), kBanner + std::string(kFault924) + Lines(true, false, false, false));
}

// A path cut short would start nothing at log-on: the Run value is not
// written, the rest of the installation goes on, and the exit code says it
// did not complete.
TEST(InstallationTest, APathTheRunValueCannotHoldIsNotWritten) {
  const std::string cutShort = "C:\\\\" + std::string(252, 'd') + "\\\\k.exe";
  const ProgramRun run = RunProgram(InstallMachine(true, cutShort, false), "-d -i");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.LogText(), kBanner + Lines(true, false, true, false));
  EXPECT_FALSE(run.KeyExists(HKEY_LOCAL_MACHINE, kRunKey));
  EXPECT_EQ(run.StringValue(HKEY_LOCAL_MACHINE, kSoftwareKey, ""), "Nov 20 2003  13:11:53");
}

// A folder whose name has a character the ANSI code page lacks: the path
// the code page gives holds "?" (Cyrillic), or a look-alike that names
// another program (U+FF2B, "K"), another folder (U+FF3C, a backslash) or
// ends the quoted path early (U+FF02, a quote). None is written; a
// character the code page has is.
TEST(InstallationTest, APathTheCodePageDoesNotGiveAsItIsIsNotWritten) {
  const std::pair<const char*, bool> kFolders[] = {{"\xD0\x9A\xD0\xBB\xD1\x8E\xD1\x87", false},
                                                   {"\xEF\xBC\xAB" "estrave", false},
                                                   {"A\xEF\xBC\xBC" "B", false},
                                                   {"My \xEF\xBC\x82Tools", false},
                                                   {"J\xC3\xB6rg", true}};
  for (const auto& folder : kFolders) {
    Json machine =
        Json::parse(InstallMachine(true, std::string("C:\\\\") + folder.first + "\\\\k.exe", false));
    machine["os"] = {{"codePage", 1252}};
    const ProgramRun run = RunProgram(machine, "-d -i");
    EXPECT_EQ(run.exitCode, folder.second ? 0 : 1) << folder.first;
    // The one path written is logged in the code page's bytes.
    const std::string runValueLine =
        folder.second ? "Run value: C:\\J\xF6rg\\k.exe (each log-on chooses among the monitor's own "
                        "timings)\n"
                      : "";
    EXPECT_EQ(run.LogText(), kBanner + Lines(true, folder.second, true, false, runValueLine))
        << folder.first;
    EXPECT_EQ(run.KeyExists(HKEY_LOCAL_MACHINE, kRunKey), folder.second) << folder.first;
  }
}

// A flag key whose name the ANSI code page gives with a backslash (U+FF3C
// under 1252, the yen sign under 932), beside a link named like the part
// before it: opened by that name, the key would be the one the link leads
// to. The removal deletes the key itself, and what the link leads to stays.
struct BackslashLookAlikeCase {
  const char* name;
  int codePage;
  const char* character;  // in UTF-8
};

void PrintTo(const BackslashLookAlikeCase& c, std::ostream* out) { *out << c.name; }

class RemovalOfANameWithABackslashLookAlike
    : public testing::TestWithParam<BackslashLookAlikeCase> {};

TEST_P(RemovalOfANameWithABackslashLookAlike, LeavesTheTreeOfTheLinkNamedLikeItsFirstPart) {
  const BackslashLookAlikeCase& planted = GetParam();
  const std::string program = std::string("HKEY_CURRENT_USER\\") + kSoftwareKey;
  Json machine = {
      {"os", {{"codePage", planted.codePage}}},
      {"registry",
       {{"HKEY_LOCAL_MACHINE\\Software\\Victim\\Sub\\Deep", {{"keep", "1"}}},
        {std::string("HKEY_CURRENT_USER\\") + kFlagKey, {{"1024x768@32", "60"}}},
        {program + "\\L",
         {{"SymbolicLinkValue", RegistryLinkData("\\Registry\\Machine\\Software\\Victim")}}},
        {program + "\\L" + planted.character + "Sub", Json::object()}}}};
  const ProgramRun run = RunProgram(machine, "-d -u");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.LogText(), kBanner + Lines(false, false, false, true));
  EXPECT_EQ(run.StringValue(HKEY_LOCAL_MACHINE, "Software\\Victim\\Sub\\Deep", "keep"), "1");
  EXPECT_FALSE(run.KeyExists(HKEY_CURRENT_USER, kSoftwareKey));
}

INSTANTIATE_TEST_SUITE_P(
    CodePages, RemovalOfANameWithABackslashLookAlike,
    testing::Values(BackslashLookAlikeCase{"FullwidthReverseSolidusUnder1252", 1252, "\xEF\xBC\xBC"},
                    BackslashLookAlikeCase{"YenSignUnder932", 932, "\xC2\xA5"}),
    PrintedName());

}  // namespace
