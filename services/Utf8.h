// UTF-8 to the 16-bit character codes the bitmap fonts map. A malformed
// sequence (a stray continuation byte, a lead byte without its
// continuations, an overlong form, a surrogate or a code past U+10FFFF)
// becomes one U+FFFD, and so does a character outside the 16-bit range,
// which no font map can hold. Output is cut only between characters.
#pragma once
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace tge {

constexpr char16_t kReplacementCharacter = 0xFFFD;

// Writes at most out.size() - 1 codes and a closing 0; returns the number
// of codes written before the 0. Nothing is written into an empty span.
std::size_t DecodeUtf8(std::string_view text, std::span<char16_t> out);

// Appends the code point's UTF-8 form; a surrogate or a value past
// U+10FFFF appends U+FFFD, so the text stays well-formed.
void AppendUtf8(std::string& text, char32_t codePoint);

// Characters in the text, counted as DecodeUtf8 reads them.
std::size_t CountUtf8Characters(std::string_view text);

// Drops the text's last character whole (all bytes of its sequence, or one
// malformed byte); nothing for an empty text.
void EraseLastUtf8Character(std::string& text);

}  // namespace tge
