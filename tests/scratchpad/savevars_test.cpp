#include "scratchpad/savevars.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <clocale>
#include <filesystem>
#include <fstream>

#include "base/atomic_file.h"
#include "support/row_name.h"
#include "support/scratch_pad_fixture.h"

namespace ormel {
namespace {

using testing_support::ScratchPadFixture;

class SavedVariablesTest : public testing::Test {
 protected:
  void SetUp() override {
    std::setlocale(LC_ALL, "C");
    m_folder = std::filesystem::temp_directory_path() /
               ("ormel-vars-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::create_directories(m_folder);
    m_file = (m_folder / "vars.xml").string();
  }
  void TearDown() override { std::filesystem::remove_all(m_folder); }

  AssignmentResult assign(const std::string& line) {
    std::string message;
    const AssignmentResult result = m_pad.variables->addVariableString(line, message);
    m_message = message;
    return result;
  }
  void writeFile(const std::string& content) { std::ofstream(m_file, std::ios::binary) << content; }
  [[nodiscard]] std::string readFile() const {
    std::string content;
    EXPECT_TRUE(readWholeFile(m_file, content).ok);
    return content;
  }

  ScratchPadFixture m_pad;
  std::filesystem::path m_folder;
  std::string m_file;
  std::string m_message;
};

struct AssignCase {
  const char* name;
  const char* line;
  AssignmentResult result;
  const char* message;
  const char* status;
  const char* listText;
};

class AssignmentTest : public SavedVariablesTest, public testing::WithParamInterface<AssignCase> {};

TEST_P(AssignmentTest, AnswersReportsAndLists) {
  EXPECT_EQ(assign(GetParam().line), GetParam().result);
  EXPECT_EQ(m_message, GetParam().message);
  EXPECT_EQ(m_pad.statusLabel.caption(), GetParam().status);
  EXPECT_EQ(m_pad.varsTextLabel.caption(), GetParam().listText);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AssignmentTest,
    testing::Values(
        AssignCase{"noEquals", "2+3", AssignmentResult::kNotAnAssignment, "", "Ready", ""},
        AssignCase{"wholeNumber", "x = 2", AssignmentResult::kHandled, "", "Set \"x\" to \"2\" successfully.",
                   "X=2"},
        AssignCase{"negativeWhole", "n=-7", AssignmentResult::kHandled, "",
                   "Set \"n\" to \"-7\" successfully.", "N=-7"},
        AssignCase{"fraction", "r = 1/3", AssignmentResult::kHandled, "",
                   "Set \"r\" to \"0.33\" successfully.", "R=0.333333333333333"},
        AssignCase{"fractionRoundsUp", "t=2/3", AssignmentResult::kHandled, "",
                   "Set \"t\" to \"0.67\" successfully.", "T=0.666666666666667"},
        AssignCase{"zeroIsNotListed", "y=0", AssignmentResult::kHandled, "",
                   "Set \"y\" to \"0\" successfully.", "No defined variables"},
        AssignCase{"digitFirst", "1x=5", AssignmentResult::kNameRefused, "Invalid variable name", "Ready",
                   ""},
        AssignCase{"emptyName", "=5", AssignmentResult::kNameRefused, "Invalid variable name", "Ready", ""},
        AssignCase{"nothingAfterEquals", "x=", AssignmentResult::kHandled, "", "Parsing error", ""},
        AssignCase{"rightSideFails", "x=2+", AssignmentResult::kHandled, "", "Parsing error", ""},
        AssignCase{"beyond64Bits", "b=2^70", AssignmentResult::kHandled, "",
                   "Set \"b\" to \"1.18059162071741E21\" successfully.", "B=1.18059162071741E21"},
        AssignCase{"beyondDoubleRange", "h=10^400", AssignmentResult::kHandled, "",
                   "Set \"h\" to \"1E400\" successfully.", "H=1E400"}),
    testing_support::RowName());

TEST_F(SavedVariablesTest, AFailedRightSideKeepsTheOldValue) {
  assign("x=2");
  assign("x=2+");
  EXPECT_EQ(m_pad.parser.Variables().value(0), 2.0L);
  EXPECT_EQ(m_pad.statusLabel.textColor(), kStatusErrorColor);
}

TEST_F(SavedVariablesTest, ListsItemsInTableOrderWithWrappedHints) {
  assign("x=2");
  assign("y=0");
  assign("longervariablename=123456789");
  assign("a=1.5");
  EXPECT_EQ(m_pad.varsTextLabel.caption(), "A=1.5, LONGERVARIABLENAME=123456789, X=2");
  EXPECT_EQ(m_pad.varsDropDown.itemCount(), 3);
  EXPECT_EQ(m_pad.varsDropDown.item(2), "X=2");
  EXPECT_EQ(m_pad.varsTextLabel.hint(), "A=1.5, LONGERVARIABLENAME=123456789, \r\nX=2");
  EXPECT_EQ(m_pad.varsLabelItem.hint(), m_pad.varsTextLabel.hint());
  assign("x=0");
  assign("a=0");
  assign("longervariablename=0");
  EXPECT_EQ(m_pad.varsTextLabel.caption(), "No defined variables");
  EXPECT_EQ(m_pad.varsDropDown.itemCount(), 0);
}

TEST_F(SavedVariablesTest, SavesListedVariablesInTheFileLayout) {
  assign("x=2");
  assign("z=0");
  assign("r=1/3");
  m_pad.variables->Save(m_file);
  EXPECT_EQ(readFile(),
            "<variables>\r\n <variable name=\"R\" value=\"0.333333333333333\" />\r\n"
            " <variable name=\"X\" value=\"2\" />\r\n</variables>\r\n");
  m_pad.parser.ClearVariables();
  m_pad.variables->Save(m_file);
  EXPECT_EQ(readFile(), "<variables />\r\n");
}

TEST_F(SavedVariablesTest, SavesAndLoadsValuesBeyondDoublePrecision) {
  assign("h=10^400");
  assign("t=10^-4000");
  m_pad.variables->Save(m_file);
  m_pad.parser.ClearVariables();
  EXPECT_TRUE(m_pad.variables->Load(m_file));
  ASSERT_EQ(m_pad.parser.Variables().count(), 2);
  EXPECT_GT(m_pad.parser.Variables().value(0), 1e399L);
  EXPECT_GT(m_pad.parser.Variables().value(1), 0.0L);
}

TEST_F(SavedVariablesTest, AFailedSaveLeavesTheOldFile) {
  writeFile("<variables />\r\n");
  assign("x=2");
  EXPECT_THROW(m_pad.variables->Save((m_folder / "missing" / "vars.xml").string()), EFCreateError);
  std::filesystem::permissions(m_folder,
                               std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  if (::access(m_folder.c_str(), W_OK) != 0) {  // root writes anyway
    EXPECT_THROW(m_pad.variables->Save(m_file), EFCreateError);
    EXPECT_EQ(readFile(), "<variables />\r\n");
  }
  std::filesystem::permissions(m_folder, std::filesystem::perms::owner_all);
}

struct LoadCase {
  const char* name;
  const char* file;
  bool result;
  const char* listText;
};

class LoadTest : public SavedVariablesTest, public testing::WithParamInterface<LoadCase> {};

TEST_P(LoadTest, ReadsVariablesOfTheRightRoot) {
  writeFile(GetParam().file);
  EXPECT_EQ(m_pad.variables->Load(m_file), GetParam().result);
  m_pad.variables->UpdateVariableListBox();
  EXPECT_EQ(m_pad.varsTextLabel.caption(), GetParam().listText);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LoadTest,
    testing::Values(
        LoadCase{"ownLayout", "<variables>\r\n <variable name=\"R\" value=\"0.5\" />\r\n</variables>\r\n",
                 true, "R=0.5"},
        LoadCase{"namesInAnyCase", "<VARIABLES><Variable name=\"x\" value=\"2\"/></VARIABLES>", true, "X=2"},
        LoadCase{"foreignRoot", "<settings><variable name=\"x\" value=\"2\"/></settings>", false,
                 "No defined variables"},
        LoadCase{"otherChildrenSkipped", "<variables><value name=\"x\" value=\"2\"/></variables>", false,
                 "No defined variables"},
        LoadCase{"emptyRoot", "<variables />", false, "No defined variables"},
        LoadCase{"notXml", "garbage", false, "No defined variables"}),
    testing_support::RowName());

TEST_F(SavedVariablesTest, MissingFileLoadsNothing) { EXPECT_FALSE(m_pad.variables->Load(m_file)); }

TEST_F(SavedVariablesTest, BadEntriesAreSkippedAndNotedEveryOtherLoads) {
  writeFile(
      "<variables><variable name=\"a\" value=\"1\"/><variable name=\"b\" Value=\"2\"/>"
      "<variable name=\"c\" value=\"3\"/><variable name=\"a+b\" value=\"2\"/>"
      "<variable name=\"d\" value=\"" +
      std::string(4 << 20, '7') +
      "x\"/><variable name=\"e\" value=\"5\"/>"
      "</variables>");
  LoadNotes notes;
  EXPECT_TRUE(m_pad.variables->Load(m_file, &notes));
  m_pad.variables->UpdateVariableListBox();
  EXPECT_EQ(m_pad.varsTextLabel.caption(), "A=1, C=3, E=5");
  ASSERT_EQ(notes.size(), 3u);
  EXPECT_EQ(notes[0], "variable \"b\" skipped: '' is not a valid floating point value");
  EXPECT_EQ(notes[1], "variable \"a+b\" skipped: it is no valid name");
  EXPECT_LT(notes[2].size(), 200u) << "a huge value is not quoted whole";
}

struct LocaleRow {
  const char* name;
  const char* locale;
  const char* value;
  const char* listed;  // as the list shows it, in the locale's separator
};

class VariablesAcrossLocales : public SavedVariablesTest, public testing::WithParamInterface<LocaleRow> {
 protected:
  void TearDown() override {
    std::setlocale(LC_ALL, "C");
    SavedVariablesTest::TearDown();
  }
};

TEST_P(VariablesAcrossLocales, EitherSeparatorReads) {
  if (std::setlocale(LC_ALL, GetParam().locale) == nullptr)
    GTEST_SKIP() << GetParam().locale << " is not installed";
  writeFile(std::string("<variables><variable name=\"X\" value=\"") + GetParam().value +
            "\"/><variable name=\"Y\" value=\"2\"/></variables>");
  LoadNotes notes;
  EXPECT_TRUE(m_pad.variables->Load(m_file, &notes));
  EXPECT_TRUE(notes.empty());
  m_pad.variables->UpdateVariableListBox();
  EXPECT_EQ(m_pad.varsTextLabel.caption(), std::string("X=") + GetParam().listed + ", Y=2");
}

INSTANTIATE_TEST_SUITE_P(Rows, VariablesAcrossLocales,
                         testing::Values(LocaleRow{"pointInC", "C", "1.5", "1.5"},
                                         LocaleRow{"commaInC", "C", "1,5", "1.5"},
                                         LocaleRow{"commaInGerman", "de_DE.UTF-8", "1,5", "1,5"},
                                         LocaleRow{"pointInGerman", "de_DE.UTF-8", "-2.5E-3", "-0,0025"},
                                         LocaleRow{"commaExponentInC", "C", "6,25E2", "625"}),
                         testing_support::RowName());

TEST_F(SavedVariablesTest, AFileWrittenUnderOneLocaleReadsBackWholeUnderTheOther) {
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
  assign("a = 1/4");
  assign("b = 7");
  m_pad.variables->Save(m_file);
  EXPECT_NE(readFile().find("value=\"0,25\""), std::string::npos);
  std::setlocale(LC_ALL, "C");
  ScratchPadFixture other;
  LoadNotes notes;
  EXPECT_TRUE(other.variables->Load(m_file, &notes));
  EXPECT_TRUE(notes.empty());
  other.variables->UpdateVariableListBox();
  EXPECT_EQ(other.varsTextLabel.caption(), "A=0.25, B=7");
}

TEST(StartsWithNumber, LooksAtTheFirstCharacterOnly) {
  EXPECT_TRUE(startsWithNumber("1x"));
  EXPECT_TRUE(startsWithNumber("9"));
  EXPECT_FALSE(startsWithNumber("x1"));
  EXPECT_FALSE(startsWithNumber(""));
  EXPECT_FALSE(startsWithNumber("-1"));
}

}  // namespace
}  // namespace ormel
