// Ammunition: a grenade's blast (full and half damage, pushes for props
// only), a grenade that goes off in the hand, and launched rounds.
#include <vector>

#include "core/ObjectHooks.h"
#include "objects/gameplay/props/SimObject.h"
#include "objects/gameplay/world/HitMessage.h"
#include "tests/engine/combat/CombatFixture.h"

namespace tge::test {
namespace {

constexpr std::uint32_t kPropCollide = 0x80000;

// A first-person player as far as hits go: it logs them.
class HitLog : public Object {
 public:
  HitLog() : Object(kClassPlayerFPS) {}
  int ExecuteCommand(std::uint32_t id, void* args) override {
    if (id == kApplyHit && args != nullptr) hits.push_back(*static_cast<HitMessage*>(args));
    return Object::ExecuteCommand(id, args);
  }
  std::vector<HitMessage> hits;
};

class AmmunitionTest : public CombatTest {
 protected:
  SimObject& Crate(const Vector3& at) {
    SimObject& crate = Place<SimObject>(*room, "Crate", at);
    crate.ExecuteCommand(161, nullptr);
    return crate;
  }
  HitLog& Character(const Vector3& at) {
    auto& character = static_cast<HitLog&>(*room->AddChild(std::make_unique<HitLog>()));
    character.SetWorld(world);
    character.SetInheritOrientation(false);
    character.SetPosition(at, false);
    character.SetUsePhysics(true);
    character.GetPhysics()->flags |= kPhysicsEnableRigidBody;
    GeometryRecord& box = character.AddGeometry();
    box.info = kGeometryBox;
    box.dimension = {1, 1, 1};
    box.collisionBits = kPropCollide;
    box.categoryBits = kPropCollide;
    character.ExecuteCommand(161, nullptr);
    return character;
  }
  Ammunition& Grenade(Object& parent, const Vector3& at) {
    Ammunition& grenade = Place<Ammunition>(parent, "Grenade", at);
    Send(grenade, 6000, static_cast<std::uint32_t>(Ammunition::kDetonating));
    Send(grenade, 6022, kPropCollide);
    Send(grenade, 6028, 40.0f);
    Send(grenade, 6032, 0.5f);
    Send(grenade, 6018, 3u);
    return grenade;
  }
};

TEST_F(AmmunitionTest, BlastHurtsWhatItReachesAndPushesOnlyProps) {
  Start();
  SimObject& near = Crate({2, 0.5f, 0});
  SimObject& edge = Crate({4.3f, 0.5f, 0});  // its box reaches to 3.8
  SimObject& far = Crate({8, 0.5f, 0});
  HitLog& player = Character({0, 0.5f, -2});
  Ammunition& grenade = Grenade(*room, {0, 0.5f, 0});
  grenade.Precalculate();
  grenade.Fire();
  EXPECT_EQ(Take(), (RaisedEvents{{Ammunition::kEventFire, nullptr}}));
  RunFor(0.45);
  EXPECT_FLOAT_EQ(near.GetHealth(), 100.0f);
  RunFor(0.1);
  EXPECT_FLOAT_EQ(near.GetHealth(), 60.0f);
  EXPECT_FLOAT_EQ(edge.GetHealth(), 80.0f);
  EXPECT_FLOAT_EQ(far.GetHealth(), 100.0f);
  ASSERT_EQ(player.hits.size(), 1u);
  EXPECT_FLOAT_EQ(player.hits[0].damage, 40.0f);
  EXPECT_EQ(player.hits[0].damageGroup, 3u);
  EXPECT_NEAR(player.hits[0].direction.y, 0.3f, 1e-5f);
  EXPECT_EQ(Count(Ammunition::kEventHit), 1);
  EXPECT_EQ(Count(Ammunition::kEventDetonate), 1);
  Step();
  EXPECT_GT(near.GetLinearVelocity().x, edge.GetLinearVelocity().x);
  EXPECT_GT(edge.GetLinearVelocity().x, 0.0f);
  EXPECT_NEAR(player.GetLinearVelocity().x, 0.0f, 1e-4f);
  RunFor(1.0);
  EXPECT_EQ(Count(Ammunition::kEventDetonate), 1) << "once";
}

TEST_F(AmmunitionTest, AGrenadeGoingOffInTheHandKillsTheHolderFirst) {
  Start();
  SimObject& holder = Crate({0, 0.5f, 3});
  Weapon& weapon = MakeWeapon(*room, Weapon::kThrown, 1, 1);
  Ammunition& inHand = AmmunitionOf(weapon);
  Send(inHand, 6000, static_cast<std::uint32_t>(Ammunition::kDetonating));
  Send(inHand, 6032, 0.5f);
  Send(inHand, 6022, kPropCollide);
  weapon.Precalculate();
  weapon.SetHolder(&holder);
  weapon.ArmThrown();
  RunFor(0.6);
  EXPECT_LT(holder.GetHealth(), -1.0e7f);
}

// The thrown round leaves the hand for the room with a body and flies
// forward; the weapon makes a new one when it is ready again.
TEST_F(AmmunitionTest, ThrownAndLaunchedRoundsFlyFromTheWeapon) {
  Start();
  for (std::uint32_t type : {Weapon::kThrown, Weapon::kProjectile}) {
    Weapon& weapon = MakeWeapon(*room, type, 3, 3);
    Send(weapon, 5774, 1);  // chamber again after the shot
    GeometryRecord& ball = AmmunitionOf(weapon).AddGeometry();
    ball.dimension = {0.1f, 0, 0};
    AmmunitionOf(weapon).GetPhysics()->flags |= kPhysicsEnableRigidBody;
    weapon.Precalculate();
    Object* round = type == Weapon::kThrown ? weapon.GetThrownAmmunition() : nullptr;
    const int before = room->GetChildCount();
    EXPECT_EQ(weapon.Fire(nullptr, nullptr, false), 1);
    ASSERT_EQ(room->GetChildCount(), before + 1);
    Object* flying = room->GetChild(room->GetChildCount() - 1);
    if (round != nullptr) {
      EXPECT_EQ(flying, round);
    }
    ASSERT_NE(flying->GetBody(), nullptr) << type;
    Step();
    EXPECT_GT(flying->GetLinearVelocity().z, 0.5f) << type;
    EXPECT_EQ(static_cast<Ammunition*>(flying)->GetOwner(), &weapon);
    RunFor(1.2);
    EXPECT_EQ(weapon.GetState(), Weapon::kNeutral);
    if (type == Weapon::kThrown) {
      EXPECT_NE(weapon.GetThrownAmmunition(), nullptr);
    }
  }
}

TEST_F(AmmunitionTest, WithoutASpaceNothingLeavesTheWeapon) {
  Start();
  Object& loose = Add(*engine, "Loose");
  Weapon& weapon = MakeWeapon(loose, Weapon::kProjectile, 3, 3);
  weapon.Precalculate();
  ASSERT_EQ(weapon.GetSpace(), nullptr);
  const int objects = Object::GetLiveObjectCount();
  EXPECT_EQ(weapon.Fire(nullptr, nullptr, false), 1);
  EXPECT_EQ(Object::GetLiveObjectCount(), objects);
  Ammunition& grenade = Grenade(loose, {});
  grenade.Precalculate();
  grenade.Fire();
  RunFor(0.6);
  EXPECT_EQ(Count(Ammunition::kEventDetonate), 1);
  EXPECT_EQ(Count(Ammunition::kEventHit), 0);
}

}  // namespace
}  // namespace tge::test
