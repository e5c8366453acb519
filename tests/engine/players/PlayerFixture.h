// The props room with a first-person player whose input the test sets,
// and helpers to touch the floor, land and wait.
#pragma once
#include <cmath>

#include "objects/gameplay/characters/PlayerFPS.h"
#include "objects/gameplay/physics/PhysicsContact.h"
#include "tests/engine/props/PropsFixture.h"

namespace tge::test {

// A player whose input the test sets instead of the action map.
class ScriptedPlayer : public PlayerFPS {
 public:
  PlayerFPSInput next;

 protected:
  void ReadInput(PlayerFPSInput& input) override { input = next; }
};

class PlayerFPSTest : public PropsTest {
 protected:
  ScriptedPlayer& AddPlayer(const Vector3& at) {
    auto& player = Place<ScriptedPlayer>(*room, "Player", at);
    player.SetSpace(room);
    return player;
  }

  template <class T>
  static T Get(Object& object, std::uint32_t id) {
    T value{};
    object.ExecuteCommand(id, &value);
    return value;
  }
  template <class T>
  static void Set(Object& object, std::uint32_t id, T value) {
    object.ExecuteCommand(id, &value);
  }

  // A contact straight up from the floor under the player.
  static void Touch(PlayerFPS& player) {
    GeometryRecord floor;
    ContactParameters contact{};
    contact.geom.normal[1] = 1;
    player.HandleContact(player.GetPhysics()->geometries[0].get(), &floor, &contact, 1);
  }

  // Frames of 0.1 s, the longest a frame counts for.
  void Wait(double seconds) {
    for (int i = 0; i < static_cast<int>(std::lround(seconds * 10)); ++i) Tick(0.1);
  }

  // Arrives at the floor at the given vertical speed.
  void Land(PlayerFPS& player, float speed) {
    player.ApplyBodyVector(BodyVector::kSetLinearVelocity, {0, speed, 0});
    Tick();
    Touch(player);
    Tick();
  }
};

}  // namespace tge::test
