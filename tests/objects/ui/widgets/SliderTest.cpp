// Slider: limits of its position properties, steps beside the knob and by
// Left and Right, and dragging the knob.
#include "core/script/ScriptInterpreter.h"
#include "objects/ui/widgets/Slider.h"
#include "tests/objects/ui/UiFixture.h"

namespace tge::test {
namespace {

class SliderTest : public UiFixture {
 protected:
  // A 0..100 slider with step 10 at (100, 100), 200 x 20 with a 20-wide
  // knob, at position 50, focused in a started menu and drawn once so the
  // knob has its place.
  Slider& AddSlider(Window& menu, float position = 50) {
    AddMaterial("Knob");
    Slider& slider = Place(menu, std::make_unique<Logged<Slider>>(log), "S", {100, 100, 2});
    slider.SetWidth(200);
    RunCommand(slider, 6508, 20.0f);
    RunScriptText(slider, "this.SetSliderPositionSprite(Knob); this.SetSliderPositionDimension(20, 20, 1);", nullptr);
    RunCommand(slider, 18004, position);
    slider.Precalculate();
    slider.Draw();
    menu.SetFocus();
    log.clear();
    return slider;
  }
  // The knob's left edge for a position on the 180-unit track.
  static float KnobLeft(float position) { return 100 + position / 100 * 180; }
};

TEST_F(SliderTest, PositionPropertiesLimitOrNot) {
  Slider& slider = Add<Slider>(kClassSlider);
  RunCommand(slider, 18004, 150.0f);
  EXPECT_FLOAT_EQ(slider.GetPosition(), 100.0f);
  RunCommand(slider, 18004, -5.0f);
  EXPECT_FLOAT_EQ(slider.GetPosition(), 0.0f);
  RunCommand<std::int32_t>(slider, 18014, 150);
  EXPECT_FLOAT_EQ(slider.GetPosition(), 150.0f);
  RunCommand<std::int32_t>(slider, 18014, -7);
  EXPECT_EQ(Get<std::int32_t>(slider, 18015), -7);
  EXPECT_EQ(Get<std::uint32_t>(slider, 18013), 0u);
  RunCommand(slider, 18000, 50.0f);
  RunCommand(slider, 18002, 150.0f);
  RunCommand(slider, 18004, 100.0f);
  EXPECT_FLOAT_EQ(Get<float>(slider, 18016), 1.0f);
  RunCommand(slider, 18002, 50.0f);
  float unchanged = 9;
  slider.ExecuteCommand(18016, &unchanged);
  EXPECT_FLOAT_EQ(unchanged, 9.0f);
}

TEST_F(SliderTest, OkBesideTheKnobStepsTowardsThePointer) {
  Window& menu = AddMenu({});
  Slider& slider = AddSlider(menu);
  slider.OnNavigate({KnobLeft(50) - 5, 110, 0}, kWidgetOk);
  EXPECT_FLOAT_EQ(slider.GetPosition(), 40.0f);
  EXPECT_EQ(TakeLog(), (EventLog{"S:nav 46", "S:18032", "S:214"}));
  slider.OnNavigate({KnobLeft(40) + 45, 110, 0}, kWidgetOk);
  EXPECT_FLOAT_EQ(slider.GetPosition(), 50.0f);
  RunCommand(slider, 18004, 0.0f);
  TakeLog();
  slider.OnNavigate({50, 110, 0}, kWidgetOk);
  EXPECT_EQ(TakeLog(), (EventLog{"S:nav 46", "S:214"}));
}

// Left lowers and Right raises wherever the pointer is.
TEST_F(SliderTest, LeftAndRightThroughTheWindowStepDownAndUp) {
  Window& menu = AddMenu({});
  Slider& slider = AddSlider(menu);
  menu.InputDown({0, 0, 0}, kWidgetRight);
  EXPECT_FLOAT_EQ(slider.GetPosition(), 60.0f);
  menu.InputDown({790, 590, 0}, kWidgetLeft);
  menu.InputDown({790, 590, 0}, kWidgetLeft);
  EXPECT_FLOAT_EQ(slider.GetPosition(), 40.0f);
  EXPECT_EQ(TakeLog(), (EventLog{"S:nav 51", "S:18032", "S:214", "S:nav 50", "S:18032", "S:214", "S:nav 50",
                                 "S:18032", "S:214"}));
}

TEST_F(SliderTest, DraggingTheKnobToTheRightEdgeGivesTheMaximum) {
  Window& menu = AddMenu({});
  Slider& slider = AddSlider(menu);
  slider.OnNavigate({KnobLeft(50) + 10, 110, 0}, kWidgetOk);
  EXPECT_TRUE(slider.IsDragging());
  EXPECT_EQ(TakeLog(), (EventLog{"S:nav 46", "S:214"}));
  slider.OnPointerMove({KnobLeft(75) + 10, 110, 0}, {});
  EXPECT_NEAR(slider.GetPosition(), 75.0f, 1e-3);
  slider.OnPointerMove({290, 110, 0}, {});
  EXPECT_FLOAT_EQ(slider.GetPosition(), 100.0f);
  slider.OnPointerMove({500, 110, 0}, {});
  EXPECT_EQ(TakeLog(), (EventLog{"S:18032", "S:18032"}));
  slider.OnInput({}, kWidgetOk);
  EXPECT_FALSE(slider.IsDragging());
  slider.OnPointerMove({100, 110, 0}, {});
  EXPECT_FLOAT_EQ(slider.GetPosition(), 100.0f);
}

TEST_F(SliderTest, AKnobAsWideAsTheSliderKeepsThePosition) {
  Window& menu = AddMenu({});
  Slider& slider = AddSlider(menu);
  RunScriptText(slider, "this.SetSliderPositionDimension(200, 20, 1);", nullptr);
  slider.Draw();
  slider.OnNavigate({150, 110, 0}, kWidgetOk);
  ASSERT_TRUE(slider.IsDragging());
  slider.OnPointerMove({250, 110, 0}, {});
  EXPECT_FLOAT_EQ(slider.GetPosition(), 50.0f);
}

}  // namespace
}  // namespace tge::test
