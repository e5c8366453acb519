// The demo's props loaded from the files the demo writer makes: the first
// crate drops onto the ground and rests there, entering the trigger on its
// way, whose script lights the lamp green; B drops the second crate.
#include <SDL.h>
#include <gtest/gtest.h>

#include "core/math/Color.h"
#include "tests/app/DemoFixture.h"

namespace tge::test {
namespace {

using DemoPropsTest = OpenedDemoTest;

TEST_F(DemoPropsTest, TheCrateRestsOnTheGroundAndItsEntryLightsTheLampGreen) {
  Object& crate = Find("/DemoWorld/Stage/Drop1");
  Object& lamp = Find("/DemoWorld/Stage/LampSway/Lamp");
  ASSERT_NE(crate.GetBody(), nullptr);
  Color colour{};
  lamp.ExecuteCommand(kGetLightColor, &colour);
  EXPECT_GT(colour.r, colour.g);
  Seconds(4);
  EXPECT_NEAR(crate.GetPositionWS().y, 0.8f, 0.05f);
  EXPECT_FALSE(crate.IsBodyEnabled());
  lamp.ExecuteCommand(kGetLightColor, &colour);
  EXPECT_GT(colour.g, colour.r);
}

TEST_F(DemoPropsTest, BDropsTheSecondCrate) {
  Object& crate = Find("/DemoWorld/Stage/Drop2");
  Seconds(1);
  EXPECT_EQ(crate.GetBody(), nullptr);
  const float hanging = crate.GetPositionWS().y;
  platform::PushKey(SDL_SCANCODE_B, true);
  Frame();
  platform::PushKey(SDL_SCANCODE_B, false);
  ASSERT_NE(crate.GetBody(), nullptr);
  Seconds(4);
  EXPECT_LT(crate.GetPositionWS().y, hanging - 2.0f);
  EXPECT_NEAR(crate.GetPositionWS().y, 0.8f, 0.05f);
}

}  // namespace
}  // namespace tge::test
