#include "edid/edid_fixed_sections.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <vector>

#include "tests/edid/test_block.h"

namespace {

using Bytes = std::initializer_list<std::pair<std::size_t, std::uint8_t>>;

const std::string kSi = "  ";
const std::string kIndent = kSi + "               ";

// Whether text holds the given complete lines, one after the other.
bool HasLines(const std::string& text, const std::string& lines) {
  return ("\n" + text).find("\n" + lines) != std::string::npos;
}

template <typename Section>
std::string Write(Section section, const EdidBlock& block) {
  return Capture([&](std::ostream& out) { section(block.data(), out, kSi); });
}

struct LinesCase {
  Bytes bytes;
  std::string lines;
};

TEST(WriteEdidHeader, WritesVendorProductAndVersion) {
  const LinesCase cases[] = {
      {{}, "  [0x00-0x07]  0000 0xff 0xff 0xff 0xff 0xff 0xff 0000 [Correct]\n"},
      {{{0x07, 0x01}}, "  [0x00-0x07]  0000 0xff 0xff 0xff 0xff 0xff 0xff 0x01 [Incorrect]\n"},
      {{{0x08, 0x4C}, {0x09, 0x2D}}, "  [0x08-0x09]  Manufacturer:        SAM\n"},
      {{}, "  [0x08-0x09]  Manufacturer:        @@@\n"},
      {{{0x08, 0x7F}, {0x09, 0xFF}}, "  [0x08-0x09]  Manufacturer:        ___\n"},
      {{}, "  [0x0a-0x0b]  Product code:        000000 (0)\n"},
      {{{0x0A, 0xD2}, {0x0B, 0x04}}, "  [0x0a-0x0b]  Product code:        0x04d2 (1234)\n"},
      {{}, "  [0x0c-0x0f]  Serial #:            0000000000 (0)\n"},
      {{{0x0C, 0x01}}, "  [0x0c-0x0f]  Serial #:            0x00000001 (1)\n"},
      {{{0x0C, 0xFF}, {0x0D, 0xFF}, {0x0E, 0xFF}, {0x0F, 0xFF}},
       "  [0x0c-0x0f]  Serial #:            0xffffffff (4294967295)\n"},
      {{{0x10, 52}, {0x11, 255}},
       "  [0x10]       Week of manufacture: 52\n  [0x11]       Year of manufacture: 2245\n"},
      {{},
       "  [0x11]       Year of manufacture: 1990\n"
       "  [0x12-0x13]  EDID version:        1.3\n"},
      {{{0x13, 10}}, "  [0x12-0x13]  EDID version:        1.10\n"},
  };
  for (const LinesCase& c : cases) {
    const std::string text = Write(WriteEdidHeader, MakeEdidBlock(c.bytes));
    EXPECT_TRUE(HasLines(text, c.lines)) << text << "\nlacks\n" << c.lines;
  }
}

TEST(WriteBasicParameters, DecodesInputSizeGammaAndFeatures) {
  const std::string input = kSi + "[0x14]       Video input definition:\n";
  const LinesCase cases[] = {
      {{{0x14, 0x80}, {0x13, 2}}, input + kIndent + "Digital input\n" + kSi + "[0x15-0x16]"},
      {{{0x14, 0x81}},
       input + kIndent + "Digital input, interface is signal compatible with VESA DFP 1.x\n" +
           kIndent +
           "(TMDS CRGB, 1 pixel/clock, up to 8 bits, color MSB aligned, DE active high)\n"},
      {{{0x14, 0x80}}, input + kIndent + "Digital input, interface is not signal compatible"},
      {{{0x14, 0x0E}},
       input + kIndent +
           "Analog input, no pedestal (blank to black setup), separate syncs supported, "
           "composite sync (on hsync) supported, \n" +
           kIndent + "sync-on-green supported\n" + kIndent +
           "reference white is 0.700 V above blank, sync level is 0.300 V below blank (1.000 "
           "Vp-p)\n"},
      {{{0x14, 0x33}},
       input + kIndent + "Analog input, pedestal (blank to black setup), \n" + kIndent +
           "sync-on-green supported, serrated vsync required when composite or sync-on-green "
           "is used\n" +
           kIndent + "reference white is 0.714 V above blank"},
      {{{0x14, 0x41}},
       input + kIndent + "Analog input, no pedestal (blank to black setup), \n" + kIndent +
           "serrated vsync required when composite or sync-on-green is used\n" + kIndent +
           "reference white is 1.000 V above blank, sync level is 0.400 V below blank (1.400 "
           "Vp-p)\n"},
      {{{0x14, 0x60}},
       input + kIndent + "Analog input, no pedestal (blank to black setup)\n" + kIndent +
           "reference white is 0.700 V above blank, sync level is 0.000 V below blank (0.700 "
           "Vp-p)\n"},
      {{{0x15, 0}, {0x16, 30}}, kSi + "[0x15-0x16]  Maximum image size not specified\n"},
      {{{0x15, 30}, {0x16, 0}}, kSi + "[0x15-0x16]  Maximum image size not specified\n"},
      {{{0x15, 85}, {0x16, 50}},
       kSi + "[0x15]       Maximum horizontal image size: 85 cm\n" + kSi +
           "[0x16]       Maximum vertical image size:   50 cm\n"},
      {{{0x17, 120}}, kSi + "[0x17]       Display gamma:                 2.20\n"},
      {{{0x17, 255}}, kSi + "[0x17]       Display gamma:                 3.55\n"},
      {{{0x17, 0}}, kSi + "[0x17]       Display gamma:                 1.00\n"},
      {{{0x18, 0x0A}},
       kSi + "[0x18]       Feature support:\n" + kIndent + "DPMS support:                None\n" +
           kIndent + "Display type:                RGB color display\n" + kIndent +
           "Preferred timing mode specified in first detailed timing block\n" + kSi +
           "[0x19-0x22]"},
      {{{0x18, 0xE7}},
       kIndent + "DPMS support:                Stand-by  Suspend  Active off  \n" + kIndent +
           "Display type:                Monochrome/gray scale display\n" + kIndent +
           "Primary color space is the sRGB color space\n" + kIndent +
           "Preferred timing mode specified in first detailed timing block\n" + kIndent +
           "GTF timings are supported\n"},
      {{{0x18, 0x50}},
       kIndent + "DPMS support:                Suspend  \n" + kIndent +
           "Display type:                Non-RGB multicolor display\n" + kSi + "[0x19-0x22]"},
      {{{0x18, 0x18}}, kIndent + "Display type:                Undefined display\n"},
  };
  for (const LinesCase& c : cases) {
    const std::string text = Write(WriteBasicParameters, MakeEdidBlock(c.bytes));
    EXPECT_TRUE(HasLines(text, c.lines)) << text << "\nlacks\n" << c.lines;
  }
}

TEST(WriteBasicParameters, WritesChromaticityWithThreeDecimals) {
  // Red x = 655 / 1024, red y = 64 / 1024 (a tie, down to even), green x =
  // 1023 / 1024, white y = 192 / 1024 (a tie, up to even); the rest zero.
  const EdidBlock block =
      MakeEdidBlock({{0x19, 0xCC}, {0x1B, 0xA3}, {0x1C, 0x10}, {0x1D, 0xFF}, {0x22, 0x30}});
  const std::string text = Write(WriteBasicParameters, block);
  EXPECT_TRUE(HasLines(
      text, kSi + "[0x19-0x22]  Color characteristics:\n" + kIndent +
                "Red x = 0.640  Green x = 0.999  Blue x = 0.000  White x = 0.000\n" + kIndent +
                "Red y = 0.062  Green y = 0.000  Blue y = 0.000  White y = 0.188\n"))
      << text;
}

TEST(WriteEstablishedTimings, PairsTheSetFlags) {
  const std::string heading = kSi + "[0x23-0x25]  Established timings:\n";
  struct Case {
    std::uint8_t timings[3];
    std::string expected;
  };
  const Case cases[] = {
      {{0, 0, 0}, heading},
      {{0x21, 0x08, 0x00},
       heading + kIndent + " 640x480  @ 60 Hz\t 800x600  @ 60 Hz\n" + kIndent +
           "1024x768  @ 60 Hz\t\n"},
      {{0x80, 0x10, 0x80},
       heading + kIndent + " 720x400  @ 70 Hz\t1024x768  @ 87i Hz\n" + kIndent +
           "1152x870  @ 75 Hz\t\n"},
      {{0x40, 0x21, 0x00},
       heading + kIndent + " 720x400  @ 88 Hz\t 832x624  @ 75 Hz\n" + kIndent +
           "1280x1024 @ 75 Hz\t\n"},
      {{0, 0, 0x7F},
       heading + kIndent + "Vendor proprietary\tVendor proprietary\n" + kIndent +
           "Vendor proprietary\tVendor proprietary\n" + kIndent +
           "Vendor proprietary\tVendor proprietary\n" + kIndent + "Vendor proprietary\t\n"},
  };
  for (const Case& c : cases) {
    EdidBlock block = MakeEdidBlock();
    PutBytes(block, 0x23, c.timings);
    EXPECT_EQ(Write(WriteEstablishedTimings, block), c.expected);
  }
}

TEST(WriteStandardTiming, DecodesSizeRefreshAndAspect) {
  struct Case {
    std::uint8_t first, second, revision;
    const char* expected;
  };
  const Case cases[] = {
      {0x01, 0x01, 3, "Standard timing: not used"},
      {0x00, 0x00, 3, "Standard timing: not used [but padded incorrectly]"},
      {0x20, 0x20, 3, "Standard timing: not used [but padded incorrectly]"},
      {0xD1, 0x00, 3, "Standard timing: 1920x1200 @  60 Hz, 16:10"},
      {0xD1, 0xC0, 3, "Standard timing: 1920x1080 @  60 Hz, 16:9"},
      {0x31, 0x59, 3, "Standard timing:  640x 480 @  85 Hz, 4:3"},
      {0x81, 0x80, 3, "Standard timing: 1280x1024 @  60 Hz, 5:4"},
      {0x81, 0x00, 2, "Standard timing: 1280x1280 @  60 Hz, 1:1"},
      {0x81, 0x00, 3, "Standard timing: 1280x 800 @  60 Hz, 16:10"},
      {0x61, 0x7F, 3, "Standard timing: 1024x 768 @ 123 Hz, 4:3"},
      {0x8C, 0xC0, 3, "Standard timing: 1368x 770 @  60 Hz, 16:9"},  // 769.5 in float
      {0x01, 0x40, 3, "Standard timing:  256x 192 @  60 Hz, 4:3"},
      {0x00, 0x01, 3, "Standard timing:  248x 155 @  61 Hz, 16:10"},
      {0xFF, 0xFF, 3, "Standard timing: 2288x1287 @ 123 Hz, 16:9"},
  };
  for (const Case& c : cases) {
    EdidBlock block = MakeEdidBlock({{0x13, c.revision}, {0x30, c.first}, {0x31, c.second}});
    std::ostringstream out;
    {
      const EdidStreamFormat format(out);
      WriteStandardTiming(block.data(), 0x30, out, kSi);
      EXPECT_EQ(out.fill(), '0');
      out << 5;  // back in decimal
    }
    EXPECT_EQ(out.str(), kSi + "[0x30-0x31]  " + c.expected + "\n5");
  }
}

TEST(WriteStandardTimings, WritesAllEightInOrder) {
  const std::string text = Write(WriteStandardTimings, MakeEdidBlock({{0x34, 0x81}, {0x35, 0x80}}));
  EXPECT_EQ(text.find(kSi + "[0x26-0x27]  Standard timing: not used [but padded incorrectly]\n"),
            0u);
  EXPECT_TRUE(HasLines(text, kSi + "[0x34-0x35]  Standard timing: 1280x1024 @  60 Hz, 5:4\n"));
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 8);
}

TEST(WriteChecksum, ShowsTheExpectedValueOnlyWhenWrong) {
  EdidBlock block = MakeEdidBlock({{0x7E, 1}});
  EXPECT_EQ(Write(WriteChecksum, block),
            kSi + "[0x7e]       Extension flag: 1\n" + kSi + "[0x7f]       Checksum:       0x01\n");
  block[0x7F] = 0x5A;
  EXPECT_TRUE(HasLines(Write(WriteChecksum, block),
                       kSi + "[0x7f]       Checksum:       0x5a [should be 0x01]\n"));
  block[0x7E] = 2;  // the expected checksum is now zero
  EXPECT_TRUE(HasLines(Write(WriteChecksum, block),
                       kSi + "[0x7f]       Checksum:       0x5a [should be 0000]\n"));
}

}  // namespace
