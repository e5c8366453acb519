// The on-screen keyboard, focused in its window and driven by pad codes:
// the selection's limits, the special keys, and when Up and Down leave it.
#include <algorithm>

#include "objects/ui/widgets/VirtualKeyboard.h"
#include "tests/objects/ui/UiFixture.h"

namespace tge::test {
namespace {

class VirtualKeyboardTest : public UiFixture {
 protected:
  // A menu with a button above and below the keyboard; the keyboard has
  // the focus.
  VirtualKeyboard& AddKeyboard() {
    menu_ = &AddMenu({0, 400});
    VirtualKeyboard& keyboard = Place(*menu_, std::make_unique<Logged<VirtualKeyboard>>(log), "K", {0, 100, 2});
    keyboard.Precalculate();
    menu_->SetFocus();
    menu_->SetFocusChild(&keyboard);
    log.clear();
    return keyboard;
  }
  void Press(int code, int times = 1) {
    for (int i = 0; i < times; ++i) menu_->InputDown({}, code);
  }
  Window* menu_ = nullptr;
};

TEST_F(VirtualKeyboardTest, TheSelectionStopsAtTheFirstAndLastKey) {
  VirtualKeyboard& keyboard = AddKeyboard();
  Press(kWidgetRight, 40);
  EXPECT_EQ(keyboard.GetKeyIndex(), VirtualKeyboard::kLastKey);
  Press(kWidgetLeft, 29);
  EXPECT_EQ(keyboard.GetKeyIndex(), 3);
  Press(kWidgetUp);
  EXPECT_EQ(keyboard.GetKeyIndex(), 0);
  EXPECT_EQ(menu_->GetFocusedWidget(), &keyboard);
}

TEST_F(VirtualKeyboardTest, SpecialKeysSwitchSetsDeleteAndTypeABlank) {
  VirtualKeyboard& keyboard = AddKeyboard();
  Press(kWidgetRight, 31);  // DEL with nothing typed
  Press(kWidgetOk);
  EXPECT_EQ(keyboard.GetTypedText(), "");
  Press(kWidgetLeft, 3);  // SPACE
  Press(kWidgetOk);
  Press(kWidgetRight);  // "."
  Press(kWidgetOk);
  Press(kWidgetRight);  // abc
  Press(kWidgetOk);
  EXPECT_EQ(keyboard.GetKeySet(), 1);
  EXPECT_EQ(keyboard.GetKeyIndex(), 0);
  Press(kWidgetOk);
  EXPECT_EQ(keyboard.GetTypedText(), " .a");
  EXPECT_EQ(std::count(log.begin(), log.end(), "K:214"), 41);
}

// Below key 30 the keyboard keeps Down; at 32 Down moves the focus on.
TEST_F(VirtualKeyboardTest, DownFromTheLastRowMovesTheFocusOn) {
  VirtualKeyboard& keyboard = AddKeyboard();
  Press(kWidgetRight, 29);
  Press(kWidgetDown);
  EXPECT_EQ(keyboard.GetKeyIndex(), VirtualKeyboard::kLastKey);
  EXPECT_EQ(menu_->GetFocusedWidget(), &keyboard);
  Press(kWidgetDown);
  EXPECT_EQ(menu_->GetFocusedWidget(), &ButtonOf(*menu_, 1));
  EXPECT_EQ(keyboard.GetKeyIndex(), VirtualKeyboard::kLastKey);
}

TEST_F(VirtualKeyboardTest, InTheDigitSetTheLastKeyIsDelete) {
  VirtualKeyboard& keyboard = AddKeyboard();
  Press(kWidgetRight, 30);  // abc
  Press(kWidgetOk);
  Press(kWidgetRight, 30);  // 123
  Press(kWidgetOk);
  EXPECT_EQ(keyboard.GetKeySet(), 2);
  Press(kWidgetOk);
  Press(kWidgetRight, 40);
  Press(kWidgetOk);
  EXPECT_EQ(keyboard.GetTypedText(), "");
}

}  // namespace
}  // namespace tge::test
