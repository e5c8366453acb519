// The file records of the widget types: save, load and save again gives the
// same bytes, and older versions read only the fields they had.
#include <algorithm>

#include "core/script/ScriptInterpreter.h"
#include "objects/ui/widgets/Sprite.h"
#include "objects/ui/widgets/Text.h"
#include "tests/objects/ui/UiFixture.h"

namespace tge::test {
namespace {

using UiFileTest = UiFixture;

TEST_F(UiFileTest, EveryWidgetTypeSavesLoadsAndSavesTheSameBytes) {
  const WidgetSetUp cases[] = {
      {kClassWindow,
       "this.SetWindowText(\"Title\"); this.SetWindowWidth(300); this.SetWindowAlignX(1); this.SetWindowMarginY(7); "
       "this.SetWindowSprite(\"Skin\"); this.SetWindowFont(\"Font\"); this.SetWindowForeColor(0.5, 0.25, 1, 1); "
       "this.SetWindowLetterSpace(2); this.SetWindowTextMarginX(4); this.SetWindowCustomCursor(\"Arrow\");"},
      {kClassSprite, "this.SetSpriteMaterial(\"Skin\"); this.SetSpriteType(3); this.SetSpriteColor(1, 0, 0, 0.5); "
                     "this.SetSprite3DFadeDistance(9);"},
      {kClassText, "this.SetTextText(\"Hello\"); this.SetTextLineSpace(1.5); this.SetTextPageLineCount(4); "
                   "this.SetTextEnablePages(1); this.SetTextLetterDisplayFade(0.1);"},
      {kClassButton, "this.SetWindowText(\"Start\"); this.SetUseStandardButtonActionSound(0);"},
  };
  // The placed widget's object flags differ from its loose loaded copy's:
  // the records agree in size.
  for (const WidgetSetUp& c : cases) {
    SCOPED_TRACE(c.classId);
    const auto [first, second] = SaveAndResave(c);
    EXPECT_EQ(second.size(), first.size());
  }
}

TEST_F(UiFileTest, OlderVersionsReadOnlyTheirFields) {
  auto& window = Add<Window>(kClassWindow);
  RunScriptText(window,
                "this.SetWindowText(\"Old\"); this.SetWindowWidth(300); this.SetWindowMarginX(9); "
                "this.SetWindowSprite(\"Skin\"); this.SetWindowLineSpace(3);",
                nullptr);
  for (int version : {30, 51}) {
    SCOPED_TRACE(version);
    std::vector<std::uint8_t> bytes = Save(window, version);
    std::unique_ptr<Window> loaded = Load<Window>(kClassWindow, bytes, version);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->GetText(), "Old");
    EXPECT_FLOAT_EQ(loaded->GetWidth(), 300.0f);
    EXPECT_FLOAT_EQ(Get<float>(*loaded, 6515), 0.0f);
    EXPECT_FLOAT_EQ(Get<float>(*loaded, 6547), version == 30 ? 0.0f : 3.0f);
    std::string sprite;
    loaded->ExecuteCommand(6543, &sprite);
    EXPECT_EQ(sprite, version == 30 ? "" : "Skin");
    EXPECT_EQ(Save(*loaded, version).size(), bytes.size());
  }
}

// The wrap count is not saved: a load derives it from the saved base.
TEST_F(UiFileTest, TextDerivesItsWrapCountOnLoad) {
  auto& text = Add<Text>(kClassText);
  RunCommand(text, 7031, 7u);
  std::unique_ptr<Text> loaded = RoundTrip(text);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(Get<std::uint32_t>(*loaded, 7032), 25u);
  // The base is the record's last word but one.
  std::vector<std::uint8_t> bytes = Save(text);
  std::fill(bytes.end() - 8, bytes.end() - 4, std::uint8_t{0xFF});
  std::unique_ptr<Text> huge = Load<Text>(kClassText, bytes, SerializeStream::kLatestVersion);
  ASSERT_NE(huge, nullptr);
  EXPECT_EQ(Get<std::uint32_t>(*huge, 7032), 0xFFFFFFFFu);
}

TEST_F(UiFileTest, TruncatedRecordsAreRefused) {
  auto& text = Add<Text>(kClassText);
  RunScriptText(text, "this.SetTextText(\"Hello\");", nullptr);
  std::vector<std::uint8_t> bytes = Save(text);
  bytes.resize(bytes.size() - 3);
  EXPECT_EQ(Load<Text>(kClassText, bytes, SerializeStream::kLatestVersion), nullptr);
}

// The type getters answer the low byte of the stored word, whatever else the
// word holds: page flags beside the Text's type, a wider value in a file.
TEST_F(UiFileTest, TypeGettersAnswerTheLowByte) {
  auto& text = Add<Text>(kClassText);
  RunCommand(text, 7005, 0x103u);
  RunCommand<std::int32_t>(text, 7033, 1);
  EXPECT_EQ(Get<std::uint32_t>(text, 7006), 3u);

  auto& sprite = Add<Sprite>(kClassSprite);
  std::vector<std::uint8_t> bytes = Save(sprite);
  // The type is the record's last word but two.
  const std::uint8_t wide[] = {0x34, 0x12, 0, 0};
  std::copy(std::begin(wide), std::end(wide), bytes.end() - 12);
  std::unique_ptr<Sprite> loaded = Load<Sprite>(kClassSprite, bytes, SerializeStream::kLatestVersion);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(Get<std::uint32_t>(*loaded, 6753), 0x34u);
}

}  // namespace
}  // namespace tge::test
