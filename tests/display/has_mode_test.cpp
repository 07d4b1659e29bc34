#include "display/has_mode.h"

#include <gtest/gtest.h>

#include "tests/support/log_capture.h"
#include "tests/support/mode_values.h"

namespace {

TEST(HasModeTest, FindsTheFirstEntryThatMatches) {
  constexpr int kNone = -1;
  const struct {
    std::vector<ModeValues> list;
    ModeValues mode;
    int expected;  // index of the entry found
  } cases[] = {
      {{}, {1024, 768, 0, 60}, kNone},
      {{{1024, 768, 32, 59}}, {1024, 768, 0, 60}, 0},
      {{{1024, 768, 32, 60}}, {1024, 768, 0, 60}, 0},
      {{{800, 600, 32, 60}, {1024, 768, 32, 61}, {1024, 768, 32, 60}}, {1024, 768, 0, 60}, 1},
      {{{1024, 768, 32, 58}}, {1024, 768, 0, 60}, kNone},
      {{{1024, 768, 16, 60}}, {1024, 768, 32, 60}, kNone},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.mode);
    TObjectList list;
    AddModes(list, c.list);
    const TObject* expected = c.expected == kNone ? nullptr : list.Items(c.expected);
    EXPECT_EQ(HasMode(&list, NewMode(c.mode).get()), expected);
  }
}

TEST(HasModeTest, PassesOverEntriesThatAreNotModes) {
  TObjectList list;
  list.Add(std::make_unique<TObject>());
  AddModes(list, {{1024, 768, 32, 60}});
  EXPECT_EQ(HasMode(&list, NewMode({1024, 768, 32, 60}).get()), list.Items(1));
}

TEST(HasModeTest, WritesAFaultLineForAMissingListOrMode) {
  TObjectList list;
  {
    LogCapture log;
    EXPECT_EQ(HasMode(nullptr, NewMode({1024, 768, 32, 60}).get()), nullptr);
    EXPECT_EQ(log.Text(), "\nError in Kestrave line 300: Null adapter_modes pointer.\n");
  }
  {
    LogCapture log;
    EXPECT_EQ(HasMode(&list, nullptr), nullptr);
    EXPECT_EQ(log.Text(), "\nError in Kestrave line 306: Null mode pointer.\n");
  }
}

}  // namespace
