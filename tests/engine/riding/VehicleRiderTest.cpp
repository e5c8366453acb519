// A vehicle ridden by a real third-person player: only while the player
// sits under "PlayerPosition" does the vehicle read player 0's input.
#include "objects/gameplay/Vehicle.h"
#include "tests/engine/riding/RidingFixture.h"

namespace tge::test {
namespace {

using VehicleRiderTest = RidingTest;

TEST_F(VehicleRiderTest, EnteringAVehicleMakesItReadPlayerZerosInput) {
  auto& car = static_cast<Vehicle&>(*CreateObject(kClassVehicle, nullptr, *room, "Car"));
  car.SetWorld(world);
  car.BuildFromType(kVehicleNoWheels);
  car.SetPosition({0, 1, 6}, false);
  CreateObject(kClassObject, nullptr, car, "PlayerPosition");
  PlayerTP& player = AddPlayer({2, 0, 6});
  Start();
  Steps(10);
  Key(SDL_SCANCODE_W, true);
  Step();
  EXPECT_EQ(car.GetControls().throttle, 0.0f);
  Key(SDL_SCANCODE_W, false);
  Step();
  Ride(player, car);
  EXPECT_EQ(player.GetParent(), car.GetPlayerPosition());
  Key(SDL_SCANCODE_W, true);
  Step();
  EXPECT_NEAR(car.GetControls().throttle, 20 * kFrame, 1e-3);
  EXPECT_NE(car.GetCamera(), nullptr);
  Key(SDL_SCANCODE_W, false);
  Step();
  EXPECT_EQ(car.GetControls().throttle, 0.0f);
}

}  // namespace
}  // namespace tge::test
