#include "edid/edid_values.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "tests/edid/test_block.h"

namespace {

TEST(EdidBits, FieldsSingleBitsAndBadBounds) {
  struct Case {
    std::uint32_t value;
    int lo, hi;
    std::uint32_t expected;
  };
  const Case cases[] = {
      {0xA5, 0, 7, 0xA5},      {0xA5, 4, 7, 0x0A},
      {0xA5, 7, 4, 0x0A},  // swapped
      {0xA5, 5, 6, 0x01},      {0xFFFFFFFF, 0, 31, 0xFFFFFFFF},
      {0x80000000, 31, 31, 1}, {0xA5, -1, 3, 0},
      {0xA5, 0, 32, 0},        {0xA5, 40, 2, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EdidBits(c.value, c.lo, c.hi), c.expected) << c.value << " " << c.lo << ".." << c.hi;
  }
  EXPECT_EQ(EdidBits(0x80, 7), 1u);
  EXPECT_EQ(EdidBits(0x80, 6), 0u);
  EXPECT_EQ(EdidBits(0x80, 32), 0u);
}

TEST(EdidFraction, TenBitsOver1024) {
  struct Case {
    std::uint8_t high;
    std::uint32_t low;
    float expected;
  };
  const Case cases[] = {
      {0x00, 0, 0.0f},          {0xFF, 3, 1023.0f / 1024},
      {0xA3, 3, 655.0f / 1024},  // 0.640 in the report
      {0x80, 0, 0.5f},          {0x00, 1, 1.0f / 1024},
      {0x10, 7, 67.0f / 1024},  // only the two low bits count
  };
  for (const Case& c : cases) EXPECT_EQ(EdidFraction(c.high, c.low), c.expected);
}

TEST(EdidChecksum, MakesTheBlockSumToZero) {
  EdidBlock block = MakeEdidBlock({{0x7E, 1}, {0x20, 0x33}});
  unsigned sum = 0;
  for (std::uint8_t byte : block) sum += byte;
  EXPECT_EQ(sum % 256, 0u);

  EdidBlock zeros{};
  EXPECT_EQ(EdidChecksum(zeros.data()), 0);
  zeros[0x10] = 0x01;
  EXPECT_EQ(EdidChecksum(zeros.data()), 0xFF);
  zeros[0x7F] = 0x55;  // the checksum byte itself is not summed
  EXPECT_EQ(EdidChecksum(zeros.data()), 0xFF);
}

TEST(EdidVersionNumber, VersionTimesTenPlusRevision) {
  EXPECT_EQ(EdidVersionNumber(nullptr), 0u);
  EXPECT_EQ(EdidVersionNumber(MakeEdidBlock().data()), 13u);
  EXPECT_EQ(EdidVersionNumber(MakeEdidBlock({{0x13, 10}}).data()), 20u);
  EXPECT_EQ(EdidVersionNumber(MakeEdidBlock({{0x12, 255}, {0x13, 255}}).data()), 2805u);
}

}  // namespace
