#pragma once

namespace ormel {

/// The character of a byte in code page 1252 (the 8-bit text of older sheets); the five bytes
/// that code page leaves undefined stand for themselves.
[[nodiscard]] char16_t codePage1252ToUnicode(unsigned char byte);

}  // namespace ormel
