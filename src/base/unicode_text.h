#pragma once

#include <string>
#include <string_view>

namespace ormel {

/// The replacement character that stands for bytes or units that encode no character.
inline constexpr char32_t kReplacementCharacter = 0xFFFD;

/// Decodes UTF-8 as the widgets do: each ill-formed sequence (a stray continuation byte, a
/// truncated, overlong or surrogate encoding, a value above U+10FFFF) becomes one U+FFFD.
[[nodiscard]] std::u32string utf8ToCodePoints(std::string_view text);
/// The UTF-16 form of a UTF-8 text, with the same replacement rule as utf8ToCodePoints.
[[nodiscard]] std::u16string utf8ToUtf16(std::string_view text);
/// The UTF-8 form of a UTF-16 text; an unpaired surrogate becomes U+FFFD.
[[nodiscard]] std::string utf16ToUtf8(std::u16string_view text);
/// Appends one code point to a UTF-16 text (a surrogate pair above U+FFFF).
void appendUtf16(std::u16string& out, char32_t codePoint);
/// Appends one code point to a UTF-8 text; surrogates and values above U+10FFFF as U+FFFD.
void appendUtf8(std::string& out, char32_t codePoint);
/// The number of UTF-16 code units of a UTF-8 text, counted as utf8ToUtf16 would produce them.
[[nodiscard]] int utf16Length(std::string_view text);
/// True when the text is well-formed UTF-8.
[[nodiscard]] bool isValidUtf8(std::string_view text);

}  // namespace ormel
