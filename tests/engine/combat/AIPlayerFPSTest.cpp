// The first-person AI: its commands and file record, sensing and range
// events, fighting with one hit per attack, taking hits, dying, fear, and
// walking after standing idle.
#include <algorithm>

#include "core/ObjectHooks.h"
#include "core/math/Random.h"
#include "objects/gameplay/props/SimObject.h"
#include "objects/gameplay/weapons/CombatSupport.h"
#include "tests/engine/combat/AIFixture.h"
#include "tests/support/ObjectRecordBytes.h"

namespace tge::test {
namespace {

constexpr std::uint32_t kHealth = 10752, kMaxHealth = 10754, kMaxExhaustion = 10770, kAddHealth = 10772,
                        kNormalizedHealth = 10773, kNormalizedExhaustion = 10774, kCharacterGroup = 10777,
                        kFightGroup = 10779, kCurrentGroupDamage = 10781, kGroupDamageMul = 10783,
                        kUseDieAnimation = 10775, kAttackEvaluation = 10802;
constexpr int kChangeHealth = AIPlayerFPS::kEventChangeHealth;
enum : int { kEnterFar = 10818, kExitFar, kEnterMid, kExitMid, kEnterClose, kExitClose, kEnterNear, kExitNear };

template <class T>
T Read(Object& object, std::uint32_t id, T initial = T{}) {
  object.ExecuteCommand(id, &initial);
  return initial;
}

std::vector<int> IdsOf(const RaisedEvents& events, Object* from) {
  std::vector<int> ids;
  for (const RaisedEvent& e : events) {
    if (e.id >= 10750 && e.id < 11000 && (from == nullptr || e.sender == from)) ids.push_back(e.id);
  }
  return ids;
}

using AIPlayerFPSTest = AITest;

TEST_F(AIPlayerFPSTest, SettingsReadBackAndGuardTheirLimits) {
  Start();
  AIPlayerFPS& ai = MakeAI("Guard", {0, 1, 0});
  Send(ai, kMaxHealth, 0.0f);
  Send(ai, kMaxExhaustion, 0.0f);
  EXPECT_EQ(Read<float>(ai, kNormalizedHealth, 5), 0.0f);
  EXPECT_EQ(Read<float>(ai, kNormalizedExhaustion, 5), 0.0f);
  Send(ai, kMaxHealth, 4.0f);
  EXPECT_EQ(Read<float>(ai, kNormalizedHealth), 0.25f);

  Send(ai, kCurrentGroupDamage, 31u);
  Send(ai, kGroupDamageMul, 3.0f);
  EXPECT_EQ(Read<float>(ai, kGroupDamageMul + 1), 3.0f);
  Send(ai, kCurrentGroupDamage, 32u);
  Send(ai, kGroupDamageMul, 9.0f);
  EXPECT_EQ(Read<float>(ai, kGroupDamageMul + 1, -7.0f), -7.0f) << "the block is left alone";
  Send(ai, kCurrentGroupDamage, 31u);
  EXPECT_EQ(Read<float>(ai, kGroupDamageMul + 1), 3.0f);

  Take();
  Send(ai, kHealth, 1.0f);  // unchanged, still raised
  Send(ai, kAddHealth, 5.0f);
  EXPECT_EQ(Read<float>(ai, kHealth + 1), 6.0f);
  EXPECT_EQ(IdsOf(Take(), nullptr), std::vector<int>{kChangeHealth});
}

// Version 10 has no attributes; a save changes nothing live.
TEST_F(AIPlayerFPSTest, TheRecordRoundTripsAndOldFilesKeepDefaults) {
  AIPlayerFPS& ai = MakeAI("Guard", {0, 1, 0});
  Send(ai, kHealth, 0.5f);
  Send(ai, kFightGroup, 6u);
  Send(ai, kCurrentGroupDamage, 4u);
  Send(ai, kGroupDamageMul, 2.5f);
  Send(ai, 10785, 33.0f);
  ai.GetPhysics()->flags |= kPhysicsNotLockedInSpace;  // as after a load
  const std::int32_t physicsFlags = ai.GetPhysics()->flags;
  ai.GetPhysics()->flags &= ~kPhysicsNotLockedInSpace;
  SaveRecord(ai);
  EXPECT_EQ(ai.GetPhysics()->flags & kPhysicsNotLockedInSpace, 0) << "a save changes nothing";
  ai.GetPhysics()->flags = physicsFlags;
  const auto bytes = SaveRecord(ai);
  auto loaded = LoadRecord<AIPlayerFPS>(kClassAIPlayerFPS, bytes);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->GetHealth(), 0.5f);
  EXPECT_NE(loaded->GetPhysics()->flags & kPhysicsNotLockedInSpace, 0);
  Send(*loaded, kCurrentGroupDamage, 4u);
  EXPECT_EQ(Read<float>(*loaded, kGroupDamageMul + 1), 2.5f);
  EXPECT_EQ(SaveRecord(*loaded), bytes);

  const auto old = SaveRecord(ai, 10);
  auto early = LoadRecord<AIPlayerFPS>(kClassAIPlayerFPS, old, 10);
  ASSERT_NE(early, nullptr);
  EXPECT_EQ(early->GetHealth(), 1.0f);
  EXPECT_EQ(Read<float>(*early, 10786), 20.0f);
  EXPECT_EQ(Read<std::uint32_t>(*early, kFightGroup + 1), 6u);
  std::vector<std::uint8_t> cut(bytes.begin(), bytes.end() - 4);
  EXPECT_EQ(LoadRecord<AIPlayerFPS>(kClassAIPlayerFPS, cut), nullptr);
}

TEST_F(AIPlayerFPSTest, WithoutASkinMeshNothingThinksOrHurts) {
  Start();
  AIPlayerFPS& ai = MakeAI("Empty", {0, 1, 0}, false);
  Launch(ai);
  Send(ai, kAddHealth, -0.5f);
  HitMessage hit{nullptr, {}, {}, 10.0f, 0, 0};
  ai.ExecuteCommand(kApplyHit, &hit);
  ai.SetState(AIPlayerFPS::kFollow);
  Seconds(0.5);
  EXPECT_EQ(ai.GetHealth(), 1.0f);
  EXPECT_EQ(ai.GetState(), AIPlayerFPS::kIdle);
  EXPECT_FALSE(ai.HasSensorGeometry());
}

// Group 0 always hurts (the body's animation); groups 1 to 32 take their
// multiplier and the nearest damage bone's, and a hit that comes to
// nothing is no hit; past 32 no multiplier applies.
TEST_F(AIPlayerFPSTest, HitsByDamageGroupAndBodyPart) {
  struct Case {
    std::uint32_t group;
    float damage;
    Vector3 at;
    float health;
    bool event;
    AIPlayerFPS::State state;
  };
  const Case cases[] = {
      {0, 0.0f, {0, 1, 0}, 1.0f, true, AIPlayerFPS::kGetHit},
      {5, 0.0f, {0, 1, 0}, 1.0f, false, AIPlayerFPS::kIdle},
      {5, 0.25f, {0, 1, 0}, 0.5f, true, AIPlayerFPS::kGetHit},  // group 5 doubles
      {40, 0.25f, {0, 1, 0}, 0.75f, true, AIPlayerFPS::kGetHit},
      {0, 3.0f, {0, 1, 0}, 0.0f, true, AIPlayerFPS::kGetHit},  // dies through Get Hit
  };
  Start();
  for (const Case& c : cases) {
    AIPlayerFPS& ai = MakeAI("Guard", {0, 1, 0});
    Send(ai, kCurrentGroupDamage, 4u);
    Send(ai, kGroupDamageMul, 2.0f);
    Launch(ai);
    Take();
    HitMessage hit{nullptr, c.at, {0, 0, 1}, c.damage, c.group, 0};
    ai.ExecuteCommand(kApplyHit, &hit);
    EXPECT_FLOAT_EQ(ai.GetHealth(), c.health) << c.group << " " << c.damage;
    EXPECT_EQ(Count(kChangeHealth), c.event ? 1 : 0) << c.group << " " << c.damage;
    EXPECT_EQ(ai.GetState(), c.state) << c.group << " " << c.damage;
    ai.Delete(false);
  }
}

TEST_F(AIPlayerFPSTest, TheStruckBodyPartPicksTheAnimationAndItsScript) {
  Start();
  AIPlayerFPS& ai = MakeAI("Guard", {0, 1, 0});
  Launch(ai);
  SkinMesh& skin = *ai.GetSkinMesh();
  for (const char* other : {"LeftFoot", "Body", "HeadTop", "RightHand"}) Send(*skin.FindChildByName(other), 1794, 0);
  Frames(1);
  Object* head = skin.FindChildByName("Head");
  HitMessage hit{nullptr, head->GetPositionWS(), {0, 0, 1}, 0.1f, 1, 0};
  ai.ExecuteCommand(kApplyHit, &hit);
  EXPECT_EQ(ai.GetState(), AIPlayerFPS::kGetHit);
  EXPECT_EQ(skin.GetCurrentAnimationName(), "N_Gethit_Head");
  Send(ai, kAddHealth, -0.1f);  // group 0: the body
  EXPECT_EQ(skin.GetCurrentAnimationName(), "N_Gethit_Body");
  EXPECT_NE(ai.GetAIFlags() & (1u << (AIPlayerFPS::kGetHitBitsShift + 3)), 0u);  // has the head's
  EXPECT_EQ(ai.GetAIFlags() & (1u << AIPlayerFPS::kGetHitBitsShift), 0u);        // not the left foot's
}

// A killing hit of kind 20 drops the figure at once; otherwise it falls
// through Get Hit. The dead are removed after 30 s in view, 4 s out of it.
TEST_F(AIPlayerFPSTest, DeathAndRemoval) {
  Start();
  struct Case {
    std::uint32_t kind;
    bool drawn;
    double removedBy;
  };
  for (const Case c : {Case{20, true, 30.5}, Case{0, false, 4.5}}) {
    AIPlayerFPS& ai = MakeAI("Guard", {0, 1, 0});
    Launch(ai);
    HitMessage hit{nullptr, {0, 1, 0}, {0, 0, 1}, 5.0f, 0, c.kind};
    ai.ExecuteCommand(kApplyHit, &hit);
    EXPECT_EQ(ai.GetState(), c.kind == 20 ? AIPlayerFPS::kDead : AIPlayerFPS::kGetHit);
    EXPECT_EQ(ai.GetSkinMesh()->IsRagDollActive(), c.kind == 20);
    Seconds(0.2, c.drawn);
    EXPECT_EQ(ai.GetState(), AIPlayerFPS::kDead);
    EXPECT_TRUE(ai.GetSkinMesh()->IsRagDollActive());
    ai.ExecuteCommand(kApplyHit, &hit);
    EXPECT_EQ(Count(kChangeHealth), 1) << "the dead take no hits";
    EXPECT_EQ(Count(10816), 1);
    Seconds(c.removedBy - 1.0, c.drawn);
    EXPECT_FALSE(ai.HasFlag(kFlagKilled)) << c.kind;
    Seconds(1.0, c.drawn);
    EXPECT_TRUE(ai.HasFlag(kFlagKilled)) << c.kind;
    ai.Delete(false);
    Take();
  }
}

// Far to Near in one step raises only Far's exit and Near's entry; leaving
// the sphere raises the last range's exit once.
TEST_F(AIPlayerFPSTest, RangeEventsFollowTheTarget) {
  Start();
  AIPlayerFPS& ai = MakeAI("Guard", {0, 1, 0});
  Launch(ai);
  StandInPlayer& player = Player({0, 1, 15});
  ai.SetTarget(&player);
  Frames(1);
  EXPECT_EQ(ai.GetRange(), AIPlayerFPS::kFar);
  player.SetPosition({0, 1, 1.5f}, true);
  player.PlaceGeometries();
  Frames(1);
  player.SetPosition({0, 1, 30}, true);
  player.PlaceGeometries();
  Frames(2);
  player.SetPosition({0, 1, 7}, true);
  player.PlaceGeometries();
  Frames(1);
  EXPECT_EQ(IdsOf(Take(), &player), (std::vector<int>{kEnterFar, kExitFar, kEnterNear, kExitNear, kEnterMid}));
  EXPECT_EQ(ai.GetRange(), AIPlayerFPS::kMid);
}

// A fighter sees the player, closes in, and each attack sends one hit
// with its block.
TEST_F(AIPlayerFPSTest, AFighterAttacksWithOneHitPerAttack) {
  Start();
  SeedRand(7);
  AIPlayerFPS& ai = MakeAI("Guard", {0, 1, 0});
  Send(ai, kFightGroup, 1u);
  Send(ai, kAttackEvaluation, 0.3f);
  Launch(ai);
  StandInPlayer& player = Player({0, 1, 2});
  Seconds(0.5);
  EXPECT_EQ(ai.GetTarget(), &player);
  Seconds(2.0);
  ASSERT_GE(player.hits.size(), 1u);
  const HitMessage& hit = player.hits.front();
  EXPECT_EQ(hit.attacker, &ai);
  EXPECT_EQ(hit.damage, 20.0f);
  EXPECT_EQ(hit.damageGroup, 1u);
  EXPECT_GE(hit.extra, 1u);
  EXPECT_LE(hit.extra, 3u);
  EXPECT_LE(player.hits.size(), static_cast<std::size_t>(Count(10810))) << "one hit per attack";
  EXPECT_EQ(Count(10810), Count(10811) + (ai.GetState() == AIPlayerFPS::kAttack ? 1 : 0));

  player.health = 0;  // a dead target is no reason to fight
  Seconds(1.0);
  EXPECT_EQ(ai.GetState(), AIPlayerFPS::kIdle);
  EXPECT_EQ(ai.GetTarget(), nullptr);
}

TEST_F(AIPlayerFPSTest, AnAttackOutOfReachSendsNothingButEndsInFight) {
  Start();
  AIPlayerFPS& ai = MakeAI("Guard", {0, 1, 0});
  Send(ai, kFightGroup, 1u);
  Send(ai, kAttackEvaluation, 0.3f);
  Launch(ai);
  StandInPlayer& player = Player({0, 1, 2});
  ai.SetTarget(&player);
  ai.SetState(AIPlayerFPS::kAttack);
  Frames(2);
  player.SetPosition({0, 1, 3.5f}, true);
  Seconds(0.9);
  EXPECT_TRUE(player.hits.empty());
  EXPECT_EQ(ai.GetPreviousState(), AIPlayerFPS::kAttack);
}

// More than six one-second checks in a row with a threat in view.
TEST_F(AIPlayerFPSTest, FearNeedsSevenChecksInARow) {
  Start();
  AIPlayerFPS& ai = MakeAI("Villager", {0, 1, 0});
  Send(ai, kCharacterGroup, 2u);
  Launch(ai);
  AIPlayerFPS& brute = MakeAI("Brute", {3, 1, 8});
  Send(brute, kFightGroup, 2u);
  Launch(brute);
  StandInPlayer& player = Player({0, 1, 12});
  player.health = 0;  // the brute has no enemy to chase
  ai.SetTarget(&player);
  ai.SetState(AIPlayerFPS::kFollow);
  Seconds(6.5);
  EXPECT_EQ(ai.GetScareCount(), 6);
  EXPECT_EQ(ai.GetState(), AIPlayerFPS::kFollow);
  Seconds(1.0);
  EXPECT_EQ(ai.GetState(), AIPlayerFPS::kScared);
  EXPECT_EQ(ai.GetScareCount(), 0);
}

// A body left standing would fall asleep and never take surface motion
// again: after three idle seconds the character still walks to its target.
TEST_F(AIPlayerFPSTest, AfterStandingIdleTheCharacterStillWalks) {
  Start();
  AIPlayerFPS& ai = MakeAI("Guard", {0, 1, 0});
  Launch(ai);
  Seconds(3.0);
  const Vector3 before = ai.GetPositionWS();
  StandInPlayer& player = Player({0, 1, 10});
  ai.SetTarget(&player);
  ai.SetState(AIPlayerFPS::kFollow);
  Seconds(2.0);
  const Vector3 after = ai.GetPositionWS();
  EXPECT_GT(after.z - before.z, 1.0f);
  EXPECT_NEAR(after.x, before.x, 0.5f);
}

// A copy senses with a sphere of its own; destroying either frees only its
// own; a target that goes is no target.
TEST_F(AIPlayerFPSTest, CopiesAndGoneTargetsAreClean) {
  Start();
  AIPlayerFPS& ai = MakeAI("Guard", {0, 1, 0});
  Launch(ai);
  StandInPlayer& player = Player({0, 1, 5});
  ai.SetTarget(&player);
  Frames(1);
  ASSERT_TRUE(ai.HasSensorGeometry());
  Object* copy = GetObjectHooks()->CloneObject(ai, *room, true, true, true);
  ASSERT_NE(copy, nullptr);
  auto& twin = static_cast<AIPlayerFPS&>(*copy);
  EXPECT_EQ(twin.GetTarget(), nullptr);
  characters.emplace_back(&twin);
  Frames(1);
  EXPECT_TRUE(twin.HasSensorGeometry());
  EXPECT_NE(twin.GetSensorGeometry(), ai.GetSensorGeometry());
  ASSERT_NE(twin.GetPath(), nullptr);
  EXPECT_NE(twin.GetPath(), ai.GetPath());
  twin.Delete(false);
  Frames(1);
  player.Delete(false);
  Frames(2);
  EXPECT_EQ(ai.GetTarget(), nullptr);
  EXPECT_TRUE(ai.HasSensorGeometry());
}

// A shot sends the block and no push; the shooter's holder becomes the
// target.
TEST_F(AIPlayerFPSTest, AShotHurtsWithoutPushingAndTurnsTheCharacterOnTheShooter) {
  Start();
  AIPlayerFPS& ai = MakeAI("Guard", {0, 1, 0});
  Launch(ai);
  Frames(1);
  StandInPlayer& player = Player({4, 1, -6});
  Weapon& weapon = MakeWeapon(*room, Weapon::kHitScan, 5, 5, {0, 1, -5});
  weapon.Precalculate();
  Send(AmmunitionOf(weapon), 6022, kPropCollide);
  Send(AmmunitionOf(weapon), 6028, 0.25f);
  Send(weapon, 5754, 0.0f);
  weapon.SetHolder(&player);
  EXPECT_EQ(weapon.Fire(nullptr, nullptr, false), 1);
  EXPECT_FLOAT_EQ(ai.GetHealth(), 0.75f);
  EXPECT_EQ(ai.GetState(), AIPlayerFPS::kGetHit);
  EXPECT_EQ(ai.GetTarget(), &player);
  Step();
  EXPECT_NEAR(ai.GetLinearVelocity().z, 0.0f, 0.05f);
}

// A sticking round wounds only near the body bone; elsewhere it stays in
// the nearest bone without damage.
TEST_F(AIPlayerFPSTest, ASpearSticksInTheNearestBoneAndWoundsOnlyNearTheBody) {
  Start();
  for (const char* near : {"HeadTop", "Body"}) {
    AIPlayerFPS& ai = MakeAI("Guard", {0, 1, 0});
    Launch(ai);
    Frames(1);
    Object* bone = ai.GetSkinMesh()->FindChildByName(near);
    Ammunition& spear = Place<Ammunition>(*room, "Spear", bone->GetPositionWS() + Vector3{0, 0.1f, 0});
    Send(spear, 6000, static_cast<std::uint32_t>(Ammunition::kSticking));
    Send(spear, 6028, 0.4f);
    spear.Precalculate();
    Take();
    EXPECT_EQ(spear.HandleContact(nullptr, ai.GetPhysics()->geometries[0].get(), nullptr, 0), 1);
    Frames(1);
    const bool wounded = std::string(near) == "Body";
    EXPECT_FLOAT_EQ(ai.GetHealth(), wounded ? 0.6f : 1.0f) << near;
    ASSERT_NE(spear.GetParent(), nullptr);
    EXPECT_EQ(spear.GetParent()->GetClassId(), kClassBone) << near;
    EXPECT_EQ(spear.GetParent()->GetName(), near);
    EXPECT_EQ(Count(Ammunition::kEventHit), 1);
    ai.Delete(false);
    Frames(1);
  }
}

}  // namespace
}  // namespace tge::test
