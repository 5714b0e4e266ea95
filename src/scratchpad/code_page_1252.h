#pragma once

#include <optional>

namespace ormel {

/// The character of a byte in code page 1252 (the 8-bit text of older sheets); the five bytes
/// that code page leaves undefined stand for themselves.
[[nodiscard]] char16_t codePage1252ToUnicode(unsigned char byte);

/// The byte of code page 1252 that stands for unit, the exact reverse of codePage1252ToUnicode
/// for bytes from 0x80 up; empty for units the code page has no byte for.
[[nodiscard]] std::optional<unsigned char> unicodeToCodePage1252(char16_t unit);

}  // namespace ormel
