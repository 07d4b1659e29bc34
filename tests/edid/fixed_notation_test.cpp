#include <gtest/gtest.h>

#include <iomanip>
#include <limits>
#include <sstream>

#include "edid/fixed_notation.h"

namespace {

TEST(FormatFixed, RoundsTheExactBinaryValueTiesToEven) {
  struct Case {
    double value;
    int decimals;
    const char* expected;
  };
  const Case cases[] = {
      {0.0625, 3, "0.062"},  // a tie: to even
      {0.1875, 3, "0.188"},  // a tie: to even, upwards
      {192.0 / 1024, 3, "0.188"},
      {320.0 / 1024, 3, "0.312"},
      {655.0 / 1024, 3, "0.640"},
      {0.125, 2, "0.12"},
      {0.375, 2, "0.38"},
      {2.5, 0, "2"},
      {3.5, 0, "4"},
      {0.005f, 2, "0.00"},  // the float is just below 0.005
      {0.005, 2, "0.01"},   // the double is just above
      {2.675, 2, "2.67"},   // 2.67499999999999982236431605997495353221893310546875
      {1.005, 2, "1.00"},
      {0.0, 2, "0.00"},
      {-1.5, 1, "-1.5"},
      {63.98604f, 2, "63.99"},
      {108.0f, 2, "108.00"},
      {1e20, 1, "100000000000000000000.0"},
      {std::numeric_limits<double>::denorm_min(), 3, "0.000"},
      {0.9996, 3, "1.000"},
      {9.9999, 2, "10.00"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatFixed(c.value, c.decimals), c.expected) << c.value << " at " << c.decimals;
  }
}

TEST(FormatFixed, WritesTheStreamsPrecisionWidthAndFill) {
  struct Case {
    std::ios::fmtflags adjust;
    double value;
    const char* expected;
  };
  const Case cases[] = {
      {std::ios::right, 2.2, "**2.20"},
      {std::ios::left, 2.2, "2.20**"},
      {std::ios::internal, -2.2, "-*2.20"},
      {std::ios::right, 123.456, "123.46"},  // wider than the field
  };
  for (const Case& c : cases) {
    std::ostringstream out;
    out.setf(c.adjust, std::ios::adjustfield);
    out << std::setprecision(2) << std::setfill('*') << std::setw(6) << Fixed(c.value) << "|"
        << Fixed(1.0);
    EXPECT_EQ(out.str(), std::string(c.expected) + "|1.00");  // the width holds once
  }
}

}  // namespace
