// The engine keeps text as 8-bit characters in code page 1252 (ASCII, the
// Latin-1 letters and a few typographic signs). Typed text arrives from SDL
// as UTF-8; this turns it into those characters.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tge::platform {

// The 8-bit character of a Unicode code point; none for control characters
// and for characters the code page does not hold.
std::optional<std::uint8_t> CodePage1252Character(char32_t codePoint);

// The Unicode code point of an 8-bit character; 0 for the five bytes of
// 0x80 to 0x9F that the code page leaves empty.
char32_t CodePage1252CodePoint(std::uint8_t character);

// Decodes UTF-8 and keeps each character the code page holds; malformed
// bytes and characters without an 8-bit form are dropped, never guessed.
std::string Utf8ToCodePage1252(std::string_view utf8);

}  // namespace tge::platform
