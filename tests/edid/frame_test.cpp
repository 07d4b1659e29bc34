#include <gtest/gtest.h>

#include <iomanip>
#include <sstream>
#include <vector>

#include "edid/edid_report.h"
#include "tests/edid/test_block.h"

namespace {

std::string Check(const EdidBlock& block) {
  return Capture([&](std::ostream& out) { CheckEdid(block.data(), out, "  "); });
}

TEST(CheckEdid, WritesOneFindingPerFault) {
  EXPECT_EQ(Check(MakeEdidBlock()), "");
  EXPECT_EQ(Check(MakeEdidBlock({{0x7E, 3}})), "");  // the extension flag is summed as well

  EdidBlock badHeader = MakeEdidBlock({{0x03, 0xFE}});
  EXPECT_EQ(Check(badHeader), "  Error: Invalid EDID header.\n");

  const std::string rule(43, '=');
  struct Version {
    std::uint8_t version, revision;
    const char* shown;
  };
  for (const Version v : {Version{1, 4, "1.4"}, Version{2, 0, "2.0"}, Version{1, 10, "1.10"}}) {
    EXPECT_EQ(Check(MakeEdidBlock({{0x12, v.version}, {0x13, v.revision}})),
              "  " + rule + "\n  This revision of EDID (" + v.shown +
                  ") is not supported by this program.\n"
                  "  Results may be questionable -- USE CAUTION.\n  " +
                  rule + "\n");
  }
  for (std::uint8_t revision = 0; revision <= 3; ++revision) {
    EXPECT_EQ(Check(MakeEdidBlock({{0x13, revision}})), "") << int(revision);
  }
}

TEST(CheckEdid, WritesTheExpectedChecksumInHex) {
  struct Case {
    std::uint8_t expected;
    const char* shown;
  };
  for (const Case c : {Case{0x5A, "0x5a"}, Case{0x05, "0x05"}, Case{0x00, "0000"}}) {
    EdidBlock block = MakeEdidBlock();
    // Raising a byte by n lowers the expected checksum by n.
    block[0x20] = static_cast<std::uint8_t>(EdidChecksum(block.data()) - c.expected);
    block[0x7F] = static_cast<std::uint8_t>(c.expected + 1);
    ASSERT_EQ(EdidChecksum(block.data()), c.expected);
    EXPECT_EQ(Check(block),
              std::string("  Error: Invalid checksum (should be ") + c.shown + ").\n");
  }
}

TEST(CheckEdid, FindingsAreIndependent) {
  EdidBlock block = MakeEdidBlock({{0x00, 0x01}, {0x13, 4}});
  block[0x7F] ^= 0x10;
  const std::string report = Check(block);
  EXPECT_EQ(report.find("  Error: Invalid EDID header.\n"), 0u);
  EXPECT_NE(report.find("(1.4)"), std::string::npos);
  EXPECT_NE(report.find("Error: Invalid checksum"), std::string::npos);
}

std::string Dump(const std::vector<std::uint8_t>& bytes) {
  return Capture([&](std::ostream& out) { WriteEdidBytes(bytes.data(), bytes.size(), out, "> "); });
}

TEST(WriteEdidBytes, RowsOfSixteenWithTheirCharacters) {
  std::vector<std::uint8_t> bytes(20);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(0x41 + i);
  bytes[1] = 0x80;
  bytes[2] = 0x0A;
  bytes[3] = 0x20;
  bytes[4] = 0x7E;
  bytes[5] = 0x7F;
  bytes[6] = 0x00;
  EXPECT_EQ(Dump(bytes),
            "> 41 80 0a 20 7e 7f 00 48  49 4a 4b 4c 4d 4e 4f 50      A.. ~..HIJKLMNOP\n"
            "> 51 52 53 54 \n");
  EXPECT_EQ(Dump({}), "> \n");
}

TEST(WriteEdidBytes, ShowsTheExtensionOnlyOutsideVersion1) {
  struct Case {
    std::size_t length;
    std::uint8_t version;
    std::size_t rows;
  };
  const Case cases[] = {{128, 1, 8}, {256, 1, 8}, {256, 2, 16}, {129, 1, 8}, {144, 3, 9}};
  for (const Case& c : cases) {
    std::vector<std::uint8_t> bytes(c.length, 0x11);
    bytes[0x12] = c.version;
    const std::string dump = Dump(bytes);
    std::size_t lines = 0;
    for (char ch : dump) lines += ch == '\n';
    EXPECT_EQ(lines, c.rows + 1) << c.length << " bytes, version " << int(c.version);
    EXPECT_EQ(dump.substr(dump.size() - 4), "\n> \n");
  }
}

std::string Report(const std::uint8_t* block, std::size_t length) {
  std::ostringstream out;
  WriteEdidReport(block, length, out, "    ");
  return out.str();
}

TEST(WriteEdidReport, FramesTheSectionsAndRestoresTheStream) {
  const EdidBlock block = MakeEdidBlock();
  std::ostringstream out;
  out << std::setfill('#') << std::oct << std::left;
  const std::ios::fmtflags before = out.flags();
  WriteEdidReport(block.data(), block.size(), out, "    ");
  EXPECT_EQ(out.flags(), before);
  EXPECT_EQ(out.fill(), '#');
  EXPECT_EQ(out.precision(), 3);  // the last the report set: no detailed timing, colours last

  const std::string report = out.str();
  EXPECT_EQ(report.substr(0, 16), "    EDID:\n      ");  // no finding before the dump
  EXPECT_NE(report.find("\n      [0x00-0x07]  0000 0xff"), std::string::npos);
  const std::string last = "      [0x7f]       Checksum:       0x02\n";
  EXPECT_EQ(report.substr(report.size() - last.size()), last);
}

TEST(WriteEdidReport, DumpsAShortBlockWithoutDecodingIt) {
  const EdidBlock block = MakeEdidBlock();
  EXPECT_EQ(Report(block.data(), 20),
            "    EDID:\n"
            "      00 ff ff ff ff ff ff 00  00 00 00 00 00 00 00 00      ................\n"
            "      00 00 01 03 \n"
            "      EDID block too short to decode (20 bytes).\n");
  const std::string none = "    EDID:\n      \n      EDID block too short to decode (0 bytes).\n";
  EXPECT_EQ(Report(nullptr, 0), none);
  EXPECT_EQ(Report(nullptr, 128), none);
  EXPECT_NE(Report(block.data(), 127).find("(127 bytes)"), std::string::npos);

  std::ostringstream out;
  out << std::setfill('#');
  WriteEdidReport(block.data(), 3, out, "");
  EXPECT_EQ(out.fill(), '#');
  EXPECT_EQ(out.flags(), std::ostringstream().flags());
}

}  // namespace
