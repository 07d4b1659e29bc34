// The wallpaper step on a simulated machine: which current wallpapers it
// replaces, by which bitmap, and what it writes when it does not.
#include <gtest/gtest.h>

#include <string>

#include "app/wallpaper.h"
#include "sim/machine_file/json_reading.h"
#include "tests/support/log_capture.h"
#include "tests/support/sim_test_machine.h"
#include "tests/support/test_names.h"

namespace {

struct WallpaperCase {
  const char* name;
  Json machine;  // the members that differ from the default machine
  DWORD width;
  std::string log;  // after the "currently set to" line
  std::string wallpaperAfter;
};

void PrintTo(const WallpaperCase& c, std::ostream* out) { *out << c.name; }

class Wallpaper : public testing::TestWithParam<WallpaperCase> {};

TEST_P(Wallpaper, FollowsTheWidthOnlyForAKnownBitmapInTheWindowsDirectory) {
  SimTestMachine machine(GetParam().machine.dump());
  LogCapture log;
  TMode mode(GetParam().width, 768, 32, 60);
  MatchWallpaper(&mode);
  const std::string current = GetParam().machine["wallpaper"]["path"];
  EXPECT_EQ(log.Text(), "Wallpaper is currently set to '" + current + "'.\n" + GetParam().log);
  EXPECT_EQ(machine.State().wallpaper.path, GetParam().wallpaperAfter);
}

Json Showing(const std::string& path, const Json& files = Json::array()) {
  return Json{{"wallpaper", {{"path", path}}}, {"files", files}};
}

Json Without(Json machine, const char* windir) {
  machine["environment"] = windir == nullptr ? Json::object() : Json{{"windir", windir}};
  return machine;
}

std::string Set(const std::string& path) { return "Wallpaper set to '" + path + "'.\n"; }
std::string Missing(const std::string& path) {
  return "Wallpaper not changed since the desired wallpaper '" + path + "' does not exist.\n";
}
const char kNotInWindows[] =
    "Wallpaper not changed since current wallpaper is not in the Windows directory.\n";
const char kOtherWallpaper[] =
    "Wallpaper not changed since a non-ZQX wallpaper is currently selected.\n";

const char kOv[] = "C:\\WINDOWS\\ov.bmp";
const char kZqx1024[] = "C:\\WINDOWS\\zqx1024h.bmp";

// A Windows directory so deep that its ov.bmp has a path of pathLength
// characters; the wallpaper buffer holds 260, the terminating zero included.
std::string DeepWindows(size_t pathLength) {
  return "C:\\" + std::string(pathLength - 10, 'w');
}

std::string DeepBitmap(size_t pathLength) { return DeepWindows(pathLength) + "\\zqx1024h.bmp"; }

Json DeepWallpaper(size_t pathLength) {
  const std::string windows = DeepWindows(pathLength);
  return Without(Showing(windows + "\\ov.bmp", {DeepBitmap(pathLength)}), windows.c_str());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Wallpaper,
    testing::Values(
        WallpaperCase{"FamilyBitmapForTheWidth", Showing(kOv, {kZqx1024}), 1024, Set(kZqx1024),
                      kZqx1024},
        WallpaperCase{"WidthCappedAt1280", Showing("C:\\WINDOWS\\kvd800h.bmp",
                                                   {"C:\\WINDOWS\\kvd1280h.bmp"}),
                      1600, Set("C:\\WINDOWS\\kvd1280h.bmp"), "C:\\WINDOWS\\kvd1280h.bmp"},
        WallpaperCase{"UnusualWidthHasNoBitmap", Showing("C:\\WINDOWS\\zqx800h.bmp", {kZqx1024}),
                      1152, Missing("C:\\WINDOWS\\zqx1152h.bmp"), "C:\\WINDOWS\\zqx800h.bmp"},
        WallpaperCase{"TheSameBitmapIsSetAgain", Showing(kZqx1024, {kZqx1024}), 1024,
                      Set(kZqx1024), kZqx1024},
        WallpaperCase{"UpperCaseTableName", Showing("C:\\WINDOWS\\TAVRIN.BMP",
                                                    {"C:\\WINDOWS\\kvd640h.bmp"}),
                      640, Set("C:\\WINDOWS\\kvd640h.bmp"), "C:\\WINDOWS\\kvd640h.bmp"},
        WallpaperCase{"OtherExtension", Showing("C:\\WINDOWS\\ov.jpg", {kZqx1024}), 1024,
                      kOtherWallpaper, "C:\\WINDOWS\\ov.jpg"},
        WallpaperCase{"Subfolder", Showing("C:\\WINDOWS\\Web\\ov.bmp", {kZqx1024}), 1024,
                      kNotInWindows, "C:\\WINDOWS\\Web\\ov.bmp"},
        // The folder is kept as the system returned it.
        WallpaperCase{"WindowsDirectoryInOtherCase",
                      Showing("c:\\windows\\ov.bmp", {kZqx1024}), 1024,
                      Set("c:\\windows\\zqx1024h.bmp"), "c:\\windows\\zqx1024h.bmp"},
        WallpaperCase{"WindirWithTrailingBackslash",
                      Without(Showing(kOv, {kZqx1024}), "C:\\WINDOWS\\"), 1024, Set(kZqx1024),
                      kZqx1024},
        WallpaperCase{"WindirEmpty", Without(Showing(kOv, {kZqx1024}), ""), 1024, kNotInWindows,
                      kOv},
        WallpaperCase{"PathOf259Characters", DeepWallpaper(259), 1024, Set(DeepBitmap(259)),
                      DeepBitmap(259)},
        // No room for the terminating zero: the path ends at the buffer's end.
        WallpaperCase{"PathOf260Characters", DeepWallpaper(260), 1024, Set(DeepBitmap(260)),
                      DeepBitmap(260)},
        WallpaperCase{"WindirUnset", Without(Showing(kOv, {kZqx1024}), nullptr), 1024,
                      kNotInWindows, kOv},
        WallpaperCase{"WindirUnsetMatchesTheRootFolder",
                      Without(Showing("\\ov.bmp", {"\\zqx1024h.bmp"}), nullptr), 1024,
                      Set("\\zqx1024h.bmp"), "\\zqx1024h.bmp"},
        WallpaperCase{"NoWallpaper", Showing("", {kZqx1024}), 1024, kNotInWindows, ""},
        WallpaperCase{"BitmapMissing", Showing(kOv), 1024, Missing(kZqx1024), kOv},
        WallpaperCase{"ADirectoryIsNoBitmap",
                      Json{{"wallpaper", {{"path", kOv}}}, {"directories", {kZqx1024}}}, 1024,
                      Missing(kZqx1024), kOv}),
    PrintedName());

struct SettingFault {
  const char* switchedOff;  // the wallpaper member made false
  const char* log;
};

void PrintTo(const SettingFault& c, std::ostream* out) { *out << "not " << c.switchedOff; }

class WallpaperSetting : public testing::TestWithParam<SettingFault> {};

TEST_P(WallpaperSetting, ThatFailsLeavesTheOldWallpaper) {
  Json machine = Showing(kOv, {kZqx1024});
  machine["wallpaper"][GetParam().switchedOff] = false;
  SimTestMachine simulated(machine.dump());
  LogCapture log;
  TMode mode(1024, 768, 32, 60);
  MatchWallpaper(&mode);
  EXPECT_EQ(log.Text(), GetParam().log);
  EXPECT_EQ(simulated.State().wallpaper.path, kOv);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, WallpaperSetting,
    testing::Values(SettingFault{"settable",
                                 "Wallpaper is currently set to 'C:\\WINDOWS\\ov.bmp'.\n"
                                 "\nError in Kestrave line 404: Unable to set wallpaper to "
                                 "'C:\\WINDOWS\\zqx1024h.bmp'.\n"},
                    SettingFault{"readable",
                                 "\nError in Kestrave line 351: Unable to read current "
                                 "wallpaper setting.\n"}),
    PrintedName());

TEST(WallpaperFaults, NoModeIsAFault) {
  SimTestMachine simulated(Showing(kOv, {kZqx1024}).dump());
  LogCapture log;
  MatchWallpaper(nullptr);
  EXPECT_EQ(log.Text(), "\nError in Kestrave line 340: Null mode pointer.\n");
}

}  // namespace
