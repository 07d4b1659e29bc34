#include <gtest/gtest.h>

#include <string>

#include "app/command_line.h"
#include "process/log.h"
#include "process/process_state.h"
#include "tests/support/program_run.h"
#include "tests/support/sim_test_machine.h"

namespace {

struct SwitchCase {
  const char* commandLine;
  const char* letter;
  bool present;
};

const SwitchCase kSwitchCases[] = {
    {"prog -d", "d", true},
    {"prog /d", "d", true},
    {"prog -D", "d", true},
    {"prog /D", "d", true},
    {"prog -df", "d", false},
    {"prog -debug", "d", false},
    {"prog d", "d", false},
    {"prog -", "d", false},
    {"-d", "d", false},                        // the program itself is not examined
    {"\"C:\\Program Files\\k.exe\" -d", "d", true},
    {"\"C:\\Program Files\\-d\" x", "d", false},
    {"prog \"-d\"", "d", true},                // the quotes are dropped
    {"prog -\"d\"", "d", true},
    {"prog \"-d x\"", "d", false},             // quoted spaces do not separate
    {"prog \"\"-d", "d", true},                // a pair of quotes at the start is skipped
    {"prog \"-d", "d", true},                  // an unmatched quote runs to the end
    {"prog\t-d", "d", true},                   // any character up to code 32 separates
    {"prog\x01-d", "d", true},
    {"prog -x -d", "d", true},
    {"prog -d-f", "f", false},                 // switches glued together count as none
    {"prog -fd", "d", false},
    {"prog -d/f", "f", false},
    {"prog --d", "d", false},
    {"prog //d", "d", false},
    {"prog \"-f -d", "d", false},             // an unmatched quote takes in what follows
    {"prog -d\"", "d", true},
    {"prog \"-d\t\"", "d", false},
    {"prog -d\r\n", "d", true},
    {"prog\x7f-d", "d", false},               // DEL and bytes above 127 do not separate
    {"prog\xa0-d", "d", false},
    {"", "d", false},
    {" \t ", "d", false},
    {"prog -?", "?", true},
    {"prog /?", "?", true},
    {"prog -i", "?", false},
    {"prog -I", "i", true},
    {"prog -install", "i", false},
};

TEST(HasSwitch, SplitsAndComparesLikeTheProgramExpects) {
  for (const SwitchCase& testCase : kSwitchCases) {
    SimTestMachine machine("{}", testCase.commandLine);
    EXPECT_EQ(HasSwitch(testCase.letter), testCase.present)
        << testCase.commandLine << " / " << testCase.letter;
  }
}

TEST(HasSwitch, ComparesThroughTheLocaleWithoutRegardToCase) {
  SimTestMachine machine("{}", "prog -D");
  ASSERT_TRUE(HasSwitch("d"));
  bool compared = false;
  for (const std::string& line : machine.Calls().Trace())
    if (line.rfind("CompareStringA(0x400, 0x1, \"D\", -1, \"d\", -1)", 0) == 0) compared = true;
  EXPECT_TRUE(compared);
}

const char kUsageScreen[] =
    "Kestrave Command Line Options\n"
    "\n"
    "Kestrave Nov 20 2003  13:11:53\n"
    "\n"
    "  -d Write debug info out to file 'kestrave.txt'.\n"
    "  -f Force the displays to be optimized.\n"
    "  -i Install the program to be run at each boot.\n"
    "  -p Use the highest refresh rate even if it isn't a preset.\n"
    "  -u Remove all optimization flags and stop running at each boot.\n"
    "  -? Display this list of command line options.\n"
    "\n"
    "The -i, -u, and -? options are mutually exclusive.  If more than one is\n"
    "specified, the highest precedence one (in the order iu?) is processed\n"
    "and the others are ignored.\n"
    "\n"
    "This program is only supported under Windows 2K, XP, and later.";

TEST(ShowUsage, ShowsTheFourteenLinesInATaskModalBoxWithoutIcon) {
  SimTestMachine machine;
  ShowUsage();
  EXPECT_EQ(machine.Screen(), std::string(kUsageScreen) + "\n");
  EXPECT_NE(machine.LastTraceLine().find("0x2000) = 1"), std::string::npos)
      << machine.LastTraceLine();
  EXPECT_EQ(machine.LastTraceLine().rfind("MessageBoxA(NULL, ", 0), 0u);
}

const char kInstalled[] =
    "Kestrave was added to the Run key.\n"
    "Run value: \"C:\\Program Files\\Kestrave\\kestrave.exe\" (each log-on chooses among the "
    "monitor's own timings)\n"
    "The Kestrave software install key was added to the registry.\n"
    "The Kestrave optimization flags were not removed from the registry.\n";
const char kRemovedNothing[] =
    "Kestrave was not removed from the Run key.\n"
    "The Kestrave software install key was not removed from the registry.\n"
    "The Kestrave optimization flags were not removed from the registry.\n";

struct PrecedenceCase {
  const char* arguments;
  const char* logAfterBanner;
  bool usageShown;
};

// With -d the log shows which switch was handled; nothing else runs. A null
// text: no switch ended the run, which then dumps the (empty) machine.
const PrecedenceCase kPrecedenceCases[] = {
    {"-d -i -u", kInstalled, false},
    {"-d -u -i", kInstalled, false},
    {"-d -u -?", kRemovedNothing, false},
    {"-d -? -i", kInstalled, false},
    {"-d -i -?", kInstalled, false},
    {"-d -f -i", kInstalled, false},
    {"-d /I", kInstalled, false},
    {"-d -?", "", true},
    {"-d -install", nullptr, false},
};

TEST(ParseCommandLineTest, HandlesTheHighestOfIUAndQuestionMarkOnly) {
  for (const PrecedenceCase& testCase : kPrecedenceCases) {
    const ProgramRun run = RunProgram("{}", testCase.arguments);
    EXPECT_EQ(run.exitCode, 0) << testCase.arguments;
    std::string expected = kBanner + (testCase.logAfterBanner ? testCase.logAfterBanner : kEmptyDump);
    EXPECT_EQ(run.LogText(), expected) << testCase.arguments;
    EXPECT_EQ(!run.screen.empty(), testCase.usageShown) << testCase.arguments;
  }
}

TEST(ParseCommandLineTest, ReadsForceAndPresetsOnlyWhenNoEndingSwitchIsGiven) {
  struct FlagCase {
    const char* arguments;
    bool force;
    bool presetsOnly;
  } const cases[] = {{"", false, true}, {"-f", true, true}, {"-p", false, false},
                     {"/F /P", true, false}};
  for (const FlagCase& testCase : cases) {
    SimTestMachine machine("{}", std::string("prog ") + testCase.arguments);
    KestraveModule module;
    EXPECT_FALSE(ParseCommandLine());
    EXPECT_EQ(ForceOptimization, testCase.force) << testCase.arguments;
    EXPECT_EQ(PresetsOnly, testCase.presetsOnly) << testCase.arguments;
  }
}

}  // namespace
