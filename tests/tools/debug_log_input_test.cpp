#include "tools/kestrave-edid/debug_log_input.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "edid/edid_report.h"
#include "tests/support/corpus_files.h"

namespace {

// A monitor's part of a debug log as the program writes it, lines in CR LF.
std::string MonitorDump(const std::string& heading, const std::vector<std::uint8_t>& edid) {
  std::ostringstream dump;
  dump << "  " << heading << "\n    H/W key -> SYSTEM\\X\n    S/W key -> \\Registry\\Y\n\n";
  WriteEdidReport(edid.data(), edid.size(), dump, "    ");
  std::string crlf;
  for (char c : dump.str()) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return crlf;
}

// Every corpus block comes back from its dump with its monitor, whole rows
// and a last short row alike (the ASCII column read as no bytes), as many
// bytes as the dump shows: a 1.x block's 128, all of a shorter one.
TEST(ReadDebugLogEdids, GivesBackEveryDumpedBlockWithItsMonitor) {
  std::string log = "Kestrave\r\n\r\n";
  std::vector<LoggedEdid> expected;
  int index = 0;
  for (const auto& file : CorpusFiles()) {
    std::vector<std::uint8_t> block = CorpusBlock(file);
    if (index % 3 == 2) block.resize(37);  // too short to decode: dumped alone
    const std::string heading = "Monitor " + std::to_string(index++) + "  [\\\\.\\DISPLAY1\\Monitor0]";
    log += MonitorDump(heading, block);
    if (block.size() > 128 && block[0x12] == 1) block.resize(128);
    expected.push_back({heading, block});
  }
  const std::vector<LoggedEdid> found = ReadDebugLogEdids(log);
  ASSERT_EQ(found.size(), expected.size());
  for (std::size_t i = 0; i < found.size(); ++i) {
    EXPECT_EQ(found[i].monitor, expected[i].monitor);
    EXPECT_EQ(found[i].bytes, expected[i].bytes) << expected[i].monitor;
  }
}

// A hex dump pasted under an "EDID:" line, in a form other than the log's
// rows, reads as the same hex alone does.
TEST(ReadDebugLogEdids, ReadsAHexDumpUnderAnEdidLineAsHex) {
  const std::vector<std::uint8_t> block = CorpusBlock(CorpusFiles().front());
  std::string hex;
  for (std::size_t i = 0; i < block.size(); ++i) {
    const char kDigits[] = "0123456789abcdef";
    hex += std::string(1, kDigits[block[i] >> 4]) + kDigits[block[i] & 15] + (i % 32 == 31 ? "\n" : "");
  }
  const std::vector<LoggedEdid> found = ReadDebugLogEdids("EDID:\n" + hex);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].bytes, block);
}

TEST(ReadDebugLogEdids, FindsNothingInWhatIsNoLogWithAnEdidDump) {
  EXPECT_TRUE(ReadDebugLogEdids("00 ff ff ff ff ff ff 00\n").empty());
  EXPECT_TRUE(ReadDebugLogEdids("Kestrave\r\n\r\nNo monitor on \\\\.\\DISPLAY1.\r\n").empty());
}

}  // namespace
