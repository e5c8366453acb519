// Text's commands, pages and letter-by-letter reveal.
#include "core/script/ScriptInterpreter.h"
#include "objects/ui/widgets/Text.h"
#include "services/resources/FontResource.h"
#include "tests/objects/ui/UiFixture.h"

namespace tge::test {
namespace {

class TextTest : public UiFixture {
 protected:
  Text& AddText() {
    Text& text = Place(*engine, std::make_unique<Logged<Text>>(log), "T", {0, 0, 1});
    RunCommand<std::int32_t>(text, 6502, 0);
    return text;
  }
  // A text with a font that reveals its letters one a frame.
  Text& AddRevealingText(const std::string& content) {
    auto font = std::make_unique<FontResource>();
    font->SetName("Font");
    Resources().RegisterResource(std::move(font));
    Text& text = AddText();
    RunCommand(text, 7000, std::string("Font"));
    RunCommand<std::int32_t>(text, 7043, 1);
    RunCommand(text, 7002, content);
    text.StartLetterDisplay();
    return text;
  }
};

TEST_F(TextTest, NumberCommandsSetAndAppendUntranslated) {
  Text& text = AddText();
  RunCommand<std::int32_t>(text, 6502, 1);
  RunCommand(text, 7019, 2.5f);
  EXPECT_EQ(text.GetText(), "2.50");
  RunCommand<std::int32_t>(text, 7020, -1);
  EXPECT_EQ(text.GetText(), "4294967295");
  RunCommand(text, 7026, 7u);
  EXPECT_EQ(text.GetText(), "42949672957");
  RunCommand(text, 7022, 75.5f);
  RunCommand(text, 7028, 75.5f);
  EXPECT_EQ(text.GetText(), "1:151:15:50");
  RunCommand(text, 7019, 1e38f);
  EXPECT_EQ(text.GetText(), "99999996802856924650656260769173209088.00");
}

TEST_F(TextTest, SetTextWrapsAtTheLetterCount) {
  Text& text = AddText();
  RunCommand<std::int32_t>(text, 7029, 1);
  RunCommand(text, 7031, 10u);
  RunCommand(text, 7002, std::string("aaaa bbbb cccc dddd"));
  EXPECT_EQ(text.GetText(), "aaaa bbbb\ncccc dddd");
}

TEST_F(TextTest, PagesRaiseTheirEventsAndStopAtTheEnds) {
  Text& text = AddText();
  RunCommand(text, 7035, 2u);
  RunCommand<std::int32_t>(text, 7033, 1);
  RunCommand(text, 7002, std::string("l0\nl1\nl2\nl3\nl4"));
  EXPECT_EQ(Get<std::uint32_t>(text, 7042), 2u);
  EXPECT_EQ(text.GetPageText(), "l0\nl1");
  EXPECT_EQ(TakeLog(), (EventLog{"T:7052", "T:7051"}));
  EXPECT_EQ(text.ShowNextPage(), 1);
  EXPECT_EQ(text.GetPageText(), "l2\nl3");
  EXPECT_EQ(text.ShowNextPage(), 1);
  EXPECT_EQ(text.GetPageText(), "l4");
  EXPECT_EQ(TakeLog(), (EventLog{"T:7052", "T:7050", "T:7052", "T:7049"}));
  EXPECT_EQ(text.ShowNextPage(), 0);
  EXPECT_EQ(text.ShowPreviousPage(), 1);
  EXPECT_EQ(text.GetPageText(), "l2\nl3");
  EXPECT_EQ(TakeLog(), (EventLog{"T:7050", "T:7052"}));
  EXPECT_EQ(text.ShowPreviousPage(), 1);
  EXPECT_EQ(text.GetCurrentPage(), 0u);
  EXPECT_EQ(TakeLog(), (EventLog{"T:7052", "T:7051"}));
  EXPECT_EQ(text.ShowPreviousPage(), 0);
  RunCommand(text, 7035, 0u);
  EXPECT_EQ(Get<std::uint32_t>(text, 7042), 0u);
  EXPECT_EQ(text.ShowFirstPage(), 0);
}

// One letter a frame with no delay; the count is in characters, so no
// prefix ends inside one.
TEST_F(TextTest, RevealShowsWholeCharactersAndEnds) {
  Text& text = AddRevealingText("\xC3\xA9\xE2\x82\xAC!");
  std::vector<std::string> shown;
  for (int frame = 0; frame < 4; ++frame) {
    text.Draw();
    shown.push_back(text.GetRevealedText());
  }
  EXPECT_EQ(shown, (std::vector<std::string>{"\xC3\xA9", "\xC3\xA9\xE2\x82\xAC", "\xC3\xA9\xE2\x82\xAC",
                                             "\xC3\xA9\xE2\x82\xAC"}));
  EXPECT_EQ(text.GetLettersShown(), 0u);
}

// A text cut shorter than the letters shown ends the reveal at once.
TEST_F(TextTest, RevealOfAShortenedTextEnds) {
  Text& text = AddRevealingText("abcdef");
  for (int frame = 0; frame < 4; ++frame) text.Draw();
  RunCommand(text, 7002, std::string("ab"));
  text.Draw();
  EXPECT_EQ(text.GetLettersShown(), 0u);
}

}  // namespace
}  // namespace tge::test
