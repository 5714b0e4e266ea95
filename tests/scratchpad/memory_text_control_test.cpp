#include "scratchpad/memory_text_control.h"

#include <gtest/gtest.h>

#include <random>

#include "base/unicode_text.h"
#include "support/row_name.h"

namespace ormel {
namespace {

constexpr CharStyle kRed{255, true};
constexpr CharStyle kBlue{0xFF0000, false};

/// The whole text as one string with a style per unit: the obvious model of a text control.
struct PlainModel {
  std::u16string text;
  std::vector<CharStyle> styles;
  int caret = 0;

  [[nodiscard]] std::vector<int> lineStarts() const {
    std::vector<int> starts{0};
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == u'\n') starts.push_back(static_cast<int>(i) + 1);
    }
    return starts;
  }
  void replace(int from, int to, const std::u16string& with, CharStyle style) {
    text.replace(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from), with);
    styles.erase(styles.begin() + from, styles.begin() + to);
    styles.insert(styles.begin() + from, with.size(), style);
    caret = from + static_cast<int>(with.size());
  }
};

void expectSame(const MemoryTextControl& control, const PlainModel& model) {
  ASSERT_EQ(control.text(), utf16ToUtf8(model.text));
  const std::vector<int> starts = model.lineStarts();
  ASSERT_EQ(control.lineCount(), static_cast<int>(starts.size()));
  for (std::size_t n = 0; n < starts.size(); ++n) {
    ASSERT_EQ(control.lineStart(static_cast<int>(n)), starts[n]) << "line " << n;
  }
  ASSERT_EQ(control.selStart(), model.caret);
  for (std::size_t i = 0; i < model.text.size(); ++i) {
    if (model.text[i] != u'\n') {
      ASSERT_EQ(control.styleAt(static_cast<int>(i)), model.styles[i]) << "unit " << i;
    }
  }
}

TEST(MemoryTextControl, AgreesWithAPlainModelOverRandomEdits) {
  std::mt19937 random(20240607);
  const std::u16string alphabet = u"ab\n.+\u00E9";
  MemoryTextControl control(kBlue);
  PlainModel model;
  for (int step = 0; step < 4000; ++step) {
    const int total = static_cast<int>(model.text.size());
    const int from = static_cast<int>(random() % static_cast<unsigned>(total + 1));
    const int length = static_cast<int>(random() % static_cast<unsigned>(total - from + 1));
    std::u16string insert;
    for (unsigned i = random() % 5; i > 0; --i) insert.push_back(alphabet[random() % alphabet.size()]);
    const CharStyle style = random() % 2 ? kRed : kBlue;
    control.setSelStart(from);
    control.setSelLength(std::min(length, 3));
    control.setSelAttributes(style);
    control.setSelText(utf16ToUtf8(insert));
    model.replace(from, from + std::min(length, 3), insert, style);
    ASSERT_NO_FATAL_FAILURE(expectSame(control, model)) << "step " << step;
  }
}

TEST(MemoryTextControl, CachedCaretLineAgreesWithTheTextUnderTypingAndLineWrites) {
  std::mt19937 random(7);
  const std::u32string keys = U"ab\r\b.\u00E9\U0001F600";
  const int navigation[] = {kVkHome, kVkEnd, kVkLeft, kVkRight, kVkDelete};
  MemoryTextControl control;
  for (int step = 0; step < 6000; ++step) {
    switch (random() % 5) {
      case 0:
      case 1:
        control.typeCharacter(keys[random() % keys.size()]);
        break;
      case 2:
        control.pressKey(navigation[random() % 5], {}, std::nullopt);
        break;
      case 3:
        control.setLine(static_cast<int>(random() % static_cast<unsigned>(control.lineCount())),
                        random() % 2 ? "x.y" : "");
        break;
      default:
        control.setSelStart(static_cast<int>(random() % static_cast<unsigned>(control.textLength() + 2)) - 1);
        break;
    }
    const std::u16string text = utf8ToUtf16(control.text());
    ASSERT_EQ(control.textLength(), static_cast<int>(text.size()));
    int start = 0;
    int caretLine = -1;
    for (int n = 0; n < control.lineCount(); ++n) {
      const int length = control.lineLength(n);
      ASSERT_EQ(control.lineStart(n), start) << "step " << step << " line " << n;
      ASSERT_EQ(utf8ToUtf16(control.line(n)),
                text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(length)));
      if (caretLine < 0 && control.selStart() <= start + length) caretLine = n;
      start += length + 1;
    }
    ASSERT_EQ(control.caretLine(), caretLine) << "step " << step;
  }
}

TEST(MemoryTextControl, CountsUtf16UnitsLikeTheWidgets) {
  MemoryTextControl control;
  control.setSelText(
      "a\xF0\x9F\x98\x80"
      "b\n\xC3\xA9");
  EXPECT_EQ(control.lineLength(0), 4);
  EXPECT_EQ(control.lineStart(1), 5);
  EXPECT_EQ(control.textLength(), 6);
  EXPECT_EQ(control.line(1), "\xC3\xA9");
  control.setSelStart(5);
  control.typeCharacter(U'\b');  // the line break goes
  EXPECT_EQ(control.text(),
            "a\xF0\x9F\x98\x80"
            "b\xC3\xA9");
  control.setSelStart(3);
  control.typeCharacter(U'\b');  // a surrogate pair is one character
  EXPECT_EQ(control.text(), "ab\xC3\xA9");
}

TEST(MemoryTextControl, AnswersForLinesThatDoNotExist) {
  MemoryTextControl control;
  control.setSelText("one\ntwo");
  EXPECT_EQ(control.line(2), "");
  EXPECT_EQ(control.line(-1), "");
  EXPECT_EQ(control.lineStart(2), -1);
  EXPECT_EQ(control.lineLength(7), 0);
  control.setLine(5, "x");
  EXPECT_EQ(control.text(), "one\ntwo");
  control.setSelStart(-1);
  EXPECT_EQ(control.selStart(), 7);
  control.setSelStart(99);
  EXPECT_EQ(control.selStart(), 7);
}

TEST(MemoryTextControl, InsertionStyleFollowsTheCharacterBeforeTheCaret) {
  MemoryTextControl control(kBlue);
  control.setSelAttributes(kRed);
  control.setSelText("ab");
  control.setSelAttributes(kBlue);
  control.setSelText("cd\n");
  control.setSelStart(1);
  EXPECT_EQ(control.selAttributes(), kRed);
  control.setSelStart(3);
  EXPECT_EQ(control.selAttributes(), kBlue);
  control.setSelStart(0);  // at a line start: the line's first character
  EXPECT_EQ(control.selAttributes(), kRed);
  control.setSelStart(5);  // an empty line: the line's own style, that of its line break
  EXPECT_EQ(control.selAttributes(), kBlue);
}

TEST(MemoryTextControl, SelectedTextKeepsItsStyleWhenTheInsertionStyleChanges) {
  MemoryTextControl control(kBlue);
  control.setSelText("abc");
  control.setSelStart(0);
  control.setSelLength(2);
  control.setSelAttributes(kRed);
  EXPECT_EQ(control.styleAt(0), kBlue);
  control.setSelText("x");
  EXPECT_EQ(control.text(), "xc");
  EXPECT_EQ(control.styleAt(0), kRed);
}

struct SetLineCase {
  const char* name;
  const char* before;
  int caret;
  const char* after;
  int caretAfter;
};

class SetLineTest : public testing::TestWithParam<SetLineCase> {};

TEST_P(SetLineTest, KeepsTheStyleOfUnchangedCharacters) {
  MemoryTextControl control(kBlue);
  control.setSelText("top\n");
  control.setSelAttributes(kRed);
  control.setSelText(" 5");
  control.setSelAttributes(kBlue);
  control.setSelText(std::string(GetParam().before).substr(2) + "\nend");
  control.setSelStart(GetParam().caret);
  control.setLine(1, GetParam().after);
  EXPECT_EQ(control.line(1), GetParam().after);
  EXPECT_EQ(control.line(2), "end");
  EXPECT_EQ(control.selStart(), GetParam().caretAfter);
  EXPECT_EQ(control.styleAt(4), kRed);
  EXPECT_EQ(control.styleAt(5), kRed);
  EXPECT_EQ(control.styleAt(control.lineStart(1) + control.lineLength(1) - 1), kBlue);
}

INSTANTIATE_TEST_SUITE_P(Rows, SetLineTest,
                         testing::Values(SetLineCase{"zeroInsertedMidLine", " 5+.5", 9, " 5+0.5", 10},
                                         SetLineCase{"caretBeforeLineStays", " 5+.5", 2, " 5+0.5", 2},
                                         SetLineCase{"caretAfterLineShifts", " 5+.5", 11, " 5+0.5", 12},
                                         SetLineCase{"shorterLine", " 5+123", 6, " 5+1", 8}),
                         testing_support::RowName());

/// Records the key events and can discard characters.
struct RecordingSink : KeyEventSink {
  MemoryTextControl* control = nullptr;
  std::vector<std::string> events;
  bool discard = false;
  void keyDown(int key, KeyModifiers) override { events.push_back("down " + std::to_string(key)); }
  bool keyPress(char32_t character, KeyModifiers) override {
    events.push_back("press " + std::to_string(static_cast<int>(character)));
    return !discard;
  }
  void keyUp(int key, KeyModifiers) override {
    events.push_back("up " + std::to_string(key) + " " + control->text());
  }
};

TEST(MemoryTextControl, DeliversKeyEventsInOrderAndAppliesTheCharacterBeforeKeyUp) {
  MemoryTextControl control;
  RecordingSink sink;
  sink.control = &control;
  control.setKeyEventSink(&sink);
  control.typeCharacter(U'a');
  control.typeCharacter(U'\n');
  sink.discard = true;
  control.typeCharacter(U'b');
  control.caretToEndOfLine();
  EXPECT_EQ(sink.events,
            (std::vector<std::string>{"down 65", "press 97", "up 65 a", "down 13", "press 13", "up 13 a\n",
                                      "down 66", "press 98", "up 66 a\n", "down 35"}));
}

TEST(MemoryTextControl, NavigationKeysActAfterKeyDown) {
  MemoryTextControl control;
  control.setSelText("abc\ndef");
  control.setSelStart(5);
  control.pressKey(kVkHome, {}, std::nullopt);
  EXPECT_EQ(control.selStart(), 4);
  control.pressKey(kVkEnd, {}, std::nullopt);
  EXPECT_EQ(control.selStart(), 7);
  control.pressKey(kVkLeft, {}, std::nullopt);
  control.pressKey(kVkDelete, {}, std::nullopt);
  EXPECT_EQ(control.text(), "abc\nde");
  control.setSelStart(3);
  control.pressKey(kVkDelete, {}, std::nullopt);
  EXPECT_EQ(control.text(), "abcde");
  control.typeCharacter(U'\x01');  // control codes are no text
  EXPECT_EQ(control.text(), "abcde");
}

TEST(MemoryTextControl, LineBreaksInInsertedTextAreAnyConvention) {
  MemoryTextControl control;
  control.setSelText("a\r\nb\rc\nd");
  EXPECT_EQ(control.lineCount(), 4);
  EXPECT_EQ(control.text(), "a\nb\nc\nd");
  control.setSelStart(1);
  control.setSelLength(4);
  EXPECT_EQ(control.selText(), "\nb\nc");
}

TEST(MemoryTextControl, ClearLeavesOneEmptyLineInTheDefaultStyle) {
  MemoryTextControl control(kBlue);
  control.setSelAttributes(kRed);
  control.setSelText("x\ny");
  control.clear();
  EXPECT_EQ(control.lineCount(), 1);
  EXPECT_EQ(control.text(), "");
  EXPECT_EQ(control.selAttributes(), kBlue);
}

}  // namespace
}  // namespace ormel
