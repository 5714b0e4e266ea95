#include "config/xmlnode.h"

#include <utility>

#include "base/atomic_file.h"
#include "base/exceptions.h"
#include "base/text.h"
#include "config/xmlscanner.h"

namespace ormel {

namespace {

// The longest element name a flaw quotes.
constexpr std::size_t kQuotedNameLimit = 60;

void appendEscaped(std::string& out, std::string_view value) {
  for (const char c : value) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\t':
        out += "&#9;";
        break;
      case '\n':
        out += "&#10;";
        break;
      case '\r':
        out += "&#13;";
        break;
      default:
        out += c;
    }
  }
}

// The line that opens a node: "<name fields" and then " />" or ">".
void appendIndent(std::string& out, int level) {
  if (level > 0) out.append(static_cast<std::size_t>(level), ' ');
}

void appendOpening(std::string& out, const TXMLNode& node, int level) {
  appendIndent(out, level);
  out += '<';
  out += node.Name();
  for (const TXMLNodeField& field : node.Fields()) {
    out += ' ';
    out += field.Name;
    out += "=\"";
    appendEscaped(out, field.Value);
    out += '"';
  }
  out += node.GetChildCount() == 0 ? " />\r\n" : ">\r\n";
}

void appendClosing(std::string& out, const TXMLNode& node, int level) {
  appendIndent(out, level);
  out += "</";
  out += node.Name();
  out += ">\r\n";
}

void addAttributes(TXMLNode& node, const TXmlScanner& scanner) {
  for (const XmlAttribute& attribute : scanner.CurAttr()) node.AddField(attribute.Name, attribute.Value);
}

std::unique_ptr<TXMLNode> LoadEmptyRootNode(const TXmlScanner& scanner) {
  auto root = std::make_unique<TXMLNode>(scanner.CurName());
  addAttributes(*root, scanner);
  return root;
}

// The body loop, with the open elements on a stack of our own rather than the call stack, so
// that no nesting depth can overflow it. An end tag closes the open element whatever it names,
// and the end of the text closes all; the first end tag that names another element, or an end
// of the text with elements open, is the flaw noted.
void LoadNodeBody(TXmlScanner& scanner, TXMLNode& node, std::string* flaw) {
  std::vector<TXMLNode*> open{&node};
  while (!open.empty()) {
    switch (scanner.Scan()) {
      case XmlPartType::StartTag: {
        TXMLNode& child = open.back()->AddChild(scanner.CurName());
        addAttributes(child, scanner);
        open.push_back(&child);
        break;
      }
      case XmlPartType::EmptyTag:
        addAttributes(open.back()->AddChild(scanner.CurName()), scanner);
        break;
      case XmlPartType::EndTag:
        if (flaw != nullptr && flaw->empty() && lowerCaseAscii(scanner.CurName()) != open.back()->Name()) {
          *flaw = "the end tag </" + abbreviated(scanner.CurName(), kQuotedNameLimit) + "> closes <" +
                  abbreviated(open.back()->Name(), kQuotedNameLimit) + ">";
        }
        open.pop_back();
        break;
      case XmlPartType::EndOfDocument:
        // A text cut off, perhaps inside a tag whose last attribute was lost.
        if (flaw != nullptr && flaw->empty()) {
          *flaw =
              "the text ends before <" + abbreviated(open.back()->Name(), kQuotedNameLimit) + "> is closed";
        }
        return;
      default:
        break;
    }
  }
}

// Elements after the root are not read: the first one is noted.
void noteElementAfterRoot(TXmlScanner& scanner, const TXMLNode& root, std::string* flaw) {
  if (flaw == nullptr || !flaw->empty()) return;
  for (;;) {
    switch (scanner.Scan()) {
      case XmlPartType::StartTag:
      case XmlPartType::EmptyTag:
        *flaw = "<" + abbreviated(scanner.CurName(), kQuotedNameLimit) + "> follows the end of <" +
                abbreviated(root.Name(), kQuotedNameLimit) + ">";
        return;
      case XmlPartType::EndOfDocument:
        return;
      default:
        break;
    }
  }
}

std::unique_ptr<TXMLNode> loadDocument(TXmlScanner& scanner, std::string* flaw) {
  if (flaw != nullptr) flaw->clear();
  for (;;) {
    switch (scanner.Scan()) {
      case XmlPartType::EmptyTag: {
        std::unique_ptr<TXMLNode> root = LoadEmptyRootNode(scanner);
        noteElementAfterRoot(scanner, *root, flaw);
        return root;
      }
      case XmlPartType::StartTag: {
        std::unique_ptr<TXMLNode> root = LoadEmptyRootNode(scanner);
        LoadNodeBody(scanner, *root, flaw);
        noteElementAfterRoot(scanner, *root, flaw);
        return root;
      }
      case XmlPartType::EndOfDocument:
        return nullptr;
      default:
        break;
    }
  }
}

}  // namespace

TXMLNode::TXMLNode(std::string_view name) : m_name(lowerCaseAscii(name)) {}

TXMLNode::~TXMLNode() {
  // Take the subtree apart from below so that each node dies childless: a deep tree must not
  // recurse once per level.
  std::vector<std::unique_ptr<TXMLNode>> pending = std::move(m_children);
  while (!pending.empty()) {
    std::unique_ptr<TXMLNode> node = std::move(pending.back());
    pending.pop_back();
    for (std::unique_ptr<TXMLNode>& child : node->m_children) pending.push_back(std::move(child));
    node->m_children.clear();
  }
}

int TXMLNode::GetChildCount() const { return static_cast<int>(m_children.size()); }

TXMLNode* TXMLNode::GetChild(int index) const {
  if (index < 0 || index >= GetChildCount()) return nullptr;
  return m_children[static_cast<std::size_t>(index)].get();
}

int TXMLNode::FindFieldByName(std::string_view name) const {
  for (std::size_t i = 0; i < m_fields.size(); ++i) {
    if (m_fields[i].Name == name) return static_cast<int>(i);
  }
  return -1;
}

SettingValue TXMLNode::GetFieldValue(std::string_view name) const {
  const int index = FindFieldByName(name);
  return SettingValue(index < 0 ? std::string() : m_fields[static_cast<std::size_t>(index)].Value);
}

TXMLNode& TXMLNode::AddChild(std::string_view name) {
  m_children.push_back(std::make_unique<TXMLNode>(name));
  return *m_children.back();
}

TXMLNodeField& TXMLNode::AddField(std::string_view name, const SettingValue& value) {
  m_fields.push_back(TXMLNodeField{std::string(name), value.toText()});
  return m_fields.back();
}

std::string TXMLNode::SubCode(int level) const {
  struct Frame {
    const TXMLNode* node;
    int level;
    std::size_t nextChild;
  };
  std::string out;
  appendOpening(out, *this, level);
  if (m_children.empty()) return out;
  std::vector<Frame> frames{{this, level, 0}};
  while (!frames.empty()) {
    Frame& top = frames.back();
    if (top.nextChild == top.node->m_children.size()) {
      appendClosing(out, *top.node, top.level);
      frames.pop_back();
      continue;
    }
    const TXMLNode& child = *top.node->m_children[top.nextChild++];
    const int childLevel = top.level + 1;
    appendOpening(out, child, childLevel);
    if (!child.m_children.empty()) frames.push_back({&child, childLevel, 0});
  }
  return out;
}

std::string TXMLNode::GetCode() const { return SubCode(0); }

void TXMLNode::SaveToFile(const std::string& fileName) const {
  const FileResult result = writeFileAtomically(fileName, GetCode());
  if (!result.ok) throw EFCreateError(fileName, result.reason);
}

std::string Spaces(int count) {
  return count > 0 ? std::string(static_cast<std::size_t>(count), ' ') : std::string();
}

std::unique_ptr<TXMLNode> LoadXMLFromFile(const std::string& fileName) {
  TXmlScanner scanner;
  if (!scanner.LoadFromFile(fileName)) return nullptr;
  return loadDocument(scanner, nullptr);
}

std::unique_ptr<TXMLNode> LoadXMLFromBuffer(std::string_view document, std::string* flaw) {
  TXmlScanner scanner;
  scanner.LoadFromBuffer(document);
  return loadDocument(scanner, flaw);
}

bool sameTree(const TXMLNode& a, const TXMLNode& b) {
  std::vector<std::pair<const TXMLNode*, const TXMLNode*>> pending{{&a, &b}};
  while (!pending.empty()) {
    const auto [x, y] = pending.back();
    pending.pop_back();
    if (x->Name() != y->Name() || x->Fields() != y->Fields() || x->GetChildCount() != y->GetChildCount()) {
      return false;
    }
    for (int i = 0; i < x->GetChildCount(); ++i) pending.emplace_back(x->GetChild(i), y->GetChild(i));
  }
  return true;
}

}  // namespace ormel
