#include "base/unicode_text.h"

#include <gtest/gtest.h>

#include "support/row_name.h"

namespace ormel {
namespace {

struct DecodeCase {
  const char* name;
  std::string utf8;
  std::u16string utf16;
};

class DecodeTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeTest, DecodesAsTheWidgetsDo) {
  EXPECT_EQ(utf8ToUtf16(GetParam().utf8), GetParam().utf16);
  EXPECT_EQ(utf16Length(GetParam().utf8), static_cast<int>(GetParam().utf16.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DecodeTest,
    testing::Values(DecodeCase{"ascii", "a+1", u"a+1"}, DecodeCase{"twoBytes", "\xC3\xA9", u"\u00E9"},
                    DecodeCase{"threeBytes", "\xE2\x82\xAC", u"\u20AC"},
                    DecodeCase{"fourBytesMakeAPair", "\xF0\x9F\x98\x80", u"\U0001F600"},
                    DecodeCase{"strayContinuation", "a\x80z", u"a\uFFFDz"},
                    DecodeCase{"truncatedSequence", "\xE2\x82", u"\uFFFD"},
                    DecodeCase{"truncatedThenAscii", "\xE2\x82z", u"\uFFFDz"},
                    DecodeCase{"overlongSlash", "\xC0\xAF", u"\uFFFD\uFFFD"},
                    DecodeCase{"encodedSurrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
                    DecodeCase{"aboveUnicode", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
                    DecodeCase{"invalidLeadByte", "\xFF", u"\uFFFD"}),
    testing_support::RowName());

TEST(Utf16ToUtf8, RoundTripsAndReplacesLoneSurrogates) {
  const std::string text = "x\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
  EXPECT_EQ(utf16ToUtf8(utf8ToUtf16(text)), text);
  EXPECT_EQ(utf16ToUtf8(u"a\xD800"
                        "b"),
            "a\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(utf16ToUtf8(std::u16string(1, u'\xDC00')), "\xEF\xBF\xBD");
}

TEST(IsValidUtf8, TellsWellFormedText) {
  EXPECT_TRUE(isValidUtf8("plain"));
  EXPECT_TRUE(isValidUtf8("\xEF\xBF\xBD"));  // a real replacement character is text
  EXPECT_FALSE(isValidUtf8("caf\xE9"));      // code page 1252
  EXPECT_FALSE(isValidUtf8("\xC3"));
}

}  // namespace
}  // namespace ormel
