// Keys, wheel, pad and mouse reaching a menu of buttons through the frame
// step, as pushed SDL events.
#include <algorithm>
#include <functional>

#include "objects/ui/widgets/Button.h"
#include "tests/engine/EngineFrameFixture.h"
#include "tests/objects/ui/widgets/LoggedWidget.h"
#include "tests/platform/window/VirtualPad.h"

namespace tge::test {
namespace {

class WidgetInputTest : public EngineFrameTest {
 protected:
  void SetUp() override {
    EngineFrameTest::SetUp();
    engine->GetEngineWorld().SetActive(true);
  }

  // A focused menu of 40 x 10 buttons B0, B1 ... at the given heights.
  Window& AddFocusedMenu(const std::vector<float>& heights) {
    auto& menu = static_cast<Window&>(*engine->AddChild(std::make_unique<Logged<Window>>(log)));
    Prepare(menu, "Menu", {0, 0, 1});
    for (std::size_t i = 0; i < heights.size(); ++i) {
      Object& button = *menu.AddChild(std::make_unique<Logged<Button>>(log));
      Prepare(button, "B" + std::to_string(i), {0, heights[i], 2});
      float width = 40;
      float height = 10;
      button.ExecuteCommand(6506, &width);
      button.ExecuteCommand(6508, &height);
    }
    menu.Precalculate();
    menu.ExecuteCommand(6558, nullptr);
    log.clear();
    return menu;
  }
  void Prepare(Object& object, const std::string& name, const Vector3& position) {
    object.SetWorld(&engine->GetEngineWorld());
    object.SetName(name);
    object.SetInheritOrientation(false);
    object.SetPosition(position, false);
  }
  // The cursor on a point of the screen.
  void PointAt(float x, float y) { SetCursor(true, x / engine->GetScreenScaleX(), y / engine->GetScreenScaleY()); }
  EventLog TakeLog() {
    EventLog taken;
    taken.swap(log);
    return taken;
  }

  EventLog log;
};

TEST_F(WidgetInputTest, KeysAndWheelWorkTheMenu) {
  struct Case {
    const char* what;
    std::function<void()> press;
    std::function<void()> release;
    EventLog expected;
    int focused;
  };
  const EventLog moveDown{"B0:213", "B0:6560", "B2:212", "B2:6559"};
  auto key = [](SDL_Scancode code, bool down) { return [=] { platform::PushKey(code, down); }; };
  const Case cases[] = {
      {"Return", key(SDL_SCANCODE_RETURN, true), key(SDL_SCANCODE_RETURN, false),
       {"B0:nav 46", "B0:214", "Menu:6561", "B0:in 46", "B0:215"}, 0},
      {"Down", key(SDL_SCANCODE_DOWN, true), key(SDL_SCANCODE_DOWN, false),
       {"B0:213", "B0:6560", "B2:212", "B2:6559", "Menu:6566", "B2:in 49"}, 2},
      {"Tab", key(SDL_SCANCODE_TAB, true), key(SDL_SCANCODE_TAB, false), moveDown, 2},
      {"wheel", [] { platform::PushWheel(-1); }, [] {}, moveDown, 2},
      {"Left", key(SDL_SCANCODE_LEFT, true), key(SDL_SCANCODE_LEFT, false),
       {"B0:nav 50", "Menu:6563", "B0:in 50"}, 0},
      {"Right", key(SDL_SCANCODE_RIGHT, true), key(SDL_SCANCODE_RIGHT, false),
       {"B0:nav 51", "Menu:6564", "B0:in 51"}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Window& menu = AddFocusedMenu({100, 200, 200});
    c.press();
    Frame();
    c.release();
    Frame();
    Frame();
    EXPECT_EQ(TakeLog(), c.expected);
    EXPECT_EQ(menu.GetFocusedWidget(), menu.GetChild(c.focused));
    DestroyObjectTree(engine->DetachChild(menu));
  }
}

TEST_F(WidgetInputTest, PadButtonsRaiseTheWindowsPadEvents) {
  VirtualPad pad;
  Frame();
  ASSERT_TRUE(pad.Open()) << SDL_GetError();
  AddFocusedMenu({100, 200});
  struct Case {
    SDL_GameControllerButton button;
    std::string event;
  };
  const Case cases[] = {{SDL_CONTROLLER_BUTTON_A, "Menu:6575"},
                        {SDL_CONTROLLER_BUTTON_START, "Menu:6567"},
                        {SDL_CONTROLLER_BUTTON_Y, "Menu:6573"}};
  for (const Case& c : cases) {
    pad.Set(c.button, true);
    Frame();
    pad.Set(c.button, false);
    Frame();
    const EventLog events = TakeLog();
    EXPECT_NE(std::find(events.begin(), events.end(), c.event), events.end()) << c.event;
  }
}

// The d-pad navigates as the arrows do; Cross is Ok and Circle Cancel to
// the focused widget once the window has raised its pad event. S, which
// shares the d-pad's action, types and moves nothing.
TEST_F(WidgetInputTest, ThePadNavigatesAsTheArrowsAndReturnDo) {
  VirtualPad pad;
  Frame();
  ASSERT_TRUE(pad.Open()) << SDL_GetError();
  struct Case {
    const char* what;
    std::function<void(bool)> hold;
    EventLog expected;
    int focused;
  };
  auto button = [&pad](SDL_GameControllerButton b) { return [&pad, b](bool down) { pad.Set(b, down); }; };
  const Case cases[] = {
      {"d-pad down", button(SDL_CONTROLLER_BUTTON_DPAD_DOWN), {"B0:213", "B0:6560", "B1:212", "B1:6559"}, 1},
      {"d-pad right", button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT), {"B0:nav 51"}, 0},
      {"Cross", button(SDL_CONTROLLER_BUTTON_A), {"B0:nav 46", "B0:214", "Menu:6575", "B0:in 46", "B0:215"}, 0},
      {"Circle", button(SDL_CONTROLLER_BUTTON_B), {"Menu:6574", "B0:in 47"}, 0},
      {"S", [](bool down) { platform::PushKey(SDL_SCANCODE_S, down); }, {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Window& menu = AddFocusedMenu({100, 200});
    c.hold(true);
    Frame();
    c.hold(false);
    Frame();
    EXPECT_EQ(TakeLog(), c.expected);
    EXPECT_EQ(menu.GetFocusedWidget(), menu.GetChild(c.focused));
    DestroyObjectTree(engine->DetachChild(menu));
  }
}

// With the cursor on, Ok presses the widget under the pointer, focusing it
// first.
TEST_F(WidgetInputTest, AClickFocusesAndPressesTheButtonUnderTheCursor) {
  Window& menu = AddFocusedMenu({10, 20});
  PointAt(20, 25);
  Frame();
  EXPECT_EQ(TakeLog(), (EventLog{"B1:212"}));
  platform::PushButton(SDL_BUTTON_LEFT, true);
  Frame();
  EXPECT_EQ(TakeLog(), (EventLog{"B0:6560", "B1:6559", "B1:nav 46", "B1:214"}));
  EXPECT_EQ(menu.GetFocusedWidget(), menu.GetChild(1));
  platform::PushButton(SDL_BUTTON_LEFT, false);
  Frame();
  EXPECT_EQ(TakeLog(), (EventLog{"Menu:6561", "B1:in 46", "B1:215"}));
}

TEST_F(WidgetInputTest, CrossingBetweenTouchingButtonsLeavesTheFirstBeforeEnteringTheNext) {
  AddFocusedMenu({10, 20});
  PointAt(20, 15);
  Frame();
  EXPECT_EQ(TakeLog(), (EventLog{"B0:212"}));
  PointAt(20, 25);
  Frame();
  EXPECT_EQ(TakeLog(), (EventLog{"B0:213", "B1:212"}));
  PointAt(50, 25);
  Frame();
  EXPECT_EQ(TakeLog(), (EventLog{"B1:213"}));
}

}  // namespace
}  // namespace tge::test
