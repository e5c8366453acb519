// The props room with the fighting types: a weapon with its Ammunition
// child and an ammunition pool, all logging their events, and a clock that
// runs whole seconds of frames.
#pragma once
#include <cmath>

#include "objects/gameplay/weapons/Ammunition.h"
#include "objects/gameplay/weapons/AmmunitionPool.h"
#include "objects/gameplay/weapons/Weapon.h"
#include "tests/engine/props/PropsFixture.h"

namespace tge::test {

class CombatTest : public PropsTest {
 protected:
  template <class T>
  static void Send(Object& object, std::uint32_t id, T value) {
    object.ExecuteCommand(id, &value);
  }

  // A weapon of a type at a place, with an Ammunition child of a clip.
  Weapon& MakeWeapon(Object& parent, std::uint32_t type, std::uint32_t bullets, std::uint32_t maxBullets,
                     const Vector3& at = {0, 1, 0}) {
    Weapon& weapon = Place<Weapon>(parent, "Gun", at);
    Send(weapon, 5750, type);
    for (std::uint32_t id : {5758u, 5760u, 5762u, 5764u, 5766u, 5768u, 5770u}) Send(weapon, id, 0.5f);
    Ammunition& ammunition = Place<Ammunition>(weapon, "Ammunition", {0, 0, 0.5f});
    Send(ammunition, 6014, maxBullets);
    Send(ammunition, 6016, bullets);
    Send(ammunition, 6018, 1u);
    return weapon;
  }
  static Ammunition& AmmunitionOf(Weapon& weapon) {
    return static_cast<Ammunition&>(*weapon.FindChildByName("Ammunition", kClassAmmunition));
  }

  // Frames of the physics step and the tick for about seconds.
  void RunFor(double seconds) { RunFrames(static_cast<int>(std::lround(seconds / kStep))); }
};

}  // namespace tge::test
