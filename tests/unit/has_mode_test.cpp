#include "display/has_mode.h"

#include <gtest/gtest.h>

#include "tests/unit/log_capture.h"
#include "tests/unit/mode_values.h"

namespace {

TEST(HasModeTest, FindsAModeByMatches) {
  const struct {
    std::vector<ModeValues> list;
    ModeValues mode;
    bool expected;
  } cases[] = {
      {{}, {1024, 768, 0, 60}, false},
      {{{1024, 768, 32, 59}}, {1024, 768, 0, 60}, true},
      {{{1024, 768, 32, 60}}, {1024, 768, 0, 60}, true},
      {{{800, 600, 32, 60}, {1024, 768, 32, 61}}, {1024, 768, 0, 60}, true},
      {{{1024, 768, 32, 58}}, {1024, 768, 0, 60}, false},
      {{{1024, 768, 16, 60}}, {1024, 768, 32, 60}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.mode);
    TObjectList list;
    AddModes(list, c.list);
    EXPECT_EQ(HasMode(&list, NewMode(c.mode).get()), c.expected);
  }
}

TEST(HasModeTest, PassesOverEntriesThatAreNotModes) {
  TObjectList list;
  list.Add(std::make_unique<TObject>());
  AddModes(list, {{1024, 768, 32, 60}});
  EXPECT_TRUE(HasMode(&list, NewMode({1024, 768, 32, 60}).get()));
}

TEST(HasModeTest, WritesAFaultLineForAMissingListOrMode) {
  TObjectList list;
  {
    LogCapture log;
    EXPECT_FALSE(HasMode(nullptr, NewMode({1024, 768, 32, 60}).get()));
    EXPECT_EQ(log.Text(), "\nError in Kestrave line 300: Null adapter_modes pointer.\n");
  }
  {
    LogCapture log;
    EXPECT_FALSE(HasMode(&list, nullptr));
    EXPECT_EQ(log.Text(), "\nError in Kestrave line 306: Null mode pointer.\n");
  }
}

}  // namespace
