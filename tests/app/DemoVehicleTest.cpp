// The demo's car loaded from the files the demo writer makes: its Timer
// drives it round an arc right of the crates and back, on its wheels.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/app/DemoFixture.h"

namespace tge::test {
namespace {

using DemoVehicleTest = OpenedDemoTest;

TEST_F(DemoVehicleTest, TheCarDrivesItsArcAndBackOnItsWheels) {
  Object& car = Find("/DemoWorld/Stage/Car");
  ASSERT_NE(car.GetBody(), nullptr);
  Object& wheel = Find("/DemoWorld/Stage/Car/LF_Wheel/Wheel");
  ASSERT_NE(wheel.GetBody(), nullptr);
  const Vector3 start = car.GetPositionWS();
  Seconds(4);
  const Vector3 later = car.GetPositionWS();
  EXPECT_GT(std::hypot(later.x - start.x, later.z - start.z), 1.5f);
  EXPECT_GT(car.GetAxisZWS().x, 0.3f);
  EXPECT_GT(car.GetAxisYWS().y, 0.95f);
  // Back along the arc, then forward again, it stays on its wheels right of
  // the crates (their right edge lies 2.2 left of its start). How far it
  // sways depends a little on every other body the World steps.
  for (int leg = 0; leg < 8; ++leg) {
    Seconds(3);
    const Vector3 at = car.GetPositionWS();
    EXPECT_GT(car.GetAxisYWS().y, 0.95f);
    EXPECT_GT(at.x, start.x - 2.0f);
    EXPECT_LT(std::hypot(at.x - start.x, at.z - start.z), 8.0f);
  }
}

}  // namespace
}  // namespace tge::test
