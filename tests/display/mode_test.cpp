#include "display/mode.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

#include "tests/support/mode_values.h"

namespace {

struct ComparisonCase {
  ModeValues a;
  ModeValues b;
  bool expected;
};

TEST(ModeTest, MatchesIsSymmetricAndTolerant) {
  const ComparisonCase cases[] = {
      {{1024, 768, 32, 60}, {1024, 768, 32, 59}, true},
      {{1024, 768, 32, 60}, {1024, 768, 32, 58}, false},
      {{1024, 768, 32, 0}, {1024, 768, 32, 85}, true},
      {{1024, 768, 32, 1}, {1024, 768, 32, 85}, true},
      {{1024, 768, 32, 2}, {1024, 768, 32, 85}, false},
      {{1024, 768, 0, 60}, {1024, 768, 16, 60}, true},
      {{1024, 768, 16, 60}, {1024, 768, 32, 60}, false},
      {{1024, 768, 0, 0}, {1280, 1024, 0, 0}, false},
      {{1024, 768, 0, 0}, {1024, 1024, 0, 0}, false},
      // A 32-bit difference of 2^31 is far apart, not undefined.
      {{1024, 768, 0, 0x80000002u}, {1024, 768, 0, 2}, false},
  };
  for (const ComparisonCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.a << " / " << c.b);
    EXPECT_EQ(Matches(*NewMode(c.a), *NewMode(c.b)), c.expected);
    EXPECT_EQ(Matches(*NewMode(c.b), *NewMode(c.a)), c.expected);
  }
}

TEST(ModeTest, IsBetterThanNeedsAStrictlyHigherFrequencyAtTheSameResolution) {
  const ComparisonCase cases[] = {
      {{1024, 768, 32, 75}, {1024, 768, 32, 75}, false},
      {{1024, 768, 32, 75}, {1024, 768, 32, 0}, true},
      {{1024, 768, 32, 0}, {1024, 768, 32, 60}, false},
      {{1024, 768, 32, 85}, {800, 600, 32, 60}, false},
      {{1024, 768, 16, 85}, {1024, 768, 32, 60}, false},
      {{1024, 768, 0, 85}, {1024, 768, 32, 60}, true},
      {{1024, 768, 32, 0xFFFFFFFFu}, {1024, 768, 32, 1}, true},
  };
  for (const ComparisonCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.a << " / " << c.b);
    EXPECT_EQ(IsBetterThan(*NewMode(c.a), *NewMode(c.b)), c.expected);
  }
}

TEST(ModeTest, WriteModePadsEachNumberToItsOwnWidth) {
  const struct {
    ModeValues mode;
    const char* text;
  } cases[] = {
      {{1024, 768, 32, 85}, "1024x 768,32 bpp @ 85 Hz"},
      {{640, 480, 0, 60}, " 640x 480, 0 bpp @ 60 Hz"},
      {{1280, 1024, 16, 100}, "1280x1024,16 bpp @100 Hz"},
      {{640, 480, 8, 60}, " 640x 480, 8 bpp @ 60 Hz"},
      {{10240, 76800, 128, 1000}, "10240x76800,128 bpp @1000 Hz"},
  };
  for (const auto& c : cases) {
    std::ostringstream out;
    WriteMode(out, NewMode(c.mode).get());
    EXPECT_EQ(out.str(), c.text);
  }
}

TEST(ModeTest, WriteModeWritesNotAvailableForNoMode) {
  std::ostringstream out;
  out.width(10);
  WriteMode(out, nullptr) << '|';
  EXPECT_EQ(out.str(), "N/A|");
}

TEST(ModeTest, WriteModeUsesTheStreamsFillAndKeepsItsFormat) {
  std::ostringstream out;
  out.fill('*');
  out << std::hex << std::left;
  out.width(12);
  EXPECT_EQ(&WriteMode(out, NewMode({640, 480, 8, 60}).get()), &out);
  EXPECT_EQ(out.width(), 0);
  out << 10;
  EXPECT_EQ(out.str(), "*640x*480,*8 bpp @*60 Hza");
}

TEST(ModeTest, ValueNameIsTheCompactResolutionAndDepth) {
  EXPECT_EQ(ValueName(*NewMode({1024, 768, 32, 85})), "1024x768@32");
  EXPECT_EQ(ValueName(*NewMode({800, 600, 0, 75})), "800x600@0");
}

TEST(ModeTest, ModeFromDevModeKeepsOnlyTheFourMembers) {
  DEVMODEA devMode;
  std::memset(&devMode, 0xA5, sizeof devMode);
  devMode.dmPelsWidth = 1280;
  devMode.dmPelsHeight = 1024;
  devMode.dmBitsPerPel = 32;
  devMode.dmDisplayFrequency = 75;
  EXPECT_EQ(ValuesOf(*ModeFromDevMode(devMode)), (ModeValues{1280, 1024, 32, 75}));
}

TEST(ModeTest, DevModeFromModeSetsTheFourMembersAndTheirFieldsOnly) {
  const DEVMODEA devMode = DevModeFromMode(*NewMode({1024, 768, 0, 0}));
  DEVMODEA expected;
  std::memset(&expected, 0, sizeof expected);
  expected.dmSize = 156;
  expected.dmFields = 0x5C0000u;
  expected.dmPelsWidth = 1024;
  expected.dmPelsHeight = 768;
  EXPECT_EQ(std::memcmp(&devMode, &expected, sizeof devMode), 0)
      << "a member other than the four is set";
}

}  // namespace
