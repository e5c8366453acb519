// Weapon: the firing cycle's states, one shot per press, dry fire, clip
// loading from the pool, hit-scan hits, and the thrown weapon's pre-made
// clone in object files.
#include "core/ObjectRef.h"
#include "objects/gameplay/props/SimObject.h"
#include "tests/engine/combat/CombatFixture.h"

namespace tge::test {
namespace {

constexpr std::uint32_t kBulletLoadAfterFire = 5774, kAutoClipLoad = 5778, kEnablePreFire = 5780,
                        kFireOnRelease = 5782, kAutomaticFire = 5772, kDoNotUseAmmunition = 5798,
                        kSetLoaded = 5800;

std::vector<int> Ids(const RaisedEvents& events) {
  std::vector<int> ids;
  for (const RaisedEvent& e : events) ids.push_back(e.id);
  return ids;
}

using WeaponTest = CombatTest;

TEST_F(WeaponTest, EachStateEndsAfterItsTimeWithItsEvents) {
  struct Case {
    Weapon::State from;
    std::uint32_t flag;
    std::uint32_t bullets;
    Weapon::State to;
    std::vector<int> events;  // after entering `from`
  };
  const Case cases[] = {
      {Weapon::kClipUnload, 0, 3, Weapon::kClipLoad, {5819, 5820}},
      {Weapon::kClipLoad, 0, 3, Weapon::kNeutral, {5821}},
      {Weapon::kClipLoad, 0, 0, Weapon::kEmpty, {5821}},
      {Weapon::kBulletLoad, 0, 2, Weapon::kNeutral, {5817}},
      {Weapon::kFire, kBulletLoadAfterFire, 2, Weapon::kBulletLoad, {5809, 5816}},
      {Weapon::kFire, 0, 2, Weapon::kEmpty, {5809}},
      {Weapon::kPreFireStart, 0, 2, Weapon::kPreFireEnd, {5811, 5812, 5813, 5814}},  // not held
      {Weapon::kPreFireEnd, 0, 2, Weapon::kNeutral, {5815}},
      {Weapon::kDryFire, 0, 0, Weapon::kEmpty, {5823}},
      {Weapon::kDryFire, 0, 1, Weapon::kNeutral, {5823}},
  };
  Start();
  for (const Case& c : cases) {
    Weapon& weapon = MakeWeapon(*room, Weapon::kHitScan, c.bullets, 5);
    if (c.flag != 0) Send(weapon, c.flag, 1);
    weapon.Precalculate();
    ASSERT_EQ(weapon.SetState(c.from), 1) << c.from;
    EXPECT_EQ(weapon.SetState(c.from), 0) << "the same state again";
    float normalized = -1;
    weapon.ExecuteCommand(5802, &normalized);
    EXPECT_EQ(normalized, 0.0f);
    Take();
    RunFor(0.3);
    if (c.from != Weapon::kDryFire) {
      weapon.ExecuteCommand(5802, &normalized);
      EXPECT_NEAR(normalized, 0.6f, 0.05f) << c.from;
    }
    RunFor(0.27);
    EXPECT_EQ(weapon.GetState(), c.to) << c.from;
    EXPECT_EQ(Ids(Take()), c.events) << c.from;
    weapon.Delete(false);
  }
}

TEST_F(WeaponTest, AnEmptyClipWithAutoClipLoadUnloadsInsteadOfChambering) {
  Start();
  Weapon& weapon = MakeWeapon(*room, Weapon::kHitScan, 0, 5);
  Send(weapon, kAutoClipLoad, 1);
  weapon.Precalculate();
  weapon.SetState(Weapon::kEmpty);
  weapon.ExecuteCommand(5805, nullptr);  // WeaponLoadBullet
  EXPECT_EQ(weapon.GetState(), Weapon::kClipUnload);
}

TEST_F(WeaponTest, WithoutAmmunitionTheWeaponNeitherChangesStateNorFires) {
  Start();
  Weapon& weapon = Place<Weapon>(*room, "Bare", {0, 1, 0});
  weapon.Precalculate();
  EXPECT_EQ(weapon.Fire(nullptr, nullptr, false), 0);
  EXPECT_EQ(weapon.SetState(Weapon::kEmpty), 0);
  weapon.ExecuteCommand(5806, nullptr);
  RunFor(0.1);
  EXPECT_EQ(weapon.GetState(), Weapon::kNeutral);
  EXPECT_TRUE(Take().empty());
}

TEST_F(WeaponTest, OneShotPerPressUnlessAutomatic) {
  Start();
  for (bool automatic : {false, true}) {
    Weapon& weapon = MakeWeapon(*room, Weapon::kHitScan, 9, 9);
    Send(weapon, kAutomaticFire, automatic ? 1 : 0);
    weapon.Precalculate();
    EXPECT_EQ(weapon.Fire(nullptr, nullptr, false), 1);
    RunFor(kStep);
    weapon.ExecuteCommand(kSetLoaded, nullptr);
    EXPECT_EQ(weapon.Fire(nullptr, nullptr, false), automatic ? 1 : 0) << automatic;
    RunFor(kStep);
    RunFor(kStep);  // released for a frame
    weapon.ExecuteCommand(kSetLoaded, nullptr);
    EXPECT_EQ(weapon.Fire(nullptr, nullptr, false), 1);
    weapon.Delete(false);
  }
}

TEST_F(WeaponTest, FiringWhenEmptyDryFiresAndSettlesByTheClip) {
  Start();
  Weapon& weapon = MakeWeapon(*room, Weapon::kHitScan, 0, 5);
  weapon.Precalculate();
  weapon.SetState(Weapon::kEmpty);
  EXPECT_EQ(weapon.Fire(nullptr, nullptr, false), 0);
  EXPECT_EQ(weapon.GetState(), Weapon::kDryFire);
  RunFor(0.3);
  EXPECT_EQ(weapon.GetState(), Weapon::kDryFire);
  AmmunitionOf(weapon).SetBulletsInClip(2);
  RunFor(0.15);
  EXPECT_EQ(weapon.GetState(), Weapon::kNeutral);
}

// Clip counts stay within 0 and what the pool gives: a clip over its
// maximum takes nothing, an empty pool leaves the clip alone, firing at 0
// leaves 0.
TEST_F(WeaponTest, ClipLoadingTakesOnlyWhatIsMissingAndNeverWraps) {
  struct Case {
    std::uint32_t clip, max;
    std::int32_t pool;
    std::int32_t clipAfter, poolAfter;
  };
  const Case cases[] = {{2, 5, 10, 5, 7}, {2, 5, 1, 3, 0}, {2, 5, 0, 2, 0}, {8, 5, 10, 8, 10}, {0, 5, 3, 3, 0}};
  Start();
  AmmunitionPool& pool = Place<AmmunitionPool>(*room, "Pool", {});
  for (const Case& c : cases) {
    Weapon& weapon = MakeWeapon(*room, Weapon::kHitScan, c.clip, c.max);
    weapon.Precalculate();
    weapon.SetAmmunitionPool(&pool);
    pool.SetCount(0, c.pool);
    Take();
    EXPECT_EQ(weapon.LoadClip(), 1);
    RunFor(1.1);
    EXPECT_EQ(AmmunitionOf(weapon).GetBulletsInClip(), c.clipAfter) << c.clip << " " << c.pool;
    EXPECT_EQ(pool.GetCount(0), c.poolAfter) << c.clip << " " << c.pool;
    EXPECT_EQ(std::count_if(events.begin(), events.end(), [](const RaisedEvent& e) { return e.id >= 14007; }), 0);
    weapon.Delete(false);
  }
  Weapon& weapon = MakeWeapon(*room, Weapon::kHitScan, 0, 5);
  weapon.Precalculate();
  weapon.ExecuteCommand(kSetLoaded, nullptr);
  EXPECT_EQ(weapon.Fire(nullptr, nullptr, false), 1);
  EXPECT_EQ(AmmunitionOf(weapon).GetBulletsInClip(), 0);
  std::uint32_t clip = 99;
  AmmunitionOf(weapon).ExecuteCommand(6017, &clip);
  EXPECT_EQ(clip, 0u);
}

TEST_F(WeaponTest, PreFireWaitsForTheReleaseThenShoots) {
  Start();
  for (bool onRelease : {true, false}) {
    Weapon& weapon = MakeWeapon(*room, Weapon::kHitScan, 3, 3);
    Send(weapon, kEnablePreFire, 1);
    Send(weapon, kFireOnRelease, onRelease ? 1 : 0);
    Send(weapon, 5760, 0.0f);  // no time-out
    weapon.Precalculate();
    EXPECT_EQ(weapon.Fire(nullptr, nullptr, false), 1);
    EXPECT_EQ(weapon.GetState(), Weapon::kPreFireStart);
    for (int i = 0; i < 60; ++i) {
      weapon.Fire(nullptr, nullptr, false);  // held
      RunFor(kStep);
    }
    EXPECT_EQ(weapon.GetState(), Weapon::kPreFire);
    RunFor(kStep);  // released
    EXPECT_EQ(weapon.GetState(), onRelease ? Weapon::kFire : Weapon::kPreFireEnd);
    EXPECT_EQ(AmmunitionOf(weapon).GetBulletsInClip(), onRelease ? 2 : 3);
    weapon.Delete(false);
  }
}

// A thrown round released before half the pre-fire time-out (2 s) leaves
// the hand at 0.4 of the full speed; held longer, at the full speed.
TEST_F(WeaponTest, AThrowReleasedEarlyIsAWeakOne) {
  struct Case {
    double held;
    float share;
  };
  const Case cases[] = {{0.3, 0.4f}, {0.9, 0.4f}, {1.2, 1.0f}, {1.8, 1.0f}};
  Start();
  float fullSpeed = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.held);
    Weapon& weapon = MakeWeapon(*room, Weapon::kThrown, 3, 3);
    Send(weapon, kEnablePreFire, 1);
    Send(weapon, kFireOnRelease, 1);
    Send(weapon, 5760, 2.0f);
    GeometryRecord& ball = AmmunitionOf(weapon).AddGeometry();
    ball.dimension = {0.1f, 0, 0};
    AmmunitionOf(weapon).GetPhysics()->flags |= kPhysicsEnableRigidBody;
    weapon.Precalculate();
    const ObjectRef<> round(weapon.GetThrownAmmunition());
    ASSERT_TRUE(round);
    EXPECT_EQ(weapon.Fire(nullptr, nullptr, false), 1);
    for (int frame = static_cast<int>(std::lround((0.5 + c.held) / kStep)); frame > 0; --frame) {
      weapon.Fire(nullptr, nullptr, false);  // held
      RunFor(kStep);
    }
    ASSERT_EQ(weapon.GetState(), Weapon::kPreFire);
    RunFor(kStep);  // released
    ASSERT_TRUE(round);
    ASSERT_EQ(round->GetParent(), room);
    ASSERT_NE(round->GetBody(), nullptr);
    Step();
    const float speed = round->GetLinearVelocity().z;
    if (fullSpeed == 0) fullSpeed = speed / c.share;
    EXPECT_NEAR(speed, c.share * fullSpeed, 0.02f * fullSpeed);
    EXPECT_GT(speed, 1.0f);
    round->Delete(false);
    weapon.Delete(false);
  }
}

// A SimObject takes the hit block and a push; the ray starts ahead of the
// muzzle and ends at the range.
TEST_F(WeaponTest, HitScanHurtsAndPushesAProp) {
  Start();
  SimObject& crate = Place<SimObject>(*room, "Crate", {0, 1.5f, 5});
  crate.ExecuteCommand(161, nullptr);
  Weapon& weapon = MakeWeapon(*room, Weapon::kHitScan, 5, 5);
  weapon.Precalculate();
  Send(AmmunitionOf(weapon), 6022, 0x80000u);
  Send(AmmunitionOf(weapon), 6028, 30.0f);
  Send(weapon, 5754, 0.0f);  // no spread
  const Vector3 from{0, 1.5f, 0}, along{0, 0, 1};
  EXPECT_EQ(weapon.Fire(&from, &along, false), 1);
  EXPECT_FLOAT_EQ(crate.GetHealth(), 70.0f);
  Step();
  EXPECT_GT(crate.GetLinearVelocity().z, 0.1f);

  Send(weapon, 5752, 3.0f);  // out of range
  RunFor(0.6);
  weapon.ExecuteCommand(kSetLoaded, nullptr);
  RunFor(kStep);
  const float before = crate.GetHealth();
  EXPECT_EQ(weapon.Fire(&from, &along, false), 1);
  EXPECT_FLOAT_EQ(crate.GetHealth(), before);
}

TEST_F(WeaponTest, ThrownWeaponKeepsOnePreMadeRoundThroughSaveAndLoad) {
  Start();
  Object& rack = Add(*room, "Rack");
  Weapon& weapon = MakeWeapon(rack, Weapon::kThrown, 1, 1);
  weapon.Precalculate();
  ASSERT_NE(weapon.GetThrownAmmunition(), nullptr);
  EXPECT_EQ(weapon.GetChildCount(), 2);
  ASSERT_TRUE(engine->SaveObjectFile(rack, "rack.sac", false, false));

  Object& holder = Add(*engine, "Holder");
  ASSERT_TRUE(engine->LoadObjectFile(holder, "rack.sac"));
  ASSERT_EQ(holder.GetChildCount(), 1);
  auto& loaded = static_cast<Weapon&>(*holder.GetChild(0));
  loaded.Precalculate();
  EXPECT_EQ(loaded.GetChildCount(), 2);
  ASSERT_NE(loaded.GetThrownAmmunition(), nullptr);
  ASSERT_TRUE(engine->SaveObjectFile(holder, "again.sac", false, false));
  EXPECT_EQ(folder.ReadFile("again.sac"), folder.ReadFile("rack.sac"));
}

TEST_F(WeaponTest, HolderPoolAndRoundMayGoAtAnyTime) {
  Start();
  Object& holder = Add(*room, "Player");
  AmmunitionPool& pool = Place<AmmunitionPool>(*room, "Pool", {});
  pool.SetCount(0, 10);
  Weapon& weapon = MakeWeapon(*room, Weapon::kThrown, 1, 3);
  weapon.Precalculate();
  weapon.SetHolder(&holder);
  weapon.SetAmmunitionPool(&pool);
  const ObjectRef<> round(weapon.GetThrownAmmunition());
  ASSERT_TRUE(round);
  holder.Delete(false);
  pool.Delete(false);
  round->Delete(false);
  EXPECT_EQ(weapon.GetHolder(), nullptr);
  EXPECT_EQ(weapon.GetAmmunitionPool(), nullptr);
  EXPECT_EQ(weapon.GetThrownAmmunition(), nullptr);
  EXPECT_EQ(weapon.Fire(nullptr, nullptr, false), 1);
  RunFor(0.6);
  weapon.SetState(Weapon::kEmpty);
  EXPECT_EQ(weapon.LoadClip(), 1);
  RunFor(1.1);
  EXPECT_EQ(AmmunitionOf(weapon).GetBulletsInClip(), 0);
  weapon.Kill();
}

}  // namespace
}  // namespace tge::test
