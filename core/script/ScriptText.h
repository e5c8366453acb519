// Reading helpers of the script language: the blanks it skips between
// statements and the number conversions of its arguments and conditions.
// Numbers are read as the C library of a 32-bit program read them (a long is
// 32 bits, so integer conversions saturate there), and always in the C
// locale, whatever locale the user runs in.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tge {

// Statements are separated by blanks, tabs and line feeds only: a carriage
// return is part of the text that follows it.
inline bool IsStatementSpace(char c) { return c == ' ' || c == '\t' || c == '\n'; }
inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::size_t SkipStatementSpace(std::string_view text, std::size_t pos);
std::size_t SkipBlanks(std::string_view text, std::size_t pos);
inline bool StartsWithAt(std::string_view text, std::size_t pos, std::string_view word) {
  return pos <= text.size() && text.substr(pos).starts_with(word);
}

// atol of a 32-bit long: leading white space, a sign, decimal digits;
// anything else ends the number, and no digits give 0.
std::int32_t ParseLong32(std::string_view text);
// atof, narrowed to a float; values beyond a float's range become infinite.
float ParseFloat(std::string_view text);

}  // namespace tge
