#include <gtest/gtest.h>

#include <cfloat>

#include "objects/ui/widgets/TextFormat.h"

namespace tge {
namespace {

TEST(TextFormatTest, NumbersAndTimesFormatWithoutLimit) {
  struct Case {
    std::string shown;
    std::string expected;
  };
  const Case cases[] = {
      {FormatFloat(2.5f), "2.50"},
      {FormatFloat(-0.125f), "-0.12"},
      {FormatFloat(1e38f), "99999996802856924650656260769173209088.00"},
      {FormatFloat(-FLT_MAX), "-340282346638528859811704183484516925440.00"},
      {FormatUnsigned(static_cast<std::uint32_t>(-1)), "4294967295"},
      {FormatUnsigned(0), "0"},
      {FormatMinSec(75.5f), "1:15"},
      {FormatMinSecHun(75.5f), "1:15:50"},
      {FormatMinSec(-3.0f), "0:00"},
      {FormatMinSecHun(-3.0f), "0:00:00"},
      {FormatMinSec(3599.0f), "59:59"},
      {FormatMinSec(1e38f), FormatMinSec(1e38f)},
  };
  for (const Case& c : cases) EXPECT_EQ(c.shown, c.expected);
  EXPECT_GT(FormatMinSec(1e38f).size(), 30u);
}

TEST(TextFormatTest, WordWrapTurnsTheLastBlankBeforeTheCountIntoANewline) {
  struct Case {
    std::string text;
    std::uint32_t count;
    bool rescan;
    std::string expected;
  };
  const Case cases[] = {
      {"aaaa bbbb cccc dddd", 10, true, "aaaa bbbb\ncccc dddd"},
      {"aaaa bbbb cccc dddd", 4, true, "aaaa\nbbbb\ncccc\ndddd"},
      {"aaaa bbbb cccc dddd", 4, false, "aaaa\nbbbb\ncccc\ndddd"},
      {"aaaaaaaaaaaa bb", 4, true, "aaaaaaaaaaaa\nbb"},
      {"ab\ncd ef gh", 4, true, "ab\ncd\nef\ngh"},
      {"ab\ncd ef gh", 6, true, "ab\ncd ef\ngh"},
      {"", 4, true, ""},
      // Counted in characters: four two-byte letters fill a line of 4.
      {"\xC3\xA9\xC3\xA9\xC3\xA9 \xC3\xA9\xC3\xA9", 4, true, "\xC3\xA9\xC3\xA9\xC3\xA9\n\xC3\xA9\xC3\xA9"},
      {"\xC3\xA9\xC3\xA9 \xC3\xA9", 4, true, "\xC3\xA9\xC3\xA9 \xC3\xA9"},
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    WrapText(text, c.count, c.rescan);
    EXPECT_EQ(text, c.expected) << c.text << " / " << c.count;
  }
}

TEST(TextFormatTest, PagesTakeTheirLines) {
  const std::string text = "l0\nl1\nl2\nl3\nl4";
  EXPECT_EQ(CountNewlines(text), 4u);
  EXPECT_EQ(PageLines(text, 0, 2), "l0\nl1");
  EXPECT_EQ(PageLines(text, 1, 2), "l2\nl3");
  EXPECT_EQ(PageLines(text, 2, 2), "l4");
  EXPECT_EQ(PageLines(text, 9, 2), "l0\nl1");
  EXPECT_EQ(PageLines(text, 0, 1), "l0");
  EXPECT_EQ(PageLines(text, 0, 0), "");
  EXPECT_EQ(PageLines(text, 0xFFFFFFFFu, 0xFFFFFFFFu), text);
}

TEST(TextFormatTest, PrefixesCutOnlyBetweenCharacters) {
  const std::string text = "\xC3\xA9\xE2\x82\xAC!";  // é€!
  EXPECT_EQ(CountCharacters(text), 3u);
  EXPECT_EQ(CharacterPrefix(text, 0), "");
  EXPECT_EQ(CharacterPrefix(text, 1), "\xC3\xA9");
  EXPECT_EQ(CharacterPrefix(text, 2), "\xC3\xA9\xE2\x82\xAC");
  EXPECT_EQ(CharacterPrefix(text, 7), text);
}

}  // namespace
}  // namespace tge
