#include "scratchpad/content_snapshot.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace ormel {
namespace {

StyledLine lineOf(int n) {
  const std::string digits = std::to_string(n);
  const std::u16string text(digits.begin(), digits.end());
  return StyledLine{text, std::vector<CharStyle>(text.size(), CharStyle{0x00FFFF, n % 2 == 0}), CharStyle{}};
}

StyledText linesOf(int first, int count) {
  StyledText lines;
  for (int n = first; n < first + count; ++n) lines.push_back(lineOf(n));
  return lines;
}

// Every change, whether it stays in one chunk or spans many, leaves the lines a plain vector
// would hold, and no snapshot taken earlier sees it.
TEST(SharedLinesTest, ChangesMatchAPlainVectorAndLeaveEarlierSnapshotsAlone) {
  struct Case {
    const char* name;
    int maxFirst;  // changes start anywhere up to this line (past the end: appended)
    int maxCount;
    int maxAdded;
  };
  const Case cases[] = {
      {"keys: one line replaced, split or joined", 2000, 2, 2},
      {"pastes and cuts across chunks", 2000, 700, 700},
      {"changes at the end", 1 << 30, 3, 600},
      {"the whole text replaced", 0, 1 << 30, 1500},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::mt19937 random(7);
    SharedLines shared;
    StyledText model = linesOf(0, 2000);
    shared.replace(0, 0, model);
    std::vector<std::pair<ContentSnapshot, StyledText>> taken;
    int next = 10000;
    for (int step = 0; step < 150; ++step) {
      const auto first =
          static_cast<std::size_t>(random() % (std::min<std::size_t>(c.maxFirst, model.size()) + 1));
      const auto count = std::min<std::size_t>(random() % (c.maxCount + 1), model.size() - first);
      const int added = static_cast<int>(random() % (c.maxAdded + 1));
      StyledText lines = linesOf(next, added);
      next += added;
      model.erase(model.begin() + static_cast<std::ptrdiff_t>(first),
                  model.begin() + static_cast<std::ptrdiff_t>(first + count));
      model.insert(model.begin() + static_cast<std::ptrdiff_t>(first), lines.begin(), lines.end());
      shared.replace(first, count, std::move(lines));
      ASSERT_EQ(shared.size(), model.size());
      if (step % 10 == 0) taken.emplace_back(shared.snapshot(), model);
    }
    EXPECT_TRUE(shared.snapshot().lines() == model);
    for (const auto& [snapshot, then] : taken) EXPECT_TRUE(snapshot.lines() == then);
  }
}

TEST(SharedLinesTest, EmptiedAndRefilled) {
  SharedLines shared;
  EXPECT_TRUE(shared.snapshot().empty());
  shared.replace(0, 0, linesOf(0, 600));
  shared.replace(0, 600, {});
  EXPECT_TRUE(shared.snapshot().empty());
  shared.replace(5, 9, linesOf(1, 2));
  EXPECT_EQ(shared.snapshot().lines(), linesOf(1, 2));
}

}  // namespace
}  // namespace ormel
