#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/structured_exception.h"
#include "tests/support/files.h"
#include "sim/system/sim_constants.h"
#include "tests/support/sim_test_machine.h"
#include "tests/support/test_names.h"

namespace {

struct MaskCase {
  ULONGLONG mask;
  DWORD type;
  BYTE condition;
  ULONGLONG expected;
};

void PrintTo(const MaskCase& c, std::ostream* out) {
  *out << "mask " << c.mask << " type " << c.type << " condition " << int{c.condition};
}

class ConditionMasks : public testing::TestWithParam<MaskCase> {};

TEST_P(ConditionMasks, HoldThreeBitsAtThreeTimesTheTypeIndex) {
  SimTestMachine machine;
  const MaskCase& test = GetParam();
  EXPECT_EQ(machine.Calls().VerSetConditionMask(test.mask, test.type, test.condition),
            test.expected);
}

const MaskCase kMaskCases[] = {
    {0, VER_MAJORVERSION, VER_GREATER_EQUAL, 0x18},
    {0x18, VER_MINORVERSION, VER_GREATER_EQUAL, 0x1B},
    {0, VER_SERVICEPACKMAJOR, VER_EQUAL, 1ull << 15},
    {0, VER_PRODUCT_TYPE, VER_LESS, 4ull << 21},
    {0x1, VER_MAJORVERSION, VER_EQUAL, 0x9},  // added to the mask, not replacing it
    {0x18, 0, VER_EQUAL, 0x18},
};

INSTANTIATE_TEST_SUITE_P(Sim, ConditionMasks, testing::ValuesIn(kMaskCases), PrintedName());

struct VersionCase {
  DWORD osMajor, osMinor, wantedMajor, wantedMinor;
  BOOL passes;
};

void PrintTo(const VersionCase& c, std::ostream* out) {
  *out << "Windows " << c.osMajor << "." << c.osMinor << " for " << c.wantedMajor << "."
       << c.wantedMinor;
}

class VersionChecks : public testing::TestWithParam<VersionCase> {};

TEST_P(VersionChecks, CompareTheMajorFirstAndTheMinorOnlyOnEqualMajors) {
  const VersionCase& test = GetParam();
  SimTestMachine machine("{\"os\": {\"major\": " + std::to_string(test.osMajor) +
                         ", \"minor\": " + std::to_string(test.osMinor) + "}}");
  Platform& calls = machine.Calls();
  OSVERSIONINFOEXA info = {};
  info.dwOSVersionInfoSize = sizeof info;
  info.dwMajorVersion = test.wantedMajor;
  info.dwMinorVersion = test.wantedMinor;
  ULONGLONG mask = calls.VerSetConditionMask(0, VER_MAJORVERSION, VER_GREATER_EQUAL);
  mask = calls.VerSetConditionMask(mask, VER_MINORVERSION, VER_GREATER_EQUAL);
  EXPECT_EQ(calls.VerifyVersionInfoA(&info, VER_MAJORVERSION | VER_MINORVERSION, mask),
            test.passes);
  if (!test.passes) {
    EXPECT_EQ(calls.GetLastError(), 1150u);
  }
}

const VersionCase kVersionCases[] = {
    {5, 0, 5, 0, TRUE},   {5, 1, 5, 0, TRUE},  {6, 0, 5, 1, TRUE},
    {4, 10, 5, 0, FALSE}, {5, 1, 5, 2, FALSE}, {10, 0, 5, 0, TRUE},
};

INSTANTIATE_TEST_SUITE_P(Sim, VersionChecks, testing::ValuesIn(kVersionCases), PrintedName());

TEST(SimSystemCalls, AVersionRecordOfAnotherSizeIsRefused) {
  SimTestMachine machine;
  OSVERSIONINFOEXA info = {};
  info.dwOSVersionInfoSize = 148;
  EXPECT_FALSE(machine.Calls().VerifyVersionInfoA(&info, VER_MAJORVERSION, 0x18));
  EXPECT_EQ(machine.Calls().GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(SimSystemCalls, TheInstallationWaitAnswersInTurnAndRepeatsTheLast) {
  SimTestMachine machine(R"({"deviceInstall": {"results": [258, 4294967295], "lastError": 1167}})");
  Platform& calls = machine.Calls();
  EXPECT_EQ(calls.CMP_WaitNoPendingInstallEvents(0), 258u);
  EXPECT_EQ(calls.CMP_WaitNoPendingInstallEvents(600000), WAIT_FAILED);
  EXPECT_EQ(calls.GetLastError(), 1167u);
  EXPECT_EQ(calls.CMP_WaitNoPendingInstallEvents(600000), WAIT_FAILED);
}

TEST(SimSystemCalls, MessageTextsFromTheFileThenWindowsOwn) {
  SimTestMachine machine(R"({"messages": {"1167": "Not there."}})");
  Platform& calls = machine.Calls();
  char text[256];
  EXPECT_EQ(calls.FormatMessageA(0x3000, nullptr, 1167, 0, text, sizeof text, nullptr), 10u);
  EXPECT_STREQ(text, "Not there.");
  EXPECT_EQ(calls.FormatMessageA(0x3000, nullptr, 2, 0, text, sizeof text, nullptr), 44u);
  EXPECT_STREQ(text, "The system cannot find the file specified.\r\n");
  EXPECT_EQ(calls.FormatMessageA(0x3000, nullptr, 1223, 0, text, sizeof text, nullptr), 0u);
  EXPECT_EQ(calls.GetLastError(), 317u);
  EXPECT_EQ(calls.FormatMessageA(0x3000, nullptr, 87, 0, text, 29, nullptr), 0u);
  EXPECT_EQ(calls.GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(calls.FormatMessageA(0x3000, nullptr, 87, 0, text, 30, nullptr), 29u);
}

TEST(SimSystemCalls, AMessageInsertWithoutArgumentsIsReadThroughANullPointer) {
  SimTestMachine machine(R"({"messages": {"4002": "Device %1 is 100%% busy."}})");
  Platform& calls = machine.Calls();
  char text[256];
  EXPECT_EQ(calls.FormatMessageA(0x3200, nullptr, 4002, 0, text, sizeof text, nullptr), 24u);
  EXPECT_STREQ(text, "Device %1 is 100%% busy.");
  EXPECT_THROW(calls.FormatMessageA(0x3000, nullptr, 4002, 0, text, sizeof text, nullptr),
               StructuredException);
}

TEST(SimSystemCalls, TheWallpaperIsCopiedAtMostUiParamBytes) {
  SimTestMachine machine(R"({"wallpaper": {"path": "C:\\WINDOWS\\ov.bmp"}})");
  Platform& calls = machine.Calls();
  char buffer[20];
  std::memset(buffer, '#', sizeof buffer);
  ASSERT_TRUE(calls.SystemParametersInfoA(SPI_GETDESKWALLPAPER, sizeof buffer, buffer, 0));
  EXPECT_STREQ(buffer, "C:\\WINDOWS\\ov.bmp");
  std::memset(buffer, '#', sizeof buffer);
  ASSERT_TRUE(calls.SystemParametersInfoA(SPI_GETDESKWALLPAPER, 8, buffer, 0));
  EXPECT_EQ(std::string(buffer, 9), "C:\\WINDO#");  // no terminating zero
}

TEST(SimSystemCalls, AWallpaperThatCannotBeReadOrSetAnswersZero) {
  SimTestMachine machine(
      R"({"wallpaper": {"path": "C:\\old.bmp", "readable": false, "settable": false}})");
  Platform& calls = machine.Calls();
  char buffer[260];
  EXPECT_FALSE(calls.SystemParametersInfoA(SPI_GETDESKWALLPAPER, sizeof buffer, buffer, 0));
  char path[] = "C:\\new.bmp";
  EXPECT_FALSE(calls.SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, path, 3));
  EXPECT_EQ(machine.State().wallpaper.path, "C:\\old.bmp");
}

TEST(SimSystemCalls, EnvironmentVariablesFollowTheWindowsLengthRules) {
  SimTestMachine machine;
  Platform& calls = machine.Calls();
  char buffer[16];
  EXPECT_EQ(calls.GetEnvironmentVariableA("WinDir", buffer, sizeof buffer), 10u);
  EXPECT_STREQ(buffer, "C:\\WINDOWS");
  EXPECT_EQ(calls.GetEnvironmentVariableA("windir", buffer, 10), 11u);
  EXPECT_EQ(calls.GetEnvironmentVariableA("windir", nullptr, 0), 11u);
  EXPECT_EQ(calls.GetEnvironmentVariableA("TEMP", buffer, sizeof buffer), 0u);
  EXPECT_EQ(calls.GetLastError(), static_cast<DWORD>(ERROR_ENVVAR_NOT_FOUND));
}

TEST(SimSystemCalls, FileAttributesOfFilesAndFoldersWithoutRegardToCase) {
  SimTestMachine machine(R"({"files": ["C:\\WINDOWS\\zqx1024h.bmp"],
                             "directories": ["C:\\WINDOWS\\zqx800h.bmp"]})");
  Platform& calls = machine.Calls();
  EXPECT_EQ(calls.GetFileAttributesA("c:\\windows\\ZQX1024H.BMP"), 0x20u);
  EXPECT_EQ(calls.GetFileAttributesA("C:\\WINDOWS\\zqx800h.bmp"),
            static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_EQ(calls.GetFileAttributesA("C:\\Windows\\"),
            static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_EQ(calls.GetFileAttributesA("C:\\WINDOWS\\zqx1280h.bmp"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(calls.GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(calls.GetFileAttributesA("C:\\WIN"), INVALID_FILE_ATTRIBUTES);
}

struct CompareCase {
  const char* name;
  const char* first;
  int firstCount;
  const char* second;
  DWORD flags;
  int expected;
};

void PrintTo(const CompareCase& c, std::ostream* out) { *out << c.name; }

class Comparisons : public testing::TestWithParam<CompareCase> {};

TEST_P(Comparisons, FollowWindows1252Case) {
  SimTestMachine machine;
  const CompareCase& test = GetParam();
  EXPECT_EQ(machine.Calls().CompareStringA(LOCALE_USER_DEFAULT, test.flags, test.first,
                                           test.firstCount, test.second, -1),
            test.expected);
}

const CompareCase kCompareCases[] = {
    {"IgnoringCase", "D", -1, "d", NORM_IGNORECASE, CSTR_EQUAL},
    {"UpperCaseFirst", "D", -1, "d", 0, CSTR_LESS_THAN},
    {"CountedFirstString", "df", 1, "d", NORM_IGNORECASE, CSTR_EQUAL},
    {"LongerFirstString", "df", 2, "d", NORM_IGNORECASE, CSTR_GREATER_THAN},
    {"CountedPrefix", "MONITOR\\X", 7, "Monitor", NORM_IGNORECASE, CSTR_EQUAL},
    {"AccentedLetters", "\xc9T\xc9", -1, "\xe9t\xe9", NORM_IGNORECASE, CSTR_EQUAL},
    {"SWithCaron", "\x8a", -1, "\x9a", NORM_IGNORECASE, CSTR_EQUAL},
    {"MultiplicationAndDivisionSigns", "\xd7", -1, "\xf7", NORM_IGNORECASE, CSTR_LESS_THAN},
    {"DifferentLetters", "a", -1, "b", NORM_IGNORECASE, CSTR_LESS_THAN},
};

INSTANTIATE_TEST_SUITE_P(Sim, Comparisons, testing::ValuesIn(kCompareCases), PrintedName());

TEST(SimSystemCalls, CharLowerBuffLowersTheCountedBytes) {
  SimTestMachine machine;
  char text[] =
      "OV.BMP\xc0\x9f"
      "X";
  EXPECT_EQ(machine.Calls().CharLowerBuffA(text, 8), 8u);
  EXPECT_STREQ(text,
               "ov.bmp\xe0\xff"
               "X");
}

TEST(SimSystemCalls, TheModulePathIsTruncatedAsTheWindowsVersionDoes) {
  for (DWORD major : {5u, 6u}) {
    SimTestMachine machine(R"({"os": {"major": )" + std::to_string(major) +
                           R"(}, "modulePath": "C:\\k.exe"})");
    Platform& calls = machine.Calls();
    char path[16];
    EXPECT_EQ(calls.GetModuleFileNameA(nullptr, path, sizeof path), 8u);
    EXPECT_STREQ(path, "C:\\k.exe");
    std::memset(path, '#', sizeof path);
    EXPECT_EQ(calls.GetModuleFileNameA(nullptr, path, 4), 4u);
    EXPECT_EQ(std::string(path, 5), major == 5 ? "C:\\k#" : std::string("C:\\\0#", 5));
  }
}

TEST(SimSystemCalls, TheMessageBoxPrintsCaptionBlankLineAndText) {
  SimTestMachine machine;
  EXPECT_EQ(machine.Calls().MessageBoxA(nullptr, "line one\nline two", "Options", 0x2000), IDOK);
  EXPECT_EQ(machine.Screen(), "Options\n\nline one\nline two\n");
}

class SimFilesInFolder : public testing::Test {
 protected:
  static HANDLE Open(Platform& calls, const char* name) {
    return calls.CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  }

  static void Write(Platform& calls, HANDLE file, const char* text) {
    DWORD written = 0;
    EXPECT_TRUE(
        calls.WriteFile(file, text, static_cast<DWORD>(std::strlen(text)), &written, nullptr));
    EXPECT_EQ(written, std::strlen(text));
  }

  ScratchFolder folder_;
};

TEST_F(SimFilesInFolder, ARealFileIsOpenedWithoutTruncationAndEmptiedBySetEndOfFile) {
  std::ofstream("log.txt") << "0123456789";
  SimTestMachine machine;
  Platform& calls = machine.Calls();
  HANDLE file = Open(calls, "log.txt");
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(calls.GetLastError(), 183u);  // ERROR_ALREADY_EXISTS
  Write(calls, file, "ab");
  EXPECT_EQ(FileContent("log.txt"), "ab23456789");
  EXPECT_TRUE(calls.SetEndOfFile(file));
  Write(calls, file, "c");
  EXPECT_EQ(FileContent("log.txt"), "abc");
  EXPECT_TRUE(calls.CloseHandle(file));
  EXPECT_FALSE(calls.CloseHandle(file));
}

TEST_F(SimFilesInFolder, TheNullDeviceTakesEverythingAndTouchesNoFile) {
  SimTestMachine machine;
  Platform& calls = machine.Calls();
  HANDLE file = Open(calls, "NUL");
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(calls.SetEndOfFile(file));
  Write(calls, file, "banner\r\n");
  EXPECT_TRUE(calls.CloseHandle(file));
  EXPECT_TRUE(std::filesystem::is_empty("."));
}

// A symbolic link stands for a reparse point: opened as itself with
// FILE_FLAG_OPEN_REPARSE_POINT, followed without it.
TEST_F(SimFilesInFolder, FileInformationShowsHardLinksAndReparsePoints) {
  std::ofstream("target.txt") << "0123";
  std::filesystem::create_hard_link("target.txt", "hard.txt");
  std::filesystem::create_symlink("target.txt", "soft.txt");
  std::ofstream("own.txt") << "own";
  struct Case {
    const char* name;
    DWORD flags;
    DWORD attributes;
    DWORD links;
  } const cases[] = {
      {"own.txt", FILE_FLAG_OPEN_REPARSE_POINT, 0x20, 1},
      {"hard.txt", FILE_FLAG_OPEN_REPARSE_POINT, 0x20, 2},
      {"soft.txt", FILE_FLAG_OPEN_REPARSE_POINT, FILE_ATTRIBUTE_REPARSE_POINT, 1},
      {"soft.txt", 0, 0x20, 2},
  };
  SimTestMachine machine;
  Platform& calls = machine.Calls();
  for (const Case& c : cases) {
    HANDLE file = calls.CreateFileA(c.name, GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL | c.flags, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << c.name;
    BY_HANDLE_FILE_INFORMATION information;
    ASSERT_TRUE(calls.GetFileInformationByHandle(file, &information)) << c.name;
    EXPECT_EQ(information.dwFileAttributes, c.attributes) << c.name << c.flags;
    EXPECT_EQ(information.nNumberOfLinks, c.links) << c.name << c.flags;
    EXPECT_TRUE(calls.FlushFileBuffers(file));
    EXPECT_TRUE(calls.CloseHandle(file));
  }
  EXPECT_TRUE(std::filesystem::is_symlink("soft.txt"));
  HANDLE device = Open(calls, "nul");
  BY_HANDLE_FILE_INFORMATION information;
  EXPECT_FALSE(calls.GetFileInformationByHandle(device, &information));
  EXPECT_EQ(calls.GetLastError(), 1u);  // ERROR_INVALID_FUNCTION
  EXPECT_FALSE(calls.FlushFileBuffers(reinterpret_cast<HANDLE>(0x999)));
  EXPECT_EQ(calls.GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

// A file is shared among its handles, of one process or of several, as
// their share modes allow; one that may not be opened answers 32
// (ERROR_SHARING_VIOLATION) and is left as it was.
TEST_F(SimFilesInFolder, AFileIsSharedAsTheShareModesOfItsHandlesAllow) {
  const DWORD both = FILE_SHARE_READ | FILE_SHARE_WRITE;
  struct Case {
    DWORD heldAccess, heldShare, access, share;
    bool opens;
  } const cases[] = {
      {GENERIC_WRITE, FILE_SHARE_READ, GENERIC_WRITE, both, false},
      {GENERIC_WRITE, both, GENERIC_WRITE, FILE_SHARE_READ, false},
      {GENERIC_WRITE, both, GENERIC_WRITE, both, true},
      {GENERIC_WRITE, FILE_SHARE_READ, sim::kGenericRead, both, true},
      {sim::kGenericRead, FILE_SHARE_WRITE, GENERIC_WRITE, FILE_SHARE_WRITE, false},
  };
  std::ofstream("log.txt") << "held";
  SimTestMachine holder;
  SimTestMachine other;
  for (const Case& c : cases) {
    HANDLE held = holder.Calls().CreateFileA("log.txt", c.heldAccess, c.heldShare, nullptr,
                                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    HANDLE second = other.Calls().CreateFileA("log.txt", c.access, c.share, nullptr, OPEN_ALWAYS,
                                              FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_EQ(second != INVALID_HANDLE_VALUE, c.opens) << c.heldShare << " " << c.share;
    if (c.opens) {
      other.Calls().CloseHandle(second);
    } else {
      EXPECT_EQ(other.Calls().GetLastError(), 32u);
    }
    holder.Calls().CloseHandle(held);
  }
  EXPECT_EQ(FileContent("log.txt"), "held");
}

TEST_F(SimFilesInFolder, ALogFileThatCannotBeOpenedOrEmptiedStaysAsItWas) {
  std::ofstream("kestrave.txt") << "old";
  SimTestMachine closed(R"({"logFile": {"openable": false}})");
  EXPECT_EQ(Open(closed.Calls(), "kestrave.txt"), INVALID_HANDLE_VALUE);
  EXPECT_EQ(closed.Calls().GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(Open(closed.Calls(), "nul") == INVALID_HANDLE_VALUE, false);

  SimTestMachine fixed(R"({"logFile": {"truncatable": false}})");
  HANDLE file = Open(fixed.Calls(), "kestrave.txt");
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(fixed.Calls().SetEndOfFile(file));
  EXPECT_TRUE(fixed.Calls().CloseHandle(file));
  EXPECT_EQ(FileContent("kestrave.txt"), "old");
}

}  // namespace
