// The demo's menus worked by a pad alone, loaded from the files the demo
// writer makes.
#include <memory>

#include "core/World.h"
#include "objects/ui/widgets/CheckBox.h"
#include "objects/ui/widgets/ListBox.h"
#include "objects/ui/widgets/Slider.h"
#include "objects/ui/widgets/TextDialog.h"
#include "objects/ui/widgets/TextDialogWindow.h"
#include "objects/ui/widgets/VirtualKeyboard.h"
#include "tests/app/DemoFixture.h"
#include "tests/platform/window/VirtualPad.h"

namespace tge::test {
namespace {

class DemoPadTest : public DemoTest {
 protected:
  void SetUp() override {
    DemoTest::SetUp();
    pad_ = std::make_unique<VirtualPad>();
    Frame();
    ASSERT_TRUE(pad_->Open()) << SDL_GetError();
    OpenDemo();
    Frame();
  }
  void TearDown() override {
    pad_.reset();
    DemoTest::TearDown();
  }

  // One press and release, a frame each.
  void Tap(SDL_GameControllerButton button, int times = 1) {
    for (int i = 0; i < times; ++i) {
      pad_->Set(button, true);
      Frame();
      pad_->Set(button, false);
      Frame();
    }
  }
  Object* FocusedWidget(const std::string& window) {
    return Find<Window>("/DemoWorld/" + window).GetFocusedWidget();
  }

 private:
  std::unique_ptr<VirtualPad> pad_;
};

constexpr auto kUp = SDL_CONTROLLER_BUTTON_DPAD_UP;
constexpr auto kDown = SDL_CONTROLLER_BUTTON_DPAD_DOWN;
constexpr auto kLeft = SDL_CONTROLLER_BUTTON_DPAD_LEFT;
constexpr auto kRight = SDL_CONTROLLER_BUTTON_DPAD_RIGHT;
constexpr auto kCross = SDL_CONTROLLER_BUTTON_A;
constexpr auto kCircle = SDL_CONTROLLER_BUTTON_B;

TEST_F(DemoPadTest, TheDpadMovesTheTitlesFocusAndCrossPressesTheFocusedButton) {
  auto& title = Find<Window>("/DemoWorld/Title");
  EXPECT_EQ(World::GetGlobalFocus(), &title);
  EXPECT_EQ(FocusedWidget("Title"), &Find("/DemoWorld/Title/Start"));
  Tap(kDown, 2);
  EXPECT_EQ(FocusedWidget("Title"), &Find("/DemoWorld/Title/Options"));
  Tap(kUp);
  EXPECT_EQ(FocusedWidget("Title"), &Find("/DemoWorld/Title/Quit"));
  Tap(kDown);
  Tap(kCross);
  EXPECT_FALSE(title.HasFlag(kFlagActionStarted));
  EXPECT_EQ(World::GetGlobalFocus(), &Find("/DemoWorld/Options"));
}

TEST_F(DemoPadTest, ThePadWorksEveryOptionAndTypesOnTheOnScreenKeyboard) {
  Tap(kDown, 2);
  Tap(kCross);
  auto& fog = Find<CheckBox>("/DemoWorld/Options/Fog");
  EXPECT_EQ(FocusedWidget("Options"), &fog);
  Tap(kCross);
  EXPECT_FALSE(fog.IsChecked());
  Tap(kDown);
  auto& pace = Find<Slider>("/DemoWorld/Options/Pace");
  EXPECT_EQ(FocusedWidget("Options"), &pace);
  Tap(kRight);
  EXPECT_EQ(pace.GetPosition(), 3.0f);
  Tap(kLeft, 2);
  EXPECT_EQ(pace.GetPosition(), 1.0f);
  Tap(kDown);
  auto& scope = Find<ListBox>("/DemoWorld/Options/Scope");
  EXPECT_EQ(FocusedWidget("Options"), &scope);
  Tap(kRight);
  EXPECT_EQ(scope.GetSelectedIndex(), 2);
  Tap(kDown, 2);
  auto& keys = Find<VirtualKeyboard>("/DemoWorld/Options/Keys");
  EXPECT_EQ(FocusedWidget("Options"), &keys);
  Tap(kCross);
  Tap(kRight);
  Tap(kCross);
  Tap(kDown);
  Tap(kCross);
  EXPECT_EQ(keys.GetTypedText(), "ABH");
  Tap(kCircle);
  EXPECT_EQ(World::GetGlobalFocus(), &Find("/DemoWorld/Title"));
}

// Cross first completes the revealed phrase, then moves on; Circle ends
// the conversation and the title comes back.
TEST_F(DemoPadTest, CrossPlaysTheConversationAndCircleEndsIt) {
  Tap(kDown, 3);
  Tap(kCross);
  auto& dialog = Find<TextDialogWindow>("/DemoWorld/Dialog");
  ASSERT_EQ(World::GetGlobalFocus(), &dialog);
  EXPECT_EQ(dialog.GetPhraseIndex(), 0);
  Tap(kCross, 2);
  EXPECT_EQ(dialog.GetPhraseIndex(), 1);
  Tap(kCircle);
  EXPECT_EQ(dialog.GetCurrentDialog(), nullptr);
  EXPECT_EQ(World::GetGlobalFocus(), &Find("/DemoWorld/Title"));
}

}  // namespace
}  // namespace tge::test
