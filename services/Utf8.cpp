#include "services/Utf8.h"

#include <cstdint>

namespace tge {
namespace {

constexpr std::uint32_t kMaxCodePoint = 0x10FFFF;
constexpr std::uint32_t kSurrogateFirst = 0xD800, kSurrogateLast = 0xDFFF;
constexpr std::uint32_t kLargestSixteenBit = 0xFFFF;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Continuation bytes after the lead, and the smallest code point that may
// use this length; 0 continuations for a byte that cannot lead.
struct Lead {
  int continuations;
  std::uint32_t bits;
  std::uint32_t smallest;
};

Lead ReadLead(unsigned char byte) {
  if (byte < 0x80) return {0, byte, 0};
  if ((byte & 0xE0) == 0xC0) return {1, byte & 0x1Fu, 0x80};
  if ((byte & 0xF0) == 0xE0) return {2, byte & 0x0Fu, 0x800};
  if ((byte & 0xF8) == 0xF0) return {3, byte & 0x07u, 0x10000};
  return {-1, 0, 0};
}

// One character from text at pos; pos moves past what it used.
char16_t NextCharacter(std::string_view text, std::size_t& pos) {
  const auto lead = static_cast<unsigned char>(text[pos++]);
  const Lead form = ReadLead(lead);
  if (form.continuations < 0) return kReplacementCharacter;
  std::uint32_t code = form.bits;
  for (int i = 0; i < form.continuations; ++i) {
    if (pos >= text.size() || !IsContinuation(static_cast<unsigned char>(text[pos]))) return kReplacementCharacter;
    code = code << 6 | (static_cast<unsigned char>(text[pos++]) & 0x3Fu);
  }
  const bool malformed = code < form.smallest || code > kMaxCodePoint ||
                         (code >= kSurrogateFirst && code <= kSurrogateLast);
  return malformed || code > kLargestSixteenBit ? kReplacementCharacter : static_cast<char16_t>(code);
}

// Where the text's last character starts, as NextCharacter splits it.
std::size_t LastCharacterStart(std::string_view text) {
  std::size_t start = 0, pos = 0;
  while (pos < text.size()) {
    start = pos;
    NextCharacter(text, pos);
  }
  return start;
}

}  // namespace

std::size_t DecodeUtf8(std::string_view text, std::span<char16_t> out) {
  if (out.empty()) return 0;
  std::size_t written = 0, pos = 0;
  while (pos < text.size() && written + 1 < out.size()) out[written++] = NextCharacter(text, pos);
  out[written] = 0;
  return written;
}

void AppendUtf8(std::string& text, char32_t codePoint) {
  const bool invalid = codePoint > kMaxCodePoint || (codePoint >= kSurrogateFirst && codePoint <= kSurrogateLast);
  const std::uint32_t code = invalid ? kReplacementCharacter : codePoint;
  const auto put = [&text](std::uint32_t byte) { text += static_cast<char>(byte); };
  if (code < 0x80) {
    put(code);
  } else if (code < 0x800) {
    put(0xC0 | code >> 6);
    put(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    put(0xE0 | code >> 12);
    put(0x80 | (code >> 6 & 0x3F));
    put(0x80 | (code & 0x3F));
  } else {
    put(0xF0 | code >> 18);
    put(0x80 | (code >> 12 & 0x3F));
    put(0x80 | (code >> 6 & 0x3F));
    put(0x80 | (code & 0x3F));
  }
}

std::size_t CountUtf8Characters(std::string_view text) {
  std::size_t count = 0, pos = 0;
  while (pos < text.size()) {
    NextCharacter(text, pos);
    ++count;
  }
  return count;
}

void EraseLastUtf8Character(std::string& text) { text.erase(LastCharacterStart(text)); }

}  // namespace tge
