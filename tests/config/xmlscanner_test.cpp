#include "config/xmlscanner.h"

#include <gtest/gtest.h>

#include "support/row_name.h"

namespace ormel {
namespace {

using testing_support::RowName;

// The parts of a document as "Kind:name" or "Kind:content", one per part.
std::vector<std::string> partsOf(const std::string& document) {
  static const char* const kKinds[] = {"End",   "Decl",  "Comment", "PI",   "DocType",
                                       "Start", "Empty", "EndTag",  "Text", "CData"};
  TXmlScanner scanner;
  scanner.LoadFromBuffer(document);
  std::vector<std::string> parts;
  for (XmlPartType part = scanner.Scan(); part != XmlPartType::EndOfDocument; part = scanner.Scan()) {
    std::string text = kKinds[static_cast<int>(part)];
    text += ':';
    text += scanner.CurName().empty() ? std::string(scanner.CurContent()) : scanner.CurName();
    for (const XmlAttribute& attribute : scanner.CurAttr())
      text += " " + attribute.Name + "=" + attribute.Value;
    parts.push_back(text);
  }
  return parts;
}

struct PartsRow {
  std::string name;
  std::string document;
  std::vector<std::string> parts;
};

class XmlScannerParts : public testing::TestWithParam<PartsRow> {};

TEST_P(XmlScannerParts, Kinds) { EXPECT_EQ(partsOf(GetParam().document), GetParam().parts); }

INSTANTIATE_TEST_SUITE_P(
    Rows, XmlScannerParts,
    testing::Values(
        PartsRow{"EveryKind",
                 "<?xml version=\"1.0\"?><!DOCTYPE r><!--c--><?pi x?><r a=\"1\">t<![CDATA[<d>]]><e/></r>",
                 {"Decl:xml", "DocType:DOCTYPE r", "Comment:c", "PI:pi", "Start:r a=1", "Text:t", "CData:<d>",
                  "Empty:e", "EndTag:r"}},
        PartsRow{"TextUnchanged", "<r>  a\r\n b  </r>", {"Start:r", "Text:  a\r\n b  ", "EndTag:r"}},
        PartsRow{"NameCaseKept", "<Root Attr='v'/>", {"Empty:Root Attr=v"}},
        PartsRow{"DocTypeWithInternalSubset",
                 "<!DOCTYPE r [<!ENTITY e '>'> ]><r/>",
                 {"DocType:DOCTYPE r [<!ENTITY e '>'> ]", "Empty:r"}},
        PartsRow{"XmlStylesheetIsNoDeclaration", "<?xml-stylesheet href='a'?>", {"PI:xml-stylesheet"}},
        PartsRow{"UnterminatedPartsRunToTheEnd", "<r><![CDATA[abc", {"Start:r", "CData:abc"}},
        PartsRow{"EndTagWithoutClose", "</r", {"EndTag:r"}},
        PartsRow{"SlashInsideTagIgnored", "<r / a='1' />", {"Empty:r a=1"}},
        PartsRow{"UnterminatedValueDropped", "<r a='1' b='2", {"Start:r a=1"}}),
    RowName{});

struct ValueRow {
  std::string name;
  std::string raw;
  std::string decoded;
};

class XmlAttributeValue : public testing::TestWithParam<ValueRow> {};

TEST_P(XmlAttributeValue, Normalised) {
  EXPECT_EQ(TXmlScanner::normalizeAttributeValue(GetParam().raw), GetParam().decoded);
}

INSTANTIATE_TEST_SUITE_P(Rows, XmlAttributeValue,
                         testing::Values(ValueRow{"Plain", "Verdana", "Verdana"},
                                         ValueRow{"Predefined", "&lt;&gt;&amp;&apos;&quot;", "<>&'\""},
                                         ValueRow{"DecimalAndHex", "&#48;&#x31;&#x0032;", "012"},
                                         ValueRow{"ReferencesToWhitespaceKeepIt", "&#9;&#10;&#13;", "\t\n\r"},
                                         ValueRow{"LiteralWhitespaceBecomesBlank", "a\tb\nc\rd", "a b c d"},
                                         ValueRow{"TwoByteUtf8", "&#233;", "\xC3\xA9"},
                                         ValueRow{"FourByteUtf8", "&#x1F600;", "\xF0\x9F\x98\x80"},
                                         ValueRow{"SurrogateKept", "&#xD800;", "&#xD800;"},
                                         ValueRow{"OverlongNumberKept", "&#99999999999999999999;",
                                                  "&#99999999999999999999;"},
                                         ValueRow{"UnknownEntityKept", "&copy;", "&copy;"},
                                         ValueRow{"LoneAmpersand", "a & b &", "a & b &"},
                                         ValueRow{"EntityWithoutSemicolon", "&lt", "&lt"}),
                         RowName{});

TEST(XmlScanner, MissingFileGivesNoParts) {
  TXmlScanner scanner;
  EXPECT_FALSE(scanner.LoadFromFile("/nonexistent/ormel/file.xml"));
  EXPECT_EQ(scanner.Scan(), XmlPartType::EndOfDocument);
  EXPECT_EQ(scanner.Scan(), XmlPartType::EndOfDocument) << "stepping past the end stays at the end";
}

}  // namespace
}  // namespace ormel
