// A vehicle ridden by a real third-person player: only while the player
// sits under "PlayerPosition" does the vehicle read player 0's input.
#include "objects/gameplay/vehicles/Vehicle.h"
#include "objects/gameplay/weapons/Ammunition.h"
#include "objects/gameplay/weapons/Weapon.h"
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

// The vehicle's first Weapon below it fires while player 0 holds the fire
// action (the left mouse button).
TEST_F(VehicleRiderTest, TheFireActionFiresTheVehiclesWeapon) {
  auto& car = static_cast<Vehicle&>(*CreateObject(kClassVehicle, nullptr, *room, "Car"));
  car.SetWorld(world);
  car.BuildFromType(kVehicleNoWheels);
  car.SetPosition({0, 1, 6}, false);
  Start();
  Steps(10);
  Weapon& gun = Place<Weapon>(car, "Gun", {0, 1, 0});
  Ammunition& ammunition = Place<Ammunition>(gun, "Ammunition", {0, 0, 0.5f});
  for (const auto& [id, value] : {std::pair{6014u, 3u}, std::pair{6016u, 3u}, std::pair{6018u, 1u}}) {
    std::uint32_t word = value;
    ammunition.ExecuteCommand(id, &word);
  }
  gun.Precalculate();
  car.Precalculate();
  gun.SetState(Weapon::kNeutral);
  Step();
  ASSERT_EQ(gun.GetState(), Weapon::kNeutral);
  platform::PushButton(SDL_BUTTON_LEFT, true);
  Step();
  EXPECT_EQ(gun.GetState(), Weapon::kFire);
  platform::PushButton(SDL_BUTTON_LEFT, false);
  Step();
}

}  // namespace
}  // namespace tge::test
