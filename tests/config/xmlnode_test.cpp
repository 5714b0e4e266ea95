#include "config/xmlnode.h"

#include <gtest/gtest.h>

#include "base/exceptions.h"
#include "config/temp_folder.h"
#include "support/row_name.h"

namespace ormel {
namespace {

using testing_support::RowName;
using testing_support::TempFolderTest;

TEST(XmlNode, WritesTheOneLayoutByteForByte) {
  TXMLNode hotkeys("hotkeys");
  TXMLNode& first = hotkeys.AddChild("hotkey");
  first.AddField("name", "Clear Screen");
  first.AddField("hotkey", "Esc");
  TXMLNode& second = hotkeys.AddChild("hotkey");
  second.AddField("name", "Quit");
  second.AddField("hotkey", "");
  EXPECT_EQ(hotkeys.GetCode(),
            "<hotkeys>\r\n"
            " <hotkey name=\"Clear Screen\" hotkey=\"Esc\" />\r\n"
            " <hotkey name=\"Quit\" hotkey=\"\" />\r\n"
            "</hotkeys>\r\n");
  EXPECT_EQ(TXMLNode("variables").GetCode(), "<variables />\r\n");

  TXMLNode root("a");
  root.AddChild("b").AddChild("c").AddField("x", 1);
  EXPECT_EQ(root.SubCode(1), " <a>\r\n  <b>\r\n   <c x=\"1\" />\r\n  </b>\r\n </a>\r\n");
}

TEST(XmlNode, NamesAreLowerCasedButFieldNamesKeepTheirCase) {
  TXMLNode node("RegExpColor");
  node.AddField("value2", "x");
  node.AddField("Value", "y");
  EXPECT_EQ(node.Name(), "regexpcolor");
  EXPECT_EQ(node.GetCode(), "<regexpcolor value2=\"x\" Value=\"y\" />\r\n");
  EXPECT_EQ(node.FindFieldByName("value"), -1);
  EXPECT_EQ(node.FindFieldByName("Value"), 1);
  EXPECT_EQ(TXMLNode("\xC3\x84Z").Name(), "\xC3\x84z") << "only A-Z are mapped";
}

TEST(XmlNode, FieldValuesAndLookups) {
  TXMLNode node("n");
  node.AddField("int", 16777215);
  node.AddField("neg", -12);
  node.AddField("byte", std::uint8_t{3});
  node.AddField("bool", true);
  node.AddField("float", 1.5L);
  node.AddField("empty", SettingValue());
  node.AddField("int", 7);
  EXPECT_EQ(node.GetFieldValue("int"), SettingValue("16777215")) << "the first of two wins";
  EXPECT_EQ(node.GetFieldValue("int").kind(), SettingValue::Kind::Text);
  EXPECT_EQ(node.GetFieldValue("neg").toText(), "-12");
  EXPECT_EQ(node.GetFieldValue("byte").toText(), "3");
  EXPECT_EQ(node.GetFieldValue("bool").toText(), "True");
  EXPECT_EQ(node.GetFieldValue("float").toText(), "1.5");
  EXPECT_EQ(node.GetFieldValue("empty").toText(), "");
  EXPECT_EQ(node.GetFieldValue("missing").toText(), "");
  EXPECT_EQ(node.GetFieldValue("missing").kind(), SettingValue::Kind::Text);
  EXPECT_EQ(node.Fields().size(), 7u);

  EXPECT_EQ(node.GetChild(0), nullptr);
  node.AddChild("c");
  EXPECT_NE(node.GetChild(0), nullptr);
  EXPECT_EQ(node.GetChild(-1), nullptr);
  EXPECT_EQ(node.GetChild(node.GetChildCount()), nullptr);
}

TEST(XmlNode, Spaces) {
  EXPECT_EQ(Spaces(3), "   ");
  EXPECT_EQ(Spaces(0), "");
  EXPECT_EQ(Spaces(-4), "");
}

TEST(XmlNode, EveryValueReadsBackUnchanged) {
  const std::string tricky[] = {"\"",
                                "a & b",
                                "&amp;",
                                "<tag>",
                                "tab\there",
                                "line\r\nbreak",
                                "'",
                                "&#65;",
                                "\xC3\xA9t\xC3\xA9",
                                std::string("nul\0byte", 8),
                                " lead and trail "};
  TXMLNode root("r");
  for (const std::string& value : tricky) root.AddChild("c").AddField("v", value);
  const std::unique_ptr<TXMLNode> back = LoadXMLFromBuffer(root.GetCode());
  ASSERT_NE(back, nullptr);
  ASSERT_TRUE(sameTree(root, *back)) << root.GetCode();
  EXPECT_EQ(TXMLNode("x").AddField("v", "a\"b&c").Value, "a\"b&c") << "stored unescaped";
}

TEST(XmlNode, ValuesThatNeedNoEscapingAreWrittenAsTheyAre) {
  TXMLNode node("n");
  node.AddField("v", "Verdana, 'Sans' #1 = 100% ;");
  EXPECT_EQ(node.GetCode(), "<n v=\"Verdana, 'Sans' #1 = 100% ;\" />\r\n");
}

struct LoadRow {
  std::string name;
  std::string document;
  std::string expected;  // the loaded tree written out again; empty when nothing loads
  std::string flaw{};    // what shows that the text was not read whole
};

class XmlLoad : public testing::TestWithParam<LoadRow> {};

TEST_P(XmlLoad, Tolerance) {
  const std::unique_ptr<TXMLNode> root = LoadXMLFromBuffer(GetParam().document);
  EXPECT_EQ(root ? root->GetCode() : std::string(), GetParam().expected);
  std::string flaw = "left from before";
  const std::unique_ptr<TXMLNode> again = LoadXMLFromBuffer(GetParam().document, &flaw);
  EXPECT_EQ(again ? again->GetCode() : std::string(), GetParam().expected) << "the same tree";
  EXPECT_EQ(flaw, GetParam().flaw);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, XmlLoad,
    testing::Values(
        LoadRow{"Empty", "", ""}, LoadRow{"OnlyText", "just text, no element", ""},
        LoadRow{"OnlyCommentAndDeclaration", "<?xml version=\"1.0\"?><!-- x -->", ""},
        LoadRow{"EmptyRoot", "<variables />", "<variables />\r\n"},
        LoadRow{"EmptyRootWithoutBlank", "<variables/>", "<variables />\r\n"},
        LoadRow{"PrologSkipped",
                "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE s [<!ENTITY e \"<x>\">]>\n"
                "<!-- c --><?pi data?>text<s><![CDATA[<t a=\"1\"/>]]><a v=\"1\"/>tail</s>",
                "<s>\r\n <a v=\"1\" />\r\n</s>\r\n"},
        LoadRow{"CapitalsLowered", "<SETTINGS><OneInstance Value=\"1\"/></SETTINGS>",
                "<settings>\r\n <oneinstance Value=\"1\" />\r\n</settings>\r\n"},
        LoadRow{"SingleQuotes", "<r v='a\"b' w=\"c'd\"/>", "<r v=\"a&quot;b\" w=\"c'd\" />\r\n"},
        LoadRow{"PredefinedEntities", "<r v=\"&lt;&gt;&amp;&apos;&quot;\"/>",
                "<r v=\"&lt;&gt;&amp;'&quot;\" />\r\n"},
        LoadRow{"CharacterReferences", "<r v=\"&#65;&#x42;&#X43;&#xe9;&#8364;\"/>",
                "<r v=\"ABC\xC3\xA9\xE2\x82\xAC\" />\r\n"},
        LoadRow{"UndeclaredEntityKept", "<r v=\"&nbsp; &#; &#xZ; &#0; &#1114112; &amp\"/>",
                "<r v=\"&amp;nbsp; &amp;#; &amp;#xZ; &amp;#0; &amp;#1114112; &amp;amp\" />\r\n"},
        LoadRow{"LineBreaksAndTabsBecomeBlanks", "<r v=\"a\r\nb\tc\"/>", "<r v=\"a  b c\" />\r\n"},
        LoadRow{"DuplicateFieldsKept", "<r v=\"1\" v=\"2\"/>", "<r v=\"1\" v=\"2\" />\r\n"},
        LoadRow{"UnquotedAndBareAttributes", "<r a=1 b c = \"3\"/>", "<r a=\"1\" b=\"\" c=\"3\" />\r\n"},
        LoadRow{"MissingEndTags", "<r><a><b x=\"1\">", "<r>\r\n <a>\r\n  <b x=\"1\" />\r\n </a>\r\n</r>\r\n",
                "the text ends before <b> is closed"},
        LoadRow{"MismatchedEndTagClosesOpenElement", "<r><a></zzz><b/></r>",
                "<r>\r\n <a />\r\n <b />\r\n</r>\r\n", "the end tag </zzz> closes <a>"},
        LoadRow{"EndTagClosingTheRootEarly",
                "<variables><variable name=\"A\"/></variable><variable name=\"B\"/></variables>",
                "<variables>\r\n <variable name=\"A\" />\r\n</variables>\r\n",
                "the end tag </variable> closes <variables>"},
        LoadRow{"EndTagsMatchWithoutRegardToCase", "<R><A></a></r><!-- end --></r>",
                "<r>\r\n <a />\r\n</r>\r\n"},
        LoadRow{"AfterRootNotRead", "<r/><s/>", "<r />\r\n", "<s> follows the end of <r>"},
        LoadRow{"AfterRootEndNotRead", "<r></r><s/>", "<r />\r\n", "<s> follows the end of <r>"},
        LoadRow{"SecondRootNotRead", "<r><a/></r>\r\n<r><c/></r>", "<r>\r\n <a />\r\n</r>\r\n",
                "<r> follows the end of <r>"},
        LoadRow{"StrayLessThanIsText", "< r><<=x><r/>", "<r />\r\n"},
        LoadRow{"TruncatedTagKeepsCompleteAttributes", "<r><screenpos left=\"490\" top=\"36",
                "<r>\r\n <screenpos left=\"490\" />\r\n</r>\r\n",
                "the text ends before <screenpos> is closed"},
        LoadRow{"UnclosedTagEndsAtNextTag", "<r><a x=\"1\" <b/></r>",
                "<r>\r\n <a x=\"1\">\r\n  <b />\r\n </a>\r\n</r>\r\n", "the end tag </r> closes <a>"},
        LoadRow{"UnterminatedComment", "<r><!-- <a/>", "<r />\r\n", "the text ends before <r> is closed"},
        LoadRow{"Utf8BytesUnchanged", "<?xml version=\"1.0\"?><r v=\"\xC3\xA9\xFF\"/>",
                "<r v=\"\xC3\xA9\xFF\" />\r\n"}),
    RowName{});

TEST(XmlNode, DeepNestingLoadsWithoutRecursion) {
  constexpr int kDepth = 100000;
  std::string document;
  for (int i = 0; i < kDepth; ++i) document += "<a>";
  std::unique_ptr<TXMLNode> root = LoadXMLFromBuffer(document);
  ASSERT_NE(root, nullptr);
  int depth = 1;
  for (const TXMLNode* node = root.get(); node->GetChildCount() > 0; node = node->GetChild(0)) ++depth;
  EXPECT_EQ(depth, kDepth);
  std::unique_ptr<TXMLNode> again = LoadXMLFromBuffer(document);
  EXPECT_TRUE(sameTree(*root, *again));
  const std::string code = LoadXMLFromBuffer("<a><a><a/></a></a>")->GetCode();
  EXPECT_EQ(code, "<a>\r\n <a>\r\n  <a />\r\n </a>\r\n</a>\r\n");
}

class XmlFile : public TempFolderTest {};

TEST_F(XmlFile, SaveAndLoadRoundTrip) {
  TXMLNode root("Variables");
  TXMLNode& child = root.AddChild("variable");
  child.AddField("name", "X");
  child.AddField("value", "2.5");
  root.SaveToFile(path("vars.xml"));
  EXPECT_EQ(read("vars.xml"), "<variables>\r\n <variable name=\"X\" value=\"2.5\" />\r\n</variables>\r\n");
  const std::unique_ptr<TXMLNode> back = LoadXMLFromFile(path("vars.xml"));
  ASSERT_NE(back, nullptr);
  EXPECT_TRUE(sameTree(root, *back));
}

TEST_F(XmlFile, MissingOrUnreadableFileGivesNone) {
  EXPECT_EQ(LoadXMLFromFile(path("missing.xml")), nullptr);
  EXPECT_EQ(LoadXMLFromFile(path("")), nullptr) << "a folder is no file";
  write("empty.xml", "");
  EXPECT_EQ(LoadXMLFromFile(path("empty.xml")), nullptr);
}

TEST_F(XmlFile, FailedWriteNamesFileAndReasonAndKeepsOldFile) {
  write("prefs.xml", "<preferences />\r\n");
  TXMLNode root("preferences");
  for (int i = 0; i < 100; ++i) root.AddChild("entry").AddField("value", i);
  withFullDisk([&] {
    try {
      root.SaveToFile(path("prefs.xml"));
      ADD_FAILURE() << "the write should fail";
    } catch (const EFCreateError& error) {
      EXPECT_EQ(error.message(), "Cannot create file \"" + path("prefs.xml") + "\". File too large");
    }
  });
  EXPECT_EQ(read("prefs.xml"), "<preferences />\r\n");
  EXPECT_THROW(root.SaveToFile(path("no/such/folder/prefs.xml")), EFCreateError);
}

}  // namespace
}  // namespace ormel
