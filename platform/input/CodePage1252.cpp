#include "platform/input/CodePage1252.h"

#include <array>

namespace tge::platform {
namespace {

// Code points of the characters 0x80 to 0x9F; 0 where the code page has none.
constexpr std::array<char32_t, 32> kHighControlRange = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

struct Decoded {
  char32_t codePoint;
  std::size_t length;  // bytes used; 0 for a malformed sequence
};

// One UTF-8 sequence at the start of `text` (not empty). Overlong forms,
// surrogates and values past U+10FFFF count as malformed.
Decoded DecodeOne(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  if (lead < 0x80) return {lead, 1};
  std::size_t length = 0;
  char32_t value = 0;
  char32_t minimum = 0;
  if ((lead & 0xE0) == 0xC0)
    length = 2, value = lead & 0x1F, minimum = 0x80;
  else if ((lead & 0xF0) == 0xE0)
    length = 3, value = lead & 0x0F, minimum = 0x800;
  else if ((lead & 0xF8) == 0xF0)
    length = 4, value = lead & 0x07, minimum = 0x10000;
  else
    return {0, 0};
  if (text.size() < length) return {0, 0};
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[i]);
    if ((next & 0xC0) != 0x80) return {0, 0};
    value = (value << 6) | (next & 0x3F);
  }
  const bool surrogate = value >= 0xD800 && value <= 0xDFFF;
  if (value < minimum || value > 0x10FFFF || surrogate) return {0, 0};
  return {value, length};
}

}  // namespace

std::optional<std::uint8_t> CodePage1252Character(char32_t codePoint) {
  if (codePoint < 0x20 || codePoint == 0x7F) return std::nullopt;
  if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
    return static_cast<std::uint8_t>(codePoint);
  for (std::size_t i = 0; i < kHighControlRange.size(); ++i) {
    if (kHighControlRange[i] != 0 && kHighControlRange[i] == codePoint)
      return static_cast<std::uint8_t>(0x80 + i);
  }
  return std::nullopt;
}

char32_t CodePage1252CodePoint(std::uint8_t character) {
  if (character < 0x80 || character >= 0xA0) return character;
  return kHighControlRange[character - 0x80u];
}

std::string Utf8ToCodePage1252(std::string_view utf8) {
  std::string result;
  while (!utf8.empty()) {
    const Decoded decoded = DecodeOne(utf8);
    utf8.remove_prefix(decoded.length == 0 ? 1 : decoded.length);
    if (decoded.length == 0) continue;
    if (const auto character = CodePage1252Character(decoded.codePoint))
      result += static_cast<char>(*character);
  }
  return result;
}

}  // namespace tge::platform
