// CheckBox: Ok releases flip it with their events, setting it raises none,
// and its mark draws (dimmed when disabled) while it is checked.
#include "core/script/ScriptInterpreter.h"
#include "objects/ui/widgets/CheckBox.h"
#include "tests/objects/ui/UiFixture.h"

namespace tge::test {
namespace {

class CheckBoxTest : public UiFixture {
 protected:
  CheckBox& AddBox(Window& menu) {
    CheckBox& box = Place(menu, std::make_unique<Logged<CheckBox>>(log), "C", {0, 100, 2});
    box.Precalculate();
    menu.SetFocus();
    log.clear();
    return box;
  }
  std::vector<const ScreenQuadCommand*> Quads() { return Queued<ScreenQuadCommand>(kListOverlay); }
};

TEST_F(CheckBoxTest, TwoOkReleasesCheckThenUncheckEachFollowedByUp) {
  Window& menu = AddMenu({});
  CheckBox& box = AddBox(menu);
  for (int press = 0; press < 2; ++press) {
    menu.InputDown({}, kWidgetOk);
    menu.InputUp({}, kWidgetOk);
  }
  EXPECT_EQ(TakeLog(), (EventLog{"C:nav 46", "C:214", "Menu:6561", "C:in 46", "C:18266", "C:215", "C:nav 46", "C:214",
                                 "Menu:6561", "C:in 46", "C:18267", "C:215"}));
  EXPECT_FALSE(box.IsChecked());
}

TEST_F(CheckBoxTest, ADisabledBoxIgnoresInput) {
  Window& menu = AddMenu({});
  CheckBox& box = AddBox(menu);
  RunCommand<std::int32_t>(box, 6530, 0);
  box.OnNavigate({}, kWidgetOk);
  box.OnInput({}, kWidgetOk);
  box.OnPointerEnter({});
  EXPECT_EQ(TakeLog(), (EventLog{"C:nav 46", "C:in 46"}));
  EXPECT_FALSE(box.IsChecked());
}

TEST_F(CheckBoxTest, SettingCheckedShowsTheMarkWithoutAnEventAndDimmedWhenDisabled) {
  AddMaterial("Mark");
  Window& menu = AddMenu({});
  CheckBox& box = AddBox(menu);
  RunScriptText(box, "this.SetUseStandardCheckBoxCheckedSprite(0); this.SetCheckBoxCheckedSprite(Mark); "
                     "this.SetCheckBoxCheckedDimension(10, 12, 1);", nullptr);
  box.Draw();
  EXPECT_TRUE(Quads().empty());
  RunCommand<std::uint32_t>(box, 18250, 1);
  EXPECT_TRUE(TakeLog().empty());
  for (const bool enabled : {true, false}) {
    SCOPED_TRACE(enabled);
    Queue().Reset();
    RunCommand<std::int32_t>(box, 6530, enabled ? 1 : 0);
    box.Draw();
    ASSERT_EQ(Quads().size(), 1u);
    const ScreenVertex& corner = Quads()[0]->vertices[0];
    EXPECT_EQ(corner.colour, enabled ? 0xFFFFFFFFu : 0xB3B3B3B3u);
    EXPECT_FLOAT_EQ(Quads()[0]->vertices[3].x - corner.x, 10.0f);
    EXPECT_FLOAT_EQ(Quads()[0]->vertices[3].y - corner.y, 12.0f);
  }
}

TEST_F(CheckBoxTest, StandardSpriteEmptiesTheSpriteName) {
  CheckBox& box = Add<CheckBox>(kClassCheckBox);
  RunScriptText(box, "this.SetUseStandardCheckBoxCheckedSprite(0); this.SetCheckBoxCheckedSprite(Mark); "
                     "this.SetUseStandardCheckBoxCheckedSprite(1);", nullptr);
  std::string name = "unchanged";
  box.ExecuteCommand(18255, &name);
  EXPECT_EQ(name, "");
}

}  // namespace
}  // namespace tge::test
