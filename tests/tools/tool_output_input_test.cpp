#include "tools/kestrave-edid/tool_output_input.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Found {
  std::string monitor;
  Bytes bytes;
};

// Each block's rows end where a line is not hex, and an EDID heading with
// no hex rows after it, as in a debug log's dump, gives nothing.
TEST(ReadToolOutputEdids, GivesEveryBlockUnderItsOutput) {
  struct Case {
    const char* what;
    std::string content;
    std::vector<Found> expected;
  };
  const Case cases[] = {
      {"xrandr --verbose, an output without a monitor between two with one",
       "Screen 0: minimum 320 x 200, current 3840 x 1080, maximum 16384 x 16384\n"
       "HDMI-1 connected primary 1920x1080+0+0 (0x47) normal 527mm x 296mm\n"
       "\tIdentifier: 0x42\n"
       "\tEDID: \n"
       "\t\t00ffffffffffff00\n"
       "\t\t1e6d\n"
       "\tnon-desktop: 0 \n"
       "\t\tsupported: 0, 1\n"
       "  1920x1080 (0x47) 148.500MHz +HSync +VSync *current +preferred\n"
       "DP-1 disconnected (normal left inverted right x axis y axis)\n"
       "\tnon-desktop: 0 \n"
       "DP-2 connected 1920x1080+1920+0 (0x47) normal 527mm x 296mm\r\n"
       "\tEDID: \r\n"
       "\t\t0a0b\r\n",
       {{"HDMI-1", {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x1E, 0x6D}},
        {"DP-2", {0x0A, 0x0B}}}},
      {"edid-decode, blocks parted by an empty line, the decode after the dashes",
       "edid-decode (hex):\n\n00 ff ff ff\n\n02 03\n\n----------------\n\n"
       "Block 0, Base EDID:\n  00 11\n",
       {{"", {0x00, 0xFF, 0xFF, 0xFF, 0x02, 0x03}}}},
      {"a debug log's dump", "  Monitor  [M]\r\n    EDID:\r\n      00 ff ff ff  ....\r\n", {}},
      {"headings with no rows", "edid-decode (hex):\n\n----------------\n\tEDID:\n", {}},
      {"plain hex", "00 ff ff ff ff ff ff 00\n", {}},
  };
  for (const Case& c : cases) {
    const std::vector<LoggedEdid> found = ReadToolOutputEdids(c.content);
    ASSERT_EQ(found.size(), c.expected.size()) << c.what;
    for (std::size_t i = 0; i < found.size(); ++i) {
      EXPECT_EQ(found[i].monitor, c.expected[i].monitor) << c.what;
      EXPECT_EQ(found[i].bytes, c.expected[i].bytes) << c.what;
    }
  }
}

}  // namespace
