// TextInput: typed 8-bit characters become UTF-8, counted and erased as
// whole characters; control characters are not text.
#include "core/World.h"
#include "core/script/ScriptInterpreter.h"
#include "objects/ui/widgets/TextInput.h"
#include "services/resources/FontResource.h"
#include "services/resources/ResourceSet.h"
#include "tests/objects/ui/UiFixture.h"

namespace tge::test {
namespace {

double gNow = 0;
double ReadNow() { return gNow; }

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

// Frames a tenth of a second apart: the bar shows for the first half of
// each second; without the focus an empty input draws nothing.
TEST_F(TextInputTest, TheCaretShowsForHalfOfEachSecondWhileFocused) {
  auto font = std::make_unique<FontResource>();
  font->SetName("Font");
  Resources().RegisterResource(std::move(font));
  Window& menu = AddMenu({});
  TextInput& input = Place(menu, std::make_unique<TextInput>(), "T", {0, 100, 2});
  RunScriptText(input, "this.SetTextInputFont(Font);", nullptr);
  ResourceSet set(false, Resources().GetSlotCount());
  input.ExecuteCommand(11, &set);
  ASSERT_EQ(set.GetResourceSetSize(), 1u);
  menu.Precalculate();
  World::SetClock(&ReadNow);
  World& world = engine->GetEngineWorld();
  world.WorldTick();
  input.Draw();
  EXPECT_TRUE(Queued<TextCommand>(kListOverlay).empty());
  menu.SetFocus();
  std::string shown;
  for (int frame = 0; frame < 20; ++frame) {
    gNow += 0.1;
    world.WorldTick();
    Queue().Reset();
    input.Draw();
    const auto texts = Queued<TextCommand>(kListOverlay);
    ASSERT_EQ(texts.size(), 1u);
    shown += texts[0]->text == std::string("|") ? '|' : '.';
  }
  World::SetClock(nullptr);
  EXPECT_EQ(shown, "||||.....|||||.....|");  // the frame past a whole second restarts the clock
}

}  // namespace
}  // namespace tge::test
