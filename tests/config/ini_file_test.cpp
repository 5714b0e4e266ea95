#include "config/ini_file.h"

#include <gtest/gtest.h>

#include "base/exceptions.h"
#include "config/temp_folder.h"
#include "support/row_name.h"

namespace ormel {
namespace {

using testing_support::RowName;
using testing_support::TempFolderTest;

constexpr const char* kVersionFile =
    "; written by the server\r\n"
    "stray=before any section\r\n"
    "[ormelCalc]\r\n"
    "VERSION = 2.1 final  \r\n"
    "Quoted=\"  padded  \"\r\n"
    "Single='x'\r\n"
    "Lonely=\"\r\n"
    "Empty=\r\n"
    "NoEquals\r\n"
    "version=shadowed\r\n"
    "  [ Other ]  trailing\n"
    "key=value=with=equals\n"
    "[ORMELCALC]\n"
    "Later=ignored\n";

struct ReadRow {
  std::string name;
  std::string section;
  std::string key;
  std::string expected;
};

class IniRead : public testing::TestWithParam<ReadRow> {};

TEST_P(IniRead, ProfileRules) {
  const IniFile file(kVersionFile);
  EXPECT_EQ(file.readString(GetParam().section, GetParam().key, "<default>"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, IniRead,
    testing::Values(ReadRow{"Trimmed", "ormelCalc", "VERSION", "2.1 final"},
                    ReadRow{"NamesWithoutCase", "ORMELCALC", "version", "2.1 final"},
                    ReadRow{"NamesTrimmed", " ormelcalc ", " Version ", "2.1 final"},
                    ReadRow{"QuotesRemovedInnerBlanksKept", "ormelCalc", "Quoted", "  padded  "},
                    ReadRow{"SingleQuotes", "ormelCalc", "Single", "x"},
                    ReadRow{"OneQuoteStays", "ormelCalc", "Lonely", "\""},
                    ReadRow{"EmptyValueIsEmpty", "ormelCalc", "Empty", ""},
                    ReadRow{"LineWithoutEqualsIgnored", "ormelCalc", "NoEquals", "<default>"},
                    ReadRow{"MissingKey", "ormelCalc", "Missing", "<default>"},
                    ReadRow{"MissingSection", "Nowhere", "VERSION", "<default>"},
                    ReadRow{"FirstSectionOnly", "ormelCalc", "Later", "<default>"},
                    ReadRow{"KeyBeforeSectionsIgnored", "", "stray", "<default>"},
                    ReadRow{"SectionNameTrimmed", "Other", "key", "value=with=equals"}),
    RowName{});

TEST(IniFile, IgnoredLinesAreCountedWithTheFirstNamed) {
  const IniFile file(kVersionFile);
  const IniFile::Ignored& ignored = file.ignored();
  EXPECT_EQ(ignored.count, 2U) << "the key before any section and the line without \"=\"";
  EXPECT_EQ(ignored.firstLine, 2U) << "CR LF is one line end";
  EXPECT_EQ(ignored.firstText, "stray=before any section");
  EXPECT_EQ(IniFile("\r\n; note\n# note\n\n[s]\nk=v\r\n").ignored().count, 0U);
}

TEST(IniFile, LongValuesAreCut) {
  const IniFile file("[s]\nk=" + std::string(5000, 'v') + "\n");
  EXPECT_EQ(file.readString("s", "k", ""), std::string(IniFile::kMaxValueLength, 'v'));
  EXPECT_EQ(file.readString("s", "none", std::string(3000, 'd')).size(), IniFile::kMaxValueLength);
}

TEST(IniFile, Integers) {
  const IniFile file("[FuncsToolbar]\nRev=2000\nDockPos= -12 \nBad=12px\n");
  EXPECT_EQ(file.readInteger("funcstoolbar", "rev", 0), 2000);
  EXPECT_EQ(file.readInteger("FuncsToolbar", "DockPos", 0), -12);
  EXPECT_EQ(file.readInteger("FuncsToolbar", "Bad", 7), 7);
  EXPECT_EQ(file.readInteger("FuncsToolbar", "Missing", 7), 7);
}

TEST(IniFile, WritesSectionsAndKeysInOrder) {
  IniFile file;
  file.writeInteger("FuncsToolbar", "Rev", 2000);
  file.writeInteger("FuncsToolbar", "Visible", 1);
  file.writeString("FuncsToolbar", "DockedTo", "TopDock");
  file.writeString("FuncsToolbar", "LastDock", "");
  file.writeInteger("VarsToolbar", "Rev", 2000);
  file.writeInteger("funcstoolbar", "visible", 0);
  EXPECT_EQ(file.text(),
            "[FuncsToolbar]\r\nRev=2000\r\nVisible=0\r\nDockedTo=TopDock\r\nLastDock=\r\n"
            "\r\n[VarsToolbar]\r\nRev=2000\r\n");
}

TEST(IniFile, EveryValueReadsBackUnchanged) {
  const std::string values[] = {"",   " lead", "trail\t",         "\"quoted\"", "'single'",
                                "\"", "a=b",   "; not a comment", "line\nbreak"};
  IniFile file;
  for (std::size_t i = 0; i < std::size(values); ++i)
    file.writeString("s", "k" + std::to_string(i), values[i]);
  const IniFile back(file.text());
  for (std::size_t i = 0; i < std::size(values); ++i) {
    const std::string expected = values[i] == "line\nbreak" ? "line break" : values[i];
    EXPECT_EQ(back.readString("s", "k" + std::to_string(i), "<none>"), expected) << i;
  }
  EXPECT_EQ(back.sections(), file.sections());
}

class IniFileOnDisk : public TempFolderTest {};

TEST_F(IniFileOnDisk, SaveLoadAndFailures) {
  EXPECT_EQ(readProfileString(path("ormelCalc2.upd"), "ormelCalc", "VERSION", "2.0 public beta"),
            "2.0 public beta");
  IniFile file;
  file.writeString("ormelCalc", "VERSION", "2.5");
  file.SaveToFile(path("ormelCalc2.upd"));
  EXPECT_EQ(read("ormelCalc2.upd"), "[ormelCalc]\r\nVERSION=2.5\r\n");
  EXPECT_EQ(readProfileString(path("ormelCalc2.upd"), "ORMELCALC", "version", "x"), "2.5");

  IniFile loaded;
  EXPECT_FALSE(loaded.LoadFromFile(path("missing.ini")));
  EXPECT_TRUE(loaded.LoadFromFile(path("ormelCalc2.upd")));
  EXPECT_EQ(loaded.sections(), file.sections());

  for (int i = 0; i < 50; ++i) file.writeInteger("ormelCalc", "Key" + std::to_string(i), i);
  withFullDisk([&] { EXPECT_THROW(file.SaveToFile(path("ormelCalc2.upd")), EFCreateError); });
  EXPECT_EQ(read("ormelCalc2.upd"), "[ormelCalc]\r\nVERSION=2.5\r\n");
}

}  // namespace
}  // namespace ormel
