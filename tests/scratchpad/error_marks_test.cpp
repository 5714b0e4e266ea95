#include "scratchpad/error_marks.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace ormel {
namespace {

/// Records what a view would be told.
struct RecordingListener : ErrorMarks::Listener {
  std::vector<std::string> events;
  std::map<std::uint64_t, int> shown;
  void markAdded(const ErrorMark& mark) override {
    events.push_back("+" + std::to_string(mark.line));
    shown[mark.id] = mark.line;
  }
  void markRemoved(std::uint64_t id) override {
    events.push_back("-" + std::to_string(shown.at(id)));
    shown.erase(id);
  }
};

std::vector<int> linesOf(const ErrorMarks& marks) {
  std::vector<int> lines;
  for (const ErrorMark& mark : marks.marks()) lines.push_back(mark.line);
  return lines;
}

TEST(ErrorMarksTest, OneMarkALineKeptInLineOrder) {
  ErrorMarks marks;
  RecordingListener view;
  marks.setListener(&view);
  marks.mark(5, {0, 3}, "Parsing error", "2+*");
  marks.mark(1, {2, 1}, "Floating point division by zero", "1/0");
  marks.mark(5, {1, 1}, "Missing brackets in expression", "(1");
  EXPECT_EQ(linesOf(marks), (std::vector<int>{1, 5}));
  EXPECT_EQ(marks.markOf(5)->message, "Missing brackets in expression");
  EXPECT_EQ(view.events, (std::vector<std::string>{"+5", "+1", "-5", "+5"}));
  marks.unmark(1);
  marks.unmark(2);
  EXPECT_EQ(linesOf(marks), (std::vector<int>{5}));
  marks.clear();
  EXPECT_TRUE(marks.marks().empty());
  EXPECT_TRUE(view.shown.empty());
}

TEST(ErrorMarksTest, MarkAtCoversTheSpanOnly) {
  ErrorMarks marks;
  marks.mark(2, {2, 3}, "'$G1' is not a valid integer value", "2+$G1");
  EXPECT_EQ(marks.markAt(2, 1), nullptr);
  EXPECT_NE(marks.markAt(2, 2), nullptr);
  EXPECT_NE(marks.markAt(2, 4), nullptr);
  EXPECT_EQ(marks.markAt(2, 5), nullptr);
  EXPECT_EQ(marks.markAt(3, 3), nullptr);
}

TEST(ErrorMarksTest, MarksMoveWithTheirLinesAndGoWhenTheLineReadsOtherwise) {
  ErrorMarks marks;
  RecordingListener view;
  marks.setListener(&view);
  marks.mark(0, {0, 3}, "a", "1/0");
  marks.mark(2, {0, 3}, "b", "2+*");
  marks.mark(4, {0, 2}, "c", "(1");
  marks.mark(6, {0, 2}, "d", "(1");
  view.events.clear();
  // A line went in above the first mark, the second mark's line was typed in, the third was
  // joined to the line above, the fourth's line moved up onto the third's.
  std::map<int, int> now{{0, 1}, {2, 3}, {4, -1}, {6, 5}};
  std::map<int, std::string> text{{1, "1/0"}, {3, "2+*5"}, {5, "(1"}};
  marks.follow([&](const ErrorMark& mark) { return now.at(mark.line); },
               [&](int line) { return text[line]; });
  EXPECT_EQ(linesOf(marks), (std::vector<int>{1, 5}));
  EXPECT_EQ(marks.markOf(5)->message, "d");
  EXPECT_EQ(view.events, (std::vector<std::string>{"-2", "-4"}));
}

TEST(ErrorMarksTest, TwoMarksThatEndOnOneLineKeepTheFirst) {
  ErrorMarks marks;
  marks.mark(2, {0, 2}, "first", "(1");
  marks.mark(4, {0, 2}, "second", "(1");
  // The lines from 2 to 3 were deleted: both lines' starts now stand at line 2, which reads "(1".
  marks.follow([](const ErrorMark&) { return 2; }, [](int) { return std::string("(1"); });
  EXPECT_EQ(linesOf(marks), (std::vector<int>{2}));
  EXPECT_EQ(marks.markOf(2)->message, "first");
}

}  // namespace
}  // namespace ormel
