// The full report of a selection of corpus blocks, each checked by hand
// once and stored in tests/data/edid-golden. Two of them have one byte
// changed to show the findings of a wrong header and a wrong checksum.

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "edid/edid_report.h"
#include "tests/support/corpus_files.h"

namespace {

struct GoldenCase {
  const char* corpusFile;
  const char* golden;
  std::size_t changedOffset;  // the byte XOR-ed with changeMask
  std::uint8_t changeMask;
};

const GoldenCase kGoldenCases[] = {
    {"edid-0001.bin", "edid-0001.txt", 0, 0},  // zero-clock blocks read as timings
    {"edid-0002.bin", "edid-0002.txt", 0, 0},  // 1.2 digital, reserved timing formula
    {"edid-0005.bin", "edid-0005.txt", 0, 0},  // digital, not DFP, name and serial
    {"edid-0009.bin", "edid-0009.txt", 0, 0},  // 1.4 warning, chromaticity ties, texts
    {"edid-0010.bin", "edid-0010.txt", 0, 0},  // 1.0 digital, unknown tag 0x0F, texts
    {"edid-0013.bin", "edid-0013.txt", 0, 0},  // interlaced, borders, stereo, composite sync
    {"edid-0017.bin", "edid-0017.txt", 0, 0},  // 1.3 analog, name, range limits
    {"edid-0025.bin", "edid-0025.txt", 0, 0},  // 1.1 analog, gamma 1.00, serial
    {"edid-0035.bin", "edid-0035.txt", 0, 0},  // secondary GTF curve, dummy, extension
    {"edid-0043.bin", "edid-0043.txt", 0, 0},  // 1.0 analog, 1:1 standard timings
    {"edid-0049.bin", "edid-0049.txt", 0, 0},  // 256 bytes, serial and name
    {"edid-0056.bin", "edid-0056.txt", 0, 0},  // 0xFA standard timings, digital composite
    {"edid-0017.bin", "edid-0017-week-0x10-flipped.txt", 0x10, 0x01},    // wrong checksum
    {"edid-0010.bin", "edid-0010-header-0x07-flipped.txt", 0x07, 0x01},  // wrong header too
};

TEST(EdidGolden, ReportsMatchTheCheckedCopies) {
  for (const GoldenCase& c : kGoldenCases) {
    SCOPED_TRACE(c.golden);
    std::vector<std::uint8_t> bytes =
        CorpusBlock(std::string(KESTRAVE_CORPUS_DIR) + "/" + c.corpusFile);
    ASSERT_GE(bytes.size(), 128u);
    bytes[c.changedOffset] ^= c.changeMask;

    std::ostringstream report;
    WriteEdidReport(bytes.data(), bytes.size(), report, "    ");
    const std::string golden =
        FileContent(std::string(KESTRAVE_TEST_DATA_DIR) + "/edid-golden/" + c.golden);
    ASSERT_FALSE(golden.empty());
    EXPECT_EQ(report.str(), golden);
  }
}

}  // namespace
