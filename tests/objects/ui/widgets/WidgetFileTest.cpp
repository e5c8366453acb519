// The file records of the check box, list box, slider, text input, dialog,
// dialog window and keyboard: save, load and save again gives the same
// bytes; older versions read only their fields; bad counts are refused.
#include "core/script/ScriptInterpreter.h"
#include "objects/ui/widgets/ListBox.h"
#include "objects/ui/widgets/TextInput.h"
#include "services/resources/ResourceSet.h"
#include "tests/objects/ui/UiFixture.h"

namespace tge::test {
namespace {

using WidgetFileTest = UiFixture;

TEST_F(WidgetFileTest, EveryTypeSavesLoadsAndSavesTheSameBytes) {
  const WidgetSetUp cases[] = {
      {kClassCheckBox, "this.SetCheckBoxChecked(1); this.SetUseStandardCheckBoxCheckedSprite(0); "
                       "this.SetCheckBoxCheckedSprite(\"Mark\"); this.SetCheckBoxCheckedDimension(8, 9, 2);"},
      {kClassListBox, "this.AddListBoxItem(); this.SetListBoxItemText(\"One\"); this.SetListBoxItemFloat(1.5); "
                      "this.AddListBoxItem(); this.SetListBoxItemUInt(-4); this.SetListBoxItemMaterial(\"M\"); "
                      "this.SetListBoxNextMaterial(\"Next\"); this.SetListBoxVertical(1);"},
      {kClassSlider, "this.SetSliderMax(10); this.SetSliderPosition(4); this.SetSliderStepSize(2); "
                     "this.SetSliderPositionSprite(\"Knob\"); this.SetSliderPositionDimension(4, 5, 6);"},
      {kClassTextInput, "this.SetTextInputText(\"Name\"); this.SetTextInputMaxLetters(8); "
                        "this.SetTextInputColor(1, 0, 0, 1); this.SetTextInputFont(\"Font\");"},
      {kClassTextDialog, "this.SetTextDialogDialog(\"Talk\"); this.SetTextDialogUseGlobalDialogWindow(0);"},
      {kClassTextDialogWindow, "this.SetTextDialogWindowGlobal(1); this.SetTextDialogWindowSprite(\"Back\");"},
      {kClassVirtualKeyboard, "this.SetWindowText(\"Keys\");"},
  };
  for (const WidgetSetUp& c : cases) {
    SCOPED_TRACE(c.classId);
    const auto [first, second] = SaveAndResave(c);
    EXPECT_EQ(second, first);
  }
}

TEST_F(WidgetFileTest, AVersion7ListBoxHasNoItemValues) {
  auto& list = Add<ListBox>(kClassListBox);
  RunScriptText(list, "this.AddListBoxItem(); this.SetListBoxItemText(\"One\"); this.SetListBoxItemFloat(1.5); "
                      "this.SetListBoxItemUInt(3); this.SetListBoxNavigationDimension(5, 5, 5);", nullptr);
  std::vector<std::uint8_t> bytes = Save(list, 7);
  std::unique_ptr<ListBox> loaded = Load<ListBox>(kClassListBox, bytes, 7);
  ASSERT_NE(loaded, nullptr);
  ASSERT_EQ(loaded->GetItems().size(), 1u);
  EXPECT_EQ(loaded->GetItems()[0].text, "One");
  EXPECT_FLOAT_EQ(loaded->GetItems()[0].value, 0.0f);
  EXPECT_EQ(loaded->GetItems()[0].itemFlags, ListBoxItem::kEnabled);
  EXPECT_EQ(Save(*loaded, 7), bytes);
}

TEST_F(WidgetFileTest, AVersion49TextInputSkipsItsOldCopies) {
  auto& input = Add<TextInput>(kClassTextInput);
  RunScriptText(input, "this.SetTextInputText(\"Old\"); this.SetTextInputColor(0, 1, 0, 1); "
                       "this.SetTextInputFont(\"Font\");", nullptr);
  std::vector<std::uint8_t> bytes = Save(input, 49);
  std::unique_ptr<TextInput> loaded = Load<TextInput>(kClassTextInput, bytes, 49);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->GetInputText(), "Old");
  std::string font;
  loaded->ExecuteCommand(16501, &font);
  EXPECT_EQ(font, "Font");
  EXPECT_FLOAT_EQ(Get<Color>(*loaded, 16503).g, 1.0f);
  EXPECT_EQ(Save(*loaded, 49), bytes);
}

// A file keeps the arrows' names only; the resource pass acquires them.
TEST_F(WidgetFileTest, ALoadedListBoxGetsItsArrowsWithItsResources) {
  AddMaterial("Prev");
  AddMaterial("Next");
  auto& list = Add<ListBox>(kClassListBox);
  RunScriptText(list, "this.SetListBoxPrevMaterial(Prev); this.SetListBoxNextMaterial(Next);", nullptr);
  std::unique_ptr<ListBox> loaded = RoundTrip(list);
  ASSERT_NE(loaded, nullptr);
  ResourceSet set(false, Resources().GetSlotCount());
  loaded->ExecuteCommand(11, &set);
  EXPECT_EQ(set.GetResourceSetSize(), 2u);
}

TEST_F(WidgetFileTest, AListBoxWithMoreItemsThanItsBytesIsRefused) {
  auto& list = Add<ListBox>(kClassListBox);
  for (int i = 0; i < 3; ++i) list.ExecuteCommand(11766, nullptr);
  std::vector<std::uint8_t> bytes = Save(list);
  std::vector<std::uint8_t> cut(bytes.begin(), bytes.end() - 30);
  EXPECT_EQ(Load<ListBox>(kClassListBox, cut, SerializeStream::kLatestVersion), nullptr);
}

}  // namespace
}  // namespace tge::test
