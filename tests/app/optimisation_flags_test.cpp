// The optimisation flags: the device key tail in the flag key name, one
// value per resolution and depth, and registry failures that the pass
// survives.
#include <gtest/gtest.h>

#include <string>

#include "app/entry.h"
#include "app/optimisation_flags.h"
#include "display/adapter.h"
#include "display/adapter_enumeration.h"
#include "tests/support/display_machine.h"
#include "sim/machine_file/machine_writer.h"
#include "tests/support/program_run.h"
#include "tests/support/test_names.h"

namespace {

struct TailCase {
  const char* name;
  const char* deviceKey;
  const char* tail;
};

void PrintTo(const TailCase& c, std::ostream* out) { *out << c.name; }

class DeviceKeyTailOf : public testing::TestWithParam<TailCase> {};

TEST_P(DeviceKeyTailOf, StartsTwoCharactersAfterTheLastBrace) {
  EXPECT_EQ(DeviceKeyTail(GetParam().deviceKey), GetParam().tail);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, DeviceKeyTailOf,
    testing::Values(
        TailCase{"ClassKey",
                 "\\Registry\\Machine\\System\\CurrentControlSet\\Control\\Class\\"
                 "{4D36E96E-E325-11CE-BFC1-08002BE10318}\\0003",
                 "0003"},
        TailCase{"TwoBraces", "{A}\\0001{B}\\12", "12"},
        TailCase{"NoBrace", "\\Video\\0003", "Video\\0003"}, TailCase{"OneCharacter", "K", ""},
        TailCase{"NothingAfterTheBrace", "{A}\\", ""}, TailCase{"BraceAtTheEnd", "{A}", ""},
        TailCase{"Empty", "", ""}),
    PrintedName());

TEST(OptimisationFlags, RecordingAResolutionAgainKeepsOneValueWithTheLaterRate) {
  KestraveModule module;
  Json input = TestDisplayMachine();
  SimTestMachine machine(input.dump());
  AdapterList adapters;
  EnumerateAdapters(adapters.get());
  const auto* adapter = dynamic_cast<const TAdapter*>(adapters.get()->Objects(0));
  ASSERT_NE(adapter, nullptr);
  TMode first(1280, 1024, 32, 60);
  TMode again(1280, 1024, 32, 75);
  TMode other(1024, 768, 16, 85);
  RecordOptimised(adapter, &first);
  RecordOptimised(adapter, &other);
  RecordOptimised(adapter, &again);
  EXPECT_EQ(FlagValues(UpdatedMachineDocument(input, machine.State()), kTestFlagKey),
            (Json{{"1280x1024@32", "75"}, {"1024x768@16", "85"}}));
}

class FlagWriteFault : public testing::TestWithParam<const char*> {};

TEST_P(FlagWriteFault, IsReportedAndThePassGoesOn) {
  Json machine = TestDisplayMachine();
  machine["adapters"].push_back(TestAdapter("\\\\.\\DISPLAY2", "0001"));
  machine["faults"] = {{{"call", GetParam()}, {"nth", 1}, {"result", 5}}};
  ProgramRun run = RunProgram(machine);
  EXPECT_EQ(run.exitCode, 0);
  const std::string fault =
      "  Optimal mode set successfully.\r\n"
      "\r\nError in Kestrave line 1256: Exception while updating registry to indicate monitor "
      "was optimized.\r\n\r\n"
      "Plug and Play Monitor on Lumenar LX [\\\\.\\DISPLAY2\\Monitor0]\r\n";
  EXPECT_NE(run.PassLog().find(fault), std::string::npos) << run.PassLog();
  EXPECT_TRUE(run.FlagValues(kTestFlagKey).empty());
  EXPECT_EQ(run.FlagValues("Lumenar LX_0001&Plug and Play Monitor_0001"),
            (Json{{"1280x1024@32", "60"}}));
  EXPECT_EQ(run.CallsWith("ChangeDisplaySettingsExA", "= 0").size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Calls, FlagWriteFault,
                         testing::Values("RegSetValueExA", "RegCreateKeyExA"), PrintedName());

}  // namespace
