#include "config/xmlscanner.h"

#include <cstdint>

#include "base/atomic_file.h"

namespace ormel {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Deliberately wide: anything that cannot end a name or start a value belongs to it, so that
// a name read here is written back and read again unchanged.
bool isNameChar(char c) {
  switch (c) {
    case ' ':
    case '\t':
    case '\r':
    case '\n':
    case '/':
    case '>':
    case '<':
    case '=':
    case '"':
    case '\'':
      return false;
    default:
      return true;
  }
}

// The end of the name that starts at from (from itself when none does).
std::size_t nameEnd(std::string_view doc, std::size_t from) {
  while (from < doc.size() && isNameChar(doc[from])) ++from;
  return from;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void appendUtf8(std::string& out, std::uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// A numeric character reference after "&#": its length up to and including ";" and the
// code, or 0 when it is malformed or names no character.
std::size_t numericReference(std::string_view text, std::uint32_t& code) {
  std::size_t i = 0;
  const bool hex = i < text.size() && (text[i] == 'x' || text[i] == 'X');
  if (hex) ++i;
  const std::size_t digitsStart = i;
  std::uint32_t value = 0;
  bool tooLarge = false;
  for (; i < text.size(); ++i) {
    const int digit = hex ? hexDigit(text[i]) : (isDigit(text[i]) ? text[i] - '0' : -1);
    if (digit < 0) break;
    if (!tooLarge) {
      value = value * (hex ? 16 : 10) + static_cast<std::uint32_t>(digit);
      tooLarge = value > 0x10FFFF;
    }
  }
  if (i == digitsStart || i >= text.size() || text[i] != ';') return 0;
  if (tooLarge || value == 0 || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  code = value;
  return i + 1;
}

struct PredefinedEntity {
  std::string_view reference;  // without the leading '&'
  char character;
};
constexpr PredefinedEntity kPredefinedEntities[] = {
    {"lt;", '<'}, {"gt;", '>'}, {"amp;", '&'}, {"apos;", '\''}, {"quot;", '"'}};

}  // namespace

bool TXmlScanner::LoadFromFile(const std::string& fileName) {
  std::string content;
  const bool ok = readWholeFile(fileName, content).ok;
  LoadFromBuffer(content);
  return ok;
}

void TXmlScanner::LoadFromBuffer(std::string_view document) {
  m_document.assign(document);
  m_pos = 0;
  m_name.clear();
  m_attributes.clear();
  m_content = {};
}

XmlPartType TXmlScanner::Scan() {
  m_name.clear();
  m_attributes.clear();
  m_content = {};
  if (m_pos >= m_document.size()) return XmlPartType::EndOfDocument;
  return m_document[m_pos] == '<' ? scanMarkup() : scanContent();
}

std::string TXmlScanner::normalizeAttributeValue(std::string_view raw) {
  std::string out;
  out.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i) {
    const char c = raw[i];
    if (c == '\t' || c == '\r' || c == '\n') {
      out += ' ';
      continue;
    }
    if (c != '&') {
      out += c;
      continue;
    }
    const std::string_view rest = raw.substr(i + 1);
    bool decoded = false;
    if (!rest.empty() && rest[0] == '#') {
      std::uint32_t code = 0;
      if (const std::size_t length = numericReference(rest.substr(1), code); length > 0) {
        appendUtf8(out, code);
        i += 1 + length;
        decoded = true;
      }
    } else {
      for (const PredefinedEntity& entity : kPredefinedEntities) {
        if (rest.starts_with(entity.reference)) {
          out += entity.character;
          i += entity.reference.size();
          decoded = true;
          break;
        }
      }
    }
    if (!decoded) out += '&';
  }
  return out;
}

XmlPartType TXmlScanner::scanMarkup() {
  const std::string_view rest = std::string_view(m_document).substr(m_pos);
  if (rest.starts_with("<!--")) {
    const std::size_t end = rest.find("-->", 4);
    m_content = rest.substr(4, end == std::string_view::npos ? std::string_view::npos : end - 4);
    m_pos = end == std::string_view::npos ? m_document.size() : m_pos + end + 3;
    return XmlPartType::Comment;
  }
  if (rest.starts_with("<![CDATA[")) {
    const std::size_t end = rest.find("]]>", 9);
    m_content = rest.substr(9, end == std::string_view::npos ? std::string_view::npos : end - 9);
    m_pos = end == std::string_view::npos ? m_document.size() : m_pos + end + 3;
    return XmlPartType::CData;
  }
  if (rest.starts_with("<!")) return scanDeclaration();
  if (rest.starts_with("<?")) return scanProcessingInstruction();
  if (rest.starts_with("</")) return scanEndTag();
  if (rest.size() > 1 && isNameChar(rest[1])) return scanTag();
  return scanContent();
}

XmlPartType TXmlScanner::scanTag() {
  const std::string_view doc(m_document);
  std::size_t p = nameEnd(doc, m_pos + 1);
  m_name.assign(doc.substr(m_pos + 1, p - m_pos - 1));

  for (;;) {
    while (p < doc.size() && isBlank(doc[p])) ++p;
    if (p >= doc.size()) break;
    const char c = doc[p];
    if (c == '>') {
      m_pos = p + 1;
      return XmlPartType::StartTag;
    }
    if (c == '/') {
      if (p + 1 < doc.size() && doc[p + 1] == '>') {
        m_pos = p + 2;
        return XmlPartType::EmptyTag;
      }
      ++p;
      continue;
    }
    // A "<" inside a tag means the tag was never closed; the next tag starts here.
    if (c == '<') {
      m_pos = p;
      return XmlPartType::StartTag;
    }
    if (!isNameChar(c)) {
      ++p;
      continue;
    }
    const std::size_t attributeStart = p;
    p = nameEnd(doc, p);
    XmlAttribute attribute{std::string(doc.substr(attributeStart, p - attributeStart)), {}};
    std::size_t q = p;
    while (q < doc.size() && isBlank(doc[q])) ++q;
    if (q < doc.size() && doc[q] == '=') {
      ++q;
      while (q < doc.size() && isBlank(doc[q])) ++q;
      if (q < doc.size() && (doc[q] == '"' || doc[q] == '\'')) {
        const std::size_t close = doc.find(doc[q], q + 1);
        // A value cut off by the end of the document is dropped rather than guessed at.
        if (close == std::string_view::npos) break;
        attribute.Value = normalizeAttributeValue(doc.substr(q + 1, close - q - 1));
        p = close + 1;
      } else {
        const std::size_t valueStart = q;
        while (q < doc.size() && !isBlank(doc[q]) && doc[q] != '>' && doc[q] != '<' &&
               !(doc[q] == '/' && q + 1 < doc.size() && doc[q + 1] == '>')) {
          ++q;
        }
        attribute.Value = normalizeAttributeValue(doc.substr(valueStart, q - valueStart));
        p = q;
      }
    }
    m_attributes.push_back(std::move(attribute));
  }
  m_pos = doc.size();
  return XmlPartType::StartTag;
}

XmlPartType TXmlScanner::scanEndTag() {
  const std::string_view doc(m_document);
  const std::size_t p = nameEnd(doc, m_pos + 2);
  m_name.assign(doc.substr(m_pos + 2, p - m_pos - 2));
  const std::size_t close = doc.find('>', p);
  m_pos = close == std::string_view::npos ? doc.size() : close + 1;
  return XmlPartType::EndTag;
}

XmlPartType TXmlScanner::scanProcessingInstruction() {
  const std::string_view doc(m_document);
  std::size_t p = m_pos + 2;
  const std::size_t nameStart = p;
  while (p < doc.size() && isNameChar(doc[p]) && doc[p] != '?') ++p;
  m_name.assign(doc.substr(nameStart, p - nameStart));
  const std::size_t end = doc.find("?>", p);
  m_content = doc.substr(p, end == std::string_view::npos ? std::string_view::npos : end - p);
  m_pos = end == std::string_view::npos ? doc.size() : end + 2;
  return m_name == "xml" ? XmlPartType::XmlDecl : XmlPartType::PI;
}

XmlPartType TXmlScanner::scanDeclaration() {
  // Skips to the ">" that closes the declaration, past quoted literals and an internal
  // subset in square brackets (which holds ">" of its own declarations).
  const std::string_view doc(m_document);
  std::size_t p = m_pos + 2;
  const std::size_t start = p;
  std::size_t bracketDepth = 0;
  char quote = 0;
  for (; p < doc.size(); ++p) {
    const char c = doc[p];
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '[') {
      ++bracketDepth;
    } else if (c == ']') {
      if (bracketDepth > 0) --bracketDepth;
    } else if (c == '>' && bracketDepth == 0) {
      break;
    }
  }
  m_content = doc.substr(start, p - start);
  m_pos = p < doc.size() ? p + 1 : doc.size();
  return XmlPartType::DocType;
}

XmlPartType TXmlScanner::scanContent() {
  // A "<" that starts no markup is text; the part then runs to the next "<".
  const std::size_t end = m_document.find('<', m_pos + 1);
  const std::size_t stop = end == std::string::npos ? m_document.size() : end;
  m_content = std::string_view(m_document).substr(m_pos, stop - m_pos);
  m_pos = stop;
  return XmlPartType::Content;
}

}  // namespace ormel
