#include "app/about_texts.h"

#include <gtest/gtest.h>

#include "app/update_paths.h"

namespace ormel {
namespace {

std::vector<std::string> splitCrLf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t from = 0;
  for (std::size_t at; (at = text.find("\r\n", from)) != std::string::npos; from = at + 2) {
    lines.push_back(text.substr(from, at - from));
  }
  lines.push_back(text.substr(from));
  return lines;
}

TEST(CreditsText, HeadingEmptyLineAndEveryLineEndingWithCrLf) {
  EXPECT_EQ(creditsText("Heading:", {"one", "two"}), "Heading:\r\n\r\none\r\ntwo\r\n");
  EXPECT_EQ(creditsText("Heading:", {}), "Heading:\r\n\r\n");
}

TEST(Credits, NameWhatTestsItAndTheComponentsWithWhatEachSupplies) {
  const std::vector<std::string> testers = splitCrLf(testersCredits());
  ASSERT_GE(testers.size(), 4U);
  EXPECT_EQ(testers[0], "Faithful Testers:");
  EXPECT_EQ(testers[1], "");
  EXPECT_EQ(testers.back(), "") << "the list ends with CR LF";
  // The invitation to report faults points at the forum's link.
  EXPECT_NE(testers[testers.size() - 2].find("Forum"), std::string::npos);

  const std::vector<std::string> lines = splitCrLf(supportCredits());
  EXPECT_EQ(lines[0], "Great Support:");
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines.back(), "");
  std::vector<std::string> components;
  for (std::size_t i = 2; i + 1 < lines.size(); ++i) {
    const std::size_t bracket = lines[i].find(" (");
    ASSERT_NE(bracket, std::string::npos) << lines[i];
    EXPECT_TRUE(lines[i].ends_with(")") && lines[i].size() > bracket + 3) << "what it supplies: " << lines[i];
    components.push_back(lines[i].substr(0, bracket));
  }
  EXPECT_EQ(components, (std::vector<std::string>{"Qt", "libcurl", "libjpeg-turbo", "GoogleTest",
                                                  "Google Benchmark", "muparser", "libFuzzer"}));
}

TEST(DisclaimerText, OneParagraphWrappedAtOneHundredTwenty) {
  const std::vector<std::string> lines = splitCrLf(disclaimerText());
  ASSERT_GE(lines.size(), 2U);
  std::string paragraph;
  for (const std::string& line : lines) {
    EXPECT_LE(line.size(), 120U) << line;
    EXPECT_EQ(line.find('\n'), std::string::npos);
    paragraph += line;
  }
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) EXPECT_TRUE(lines[i].ends_with(" ")) << lines[i];
  for (const char* words : {"without any warranty", "not liable"}) {
    EXPECT_NE(paragraph.find(words), std::string::npos) << words;
  }
}

TEST(AboutPageAddress, IsThePathOnTheUpdateServersHost) {
  const std::string site = "http://" + updateServerHost();
  EXPECT_EQ(aboutPageAddress(kHomePagePath), site + "/ormelWare/");
  EXPECT_EQ(aboutPageAddress(kOnlineHelpPath), site + "/ormelWare/node/15");
  EXPECT_EQ(aboutPageAddress(kForumPath), site + "/ormelWare/forum");
}

}  // namespace
}  // namespace ormel
