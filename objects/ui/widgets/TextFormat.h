// The text work of the Text widget, kept apart from the widget so it can be
// tested on its own: number and time formats, word wrap, pages of lines and
// the prefix of a letter-by-letter reveal. Text is UTF-8; wrap and reveal
// count whole characters and never cut one.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tge {

// "%.2f", every digit of any float.
std::string FormatFloat(float value);
// Unsigned decimal.
std::string FormatUnsigned(std::uint32_t value);
// Minutes and seconds ("1:15"), and with hundredths ("1:15:50"), of a time
// in seconds; negative times show as 0.
std::string FormatMinSec(float seconds);
std::string FormatMinSecHun(float seconds);

// Turns the last blank before a line grows to letterCount characters into a
// newline. With rescan the scan goes on from just after that blank; without
// it, from where it was.
void WrapText(std::string& text, std::uint32_t letterCount, bool rescan);

std::uint32_t CountNewlines(std::string_view text);
// The lines of page `page` of linesPerPage lines (none for 0 lines a page).
std::string PageLines(std::string_view text, std::uint64_t page, std::uint32_t linesPerPage);

std::size_t CountCharacters(std::string_view text);
// The first `count` characters.
std::string CharacterPrefix(std::string_view text, std::size_t count);

}  // namespace tge
