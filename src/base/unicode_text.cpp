#include "unicode_text.h"

namespace ormel {

namespace {

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

/// Reads one code point at text[pos] and advances pos past it, or past the maximal ill-formed
/// prefix (at least one byte) and yields U+FFFD.
char32_t nextCodePoint(std::string_view text, std::size_t& pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  ++pos;
  if (lead < 0x80) return lead;
  int needed = 0;
  char32_t value = 0;
  // Second-byte ranges exclude overlong forms, surrogates and values above U+10FFFF.
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    needed = 1;
    value = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    needed = 2;
    value = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    needed = 3;
    value = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return kReplacementCharacter;
  }
  for (int i = 0; i < needed; ++i) {
    if (pos >= text.size()) return kReplacementCharacter;
    const auto byte = static_cast<unsigned char>(text[pos]);
    if (i == 0 ? (byte < low || byte > high) : !isContinuation(byte)) return kReplacementCharacter;
    value = (value << 6) | (byte & 0x3F);
    ++pos;
  }
  return value;
}

}  // namespace

std::u32string utf8ToCodePoints(std::string_view text) {
  std::u32string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) out.push_back(nextCodePoint(text, pos));
  return out;
}

void appendUtf16(std::u16string& out, char32_t codePoint) {
  if (codePoint >= 0x10000 && codePoint <= 0x10FFFF) {
    const char32_t offset = codePoint - 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (offset >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (offset & 0x3FF)));
  } else if (codePoint > 0x10FFFF) {
    out.push_back(static_cast<char16_t>(kReplacementCharacter));
  } else {
    out.push_back(static_cast<char16_t>(codePoint));
  }
}

std::u16string utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) appendUtf16(out, nextCodePoint(text, pos));
  return out;
}

void appendUtf8(std::string& out, char32_t codePoint) {
  if ((codePoint >= 0xD800 && codePoint <= 0xDFFF) || codePoint > 0x10FFFF) {
    codePoint = kReplacementCharacter;
  }
  if (codePoint < 0x80) {
    out.push_back(static_cast<char>(codePoint));
  } else if (codePoint < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
    out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  } else if (codePoint < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
    out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
    out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  }
}

std::string utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t unit = text[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else {
      appendUtf8(out, unit);
    }
  }
  return out;
}

int utf16Length(std::string_view text) {
  int length = 0;
  for (std::size_t pos = 0; pos < text.size();) length += nextCodePoint(text, pos) >= 0x10000 ? 2 : 1;
  return length;
}

bool isValidUtf8(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t start = pos;
    if (nextCodePoint(text, pos) == kReplacementCharacter &&
        text.substr(start, pos - start) != "\xEF\xBF\xBD") {
      return false;
    }
  }
  return true;
}

}  // namespace ormel
