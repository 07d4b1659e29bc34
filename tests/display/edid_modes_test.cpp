#include "display/edid_modes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "tests/support/edid_blocks.h"
#include "tests/support/mode_values.h"

namespace {

std::vector<ModeValues> PresetsOf(const std::vector<unsigned char>& edid) {
  TObjectList presets;
  BuildPresets(edid, presets);
  return ValuesOf(presets);
}

TEST(EdidModesTest, OnlyAVersionOneBlockOfRevisionFourOrLessIsUsed) {
  const struct {
    size_t size;
    unsigned char version;
    unsigned char revision;
    bool usable;
  } cases[] = {
      {0, 1, 3, false},   {127, 1, 3, false}, {128, 2, 3, false}, {128, 0, 3, false},
      {128, 1, 5, false}, {128, 1, 255, false}, {128, 1, 0, true}, {128, 1, 3, true},
      {256, 1, 3, true},
      {128, 1, 4, true},  // was unusable: 1.4 keeps every byte read here where 1.3 has it
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.size << " bytes, " << int{c.version} << "."
                                    << int{c.revision});
    std::vector<unsigned char> edid = UsableBlock();
    edid[0x23] = 0x20;
    PutPreferredTiming(edid, {10800, 1280, 408, 1024, 42});
    edid[0x12] = c.version;
    edid[0x13] = c.revision;
    edid.resize(c.size);
    EXPECT_EQ(IsEdidUsable(edid), c.usable);
    EXPECT_EQ(PresetsOf(edid).empty(), !c.usable);
    EXPECT_EQ(ReadPreferredTiming(edid) != nullptr, c.usable);
  }
}

TEST(EdidModesTest, EstablishedFlagsComeInBitOrder) {
  std::vector<unsigned char> edid = UsableBlock();
  edid[0x23] = 0x21;
  edid[0x24] = 0x08;
  EXPECT_EQ(PresetsOf(edid),
            (std::vector<ModeValues>{{640, 480, 0, 60}, {800, 600, 0, 60}, {1024, 768, 0, 60}}));
}

TEST(EdidModesTest, InterlacedFlagIsTakenAtItsFrameRateAndOnlyBit7OfTheMakersByteCounts) {
  std::vector<unsigned char> edid = UsableBlock();
  edid[0x24] = 0x10;
  edid[0x25] = 0xFF;
  EXPECT_EQ(PresetsOf(edid), (std::vector<ModeValues>{{1024, 768, 0, 43}, {1152, 870, 0, 75}}));
}

TEST(EdidModesTest, StandardTimingsGiveWidthAspectAndFrequency) {
  const struct {
    unsigned char first;
    unsigned char second;
    std::vector<ModeValues> modes;
  } cases[] = {
      {0x81, 0x80, {{1280, 1024, 0, 60}}},
      {0x81, 0xC0, {{1280, 720, 0, 60}}},
      {0x81, 0x00, {{1280, 800, 0, 60}}},
      {0x61, 0x4F, {{1024, 768, 0, 75}}},
      {0x61, 0x68, {{1024, 768, 0, 100}}},
      {0x61, 0x80, {{1024, 819, 0, 60}}},  // 819.2
      {0x8C, 0xC0, {{1368, 770, 0, 60}}},  // 769.5 rounds up
      {0xFF, 0xFF, {{2288, 1287, 0, 123}}},
      {0x02, 0x01, {{264, 165, 0, 61}}},
      // A slot is unused by its first byte alone.
      {0x01, 0x01, {}},
      {0x00, 0x00, {}},
      {0x20, 0x20, {}},
      {0x01, 0x40, {}},
      {0x20, 0x4F, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << int{c.first} << " " << int{c.second});
    std::vector<unsigned char> edid = UsableBlock();
    edid[0x26] = c.first;
    edid[0x27] = c.second;
    EXPECT_EQ(PresetsOf(edid), c.modes);
  }
}

TEST(EdidModesTest, PresetsKeepSlotOrderAndDuplicates) {
  std::vector<unsigned char> edid = UsableBlock();
  edid[0x24] = 0x08;
  edid[0x26] = 0x81;
  edid[0x27] = 0x80;
  edid[0x34] = 0x61;
  edid[0x35] = 0x40;
  EXPECT_EQ(PresetsOf(edid), (std::vector<ModeValues>{
                                 {1024, 768, 0, 60}, {1280, 1024, 0, 60}, {1024, 768, 0, 60}}));
}

TEST(EdidModesTest, PreferredTimingFrequencyFromTheTruncatedLineRate) {
  const struct {
    DetailedTiming timing;
    ModeValues mode;
  } cases[] = {
      {{10800, 1280, 408, 1024, 42}, {1280, 1024, 0, 60}},
      {{9450, 1024, 352, 768, 40}, {1024, 768, 0, 85}},
      {{4000, 800, 256, 600, 28}, {800, 600, 0, 60}},
      {{14850, 1920, 280, 1080, 45}, {1920, 1080, 0, 60}},
      {{10800, 0, 0, 1024, 42}, {0, 1024, 0, 0}},     // horizontal total 0
      {{10800, 1280, 408, 0, 0}, {1280, 0, 0, 0}},    // vertical total 0
      {{1, 82, 0, 1, 1}, {82, 1, 0, 60}},             // line rate 121 (not 121.95): 60.5
      {{1, 81, 0, 1, 1}, {81, 1, 0, 62}},             // line rate 123: 61.5
      {{999, 1, 0, 19, 0}, {1, 19, 0, 525790}},       // single precision gives .5
      {{1015, 1, 0, 19, 0}, {1, 19, 0, 534210}},
      {{65535, 4095, 4095, 4095, 4095}, {4095, 4095, 0, 10}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.mode);
    std::vector<unsigned char> edid = UsableBlock();
    PutPreferredTiming(edid, c.timing);
    const std::unique_ptr<TMode> mode = ReadPreferredTiming(edid);
    ASSERT_NE(mode, nullptr);
    EXPECT_EQ(ValuesOf(*mode), c.mode);
  }
}

// From revision 4 on the first timing is the preferred one whatever the
// feature bit says; it must still be progressive.
TEST(EdidModesTest, PreferredTimingNeedsThePreferredFlagBeforeRevisionFourAndAProgressiveTiming) {
  const struct {
    unsigned char revision;
    unsigned char features;
    unsigned char timingFlags;
    bool found;
  } cases[] = {
      {3, 0x0A, 0x1E, true},  {3, 0x02, 0x7F, true},  {3, 0x08, 0x1E, false},
      {3, 0xFD, 0x00, false}, {3, 0x0A, 0x80, false}, {3, 0x0A, 0x9E, false},
      {0, 0x08, 0x1E, false}, {4, 0x08, 0x1E, true},  {4, 0x0A, 0x9E, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "1." << int{c.revision} << std::hex << " "
                                    << int{c.features} << " " << int{c.timingFlags});
    std::vector<unsigned char> edid = UsableBlock();
    PutPreferredTiming(edid, {10800, 1280, 408, 1024, 42});
    edid[0x13] = c.revision;
    edid[0x18] = c.features;
    edid[0x47] = c.timingFlags;
    EXPECT_EQ(ReadPreferredTiming(edid) != nullptr, c.found);
  }
}

TEST(EdidModesTest, ADescriptorInTheFirstSlotReadsAsATimingOfFrequencyZero) {
  std::vector<unsigned char> edid = UsableBlock();
  edid[0x18] = 0x0A;
  const unsigned char rangeLimits[] = {0x00, 0x00, 0x00, 0xFD, 0x00, 0x38, 0x4C, 0x1E};
  std::copy(std::begin(rangeLimits), std::end(rangeLimits), edid.begin() + 0x36);
  const std::unique_ptr<TMode> mode = ReadPreferredTiming(edid);
  ASSERT_NE(mode, nullptr);
  EXPECT_EQ(ValuesOf(*mode), (ModeValues{0, 312, 0, 0}));
}

}  // namespace
