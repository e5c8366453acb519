// TextInput: typed 8-bit characters become UTF-8, counted and erased as
// whole characters; control characters are not text.
#include "objects/ui/TextInput.h"
#include "tests/objects/ui/UiFixture.h"

namespace tge::test {
namespace {

using TextInputTest = UiFixture;

TEST_F(TextInputTest, TypedCharactersAreKeptAsUtf8WithinTheLetterLimit) {
  struct Case {
    const char* start;
    std::uint32_t maxLetters;
    std::vector<int> typed;
    const char* expected;
  };
  const Case cases[] = {
      {"", 64, {0xE9, 0x80}, "\xC3\xA9\xE2\x82\xAC"},               // é €
      {"", 3, {'a', 0xE9, 'b', 0x80}, "a\xC3\xA9" "b"},             // the limit counts characters
      {"", 64, {0xE9, 0x80, 8}, "\xC3\xA9"},                         // Backspace erases € whole
      {"\xC3\xBC", 64, {8}, ""},                                     // also of text a script set
      {"", 64, {8, 'x'}, "x"},                                       // Backspace on nothing
      {"a", 64, {13, 27, 9, 127, 1, 0x81}, "a"},                     // control and unmapped codes
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    TextInput& input = Add<TextInput>(kClassTextInput);
    std::string start = c.start;
    input.ExecuteCommand(16508, &start);
    RunCommand(input, 16510, c.maxLetters);
    for (const int character : c.typed) input.TypeCharacter(character);
    EXPECT_EQ(input.GetInputText(), c.expected);
  }
}

}  // namespace
}  // namespace tge::test
