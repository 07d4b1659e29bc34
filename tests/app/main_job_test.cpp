// The optimisation pass over whole runs of the program, several of them
// chained on one machine where the flags of one run matter to the next.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/display_machine.h"
#include "tests/support/program_run.h"
#include "tests/support/test_names.h"

namespace {

const std::string kHeader =
    "Plug and Play Monitor on Lumenar LX [\\\\.\\DISPLAY1\\Monitor0]\r\n";
const std::string kFlagLine =
    "  Optimization flag is "
    "'HKEY_CURRENT_USER\\Software\\Calvorne\\Kestrave\\Lumenar LX_0000&Plug and Play "
    "Monitor_0001'\r\n";
const std::string kPreferred = "  Optimal: [preferred mode: 1280x1024,32 bpp @ 60 Hz] ";
const std::string kSetToPreferred = kPreferred + "1280x1024,32 bpp @ 60 Hz\r\n";
const std::string kSuccess = "  Optimal mode set successfully.\r\n";
const std::string kWallpaperLeftAlone =
    "Wallpaper is currently set to ''.\r\n"
    "Wallpaper not changed since current wallpaper is not in the Windows directory.\r\n";

std::string Currently(const std::string& mode) { return "  Currently: " + mode + "\r\n"; }

TEST(MainJob, AFirstRunSetsTheModeAndRecordsItsFrequency) {
  ProgramRun run = RunProgram(TestDisplayMachine());
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.PassLog(), kHeader + Currently("1024x 768,32 bpp @ 60 Hz") + kFlagLine +
                               kSetToPreferred + kSuccess + "\r\n" + kWallpaperLeftAlone);
  const Json& adapter = run.machine["adapters"][0];
  EXPECT_EQ(adapter["current"], "1280x1024x32@60");
  EXPECT_EQ(adapter["registry"], "1280x1024x32@60");
  EXPECT_EQ(run.FlagValues(kTestFlagKey), (Json{{"1280x1024@32", "60"}}));
}

TEST(MainJob, TheModeIsAppliedWithUpdateRegistryAndGlobalAndTheFourFields) {
  ProgramRun run = RunProgram(TestDisplayMachine());
  std::vector<std::string> changes = run.CallsWith("ChangeDisplaySettingsExA", "");
  EXPECT_EQ(changes, std::vector<std::string>{
                         "ChangeDisplaySettingsExA(\"\\\\.\\DISPLAY1\", {1280x1024x32@60 "
                         "dmFields=0x5C0000}, NULL, 0x9, NULL) = 0"});
}

TEST(MainJob, ASecondRunFindsTheDisplayPreviouslyOptimised) {
  ProgramRun first = RunProgram(TestDisplayMachine());
  ProgramRun second = RunProgram(first.machine);
  EXPECT_EQ(second.exitCode, 0);
  EXPECT_EQ(second.PassLog(), kHeader + Currently("1280x1024,32 bpp @ 60 Hz") + kFlagLine +
                                  "  Previously optimized.\r\n\r\n");
  EXPECT_TRUE(second.CallsWith("ChangeDisplaySettingsExA", "").empty());
}

TEST(MainJob, TheRefreshRateDoesNotMatterToTheFlagTest) {
  ProgramRun first = RunProgram(TestDisplayMachine());
  first.machine["adapters"][0]["current"] = "1280x1024x32@75";
  ProgramRun second = RunProgram(first.machine);
  EXPECT_NE(second.PassLog().find("  Previously optimized.\r\n"), std::string::npos);
}

TEST(MainJob, AfterTheUserChangedTheResolutionOnlyTheRefreshRateIsImproved) {
  ProgramRun first = RunProgram(TestDisplayMachine());
  first.machine["adapters"][0]["current"] = "1024x768x32@60";
  ProgramRun third = RunProgram(first.machine);
  EXPECT_EQ(third.PassLog(), kHeader + Currently("1024x 768,32 bpp @ 60 Hz") + kFlagLine +
                                 kPreferred + "1024x 768,32 bpp @ 75 Hz\r\n" + kSuccess + "\r\n" +
                                 kWallpaperLeftAlone);
  EXPECT_EQ(third.machine["adapters"][0]["current"], "1024x768x32@75");
  EXPECT_EQ(third.FlagValues(kTestFlagKey), (Json{{"1280x1024@32", "60"}, {"1024x768@32", "75"}}));
}

TEST(MainJob, ForcingSkipsTheFlagTestAndChoosesAsIfNeverOptimised) {
  ProgramRun first = RunProgram(TestDisplayMachine());
  first.machine["adapters"][0]["current"] = "1024x768x32@60";
  ProgramRun forced = RunProgram(first.machine, "-d -f");
  EXPECT_EQ(forced.PassLog(), kHeader + Currently("1024x 768,32 bpp @ 60 Hz") +
                                  "  Forcing optimization.\r\n" + kSetToPreferred + kSuccess +
                                  "\r\n" + kWallpaperLeftAlone);
}

struct ChangeResultCase {
  const char* name;
  int result;
  const char* text;
  bool counts;  // as a successful change, so that the wallpaper step runs
};

void PrintTo(const ChangeResultCase& c, std::ostream* out) { *out << c.name; }

class MainJobChangeResult : public testing::TestWithParam<ChangeResultCase> {};

TEST_P(MainJobChangeResult, IsReportedAndTheFlagRecordedOnlyWhenAccepted) {
  Json machine = TestDisplayMachine();
  machine["adapters"][0]["changeResults"] = {{"default", GetParam().result}};
  ProgramRun run = RunProgram(machine);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.PassLog(), kHeader + Currently("1024x 768,32 bpp @ 60 Hz") + kFlagLine +
                               kSetToPreferred + "  " + GetParam().text + "\r\n\r\n" +
                               (GetParam().counts ? kWallpaperLeftAlone : ""));
  EXPECT_EQ(run.FlagValues(kTestFlagKey),
            (GetParam().counts ? Json{{"1280x1024@32", "60"}} : Json::object()));
}

INSTANTIATE_TEST_SUITE_P(
    Codes, MainJobChangeResult,
    testing::Values(
        ChangeResultCase{"Successful", 0, "Optimal mode set successfully.", true},
        ChangeResultCase{"Restart", 1,
                         "The computer must be restarted for the graphics mode to work.", true},
        ChangeResultCase{"Failed", -1, "The display driver failed the specified graphics mode.",
                         false},
        ChangeResultCase{"BadMode", -2, "The graphics mode is not supported.", false},
        ChangeResultCase{"NotUpdated", -3,
                         "Windows NT/2000: Unable to write settings to the registry.", false},
        ChangeResultCase{"BadFlags", -4, "An invalid set of flags was passed in.", false},
        ChangeResultCase{"BadParam", -5,
                         "An invalid parameter was passed in. This can include an invalid flag "
                         "or combination of flags.",
                         false},
        ChangeResultCase{"Unknown", -6, "Unknown error code from ChangeDisplaySettingsEx.", false}),
    PrintedName());

// A driver still starting at log-on fails the change once; the run after
// it, with the driver working, sets the mode after all.
TEST(MainJob, AChangeTheDriverFailedIsTriedAgainByTheNextRun) {
  Json machine = TestDisplayMachine();
  machine["adapters"][0]["changeResults"] = {{"default", -1}};
  ProgramRun failed = RunProgram(machine);
  failed.machine["adapters"][0].erase("changeResults");
  ProgramRun next = RunProgram(failed.machine);
  EXPECT_EQ(next.PassLog(), kHeader + Currently("1024x 768,32 bpp @ 60 Hz") + kFlagLine +
                                kSetToPreferred + kSuccess + "\r\n" + kWallpaperLeftAlone);
  EXPECT_EQ(next.machine["adapters"][0]["current"], "1280x1024x32@60");
}

TEST(MainJob, TheWallpaperFollowsAModeAcceptedOnlyAfterARestart) {
  Json machine = TestDisplayMachine();
  machine["adapters"][0]["changeResults"] = {{"default", 1}};
  machine["wallpaper"] = {{"path", "C:\\WINDOWS\\ov.bmp"}};
  machine["files"] = {"C:\\WINDOWS\\zqx1280h.bmp"};
  ProgramRun run = RunProgram(machine);
  EXPECT_EQ(run.machine["adapters"][0]["current"], "1024x768x32@60");
  EXPECT_EQ(run.machine["adapters"][0]["registry"], "1280x1024x32@60");
  EXPECT_EQ(run.machine["wallpaper"]["path"], "C:\\WINDOWS\\zqx1280h.bmp");
}

Json TwoAdapters() {
  Json machine = TestDisplayMachine();
  machine["adapters"].push_back(TestAdapter("\\\\.\\DISPLAY2", "0001"));
  return machine;
}

TEST(MainJob, TwoAdaptersWithTheSameMonitorModelHaveFlagKeysOfTheirOwn) {
  ProgramRun run = RunProgram(TwoAdapters());
  EXPECT_EQ(run.FlagValues(kTestFlagKey), (Json{{"1280x1024@32", "60"}}));
  EXPECT_EQ(run.FlagValues("Lumenar LX_0001&Plug and Play Monitor_0001"),
            (Json{{"1280x1024@32", "60"}}));
}

TEST(MainJob, EveryDisplayIsAppliedAfterAnEarlierSuccess) {
  ProgramRun run = RunProgram(TwoAdapters());
  std::vector<std::string> changes = run.CallsWith("ChangeDisplaySettingsExA", "= 0");
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_NE(changes[0].find("\"\\\\.\\DISPLAY1\""), std::string::npos);
  EXPECT_NE(changes[1].find("\"\\\\.\\DISPLAY2\""), std::string::npos);
  // One wallpaper step for the whole pass.
  EXPECT_EQ(run.CallsWith("SystemParametersInfoA", "").size(), 1u);
}

TEST(MainJob, AnAdapterWithoutMonitorWritesOnlyThatAndABlankLine) {
  Json machine = TestDisplayMachine();
  Json bare = TestAdapter("\\\\.\\DISPLAY2");
  bare["monitors"] = Json::array();
  machine["adapters"].insert(machine["adapters"].begin(), bare);
  ProgramRun run = RunProgram(machine);
  EXPECT_EQ(run.PassLog(), "No monitor on \\\\.\\DISPLAY2.\r\n\r\n" + kHeader +
                               Currently("1024x 768,32 bpp @ 60 Hz") + kFlagLine +
                               kSetToPreferred + kSuccess + "\r\n" + kWallpaperLeftAlone);
}

TEST(MainJob, ADisplayWithoutCurrentModeIsDisabledAndLeftAlone) {
  Json machine = TestDisplayMachine();
  machine["adapters"][0]["current"] = nullptr;
  ProgramRun run = RunProgram(machine);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.PassLog(), kHeader + Currently("N/A") + "  Display is disabled.\r\n\r\n");
  EXPECT_TRUE(run.FlagValues(kTestFlagKey).empty());
}

}  // namespace
