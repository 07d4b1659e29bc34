#include <gtest/gtest.h>

#include <string>

#include "tests/support/program_run.h"

namespace {

const char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kSoftwareKey[] = "Software\\Calvorne\\Kestrave";
const char kFlagKey[] = "Software\\Calvorne\\Kestrave\\Card_0000&Monitor_0001";
const char kOtherUserFlags[] = ".DEFAULT\\Software\\Calvorne\\Kestrave";

std::string Lines(bool install, bool runValue, bool softwareKey, bool flags) {
  const char* direction = install ? "added to" : "removed from";
  return std::string("Kestrave was ") + (runValue ? "" : "not ") + direction +
         " the Run key.\nThe Kestrave software install key was " + (softwareKey ? "" : "not ") +
         direction + " the registry.\nThe Kestrave optimization flags were " +
         (flags ? "" : "not ") + "removed from the registry.\n";
}

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
  EXPECT_EQ(run.LogText(), kBanner + Lines(true, true, true, false));
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

// Any user can make a link in their own hive: removal must neither empty
// what it points at nor follow it round a loop. The link stays, and so does
// the user's key above it.
TEST(InstallationTest, RemovalLeavesRegistryLinksAndWhatTheyPointAt) {
  const std::string flags = "HKEY_CURRENT_USER\\\\Software\\\\Calvorne\\\\Kestrave";
  for (const std::string& target :
       {std::string("\\Registry\\Machine\\Software\\Victim"),
        "\\Registry\\User\\" + std::string(kDefaultUserSid) + "\\Software\\Calvorne\\Kestrave"}) {
    std::string machine = R"({"registry": {
      "HKEY_LOCAL_MACHINE\\Software\\Victim": {"keep": "1"},
      ")" + flags + R"(\\Card_0000&Monitor_0001": {"1024x768@32": "75"},
      ")" + flags + R"(\\Link": {"SymbolicLinkValue": ")" + RegistryLinkData(target) + R"("}}})";
    const ProgramRun run = RunProgram(machine, "-d -u");
    EXPECT_EQ(run.exitCode, 1) << target;
    EXPECT_EQ(run.LogText(), kBanner + Lines(false, false, false, false)) << target;
    EXPECT_EQ(run.StringValue(HKEY_LOCAL_MACHINE, "Software\\Victim", "keep"), "1") << target;
    EXPECT_FALSE(run.KeyExists(HKEY_CURRENT_USER, kFlagKey)) << target;
  }
}

TEST(InstallationTest, RemovalDeletesTheKeyTreeFromTheLastSubkeyDown) {
  const ProgramRun run = RunProgram(InstallMachine(true, "C:\\\\k.exe", true), "-u");
  ASSERT_EQ(run.exitCode, 0);
  bool deletedFlagKeyFirst = false;
  for (const std::string& line : run.trace) {
    if (line.find("RegDeleteKeyA(") != 0) continue;
    deletedFlagKeyFirst = line.find("Card_0000&Monitor_0001") != std::string::npos;
    break;
  }
  EXPECT_TRUE(deletedFlagKeyFirst);
}

TEST(InstallationTest, ARunValueThatCannotBeWrittenIsAFault) {
  std::string machine =
      R"({"faults": [{"call": "RegSetValueExA", "nth": 1, "result": 5}]})";
  const ProgramRun run = RunProgram(machine, "-d -i");
  ASSERT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.LogText(), kBanner + std::string(kFault924) + Lines(true, false, false, false));
}

// A path cut short, or with "?" where a character has no ANSI equivalent,
// would start nothing at log-on: the Run value is not written, the rest of
// the installation goes on, and the exit code says it did not complete.
TEST(InstallationTest, APathTheRunValueCannotHoldIsNotWritten) {
  const std::string cutShort = "C:\\\\" + std::string(252, 'd') + "\\\\k.exe";
  for (const std::string& path : {std::string("C:\\\\Users\\\\J?rg\\\\k.exe"), cutShort}) {
    const ProgramRun run = RunProgram(InstallMachine(true, path, false), "-d -i");
    EXPECT_EQ(run.exitCode, 1) << path;
    EXPECT_EQ(run.LogText(), kBanner + Lines(true, false, true, false)) << path;
    EXPECT_FALSE(run.KeyExists(HKEY_LOCAL_MACHINE, kRunKey)) << path;
    EXPECT_EQ(run.StringValue(HKEY_LOCAL_MACHINE, kSoftwareKey, ""), "Nov 20 2003  13:11:53")
        << path;
  }
}

}  // namespace
