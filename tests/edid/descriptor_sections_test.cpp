#include "edid/edid_descriptor_sections.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iomanip>
#include <sstream>
#include <vector>

#include "tests/edid/test_block.h"

namespace {

const std::string kSi = "  ";
const std::string k13 = kSi + "             ";
const std::string k15 = kSi + "               ";

using Block18 = std::array<std::uint8_t, 18>;

std::string Decode(const Block18& bytes, std::uint8_t revision = 3, std::size_t offset = 0x36) {
  EdidBlock block = MakeEdidBlock({{0x13, revision}});
  PutBytes(block, offset, bytes);
  return Capture([&](std::ostream& out) { WriteDescriptorBlock(block.data(), offset, out, kSi); });
}

bool HasLines(const std::string& text, const std::string& lines) {
  return ("\n" + text).find("\n" + lines) != std::string::npos;
}

TEST(WriteDescriptorBlock, ReportsUnusedAndDummyBlocks) {
  const Block18 zeros = {};
  EXPECT_EQ(Decode(zeros), kSi + "[0x36-0x47]  Detailed timing\n" + k13 +
                               "Descriptor is incorrectly set to all 0x00 to indicate unused\n");
  Block18 ones;
  ones.fill(1);
  EXPECT_EQ(Decode(ones, 3, 0x6C),
            kSi + "[0x6c-0x7d]  Detailed timing\n" + k13 +
                "Descriptor is incorrectly set to all 0x01 to indicate unused\n");
  const Block18 dummy = {0, 0, 0, 0x10};
  EXPECT_EQ(Decode(dummy, 3, 0x5A),
            kSi + "[0x5a-0x6b]  Detailed timing block is being used as a dummy descriptor\n");
}

// 108 MHz, 1280 + 408 by 1024 + 42, sync 48/112 and 1/3, 376 by 301 mm.
const Block18 k1280x1024 = {0x30, 0x2A, 0x00, 0x98, 0x51, 0x00, 0x2A, 0x40, 0x30,
                            0x70, 0x13, 0x00, 0x78, 0x2D, 0x11, 0x00, 0x00, 0x1E};

// Each of lines on a line of its own after indentation.
std::string Lines(const std::string& indentation, std::initializer_list<const char*> lines) {
  std::string text;
  for (const char* line : lines) text += indentation + line + "\n";
  return text;
}

TEST(WriteDetailedTiming, WritesTheWholeTiming) {
  EXPECT_EQ(Decode(k1280x1024),
            kSi + "[0x36-0x47]  Detailed timing:\n" +
                Lines(k15, {
                               "1280x1024 (63.99 kHz, 60.03 Hz)",
                               "Pixel clock:  108.00 MHz",
                               "H active:       1280    H blank:             408",
                               "V active:       1024    V blank:              42",
                               "Hsync offset:     48    Hsync width:         112",
                               "Vsync offset:      1    Vsync width:           3",
                               "H size (mm):     376    H border (pels):       0",
                               "V size (mm):     301    V border (lines):      0",
                               "Non-interlaced",
                               "Normal display (no stereo)",
                               "Digital separate syncs, positive Hsync and "
                               "positive Vsync",
                           }));
}

TEST(WriteDetailedTiming, RatesFieldsAndFlags) {
  struct Case {
    std::vector<std::pair<std::size_t, std::uint8_t>> changes;
    std::string lines;
  };
  const Case cases[] = {
      // 148.5 MHz, 1920 + 280 by 1080 + 45: the field rate keeps the line rate's 0.005.
      {{{0, 0x02}, {1, 0x3A}, {2, 0x80}, {3, 0x18}, {4, 0x71}, {5, 0x38}, {6, 0x2D}, {7, 0x40}},
       k15 + "1920x1080 (67.50 kHz, 60.01 Hz)\n" + k15 + "Pixel clock:  148.50 MHz\n"},
      // A zero clock leaves the 0.005 of the line rate, which the field rate scales.
      {{{0, 0}, {1, 0}},
       k15 + "1280x1024 (0.00 kHz, 0.01 Hz)\n" + k15 + "Pixel clock:  0.00 MHz\n"},
      {{{2, 0}, {3, 0}, {4, 0}},
       kSi + "[0x36-0x47]  Detailed timing:\n" + k15 + "0x1024 (0.00 kHz, 0.00 Hz)\n"},
      {{{5, 0}, {6, 0}, {7, 0}}, k15 + "1280x0 (63.99 kHz, 0.00 Hz)\n"},
      {{{12, 0x40}, {13, 0x2C}, {14, 0x12}, {15, 8}, {16, 255}},
       k15 + "H size (mm):     320    H border (pels):       8\n" + k15 +
           "V size (mm):     556    V border (lines):    255\n"},
      {{{8, 0xFF}, {9, 0xFF}, {10, 0xFF}, {11, 0xFF}},
       k15 + "Hsync offset:   1023    Hsync width:        1023\n" + k15 +
           "Vsync offset:     63    Vsync width:          63\n"},
      {{{17, 0x18}}, k15 + "Digital separate syncs, negative Hsync and negative Vsync\n"},
      {{{17, 0x1A}}, k15 + "Digital separate syncs, positive Hsync and negative Vsync\n"},
      {{{17, 0x12}},
       k15 + "Digital composite syncs without serration, positive composite sync (polarity of "
             "Hsync outside of Vsync)\n"},
      {{{17, 0x14}},
       k15 + "Digital composite syncs with serration, negative composite sync (polarity of "
             "Hsync outside of Vsync)\n"},
      {{{17, 0x00}}, k15 + "Analog composite syncs without serration, sync pulses on green only\n"},
      {{{17, 0x0E}},
       k15 + "Bipolar analog composite syncs with serration, sync pulses on all three video "
             "lines\n"},
      {{{17, 0x80}}, k15 + "Interlaced\n" + k15 + "Normal display (no stereo)\n"},
      {{{17, 0x01}}, k15 + "Non-interlaced\n" + k15 + "Normal display (no stereo)\n"},
      {{{17, 0x20}}, k15 + "Field sequential stereo (right image when sync == 1)\n"},
      {{{17, 0x21}}, k15 + "2-way interleaved stereo (right image on even lines)\n"},
      {{{17, 0x40}}, k15 + "Field sequential stereo (left image when sync == 1)\n"},
      {{{17, 0x41}}, k15 + "2-way interleave stereo (left image on even lines)\n"},
      {{{17, 0x60}}, k15 + "4-way interleaved stereo\n"},
      {{{17, 0x61}}, k15 + "Side-by-side interleaved stereo\n"},
  };
  for (const Case& c : cases) {
    Block18 bytes = k1280x1024;
    for (const auto& change : c.changes) bytes[change.first] = change.second;
    const std::string text = Decode(bytes);
    EXPECT_TRUE(HasLines(text, c.lines)) << text << "\nlacks\n" << c.lines;
  }
}

TEST(WriteDetailedTiming, LeavesFillAndPrecisionAsTheReportExpects) {
  EdidBlock block = MakeEdidBlock();
  PutBytes(block, 0x36, k1280x1024);
  std::ostringstream out;
  const EdidStreamFormat format(out);
  WriteDetailedTiming(block.data(), 0x36, out, kSi);
  EXPECT_EQ(out.fill(), '0');
  EXPECT_EQ(out.precision(), 2);
}

Block18 Descriptor(std::uint8_t tag, const char* payload) {
  Block18 bytes = {0, 0, 0, tag};
  for (std::size_t i = 0; i < 13 && payload[i] != '\0'; ++i) {
    bytes[5 + i] = static_cast<std::uint8_t>(payload[i]);
  }
  return bytes;
}

std::string DescriptorHeading(const char* offsets = "[0x36-0x47]") {
  return kSi + offsets + "  Detailed timing block is being used as a descriptor\n";
}

TEST(WriteDescriptorText, ChecksThePaddingAfterTheLineFeed) {
  struct Case {
    std::uint8_t tag;
    const char* payload;
    const char* expected;
  };
  const Case cases[] = {
      {0xFC, "ABCDEFGHIJ\n  ", "Monitor name: 'ABCDEFGHIJ'"},
      {0xFC, "ABCDEFGHIJ\n", "Monitor name: 'ABCDEFGHIJ' [not padded correctly]"},  // zeros
      {0xFC, "ABCDEFGHIJKLM", "Monitor name: 'ABCDEFGHIJKLM'"},
      {0xFC, "ABCDEFGHIJKL\n", "Monitor name: 'ABCDEFGHIJKL'"},
      {0xFF, "\n            ", "Monitor serial number: ''"},
      {0xFF, "12345\n  x    ", "Monitor serial number: '12345' [not padded correctly]"},
      {0xFE, "LP156WH4\n    ", "ASCII string: 'LP156WH4'"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Decode(Descriptor(c.tag, c.payload)), DescriptorHeading() + k13 + c.expected + "\n");
  }
}

TEST(WriteDescriptorText, WritesTheStoredBytesUnchanged) {
  Block18 bytes = Descriptor(0xFE, "A");
  bytes[6] = 0x00;
  bytes[7] = 0xE9;
  bytes[8] = 0x0A;
  for (std::size_t i = 9; i < 18; ++i) bytes[i] = ' ';
  EXPECT_EQ(Decode(bytes),
            DescriptorHeading() + k13 + "ASCII string: 'A" + std::string(1, '\0') + "\xE9'\n");
}

TEST(WriteRangeLimits, WritesRatesClockAndTheSecondaryCurve) {
  const std::string rates = k15 + "Minimum vertical rate:   50 Hz\n" + k15 +
                            "Maximum vertical rate:   76 Hz\n" + k15 +
                            "Minimum horizontal rate: 30 kHz\n" + k15 +
                            "Maximum horizontal rate: 82 kHz\n" + k15 + "Maximum pixel clock:     ";
  struct Case {
    std::uint8_t clock;
    std::vector<std::uint8_t> rest;  // bytes 10 to 17
    std::string expected;
  };
  const std::vector<std::uint8_t> padding = {0x00, 0x0A, ' ', ' ', ' ', ' ', ' ', ' '};
  const Case cases[] = {
      {15, padding, "150 MHz\n" + k15 + "Remaining bytes not used for secondary GTF curve\n"},
      {0xFF, padding,
       "not specified\n" + k15 + "Remaining bytes not used for secondary GTF curve\n"},
      {0,
       {0x00, 0x0A, ' ', ' ', ' ', ' ', ' ', 0},
       "0 MHz\n" + k15 +
           "Remaining bytes not used for secondary GTF curve [but are padded incorrectly]\n"},
      {15,
       {0x00, 0x20, ' ', ' ', ' ', ' ', ' ', ' '},
       "150 MHz\n" + k15 +
           "Remaining bytes not used for secondary GTF curve [but are padded incorrectly]\n"},
      {15,
       {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '},
       "150 MHz\n" + k15 + "Remaining bytes are padded incorrectly\n"},
      {15,
       {0x02, 0x00, 0x28, 0x20, 0x58, 0x02, 0x80, 0x28},
       "150 MHz\n" + k15 +
           "Remaining bytes used for GTF support and specify a secondary GTF curve:\n" + k15 +
           "  Reserved byte 11  correctly set to 0\n" + k15 +
           "  Start frequency (hfrequency/2): 40 kHz\n" + k15 +
           "  C*2:                            32\n" + k15 +
           "  M (LSB):                        600\n" + k15 +
           "  K:                              128\n" + k15 +
           "  J*2:                            40\n"},
      {15,
       {0x02, 0x01, 0, 0, 0, 0, 0, 0},
       "150 MHz\n" + k15 +
           "Remaining bytes used for GTF support and specify a secondary GTF curve:\n" + k15 +
           "  Reserved byte 11 not correctly set to 0\n"},
      {15,
       {0x04, 0x11, 0, 0, 0, 0, 0, 0},
       "150 MHz\n" + k15 +
           "Remaining bytes used for GTF support and specify a value reserved for future timing "
           "formula\n"},
  };
  for (const Case& c : cases) {
    Block18 bytes = {0, 0, 0, 0xFD, 0, 50, 76, 30, 82, c.clock};
    std::copy(c.rest.begin(), c.rest.end(), bytes.begin() + 10);
    const std::string text = Decode(bytes);
    const std::string head = DescriptorHeading() + k13 + "Monitor range limits:\n" + rates;
    EXPECT_EQ(text.substr(0, std::min(text.size(), head.size() + c.expected.size())),
              head + c.expected);
  }
}

TEST(WriteDescriptorBlock, HeadsOtherTagsByVersion) {
  struct Case {
    std::uint8_t tag, revision;
    const char* heading;
  };
  const Case cases[] = {
      {0x05, 3, "Descriptor defined by manufacturer:"},
      {0x05, 1, "Unknown data type tag:"},
      {0x11, 3, "Unknown data type tag:"},
      {0x11, 1, "Unknown data type tag:"},
      {0x01, 1, "Descriptor defined by manufacturer:"},
      {0x0F, 2, "Descriptor defined by manufacturer:"},
      {0xF9, 4, "Unknown data type tag:"},
  };
  for (const Case& c : cases) {
    Block18 bytes = {0,    0,    0,    c.tag, 0,    0x10, 0x21, 0x32, 0x43,
                     0x54, 0x65, 0x76, 0x87,  0x98, 0xA9, 0xBA, 0xCB, 0xDC};
    std::ostringstream tag;
    tag << std::hex << std::setw(2) << std::setfill('0') << unsigned(c.tag);
    EXPECT_EQ(Decode(bytes, c.revision), DescriptorHeading() + k13 + c.heading + "\n" + k13 +
                                             "  Data type tag: " + "0x" + tag.str() + "\n" + k13 +
                                             "  Data:          0x" + tag.str() +
                                             " 0000 0x10 0x21 0x32 0x43 0x54\n" + k13 +
                                             "                 0x65 0x76 0x87 0x98 0xa9 0xba\n")
        << int(c.tag);
  }
}

TEST(WriteDescriptorBlock, DecodesColorPoints) {
  // Second white point: index 2, x = 0x50 << 2 | 01 = 321, y = 0x54 << 2 | 10 = 338, gamma 120.
  const Block18 bytes = {0, 0, 0, 0xFB, 0, 0, 0, 0, 0, 0, 2, 0x06, 0x50, 0x54, 120, 0, 0x20, 0};
  EXPECT_EQ(Decode(bytes), DescriptorHeading() + k13 + "Additional color point data\n" + k13 +
                               "No white point data in first section\n" + k13 +
                               "White point index: 2\n" + k13 + "  White x: 0.313\n" + k13 +
                               "  White y: 0.330\n" + k13 + "  Gamma:   2.200\n" + k13 +
                               "Not padded correctly.\n");
  const Block18 first = {0, 0, 0, 0xFB, 0, 1, 0x00, 0x80, 0x10, 255, 0, 0, 0, 0, 0, 0, 0x20, 0x20};
  EXPECT_EQ(Decode(first), DescriptorHeading() + k13 + "Additional color point data\n" + k13 +
                               "White point index: 1\n" + k13 + "  White x: 0.500\n" + k13 +
                               "  White y: 0.062\n" + k13 + "  Gamma:   3.550\n" + k13 +
                               "No white point data in second section\n");
}

TEST(WriteDescriptorBlock, DecodesAdditionalStandardTimings) {
  const Block18 bytes = {0,    0,    0,    0xFA, 0,    0x81, 0x80, 0xD1, 0xC0,
                         0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x00, 0x00, 0x0A};
  const std::string text = Decode(bytes, 3, 0x48);
  EXPECT_EQ(text, DescriptorHeading("[0x48-0x59]") + k13 +
                      "Additional standard timing identifications\n" + kSi +
                      "[0x4d-0x4e]  Standard timing: 1280x1024 @  60 Hz, 5:4\n" + kSi +
                      "[0x4f-0x50]  Standard timing: 1920x1080 @  60 Hz, 16:9\n" + kSi +
                      "[0x51-0x52]  Standard timing: not used\n" + kSi +
                      "[0x53-0x54]  Standard timing: not used\n" + kSi +
                      "[0x55-0x56]  Standard timing: not used\n" + kSi +
                      "[0x57-0x58]  Standard timing: not used [but padded incorrectly]\n");
  Block18 unpadded = bytes;
  unpadded[17] = 0x20;
  EXPECT_TRUE(HasLines(Decode(unpadded), k13 + "Not padded correctly.\n"));
}

}  // namespace
