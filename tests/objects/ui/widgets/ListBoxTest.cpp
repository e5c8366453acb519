// ListBox: its item list, the selection the item properties act on, steps
// that wrap and skip disabled items, the arrows, and what it draws.
#include "core/script/ScriptInterpreter.h"
#include "objects/ui/widgets/ListBox.h"
#include "services/resources/FontResource.h"
#include "tests/objects/ui/UiFixture.h"

namespace tge::test {
namespace {

class ListBoxTest : public UiFixture {
 protected:
  // A list of items named I0, I1 ... with the given enable bits, item
  // `selected` selected, focused in a started menu.
  ListBox& AddList(Window& menu, const std::vector<bool>& enabled, int selected) {
    ListBox& list = Place(menu, std::make_unique<Logged<ListBox>>(log), "L", {100, 100, 2});
    list.SetWidth(200);
    RunCommand(list, 6508, 40.0f);
    for (std::size_t i = 0; i < enabled.size(); ++i) {
      list.ExecuteCommand(11766, nullptr);
      std::string text = "I" + std::to_string(i);
      list.ExecuteCommand(11772, &text);
      RunCommand<std::int32_t>(list, 11776, enabled[i] ? 1 : 0);
    }
    list.Precalculate();
    RunCommand<std::uint32_t>(list, 11782, static_cast<std::uint32_t>(selected));
    menu.SetFocus();
    log.clear();
    return list;
  }
  static std::string ItemText(ListBox& list) {
    std::string text = "none";
    list.ExecuteCommand(11773, &text);
    return text;
  }
};

TEST_F(ListBoxTest, AddingSelectsTheNewItemAndDeletingSelectsTheFirst) {
  ListBox& list = Add<ListBox>(kClassListBox);
  list.ExecuteCommand(11766, nullptr);
  list.ExecuteCommand(11766, nullptr);
  EXPECT_EQ(list.GetSelectedIndex(), 1);
  EXPECT_EQ(ItemText(list), "New Item");
  list.ExecuteCommand(11769, nullptr);
  EXPECT_EQ(list.GetItems().size(), 1u);
  EXPECT_EQ(list.GetSelectedIndex(), 0);
  list.ExecuteCommand(11769, nullptr);
  EXPECT_EQ(list.GetSelectedIndex(), -1);
  list.ExecuteCommand(11769, nullptr);
  EXPECT_TRUE(list.GetItems().empty());
}

TEST_F(ListBoxTest, SelectionStepsWrapAndSkipDisabledItems) {
  struct Case {
    std::vector<bool> enabled;
    int from;
    int delta;
    int expected;
  };
  const Case cases[] = {
      {{true, false, true}, 2, +1, 0},
      {{true, false, true}, 0, -1, 2},
      {{true, false, true}, 0, +1, 2},
      {{false, false, false}, 1, +1, 1},
      {{true}, 0, +1, 0},
  };
  Window& menu = AddMenu({});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.from);
    ListBox& list = AddList(menu, c.enabled, c.from);
    list.ChangeSelection(c.delta);
    EXPECT_EQ(list.GetSelectedIndex(), c.expected);
    EXPECT_EQ(TakeLog(), EventLog{"L:11785"});
    list.Delete(false);
  }
}

TEST_F(ListBoxTest, AnyStoredIndexIsSafe) {
  Window& menu = AddMenu({});
  ListBox& list = AddList(menu, {true, true, true}, 0);
  RunCommand<std::uint32_t>(list, 11782, 10);
  EXPECT_EQ(list.GetSelectedIndex(), 2);
  RunCommand<std::uint32_t>(list, 11767, 7);
  EXPECT_EQ(ItemText(list), "none");
  std::string renamed = "X";
  list.ExecuteCommand(11772, &renamed);
  list.ChangeSelection(+1);
  EXPECT_EQ(list.GetSelectedIndex(), 7);
  EXPECT_TRUE(TakeLog().empty());
  list.Draw();
  for (const ListBoxItem& item : list.GetItems()) EXPECT_NE(item.text, "X");
  ListBox& empty = Add<ListBox>(kClassListBox);
  RunCommand<std::uint32_t>(empty, 11782, 10);
  EXPECT_EQ(empty.GetSelectedIndex(), -1);
}

TEST_F(ListBoxTest, ItemListNamesEveryItemAndNameSelects) {
  Window& menu = AddMenu({});
  ListBox& list = AddList(menu, {true, false, true}, 0);
  std::vector<std::string> names = {"kept"};
  list.ExecuteCommand(11768, &names);
  EXPECT_EQ(names, (std::vector<std::string>{"kept", "I0", "I1", "I2"}));
  list.ExecuteCommand(11768, nullptr);
  std::string name = "I2";
  list.ExecuteCommand(11784, &name);
  EXPECT_EQ(list.GetSelectedIndex(), 2);
  EXPECT_TRUE(TakeLog().empty());
}

TEST_F(ListBoxTest, StartSelectsTheDefaultItem) {
  ListBox& list = Add<ListBox>(kClassListBox);
  for (int i = 0; i < 3; ++i) list.ExecuteCommand(11766, nullptr);
  RunCommand<std::uint32_t>(list, 11782, 1);
  RunCommand<std::int32_t>(list, 11774, 1);
  RunCommand<std::uint32_t>(list, 11782, 2);
  list.Precalculate();
  EXPECT_EQ(list.GetSelectedIndex(), 1);
}

TEST_F(ListBoxTest, LeftAndRightThroughTheWindowStepTheSelection) {
  Window& menu = AddMenu({});
  ListBox& list = AddList(menu, {true, false, true}, 0);
  menu.InputDown({}, kWidgetRight);
  EXPECT_EQ(list.GetSelectedIndex(), 2);
  EXPECT_EQ(TakeLog(), (EventLog{"L:nav 51", "L:214", "L:11785"}));
  menu.InputDown({}, kWidgetRight);
  EXPECT_EQ(list.GetSelectedIndex(), 0);
  menu.InputDown({}, kWidgetLeft);
  EXPECT_EQ(list.GetSelectedIndex(), 2);
}

// The arrows are 32 wide at either end of the 200-unit list at x 100.
TEST_F(ListBoxTest, AClickOnAnArrowStepsTheSelection) {
  Window& menu = AddMenu({});
  ListBox& list = AddList(menu, {true, true, true}, 1);
  RunScriptText(*engine, "this.SetCursorActive(1);", nullptr);
  menu.InputDown({290, 120, 0}, kWidgetOk);
  EXPECT_EQ(list.GetSelectedIndex(), 2);
  menu.InputDown({110, 120, 0}, kWidgetOk);
  menu.InputDown({110, 120, 0}, kWidgetOk);
  EXPECT_EQ(list.GetSelectedIndex(), 0);
  menu.InputDown({200, 120, 0}, kWidgetOk);
  EXPECT_EQ(list.GetSelectedIndex(), 0);
}

TEST_F(ListBoxTest, DrawsTheArrowsAndTheSelectedTextCentred) {
  AddMaterial("Prev");
  AddMaterial("Next");
  auto font = std::make_unique<FontResource>();
  font->SetName("Font");
  Resources().RegisterResource(std::move(font));
  Window& menu = AddMenu({});
  ListBox& list = AddList(menu, {true, true}, 1);
  RunScriptText(list, "this.SetListBoxPrevMaterial(Prev); this.SetListBoxNextMaterial(Next); this.SetWindowFont(Font);",
                nullptr);
  list.Draw();
  const auto quads = Queued<ScreenQuadCommand>(kListOverlay);
  std::vector<float> lefts;
  std::string text;
  float textX = 0;
  for (const RenderCommand* c = Queue().GetList(kListOverlay); c != nullptr; c = c->next) {
    if (c->kind == RenderCommandKind::kScreenQuad) {
      lefts.push_back(static_cast<const ScreenQuadCommand*>(c)->vertices[0].x);
    } else if (c->kind == RenderCommandKind::kText && static_cast<const TextCommand*>(c)->text == std::string("I1")) {
      text = "I1";
      textX = static_cast<const TextCommand*>(c)->position.x;
    }
  }
  EXPECT_EQ(lefts.size(), 2u);
  EXPECT_EQ(text, "I1");
  EXPECT_FLOAT_EQ(textX, 200.0f);
}

}  // namespace
}  // namespace tge::test
