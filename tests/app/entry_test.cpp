#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "app/entry.h"
#include "base/errors.h"
#include "tests/support/display_machine.h"
#include "tests/support/program_run.h"

namespace {

TEST(EntryTest, RefusesSystemsOlderThanWindows2000) {
  struct VersionCase {
    const char* os;
    int exitCode;
  } const cases[] = {{R"({"major": 4, "minor": 0})", 1}, {R"({"major": 4, "minor": 90})", 1},
                     {R"({"major": 5, "minor": 0})", 0}, {R"({"major": 5, "minor": 1})", 0},
                     {R"({"major": 6, "minor": 0})", 0}, {R"({"major": 10, "minor": 0})", 0}};
  for (const VersionCase& testCase : cases) {
    const ProgramRun run = RunProgram(std::string(R"({"os": )") + testCase.os + "}");
    EXPECT_EQ(run.exitCode, testCase.exitCode) << testCase.os;
    std::string expected = kBanner;
    expected += testCase.exitCode == 1 ? "\nError: Only supported on 2K, XP, or newer OS.\n" : kEmptyDump;
    EXPECT_EQ(run.LogText(), expected) << testCase.os;
  }
}

TEST(EntryTest, EndingSwitchesSkipTheVersionCheckAndTheWait) {
  for (const char* arguments : {"-i", "-u", "-?"}) {
    const ProgramRun run = RunProgram(
        R"({"os": {"major": 4, "minor": 0}, "deviceInstall": {"results": [258]}})", arguments);
    EXPECT_EQ(run.exitCode, 0) << arguments;
    for (const std::string& line : run.trace) {
      EXPECT_EQ(line.find("VerifyVersionInfoA"), std::string::npos) << arguments;
      EXPECT_EQ(line.find("CMP_WaitNoPendingInstallEvents"), std::string::npos) << arguments;
    }
  }
}

const char kTimedOut[] = "Timed-out waiting for device enumeration to complete.\n";

TEST(EntryTest, WaitsForPendingDeviceInstallations) {
  struct WaitCase {
    const char* deviceInstall;
    const char* messages;
    int exitCode;
    std::string logAfterBanner;
  } const cases[] = {
      {R"({"results": [0]})", "{}", 0, kEmptyDump},
      {R"({"results": [258, 0]})", "{}", 0, kEmptyDump},
      {R"({"results": [258, 258]})", "{}", 1, kTimedOut},
      {R"({"results": [4294967295], "lastError": 5})", "{}", 0, kEmptyDump},
      {R"({"results": [258, 4294967295], "lastError": 5})", "{}", 0, kEmptyDump},
      {R"({"results": [4294967295], "lastError": 1167})", "{}", 1,
       "\nError in Kestrave line 586: Wait for completion of device installation failed with this "
       "error message: 'The device is not connected'.\n" + std::string(kTimedOut)},
      {R"({"results": [4294967295], "lastError": 4000})", R"({"4000": "Odd text. . \t\r\n"})", 1,
       "\nError in Kestrave line 586: Wait for completion of device installation failed with this "
       "error message: 'Odd text'.\n" + std::string(kTimedOut)},
      // An insert has no arguments to fill it and stays as written.
      {R"({"results": [4294967295], "lastError": 4002})", R"({"4002": "Device %1 is busy."})", 1,
       "\nError in Kestrave line 586: Wait for completion of device installation failed with this "
       "error message: 'Device %1 is busy'.\n" + std::string(kTimedOut)},
      {R"({"results": [4294967295], "lastError": 4001})", "{}", 1,
       "\nError in Kestrave line 586: Wait for completion of device installation failed with this "
       "error message: ''.\n" + std::string(kTimedOut)},
  };
  for (const WaitCase& testCase : cases) {
    std::string machine = std::string(R"({"deviceInstall": )") + testCase.deviceInstall +
                          R"(, "messages": )" + testCase.messages + "}";
    const ProgramRun run = RunProgram(machine);
    EXPECT_EQ(run.exitCode, testCase.exitCode) << testCase.deviceInstall;
    EXPECT_EQ(run.LogText(), kBanner + testCase.logAfterBanner) << testCase.deviceInstall;
  }
}

TEST(EntryTest, PollsFirstAndThenWaitsTenMinutes) {
  const ProgramRun run = RunProgram(R"({"deviceInstall": {"results": [258, 0]}})", "");
  ASSERT_EQ(run.exitCode, 0);
  std::string waits;
  for (const std::string& line : run.trace)
    if (line.rfind("CMP_WaitNoPendingInstallEvents", 0) == 0) waits += line + "\n";
  EXPECT_EQ(waits,
            "CMP_WaitNoPendingInstallEvents(0) = 258\n"
            "CMP_WaitNoPendingInstallEvents(600000) = 0\n");
}

TEST(EntryTest, AStructuredExceptionEndsTheRunWithTheLastHandler) {
  const ProgramRun run = RunProgram(R"({"faults": [{"call": "CMP_WaitNoPendingInstallEvents",
                                                    "raise": "access-violation"}]})");
  ASSERT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.LogText(), kBanner + std::string("\nWin32 threw an exception.\n"));
}

// A platform whose wait raises what the test asks for, to reach the
// handlers that the simulated machine itself cannot trigger.
template <class Raise>
class RaisingPlatform : public SimPlatform {
 public:
  RaisingPlatform(Machine& machine, std::ostream& screen, Raise raise)
      : SimPlatform(machine, "prog -d", screen), raise_(raise) {}
  DWORD CMP_WaitNoPendingInstallEvents(DWORD) override {
    raise_();
    return 0;
  }

 private:
  Raise raise_;
};

template <class Raise>
std::string HandlerLine(Raise raise, int& exitCode) {
  ScratchFolder folder;
  ::Machine machine = ReadMachine(ParseMachineJson("{}"));
  std::ostringstream screen;
  RaisingPlatform<Raise> platform(machine, screen, raise);
  SetPlatform(&platform);
  {
    KestraveModule module;
    exitCode = KestraveMain();
  }
  SetPlatform(nullptr);
  return FileContent("kestrave.txt");
}

TEST(EntryTest, EachErrorFamilyHasItsHandlerLine) {
  int exitCode = 0;
  const std::string banner = "Kestrave Nov 20 2003  13:11:53\r\n\r\n";
  EXPECT_EQ(HandlerLine([] { throw std::runtime_error("boom"); }, exitCode),
            banner + "\r\nSTL exception: boom\r\n");
  EXPECT_EQ(exitCode, 1);
  EXPECT_EQ(HandlerLine([] { throw TextError("Fatal"); }, exitCode), banner + "\r\nError: Fatal\r\n");
  EXPECT_EQ(exitCode, 1);
  EXPECT_EQ(HandlerLine([] { throw 7; }, exitCode),
            banner + "\r\nC++/VCL threw an unspecified exception.\r\n");
  EXPECT_EQ(exitCode, 1);
  std::string line = HandlerLine([] { RaiseListError("List index out of bounds (0)"); }, exitCode);
  EXPECT_EQ(line.rfind(banner + "\r\nVCL exception: List index out of bounds (0)@", 0), 0u) << line;
  EXPECT_EQ(exitCode, 1);
}

size_t CallsNamed(const std::vector<std::string>& trace, const std::string& name) {
  size_t count = 0;
  for (const std::string& line : trace) count += line.rfind(name + "(", 0) == 0 ? 1 : 0;
  return count;
}

TEST(LogFileTest, WithoutDebugNoFileIsWritten) {
  ScratchFolder folder;
  ASSERT_EQ(RunProgram("{}", "-i").exitCode, 0);
  EXPECT_FALSE(std::filesystem::exists("kestrave.txt"));
}

TEST(LogFileTest, AnExistingLogIsEmptiedFirst) {
  ScratchFolder folder;
  std::ofstream("kestrave.txt") << std::string(5000, 'x');
  const ProgramRun run = RunProgram("{}");
  ASSERT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.LogText(), kBanner + kEmptyDump);
}

// In a folder others can write to, kestrave.txt may be planted as a link to
// a file of the administrator's: the run goes on without a log and leaves
// that file as it was.
TEST(LogFileTest, ALogNamedByALinkLeavesWhatItLeadsToAlone) {
  ScratchFolder folder;
  using LinkMaker = void (*)(const std::filesystem::path&, const std::filesystem::path&);
  const LinkMaker makers[] = {
      [](const std::filesystem::path& to, const std::filesystem::path& link) {
        std::filesystem::create_hard_link(to, link);
      },
      [](const std::filesystem::path& to, const std::filesystem::path& link) {
        std::filesystem::create_symlink(to, link);
      },
  };
  for (LinkMaker makeLink : makers) {
    std::filesystem::remove("kestrave.txt");
    std::ofstream("important.ini") << "precious";
    makeLink("important.ini", "kestrave.txt");
    const ProgramRun run = RunProgram(TestDisplayMachine());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(FileContent("important.ini"), "precious");
    EXPECT_EQ(CallsNamed(run.trace, "ChangeDisplaySettingsExA"), 1u);
  }
}

// Two runs started at once in one folder, at log-on and by hand, each
// emptied the log and wrote over the other's lines. A log that another
// handle writes is left to it, whether that handle shares writing or not,
// and the run goes on without one.
TEST(LogFileTest, ALogHeldOpenByAnotherRunIsLeftToIt) {
  ScratchFolder folder;
  for (DWORD share : {FILE_SHARE_READ, FILE_SHARE_READ | FILE_SHARE_WRITE}) {
    SimTestMachine first;
    HANDLE held = first.Calls().CreateFileA("kestrave.txt", GENERIC_WRITE, share, nullptr,
                                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    first.Calls().WriteFile(held, "first\r\n", 7, &written, nullptr);
    const ProgramRun second = RunProgram(TestDisplayMachine());
    EXPECT_EQ(second.exitCode, 0) << share;
    EXPECT_EQ(second.log, "first\r\n") << share;
    EXPECT_EQ(CallsNamed(second.trace, "ChangeDisplaySettingsExA"), 1u) << share;
    first.Calls().CloseHandle(held);
  }
}

TEST(LogFileTest, TheLogIsOnTheDiskBeforeEachModeChange) {
  for (const char* arguments : {"-d", ""}) {
    const ProgramRun run = RunProgram(TestDisplayMachine(), arguments);
    ASSERT_EQ(run.exitCode, 0);
    const std::vector<std::string>& trace = run.trace;
    for (size_t i = 1; i < trace.size(); ++i) {
      if (trace[i].rfind("ChangeDisplaySettingsExA(", 0) == 0 && *arguments != '\0') {
        EXPECT_EQ(trace[i - 1].rfind("FlushFileBuffers(", 0), 0u);
      }
    }
    EXPECT_EQ(CallsNamed(trace, "ChangeDisplaySettingsExA"), 1u) << arguments;
    EXPECT_EQ(CallsNamed(trace, "FlushFileBuffers"), *arguments == '\0' ? 0u : 1u) << arguments;
  }
}

// A log that cannot be opened, emptied or written to the end is dropped
// silently, and the optimisation or the installation goes on as ever.
TEST(LogFile, ThatFailsChangesNothingElseTheRunDoes) {
  const Json failures[] = {
      {{"logFile", {{"openable", false}}}},
      {{"logFile", {{"truncatable", false}}}},
      // A full disk after the first write.
      {{"faults", {{{"call", "WriteFile"}, {"nth", 2}, {"result", 112}}}}},
  };
  for (const char* switches : {"-d", "-d -i"}) {
    const ProgramRun normal = RunProgram(TestDisplayMachine(), switches);
    for (const Json& failure : failures) {
      Json machine = TestDisplayMachine();
      machine.update(failure);
      ProgramRun run = RunProgram(machine, switches);
      EXPECT_EQ(run.exitCode, 0) << failure << switches;
      EXPECT_LT(run.log.size(), normal.log.size()) << failure << switches;
      EXPECT_EQ(normal.log.rfind(run.log, 0), 0u) << failure << switches;
      for (const auto& member : failure.items()) run.machine.erase(member.key());
      EXPECT_EQ(run.machine, normal.machine) << failure << switches;
    }
  }
}

}  // namespace
