// Names for the cases of parameterized tests. Each case type has a PrintTo
// that says what the case holds; the name is that text in the characters
// gtest allows, so the test list and a failure both say which case it is.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>

// The text with every run of characters other than [A-Za-z0-9] made one
// underscore, and none at either end.
inline std::string TestName(const std::string& text) {
  std::string name;
  for (const char c : text) {
    if (std::isalnum(static_cast<unsigned char>(c)) && static_cast<unsigned char>(c) < 0x80) {
      name += c;
    } else if (!name.empty() && name.back() != '_') {
      name += '_';
    }
  }
  if (!name.empty() && name.back() == '_') name.pop_back();
  return name;
}

// The name generator for INSTANTIATE_TEST_SUITE_P.
struct PrintedName {
  template <class Case>
  std::string operator()(const testing::TestParamInfo<Case>& info) const {
    return TestName(testing::PrintToString(info.param));
  }
};
