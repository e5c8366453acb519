#include "core/script/ScriptText.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <locale.h>

namespace tge {
namespace {

// What isspace accepts in the C locale.
bool IsCSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Long enough for any number a script writes; longer text is cut.
constexpr std::size_t kNumberChars = 64;

locale_t CLocale() {
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return locale;
}

}  // namespace

std::size_t SkipStatementSpace(std::string_view text, std::size_t pos) {
  while (pos < text.size() && IsStatementSpace(text[pos])) ++pos;
  return pos;
}

std::size_t SkipBlanks(std::string_view text, std::size_t pos) {
  while (pos < text.size() && IsBlank(text[pos])) ++pos;
  return pos;
}

std::int32_t ParseLong32(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size() && IsCSpace(text[pos])) ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) negative = text[pos++] == '-';
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t magnitude = 0;
  for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
    magnitude = std::min(kLimit, magnitude * 10 + (text[pos] - '0'));
  }
  if (negative) return static_cast<std::int32_t>(-magnitude);
  return static_cast<std::int32_t>(std::min(magnitude, kLimit - 1));
}

float ParseFloat(std::string_view text) {
  char number[kNumberChars + 1] = {};
  std::size_t pos = 0;
  while (pos < text.size() && IsCSpace(text[pos])) ++pos;
  const std::size_t count = std::min(kNumberChars, text.size() - pos);
  if (count > 0) std::memcpy(number, text.data() + pos, count);
  const double value = CLocale() ? strtod_l(number, nullptr, CLocale()) : 0.0;
  if (std::isnan(value)) return std::numeric_limits<float>::quiet_NaN();
  if (std::fabs(value) > FLT_MAX) return value < 0 ? -HUGE_VALF : HUGE_VALF;
  return static_cast<float>(value);
}

}  // namespace tge
