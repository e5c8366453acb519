// Check boxes, list boxes, sliders and text inputs worked through the frame
// step by pushed SDL events: keys, typed text and the mouse. The test
// screen is 64 units wide, so the widgets are small.
#include <algorithm>
#include <cstring>

#include "objects/ui/widgets/Button.h"
#include "objects/ui/widgets/CheckBox.h"
#include "objects/ui/widgets/ListBox.h"
#include "objects/ui/widgets/Slider.h"
#include "objects/ui/widgets/TextInput.h"
#include "services/resources/MaterialResource.h"
#include "tests/engine/EngineFrameFixture.h"
#include "tests/objects/ui/widgets/LoggedWidget.h"

namespace tge::test {
namespace {

void PushText(const char* text) {
  SDL_Event event{};
  event.type = SDL_TEXTINPUT;
  std::strncpy(event.text.text, text, sizeof event.text.text - 1);
  platform::PushSdlEvent(event);
}

class WidgetControlsTest : public EngineFrameTest {
 protected:
  void SetUp() override {
    EngineFrameTest::SetUp();
    engine->GetEngineWorld().SetActive(true);
    auto knob = std::make_unique<MaterialResource>();
    knob->SetName("Knob");
    GetEngineServices()->GetResources().RegisterResource(std::move(knob));
    menu = &static_cast<Window&>(*engine->AddChild(std::make_unique<Logged<Window>>(log)));
    Prepare(*menu, "Menu", {0, 0, 1});
    std::int32_t on = 1;
    menu->ExecuteCommand(6536, &on);  // drawn every frame as a main window
  }

  // A 40 x 10 widget of the menu at height y, with a logged name.
  template <class T>
  T& AddWidget(const std::string& name, float y) {
    T& widget = static_cast<T&>(*menu->AddChild(std::make_unique<Logged<T>>(log)));
    Prepare(widget, name, {0, y, 2});
    widget.SetWidth(40);
    float height = 10;
    widget.ExecuteCommand(6508, &height);
    return widget;
  }
  // Starts the menu with the first widget focused.
  void Focus() {
    menu->Precalculate();
    menu->ExecuteCommand(6558, nullptr);
    Frame();
    log.clear();
  }
  void Prepare(Object& object, const std::string& name, const Vector3& position) {
    object.SetWorld(&engine->GetEngineWorld());
    object.SetName(name);
    object.SetInheritOrientation(false);
    object.SetPosition(position, false);
  }
  void Key(SDL_Scancode code, int times = 1) {
    for (int i = 0; i < times; ++i) {
      platform::PushKey(code, true);
      Frame();
      platform::PushKey(code, false);
      Frame();
    }
  }
  void Click(float x, float y, bool down) {
    PointAt(x, y);
    Frame();
    platform::PushButton(SDL_BUTTON_LEFT, down);
    Frame();
  }
  void PointAt(float x, float y) { SetCursor(true, x / engine->GetScreenScaleX(), y / engine->GetScreenScaleY()); }
  // The log since the last call, without the entries of the given names.
  EventLog TakeLog(const std::string& without = "Menu") {
    EventLog kept;
    for (const std::string& entry : log) {
      if (entry.compare(0, without.size() + 1, without + ":") != 0) kept.push_back(entry);
    }
    log.clear();
    return kept;
  }

  Window* menu = nullptr;
  EventLog log;
};

TEST_F(WidgetControlsTest, TwoReturnsCheckThenUncheckABox) {
  CheckBox& box = AddWidget<CheckBox>("C", 10);
  Focus();
  Key(SDL_SCANCODE_RETURN, 2);
  EXPECT_EQ(TakeLog(), (EventLog{"C:nav 46", "C:214", "C:in 46", "C:18266", "C:215", "C:nav 46", "C:214", "C:in 46",
                                 "C:18267", "C:215"}));
  EXPECT_FALSE(box.IsChecked());
}

TEST_F(WidgetControlsTest, LeftAndRightStepAListAndASlider) {
  ListBox& list = AddWidget<ListBox>("L", 10);
  Slider& slider = AddWidget<Slider>("S", 25);
  for (int i = 0; i < 3; ++i) list.ExecuteCommand(11766, nullptr);
  std::int32_t off = 0;
  std::uint32_t middle = 1, last = 2;
  list.ExecuteCommand(11782, &middle);
  list.ExecuteCommand(11776, &off);
  list.ExecuteCommand(11782, &last);
  Focus();
  Key(SDL_SCANCODE_RIGHT);
  EXPECT_EQ(list.GetSelectedIndex(), 0);
  Key(SDL_SCANCODE_LEFT);
  EXPECT_EQ(list.GetSelectedIndex(), 2);
  Key(SDL_SCANCODE_DOWN);
  ASSERT_EQ(menu->GetFocusedWidget(), &slider);
  Key(SDL_SCANCODE_RIGHT, 2);
  Key(SDL_SCANCODE_LEFT);
  EXPECT_FLOAT_EQ(slider.GetPosition(), 10.0f);
}

// The list's arrows and the knob are 8 units square.
TEST_F(WidgetControlsTest, TheMouseClicksAListArrowAndDragsTheKnobToTheEnd) {
  ListBox& list = AddWidget<ListBox>("L", 10);
  Slider& slider = AddWidget<Slider>("S", 25);
  for (int i = 0; i < 3; ++i) list.ExecuteCommand(11766, nullptr);
  Vector3 square{8, 8, 1};
  list.ExecuteCommand(11754, &square);
  std::string knob = "Knob";
  slider.ExecuteCommand(18020, &knob);
  slider.ExecuteCommand(18022, &square);
  Focus();
  Click(36, 15, true);
  Click(36, 15, false);
  EXPECT_EQ(list.GetSelectedIndex(), 0);
  Click(4, 30, true);
  EXPECT_TRUE(slider.IsDragging());
  PointAt(36, 30);
  Frame();
  EXPECT_FLOAT_EQ(slider.GetPosition(), 100.0f);
  Click(60, 45, false);
  EXPECT_FALSE(slider.IsDragging());
}

TEST_F(WidgetControlsTest, TypedTextLandsInTheFocusedInputAsUtf8) {
  AddWidget<Button>("B", 10);
  TextInput& input = AddWidget<TextInput>("T", 25);
  Focus();
  PushText("w");  // typed while the button has the focus
  Frame();
  Key(SDL_SCANCODE_DOWN);
  ASSERT_EQ(menu->GetFocusedWidget(), &input);
  PushText("\xC3\xA9\xE2\x82\xAC");  // é€
  Frame();
  Frame();
  EXPECT_EQ(input.GetInputText(), "\xC3\xA9\xE2\x82\xAC");
  platform::PushKey(SDL_SCANCODE_BACKSPACE, true);
  Frame();
  platform::PushKey(SDL_SCANCODE_BACKSPACE, false);
  Key(SDL_SCANCODE_RETURN);
  EXPECT_EQ(input.GetInputText(), "\xC3\xA9");
  std::uint32_t three = 3;
  input.ExecuteCommand(16510, &three);
  PushText("a\xC3\xA9" "b\xE2\x82\xAC");
  for (int i = 0; i < 4; ++i) Frame();
  EXPECT_EQ(input.GetInputText(), "\xC3\xA9" "a\xC3\xA9");
}

}  // namespace
}  // namespace tge::test
