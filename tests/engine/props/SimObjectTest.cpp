// SimObject: falling, resting and waking, contact surfaces, hard hits
// through the hit-effect spawn, damage by group and kinematic following.
#include <cmath>

#include "core/math/Random.h"
#include "core/script/ScriptInterpreter.h"
#include "engine/EngineObjectServices.h"
#include "objects/gameplay/physics/PhysicsBody.h"
#include "objects/gameplay/physics/PhysicsContact.h"
#include "objects/gameplay/physics/PhysicsHandles.h"
#include "objects/gameplay/props/SimObject.h"
#include "objects/gameplay/world/HitMessage.h"
#include "tests/engine/props/PropsFixture.h"

namespace tge::test {
namespace {

// The engine's object services with hard hits counted instead of spawned.
class CountingServices : public EngineObjectServices {
 public:
  void SpawnGlobalHitEffects(std::uint32_t mask, Object& parent, const Matrix4& placement, const Vector3*,
                             float value) override {
    ++spawns;
    lastMask = mask;
    lastParent = &parent;
    lastPlacement = placement;
    lastValue = value;
  }
  int spawns = 0;
  std::uint32_t lastMask = 0;
  Object* lastParent = nullptr;
  Matrix4 lastPlacement;
  float lastValue = 0;
};

class SimObjectTest : public PropsTest {
 protected:
  void SetUp() override {
    PropsTest::SetUp();
    saved = GetObjectHooks();
    SetObjectHooks(&counting);
  }
  void TearDown() override {
    SetObjectHooks(saved);
    PropsTest::TearDown();
  }

  SimObject& AddCrate(const Vector3& at) { return Place<SimObject>(*room, "Crate", at); }

  template <class T>
  static T Get(Object& object, std::uint32_t id) {
    T value{};
    object.ExecuteCommand(id, &value);
    return value;
  }

  CountingServices counting;
  ObjectHooks* saved = nullptr;
};

// Once it sleeps, a second crate dropped onto it wakes it.
TEST_F(SimObjectTest, ANewCrateFallsAndRestsAtHalfItsHeightThenWakesWhenHit) {
  SimObject& crate = AddCrate({0, 3, 0});
  RunScriptText(crate, "this.SetSimObjectEnableRestEvent(1);", nullptr);
  Start();
  ASSERT_NE(crate.GetBody(), nullptr);
  EXPECT_GT(crate.GetMass(), 0.0f);
  RunFrames(300);
  EXPECT_NEAR(crate.GetPositionWS().y, 0.5f, 0.05f);
  EXPECT_FALSE(crate.IsBodyEnabled());
  EXPECT_EQ(Take(), (RaisedEvents{{SimObject::kEventStartRest, nullptr}}));

  AddCrate({0, 3, 0}).Start();
  RunFrames(60);
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events[0], (RaisedEvent{SimObject::kEventStopRest, nullptr}));
}

TEST_F(SimObjectTest, ASpinAboveTwoRadiansASecondIsClampedInTheNextUpdate) {
  SimObject& crate = AddCrate({0, 5, 0});
  Start();
  crate.ApplyBodyVector(BodyVector::kSetAngularVelocity, {5, 0, 0});
  crate.Update();
  EXPECT_NEAR(crate.GetAngularVelocity().x, 2.0f, 1e-5f);
}

// Both owners add their friction and bounce to the shared contacts; the
// handler records, raising nothing and registering the update.
TEST_F(SimObjectTest, TwoCratesSumTheirSurfacesAndHandleContactRaisesNothing) {
  SimObject& a = AddCrate({0, 5, 0});
  SimObject& b = AddCrate({0, 6, 0});
  GeometryRecord& ga = *a.GetPhysics()->geometries[0];
  GeometryRecord& gb = *b.GetPhysics()->geometries[0];
  ContactParameters contacts[2] = {};
  for (ContactParameters& c : contacts) {
    c.geom.normal[1] = 1;
    c.geom.depth = 0.01;
  }
  EXPECT_EQ(a.HandleContact(&ga, &gb, contacts, 2), kContactKeepSurface);
  EXPECT_EQ(b.HandleContact(&gb, &ga, contacts, 2), kContactKeepSurface);
  for (const ContactParameters& c : contacts) {
    EXPECT_NE(c.surface.mode & dContactBounce, 0);
    EXPECT_NEAR(c.surface.mu, 1.4, 1e-6);
    EXPECT_NEAR(c.surface.bounce, 1.0, 1e-6);
    EXPECT_NEAR(c.surface.bounce_vel, 0.6, 1e-6);
  }
  EXPECT_TRUE(events.empty());
  EXPECT_TRUE(a.HasFlag(kFlagUpdateRegistered));
}

// Landed (so it updates), then thrown at the floor: fast enough, it bounces
// off hard and spawns its hit effects in its Space, and the hit that empties
// its health raises the die event once; slowly, nothing.
TEST_F(SimObjectTest, HardHitsSpawnHitEffectsAndDamageOnlyAboveFourUnitsASecond) {
  struct Case {
    float speed;
    bool hits;
  };
  for (const Case& c : {Case{3, false}, Case{20, true}}) {
    SCOPED_TRACE(c.speed);
    counting.spawns = 0;
    events.clear();
    SimObject& crate = AddCrate({0, 1.5f, 0});
    RunScriptText(crate,
                  "this.SetSimObjectUseHitEffectMinTime(0.5); this.SetSimObjectHealth(20); this.SetSimObjectDamage(20);",
                  nullptr);
    std::uint32_t mask = 0x5;
    crate.ExecuteCommand(13020, &mask);
    Start();
    RunFrames(80);
    ASSERT_EQ(counting.spawns, 0);
    crate.SetPosition({0, 2, 0}, true);
    EnableBody(ToOde(crate.GetBody()), 1);
    crate.ApplyBodyVector(BodyVector::kSetLinearVelocity, {0, -c.speed, 0});
    RunFrames(60);
    if (!c.hits) {
      EXPECT_EQ(counting.spawns, 0);
      EXPECT_FLOAT_EQ(crate.GetHealth(), 20.0f);
    } else {
      ASSERT_GE(counting.spawns, 1);
      EXPECT_EQ(counting.lastMask, 0x5u);
      EXPECT_EQ(counting.lastParent, room);
      EXPECT_FLOAT_EQ(counting.lastValue, 1.0f);
      EXPECT_NEAR(counting.lastPlacement.m[9], 1.0f, 1e-3f);
      EXPECT_NEAR(counting.lastPlacement.m[13], 0.1f, 0.05f);
      EXPECT_FLOAT_EQ(crate.GetHealth(), 20.0f - 20.0f * static_cast<float>(counting.spawns));
      EXPECT_EQ(Count(SimObject::kEventDie), 1);
    }
    DestroyObjectTree(room->DetachChild(crate));
  }
}

// On a flat floor a random vector straight up would leave no x axis: it is
// drawn again.
TEST_F(SimObjectTest, TheHitPlacementDrawsAgainWhileTheVectorLiesAlongTheNormal) {
  static int draws = 0;
  draws = 0;
  auto draw = []() -> Vector3 { return ++draws == 1 ? Vector3{0, 7, 0} : Vector3{3, 4, 0}; };
  const Matrix4 m = HitEffectPlacement({1, 0, 2}, {0, 1, 0}, draw);
  EXPECT_EQ(draws, 2);
  const Vector3 x{m.m[0], m.m[1], m.m[2]}, y{m.m[4], m.m[5], m.m[6]}, z{m.m[8], m.m[9], m.m[10]};
  for (const Vector3& row : {x, y, z}) EXPECT_NEAR(Vector3Length(row), 1.0f, 1e-5f);
  EXPECT_NEAR(Vector3Dot(x, z), 0.0f, 1e-5f);
  EXPECT_NEAR(Vector3Dot(x, y), 0.0f, 1e-5f);
  EXPECT_NEAR(x.x, 1.0f, 1e-5f);
  EXPECT_FLOAT_EQ(z.y, 1.0f);
  EXPECT_FLOAT_EQ(m.m[13], 0.1f);
  EXPECT_FLOAT_EQ(m.m[12], 1.0f);
}

// Bit (group & 31) of the mask decides: -1 reads as group 31.
TEST_F(SimObjectTest, HitsHurtByTheirGroupBitAndTheCrossingHitRaisesDie) {
  struct Case {
    std::uint32_t group;
    std::uint32_t mask;
    bool hurts;
  };
  const Case cases[] = {{0xFFFFFFFFu, 0x80000000u, true}, {0xFFFFFFFFu, 0x1u, false}, {0, 0x1u, true},
                        {1, 0x1u, false},  {1, 0x2u, true},  {31, 0x80000000u, true}, {32, 0x1u, true},
                        {32, 0x2u, false}};
  Object& attacker = Add(*room, "Attacker");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.group);
    SimObject& crate = AddCrate({0, 5, 0});
    crate.ExecuteCommand(13038, const_cast<std::uint32_t*>(&c.mask));
    HitMessage hit{&attacker, {}, {}, 60.0f, c.group, 0};
    crate.ExecuteCommand(kApplyHit, &hit);
    crate.ExecuteCommand(kApplyHit, &hit);
    EXPECT_FLOAT_EQ(crate.GetHealth(), c.hurts ? -20.0f : 100.0f);
    const RaisedEvents expected = c.hurts ? RaisedEvents{{SimObject::kEventDie, &attacker}} : RaisedEvents{};
    EXPECT_EQ(Take(), expected);
    DestroyObjectTree(room->DetachChild(crate));
  }
}

// The mask is registered again under the minimum time's name; by name a
// script reaches the Float.
TEST_F(SimObjectTest, TheMinimumTimeByNameSetsTheFloatAndTheMaskOnlyById) {
  SimObject& crate = AddCrate({0, 5, 0});
  RunScriptText(crate, "this.SetSimObjectUseHitEffectMinTime(0.5);", nullptr);
  EXPECT_FLOAT_EQ(Get<float>(crate, 13019), 0.5f);
  EXPECT_EQ(Get<std::uint32_t>(crate, 13021), 0u);
  std::uint32_t mask = 9;
  crate.ExecuteCommand(13020, &mask);
  EXPECT_EQ(Get<std::uint32_t>(crate, 13021), 9u);
  EXPECT_FLOAT_EQ(Get<float>(crate, 13019), 0.5f);
}

TEST_F(SimObjectTest, WhiteMaterialColourRemovesTheOverride) {
  SimObject& crate = AddCrate({0, 5, 0});
  Color red{1, 0, 0, 1};
  crate.ExecuteCommand(13035, &red);
  ASSERT_NE(crate.GetMaterialColour(), nullptr);
  EXPECT_FLOAT_EQ(crate.GetMaterialColour()->diffuse.r, 1.0f);
  EXPECT_FLOAT_EQ(crate.GetMaterialColour()->ambient.g, 0.0f);
  Color white{1, 1, 1, 1};
  crate.ExecuteCommand(13035, &white);
  EXPECT_EQ(crate.GetMaterialColour(), nullptr);
}

// An animated prop's body follows its transform: over the next frame while
// time runs, placed outright while the World is paused.
TEST_F(SimObjectTest, AnAnimatedCrateFollowsItsParentEvenInAPausedWorld) {
  Object& carrier = Add(*room, "Carrier");
  carrier.SetPosition({0, 5, 0}, false);
  SimObject& crate = Place<SimObject>(carrier, "Crate", {0, 0, 0});
  RunScriptText(crate, "this.SetSimObjectAnimated(1);", nullptr);
  Start();
  ASSERT_NE(crate.GetBody(), nullptr);
  RunFrames(2);
  EXPECT_NEAR(crate.GetPositionWS().y, 5.0f, 1e-4f);

  carrier.SetPosition({0, 5, 1}, true);
  EXPECT_NEAR(crate.GetLinearVelocity().z, 60.0f, 1e-2f);

  Tick(0);  // paused: no time passes
  ASSERT_EQ(world->GetFrameTime(), 0.0f);
  carrier.SetPosition({2, 5, 1}, true);
  EXPECT_NEAR(crate.GetPositionWS().x, 2.0f, 1e-4f);
  EXPECT_NEAR(crate.GetPositionWS().z, 1.0f, 1e-4f);
  EXPECT_FLOAT_EQ(Vector3Length(crate.GetLinearVelocity()), 0.0f);
}

}  // namespace
}  // namespace tge::test
