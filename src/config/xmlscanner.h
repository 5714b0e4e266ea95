#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ormel {

/// The kinds of part a document is made of, as TXmlScanner::Scan reports them.
enum class XmlPartType {
  EndOfDocument,
  XmlDecl,   ///< <?xml ... ?>
  Comment,   ///< <!-- ... -->
  PI,        ///< <?target ... ?>
  DocType,   ///< <!DOCTYPE ...> and any other <! declaration
  StartTag,  ///< <name attr="v">
  EmptyTag,  ///< <name attr="v" />
  EndTag,    ///< </name>
  Content,   ///< text between markup, unchanged
  CData,     ///< <![CDATA[ ... ]]>
};

/// One attribute of a tag, its value with references decoded.
struct XmlAttribute {
  std::string Name;
  std::string Value;
};

/// A forgiving pull scanner over a document held in memory: one pass, linear in the size of
/// the document, never throws. Malformed markup is reported as the nearest sensible part
/// (a lone "<" is content; a tag cut off by the end of the document is a start tag holding the
/// attributes that were complete). Bytes are taken as they are.
class TXmlScanner {
 public:
  /// Takes the whole file into memory. A file that cannot be read gives a document without
  /// parts, and false.
  bool LoadFromFile(const std::string& fileName);
  /// Takes a copy of the given bytes as the document and starts at its beginning.
  void LoadFromBuffer(std::string_view document);

  /// Steps to the next part and tells its kind; EndOfDocument once past the last one.
  XmlPartType Scan();

  /// Element name of the current tag (as written); the target of a processing instruction.
  [[nodiscard]] const std::string& CurName() const { return m_name; }
  /// Attributes of the current start or empty-element tag, in document order.
  [[nodiscard]] const std::vector<XmlAttribute>& CurAttr() const { return m_attributes; }
  /// The text of the current content or CDATA part, unchanged.
  [[nodiscard]] std::string_view CurContent() const { return m_content; }

  /// Decodes the five predefined entities and decimal and hex character references (as
  /// UTF-8); an undeclared entity or malformed reference stays as written; tab, CR and LF
  /// become one blank each.
  [[nodiscard]] static std::string normalizeAttributeValue(std::string_view raw);

 private:
  XmlPartType scanMarkup();
  XmlPartType scanTag();
  XmlPartType scanEndTag();
  XmlPartType scanProcessingInstruction();
  XmlPartType scanDeclaration();
  XmlPartType scanContent();

  std::string m_document;
  std::size_t m_pos = 0;
  std::string m_name;
  std::vector<XmlAttribute> m_attributes;
  std::string_view m_content;
};

}  // namespace ormel
