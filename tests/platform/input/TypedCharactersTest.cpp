#include <SDL_events.h>
#include <gtest/gtest.h>

#include <cstring>

#include "platform/input/CodePage1252.h"
#include "platform/input/TypedCharacters.h"

namespace tge::platform {
namespace {

TEST(PlatformCodePage1252, KeepsWhatTheCodePageHoldsAndDropsTheRest) {
  const std::pair<std::string, std::string> cases[] = {
      {"Az 09~", "Az 09~"},
      {"\xC3\xA9\xC3\xBF\xC2\xA0", "\xE9\xFF\xA0"},  // Latin-1 letters
      {"\xE2\x82\xAC\xE2\x80\x9C\xC5\xB8",
       "\x80\x93\x9F"},            // signs at 0x80-0x9F
      {"\xF0\x9F\x98\x80x", "x"},  // outside the code page
      {"\x07\x7F\xC2\x81", ""},    // control characters
      {"\x80\xC3", ""},            // stray continuation, cut sequence
      {"\xC0\x80"
       "a",
       "a"},  // overlong
      {"\xED\xA0\x80"
       "b",
       "b"},  // surrogate
      {"\xF4\x90\x80\x80"
       "c",
       "c"},  // past U+10FFFF
  };
  for (const auto& [utf8, expected] : cases)
    EXPECT_EQ(Utf8ToCodePage1252(utf8), expected) << utf8;
}

TEST(PlatformCodePage1252, CodePointsInvertTheCharacterMapping) {
  for (int byte = 0x20; byte < 0x100; ++byte) {
    const char32_t code = CodePage1252CodePoint(static_cast<std::uint8_t>(byte));
    if (byte == 0x7F) continue;
    if (code == 0) {
      EXPECT_TRUE(byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D) << byte;
      continue;
    }
    const auto back = CodePage1252Character(code);
    ASSERT_TRUE(back.has_value()) << byte;
    EXPECT_EQ(*back, byte);
  }
  EXPECT_EQ(CodePage1252CodePoint(0x80), U'\x20AC');
  EXPECT_EQ(CodePage1252CodePoint(0xE9), U'\xE9');
}

SDL_Event TextEvent(const char* text) {
  SDL_Event event{};
  event.type = SDL_TEXTINPUT;
  std::strncpy(event.text.text, text, sizeof event.text.text - 1);
  return event;
}

SDL_Event KeyDown(SDL_Scancode scancode, bool repeat) {
  SDL_Event event{};
  event.type = SDL_KEYDOWN;
  event.key.keysym.scancode = scancode;
  event.key.repeat = repeat ? 1 : 0;
  return event;
}

TEST(PlatformTypedCharacters, ControlKeysTypeOnlyWhenNotRepeated) {
  TypedCharacters typed;
  typed.HandleEvent(KeyDown(SDL_SCANCODE_BACKSPACE, false));
  typed.HandleEvent(KeyDown(SDL_SCANCODE_BACKSPACE, true));
  typed.HandleEvent(KeyDown(SDL_SCANCODE_TAB, false));
  typed.HandleEvent(KeyDown(SDL_SCANCODE_KP_ENTER, false));
  typed.HandleEvent(KeyDown(SDL_SCANCODE_ESCAPE, false));
  typed.HandleEvent(KeyDown(SDL_SCANCODE_A, false));  // its text comes as text
  for (const int expected : {8, 9, 13, 27, 0})
    EXPECT_EQ(typed.Take(), expected);
}

TEST(PlatformTypedCharacters,
     FullQueueDropsOldestAndUnterminatedTextIsBounded) {
  TypedCharacters typed;
  for (std::size_t i = 0; i < TypedCharacters::kCapacity + 2; ++i)
    typed.HandleEvent(TextEvent(i % 2 ? "b" : "a"));
  EXPECT_EQ(typed.Take(), 'a');  // the first two were dropped
  typed.Clear();
  SDL_Event full{};
  full.type = SDL_TEXTINPUT;
  std::memset(full.text.text, 'x', sizeof full.text.text);
  typed.HandleEvent(full);
  std::size_t count = 0;
  while (typed.Take() == 'x') ++count;
  EXPECT_EQ(count, sizeof full.text.text);
}

}  // namespace
}  // namespace tge::platform
