#include "objects/ui/widgets/TextFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tge {
namespace {

constexpr float kMinutesPerSecond = 0.016666668f;

bool StartsCharacter(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) != 0x80; }

// snprintf into a string of the size the text needs.
template <class... Args>
std::string Printed(const char* format, Args... args) {
  const int size = std::snprintf(nullptr, 0, format, args...);
  if (size <= 0) return {};
  std::string text(static_cast<std::size_t>(size) + 1, '\0');
  std::snprintf(text.data(), text.size(), format, args...);
  text.resize(static_cast<std::size_t>(size));
  return text;
}

// Whole parts stay floating point: a time past the integer range still
// prints, and adding 0 turns a negative zero into 0.
double WholePart(double value) { return std::trunc(value) + 0.0; }

struct TimeParts {
  double minutes;
  double seconds;
  double hundredths;
};

TimeParts SplitTime(float value) {
  const float t = std::max(value, 0.0f);
  const double minutes = WholePart(t * kMinutesPerSecond);
  const float rest = t - static_cast<float>(60.0 * minutes);
  const double seconds = WholePart(rest);
  return {minutes, seconds, WholePart((rest - static_cast<float>(seconds)) * 100.0f)};
}

// Byte offset just after the n-th newline (n >= 1); npos when there is none.
std::size_t AfterNewline(std::string_view text, std::uint64_t n) {
  std::size_t at = 0;
  for (std::uint64_t i = 0; i < n; ++i) {
    const std::size_t found = text.find('\n', at);
    if (found == std::string_view::npos) return std::string_view::npos;
    at = found + 1;
  }
  return at;
}

}  // namespace

std::string FormatFloat(float value) { return Printed("%.2f", static_cast<double>(value)); }

std::string FormatUnsigned(std::uint32_t value) { return Printed("%lu", static_cast<unsigned long>(value)); }

std::string FormatMinSec(float seconds) {
  const TimeParts parts = SplitTime(seconds);
  return Printed("%.0f:%02.0f", parts.minutes, parts.seconds);
}

std::string FormatMinSecHun(float seconds) {
  const TimeParts parts = SplitTime(seconds);
  return Printed("%.0f:%02.0f:%02.0f", parts.minutes, parts.seconds, parts.hundredths);
}

void WrapText(std::string& text, std::uint32_t letterCount, bool rescan) {
  std::size_t blank = 0;
  std::uint32_t letters = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!StartsCharacter(text[i])) continue;
    if (text[i] == ' ') blank = i;
    if (text[i] == '\n') {
      blank = 0;
      letters = 0;
    }
    if (letters >= letterCount && blank != 0) {
      text[blank] = '\n';
      if (rescan) i = blank;
      blank = 0;
      letters = 0;
    }
    ++letters;
  }
}

std::uint32_t CountNewlines(std::string_view text) {
  return static_cast<std::uint32_t>(std::count(text.begin(), text.end(), '\n'));
}

// A page that starts past the last newline starts at the text's start.
std::string PageLines(std::string_view text, std::uint64_t page, std::uint32_t linesPerPage) {
  if (linesPerPage == 0) return {};
  std::size_t begin = page == 0 ? 0 : AfterNewline(text, page * linesPerPage);
  if (begin == std::string_view::npos) begin = 0;
  const std::string_view rest = text.substr(begin);
  const std::size_t end = AfterNewline(rest, linesPerPage);
  return std::string(end == std::string_view::npos ? rest : rest.substr(0, end - 1));
}

std::size_t CountCharacters(std::string_view text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), StartsCharacter));
}

std::string CharacterPrefix(std::string_view text, std::size_t count) {
  std::size_t at = 0;
  for (std::size_t seen = 0; at < text.size(); ++at) {
    if (StartsCharacter(text[at]) && seen++ == count) break;
  }
  return std::string(text.substr(0, at));
}

}  // namespace tge
