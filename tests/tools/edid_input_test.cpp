#include "tools/kestrave-edid/edid_input.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(ReadEdidInput, ReadsHexTextInTheCommonLayouts) {
  struct Case {
    std::string content;
    Bytes expected;
  };
  const Case cases[] = {
      {"00 ff ff ff ff ff ff 00\n15 85\n",
       {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x15, 0x85}},
      {"\t\t00ffffffffffff00\r\n\t\t1585\r\n",
       {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x15, 0x85}},
      {"0x00, 0xFF,0x1a\n", {0x00, 0xFF, 0x1A}},
      {"0X00AB", {0x00, 0xAB}},
      {" \n\t", {}},
  };
  for (const Case& c : cases) {
    const EdidInput input = ReadEdidInput(c.content);
    EXPECT_EQ(input.error, "") << c.content;
    EXPECT_EQ(input.bytes, c.expected) << c.content;
  }
}

TEST(ReadEdidInput, RejectsTextThatIsNotHexPairs) {
  struct Case {
    std::string content;
    std::string error;
  };
  const Case cases[] = {
      {"00 ff f\n", "not an EDID hex dump: 'f' on line 1 is not a run of hex digit pairs"},
      {"00 ff\nEDID: 00\n",
       "not an EDID hex dump: 'EDID:' on line 2 is not a run of hex digit pairs"},
      {"0x\n", "not an EDID hex dump: '0x' on line 1 is not a run of hex digit pairs"},
      {"00 0x0g", "not an EDID hex dump: '0x0g' on line 1 is not a run of hex digit pairs"},
      {"zzzzzzzzzzzzzzzzzzzzzzzzz",
       "not an EDID hex dump: 'zzzzzzzzzzzzzzzzzzzz...' on line 1 is not a run of hex digit pairs"},
  };
  for (const Case& c : cases) {
    const EdidInput input = ReadEdidInput(c.content);
    EXPECT_EQ(input.error, c.error);
    EXPECT_TRUE(input.bytes.empty());
  }
}

TEST(ReadEdidInput, TakesAnythingElseAsBinary) {
  const std::string header("\x00\xff\xff\xff\xff\xff\xff\x00", 8);
  for (const std::string& content : {header, std::string("00 ff\x01", 6), std::string("0a\x80")}) {
    const EdidInput input = ReadEdidInput(content);
    EXPECT_EQ(input.error, "");
    EXPECT_EQ(input.bytes, Bytes(content.begin(), content.end()));
  }
  EXPECT_TRUE(ReadEdidInput("").bytes.empty());
}

}  // namespace
