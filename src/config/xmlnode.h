#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/setting_value.h"

namespace ormel {

/// One attribute of a node: the name with its letter case kept, and the value as text.
struct TXMLNodeField {
  std::string Name;
  std::string Value;
  friend bool operator==(const TXMLNodeField&, const TXMLNodeField&) = default;
};

/// An element of the settings files: a lower-case name, attributes, and owned child elements.
/// Trees of any depth are built, written, compared and destroyed without recursion.
class TXMLNode {
 public:
  /// Create: the name with A-Z mapped to a-z; no children, no fields.
  explicit TXMLNode(std::string_view name);
  /// Destroys the whole subtree.
  virtual ~TXMLNode();
  TXMLNode(const TXMLNode&) = delete;
  TXMLNode& operator=(const TXMLNode&) = delete;

  [[nodiscard]] const std::string& Name() const { return m_name; }
  [[nodiscard]] const std::vector<TXMLNodeField>& Fields() const { return m_fields; }

  [[nodiscard]] int GetChildCount() const;
  /// The child at index, or nullptr when index is below 0 or not below the count.
  [[nodiscard]] TXMLNode* GetChild(int index) const;
  /// Index of the first field whose name equals name exactly (letter case counts), or -1.
  [[nodiscard]] int FindFieldByName(std::string_view name) const;
  /// The first such field's value as text; the empty text when there is none.
  [[nodiscard]] SettingValue GetFieldValue(std::string_view name) const;

  /// Appends a new child TXMLNode(name) and returns it; the node owns it.
  TXMLNode& AddChild(std::string_view name);
  /// Appends a field with the name unchanged and the value's text (SettingValue::toText);
  /// duplicates are kept. The reference is valid until the next AddField on this node.
  TXMLNodeField& AddField(std::string_view name, const SettingValue& value);

  /// The node and its subtree as text, indented one blank per level from the given level, every
  /// line ending in CR LF. &, <, >, " are written as entity references and tab, CR, LF as
  /// character references, so every value reads back unchanged.
  [[nodiscard]] std::string SubCode(int level) const;
  /// SubCode(0).
  [[nodiscard]] std::string GetCode() const;
  /// Writes GetCode() to the file atomically. Throws EFCreateError naming the file and the
  /// system's reason; the old file is then untouched.
  void SaveToFile(const std::string& fileName) const;

 private:
  std::string m_name;
  std::vector<std::unique_ptr<TXMLNode>> m_children;
  std::vector<TXMLNodeField> m_fields;
};

/// A text of count blanks; empty for 0 or less.
[[nodiscard]] std::string Spaces(int count);

/// Reads the file and builds its tree from the first element; nullptr when the file is
/// missing, unreadable or holds no element. Never throws on malformed text: parts that are not
/// tags are skipped, a missing end tag ends the element at the end of the document, and any end
/// tag closes the element that is open.
[[nodiscard]] std::unique_ptr<TXMLNode> LoadXMLFromFile(const std::string& fileName);
/// The same, from a document held in memory. When flaw is given it is set to what shows that the
/// text was not read whole (an end tag naming another element than the one it closes, an
/// element left open at the end of the text, or an element after the root), or to the empty
/// text; the tree is the same either way.
[[nodiscard]] std::unique_ptr<TXMLNode> LoadXMLFromBuffer(std::string_view document,
                                                          std::string* flaw = nullptr);

/// True when both trees have the same names, fields and children in the same order.
[[nodiscard]] bool sameTree(const TXMLNode& a, const TXMLNode& b);

}  // namespace ormel
