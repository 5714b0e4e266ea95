#include "scratchpad/content_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "base/unicode_text.h"
#include "support/row_name.h"

namespace ormel {
namespace {

constexpr CharStyle kDefault{0x123456, true};
constexpr CharStyle kAnswer{65535, true};
constexpr CharStyle kExpression{16777215, false};

StyledLine styled(const std::u16string& text, CharStyle style) {
  return StyledLine{text, std::vector<CharStyle>(text.size(), style), style};
}

StyledLine concat(StyledLine a, const StyledLine& b) {
  a.text += b.text;
  a.styles.insert(a.styles.end(), b.styles.begin(), b.styles.end());
  return a;
}

std::string plainText(const StyledText& content) {
  std::string out;
  for (std::size_t n = 0; n < content.size(); ++n) out += (n ? "\n" : "") + utf16ToUtf8(content[n].text);
  return out;
}

struct RoundTripCase {
  const char* name;
  StyledText content;
};

class RoundTripTest : public testing::TestWithParam<RoundTripCase> {};

TEST_P(RoundTripTest, ReadsBackEveryCharacterColourAndBoldState) {
  const StyledText& content = GetParam().content;
  const std::optional<StyledText> back = readRtf(writeRtf(content), kDefault);
  ASSERT_TRUE(back);
  EXPECT_TRUE(sameCharacters(*back, content)) << plainText(*back);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RoundTripTest,
    testing::Values(RoundTripCase{"answerBelowExpression",
                                  {styled(u"2+3", kExpression), styled(u" 5", kAnswer),
                                   styled(u"", kExpression)}},
                    RoundTripCase{"answerFollowedByMovedText",
                                  {concat(styled(u" 5", kAnswer), styled(u"4", kExpression))}},
                    RoundTripCase{"rtfSpecialCharacters", {styled(u"{a\\b}\tc", kExpression)}},
                    RoundTripCase{"leadingBlanksAfterControlWords", {styled(u"  x", kAnswer)}},
                    RoundTripCase{"nonAscii", {styled(u"\u00E9\u20AC\u4E2D\U0001F600", kAnswer)}},
                    RoundTripCase{"controlCharacters",
                                  {styled(u"a\x01\x1F"
                                          "b",
                                          kExpression)}},
                    RoundTripCase{"manyEmptyLines",
                                  {styled(u"", kAnswer), styled(u"", kExpression), styled(u"", kAnswer)}},
                    RoundTripCase{"sameColourBoldAndPlain",
                                  {concat(styled(u"ab", kAnswer), styled(u"cd", StyledLine{}.lineStyle))}}),
    testing_support::RowName());

struct EmptyLineCase {
  const char* name;
  StyledText content;
};

class EmptyLineStyleTest : public testing::TestWithParam<EmptyLineCase> {};

// Text typed into an empty line takes that line's own style, so it must come back too.
TEST_P(EmptyLineStyleTest, EmptyLinesKeepTheirOwnStyleTheLastIncluded) {
  const StyledText& content = GetParam().content;
  const std::optional<StyledText> back = readRtf(writeRtf(content), kDefault);
  ASSERT_TRUE(back);
  ASSERT_EQ(back->size(), content.size());
  for (std::size_t n = 0; n < content.size(); ++n) {
    if (content[n].text.empty()) {
      EXPECT_EQ((*back)[n].lineStyle, content[n].lineStyle) << "line " << n;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, EmptyLineStyleTest,
                         testing::Values(EmptyLineCase{"lastEmptyLineBold",
                                                       {styled(u"2+3", kAnswer), styled(u"", kAnswer)}},
                                         EmptyLineCase{"lastEmptyLineAfterAnAnswer",
                                                       {styled(u"2+3", kExpression), styled(u" 5", kAnswer),
                                                        styled(u"", CharStyle{0xFFFFFF, true})}},
                                         EmptyLineCase{"onlyAnEmptyLine", {styled(u"", kAnswer)}},
                                         EmptyLineCase{"emptyLinesBetween",
                                                       {styled(u"", kAnswer), styled(u"", kExpression),
                                                        styled(u"x", kAnswer), styled(u"", kAnswer)}}),
                         testing_support::RowName());

struct EncodingCase {
  const char* name;
  std::u16string text;
  const char* written;
};

class EncodingTest : public testing::TestWithParam<EncodingCase> {};

// Readers that know no \uN show "?" for it or drop what follows: code page 1252 goes in as bytes.
TEST_P(EncodingTest, WritesCodePage1252AsBytesAndOnlyTheRestAsUnicode) {
  const StyledText content{styled(GetParam().text, kExpression)};
  const std::string rtf = writeRtf(content);
  EXPECT_NE(rtf.find(GetParam().written), std::string::npos) << rtf;
  const std::optional<StyledText> back = readRtf(rtf, kDefault);
  ASSERT_TRUE(back);
  EXPECT_TRUE(sameCharacters(*back, content)) << plainText(*back);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EncodingTest,
    testing::Values(EncodingCase{"euroAsByte", u"price \u20AC5", "price \\'805"},
                    EncodingCase{"accentsAsBytes", u"na\u00EFve caf\u00E9", "na\\'efve caf\\'e9"},
                    EncodingCase{"upperHalfOfLatin1", u"\u00FF\u00A0", "\\'ff\\'a0"},
                    EncodingCase{"windowsQuotes", u"\u201Cq\u201D", "\\'93q\\'94"},
                    EncodingCase{"outsideTheCodePageInAGroup", u"\u4E2D\u6587 x", "{\\u20013?\\u25991?} x"},
                    EncodingCase{"surrogatePair", u"\U0001F600!", "{\\u-10179?\\u-8704?}!"},
                    EncodingCase{"c1ControlNotInTheCodePage", u"a\u0080b", "a{\\u128?}b"}),
    testing_support::RowName());

struct FontTableCase {
  const char* name;
  const char* face;
  const char* written;
};

class FontTableTest : public testing::TestWithParam<FontTableCase> {};

TEST_P(FontTableTest, NamesTheFaceGiven) {
  const std::string rtf = writeRtf({styled(u"1", kExpression)}, GetParam().face);
  EXPECT_NE(rtf.find(std::string("{\\fonttbl{\\f0\\fnil\\fcharset0 ") + GetParam().written + ";}}"),
            std::string::npos)
      << rtf;
}

INSTANTIATE_TEST_SUITE_P(Rows, FontTableTest,
                         testing::Values(FontTableCase{"installedFace", "DejaVu Sans", "DejaVu Sans"},
                                         FontTableCase{"noFaceIsTheDefault", "", "Verdana"},
                                         FontTableCase{"accentedName", "Caf\u00E9 Sans", "Caf\\'e9 Sans"},
                                         FontTableCase{"bracesEscapedSemicolonDropped", "a{b};c",
                                                       "a\\{b\\}c"}),
                         testing_support::RowName());

struct ForeignCase {
  const char* name;
  const char* rtf;
  const char* text;
};

class ForeignRtfTest : public testing::TestWithParam<ForeignCase> {};

TEST_P(ForeignRtfTest, ReadsTheTextOfWhatWordProcessorsWrite) {
  const std::optional<StyledText> content = readRtf(GetParam().rtf, kDefault);
  ASSERT_TRUE(content);
  EXPECT_EQ(plainText(*content), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ForeignRtfTest,
    testing::Values(
        ForeignCase{
            "wordPadStyle",
            "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 "
            "Calibri;}}\r\n{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 \r\n\\pard\\sa200\\sl276"
            "\\slmult1\\f0\\fs22\\lang9 1+1\\par\r\nx = 2\\par\r\n}\r\n",
            "1+1\nx = 2\n"},
        ForeignCase{
            "wordStyleWithStylesheetInfoAndField",
            "{\\rtf1\\adeflang1025\\ansi\\ansicpg1252\\uc1\\deff31507{\\fonttbl{\\f0\\froman\\fcharset0"
            "\\fprq2{\\*\\panose 02020603050405020304}Times New Roman;}}{\\colortbl;\\red0\\green0\\blue0;}"
            "{\\stylesheet{\\ql \\li0\\ri0 Normal;}}{\\info{\\title Sheet}{\\author me}}"
            "{\\*\\rsidtbl \\rsid123}{\\*\\xmlnstbl {\\xmlns1 http://x}}\\pard\\plain \\ltrpar"
            "\\rtlch\\fcs1 \\af0 \\ltrch\\fcs0 \\insrsid1 see {\\field{\\*\\fldinst {HYPERLINK "
            "\"http://x\"}}{\\fldrslt {link}}} now\\par }",
            "see link now\n"},
        ForeignCase{
            "libreOfficeUnicodeWithFallback",
            "{\\rtf1\\ansi\\deff3\\adeflang1025{\\fonttbl{\\f0\\froman\\fprq2\\fcharset0 Times;}}"
            "{\\*\\generator LibreOffice/7.4}\\pard\\plain \\uc1\\u8364\\'80 5 \\uc2\\u20013\\'d6\\'d0!"
            "\\par}",
            "\u20AC 5 \u4E2D!\n"},
        ForeignCase{
            "cocoaStyleBackslashNewline",
            "{\\rtf1\\ansi\\ansicpg1252\\cocoartf2639\n\\cocoatextscaling0\\cocoaplatform0{\\fonttbl"
            "\\f0\\fswiss\\fcharset0 Helvetica;}\n{\\colortbl;\\red255\\green255\\blue255;}\n"
            "{\\*\\expandedcolortbl;;}\n\\pard\\tx566\\pardirnatural\\partightenfactor0\n\n\\f0\\fs24 "
            "\\cf0 one\\\ntwo}",
            "one\ntwo"},
        ForeignCase{"hexBytesInCodePage1252", "{\\rtf1\\ansi caf\\'e9 \\'80\\'9c}", "caf\u00E9 \u20AC\u0153"},
        ForeignCase{"utf8CodePage", "{\\rtf1\\ansi\\ansicpg65001 caf\\'c3\\'a9}", "caf\u00E9"},
        ForeignCase{"namedSymbolsAndEscapes",
                    "{\\rtf1 a\\emdash b\\tab c\\line d\\~e\\{\\}\\\\\\-f\\ldblquote g\\rdblquote}",
                    "a\u2014b\tc\nd\u00A0e{}\\f\u201Cg\u201D"},
        ForeignCase{"binaryPictureSkipped", "{\\rtf1 a{\\pict\\bin4 }}{x}b}", "ab"},
        ForeignCase{"unclosedDocument", "{\\rtf1 {\\b open", "open"},
        ForeignCase{"textAfterTheDocumentIgnored", "{\\rtf1 in}out", "in"},
        ForeignCase{"byteOrderMarkAndBlanksBefore", "\xEF\xBB\xBF \r\n{\\rtf1 x}", "x"},
        ForeignCase{"hugeParameterAndLongWord",
                    "{\\rtf1\\fs99999999999999999999 \\abcdefghijklmnopqrstuvwxyzabcdefghij y}", "y"}),
    testing_support::RowName());

TEST(ReadRtf, TakesColoursFromTheTableAndBoldFromTheGroups) {
  const std::optional<StyledText> content = readRtf(
      "{\\rtf1{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
      "\\cf1 r{\\b\\cf2 B}\\b0 r\\plain d\\cf9 x}",
      kDefault);
  ASSERT_TRUE(content);
  const StyledLine& line = content->front();
  ASSERT_EQ(line.text, u"rBrdx");
  EXPECT_EQ(line.styles[0], (CharStyle{255, false}));
  EXPECT_EQ(line.styles[1], (CharStyle{0xFF0000, true}));
  EXPECT_EQ(line.styles[2], (CharStyle{255, false}));
  EXPECT_EQ(line.styles[3], (CharStyle{kDefault.color, false}));  // \plain: automatic colour
  EXPECT_EQ(line.styles[4], (CharStyle{kDefault.color, false}));  // no such table entry
}

TEST(ReadRtf, RefusesWhatDoesNotStartAsRtf) {
  EXPECT_FALSE(readRtf("2+3\n 5", kDefault));
  EXPECT_FALSE(readRtf("{\\rt", kDefault));
  EXPECT_FALSE(readRtf("", kDefault));
}

struct PlainCase {
  const char* name;
  std::string bytes;
  const char* text;
  int lines;
};

class PlainTextTest : public testing::TestWithParam<PlainCase> {};

TEST_P(PlainTextTest, MakesALineOfEachLine) {
  const std::optional<StyledText> content = readPlainText(GetParam().bytes, kDefault);
  ASSERT_TRUE(content);
  EXPECT_EQ(plainText(*content), GetParam().text);
  EXPECT_EQ(static_cast<int>(content->size()), GetParam().lines);
  for (const StyledLine& line : *content)
    EXPECT_EQ(line.styles, std::vector<CharStyle>(line.text.size(), kDefault));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PlainTextTest,
    testing::Values(PlainCase{"unixLines", "2+3\n 5\n", "2+3\n 5\n", 3},
                    PlainCase{"windowsLines", "a\r\nb", "a\nb", 2},
                    PlainCase{"oldMacLines", "a\rb", "a\nb", 2}, PlainCase{"empty", "", "", 1},
                    PlainCase{"byteOrderMarkDropped", "\xEF\xBB\xBFx", "x", 1},
                    PlainCase{"codePage1252WhenNotUtf8", "caf\xE9 \x80", "caf\u00E9 \u20AC", 1}),
    testing_support::RowName());

TEST(ReadContent, FailsOnBinaryData) {
  try {
    (void)readContent(std::string("\x89PNG\0\0", 6), kDefault);
    FAIL() << "binary data was accepted";
  } catch (const EContentStreamError& error) {
    EXPECT_EQ(error.message(), "Failed to Load Stream");
  }
}

class ContentFileTest : public testing::Test {
 protected:
  void SetUp() override {
    m_folder = std::filesystem::temp_directory_path() /
               ("ormel-content-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(m_folder);
  }
  void TearDown() override { std::filesystem::remove_all(m_folder); }
  std::filesystem::path m_folder;
};

TEST_F(ContentFileTest, SavesAndLoadsASheet) {
  const StyledText content{styled(u"1/4", kExpression), styled(u" 0.25", kAnswer)};
  const std::string path = (m_folder / "mysheet").string();
  saveContentFile(path, content);
  const StyledText back = loadContentFile(path, kDefault);
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[1].text, u" 0.25");
  EXPECT_EQ(back[1].styles.front(), kAnswer);
}

// Another reader sees every line whole: no character dropped after an accent, the euro sign or
// a character outside the code page.
TEST_F(ContentFileTest, UnrtfReadsEveryLineWhole) {
  if (std::system("command -v unrtf >/dev/null 2>&1") != 0) GTEST_SKIP() << "unrtf is not installed";
  const std::vector<std::pair<std::u16string, std::string>> lines = {
      {u"price \u20AC5", "price &euro;5"},
      {u"na\u00EFve caf\u00E9 = 2", "na&iuml;ve caf&eacute; = 2"},
      {u" Gr\u00FC\u00DFe", " Gr&uuml;&szlig;e"},
      {u"\u4E2D5+1", "&#20013;5+1"},
  };
  StyledText content;
  for (const auto& [text, html] : lines) content.push_back(styled(text, kAnswer));
  const std::string path = (m_folder / "accents.ocs").string();
  saveContentFile(path, content);
  std::string html;
  if (FILE* pipe = popen(("unrtf --html '" + path + "' 2>/dev/null").c_str(), "r")) {
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) html.append(buffer, got);
    EXPECT_EQ(pclose(pipe), 0);
  }
  // The lines as a browser shows them: tags dropped, one line each.
  std::string shown;
  bool inTag = false;
  for (const char c : html) {
    if (c == '<' || c == '>') {
      inTag = c == '<';
    } else if (!inTag) {
      shown.push_back(c);
    }
  }
  for (const auto& [text, line] : lines)
    EXPECT_NE(("\n" + shown + "\n").find("\n" + line + "\n"), std::string::npos) << line << "\n" << html;
}

TEST_F(ContentFileTest, ReportsFileErrorsWithTheFileName) {
  const std::string missing = (m_folder / "missing.ocs").string();
  EXPECT_THROW((void)loadContentFile(missing, kDefault), EFOpenError);
  EXPECT_THROW(saveContentFile((m_folder / "no" / "such" / "folder.ocs").string(), {}), EFCreateError);
  const std::string binary = (m_folder / "picture.ocs").string();
  std::ofstream(binary, std::ios::binary) << std::string("GIF89a\0", 7);
  EXPECT_THROW((void)loadContentFile(binary, kDefault), EContentStreamError);
}

}  // namespace
}  // namespace ormel
