// PlayerFPS: walking on a floor through real physics steps, fall damage,
// hits and death, health commands, its file record across versions, and
// what it keeps when children, copies and links go.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "core/math/Random.h"
#include "core/script/ScriptInterpreter.h"
#include "objects/gameplay/characters/PlayerFPS.h"
#include "objects/gameplay/navigation/VisionGraph.h"
#include "objects/gameplay/physics/PhysicsContact.h"
#include "objects/gameplay/props/Door.h"
#include "objects/gameplay/world/HitMessage.h"
#include "objects/scene/animation/Animation.h"
#include "tests/engine/players/PlayerFixture.h"
#include "tests/support/ObjectRecordBytes.h"

namespace tge::test {
namespace {

constexpr std::uint32_t kPlayerHealth = 10282;
constexpr std::uint32_t kPlayerMaxExhaustion = 10300;
constexpr std::uint32_t kPlayerExhaustion = 10298;
constexpr std::uint32_t kPlayerEndurance = 10286;
constexpr std::uint32_t kPlayerAddHealth = 10302;

TEST_F(PlayerFPSTest, ForwardHeldOneSecondWalksRunSpeedAlongItsAxisAndHalfAsFarWhenExhausted) {
  for (const bool exhausted : {false, true}) {
    SCOPED_TRACE(exhausted);
    ScriptedPlayer& player = AddPlayer({0, 0.2f, 0});
    if (exhausted) {
      Set(player, kPlayerExhaustion, 100.0f);
      Set(player, kPlayerEndurance, 0.0f);
    }
    Start();
    RunFrames(60);
    const Vector3 from = player.GetPositionWS();
    player.next.forward = 1;
    RunFrames(60);
    player.next.forward = 0;
    const Vector3 to = player.GetPositionWS();
    const float expected = exhausted ? 1.75f : 3.5f;
    EXPECT_NEAR(to.z - from.z, expected, expected * 0.2f);
    EXPECT_NEAR(to.x - from.x, 0, 0.1f);
    EXPECT_GT(player.GetAxisYWS().y, 0.999f);
    EXPECT_TRUE(player.IsBodyEnabled());
    player.Delete(false);
  }
}

// The walking speed of the very first frame: a new player, one loaded from
// a file that holds a stale speed factor of 1.6, and one loaded exhausted.
TEST_F(PlayerFPSTest, TheFirstFrameWalksAtRunSpeedOrHalfOfItWhenExhausted) {
  Object& source = *CreateObject(kClassPlayerFPS, nullptr, *room, "Saved");
  source.ExecuteCommand(177, nullptr);
  std::vector<std::uint8_t> stale = SaveRecord(source);
  // Crouch, walk and run speed, jump force, then the exhaustion factor.
  const float speeds[] = {1.0f, 2.0f, 3.5f};
  const auto* pattern = reinterpret_cast<const std::uint8_t*>(speeds);
  const auto found = std::search(stale.begin(), stale.end(), pattern, pattern + sizeof(speeds));
  ASSERT_NE(found, stale.end());
  const float staleFactor = 1.6f;
  std::memcpy(&*found + 4 * sizeof(float), &staleFactor, sizeof(float));
  Set(source, kPlayerExhaustion, 100.0f);
  const std::vector<std::uint8_t> exhausted = SaveRecord(source);

  struct Case {
    const char* name;
    const std::vector<std::uint8_t>* record;  // null: a new player
    float speed;
  };
  for (const Case& c : {Case{"new", nullptr, 3.5f}, Case{"stale", &stale, 3.5f}, Case{"exhausted", &exhausted, 1.75f}}) {
    SCOPED_TRACE(c.name);
    ScriptedPlayer& player = AddPlayer({0, 0.2f, 0});
    if (c.record != nullptr) {
      SerializeStream in;
      in.SetVersion(SerializeStream::kLatestVersion);
      ASSERT_TRUE(in.OpenMemoryBuffer(c.record->size(), "rb", const_cast<std::uint8_t*>(c.record->data())));
      ASSERT_TRUE(player.Serialize(in));
    }
    Tick();
    player.next.forward = 1;
    player.Update();
    EXPECT_FLOAT_EQ(player.GetForwardSpeed(), c.speed);
    player.Delete(false);
  }
}

TEST_F(PlayerFPSTest, StandingStillLongerThanTheBodySleepTimeStillWalks) {
  ScriptedPlayer& player = AddPlayer({0, 0.2f, 0});
  Start();
  RunFrames(240);
  const float from = player.GetPositionWS().z;
  player.next.forward = 1;
  RunFrames(30);
  EXPECT_GT(player.GetPositionWS().z - from, 1.0f);
}

TEST_F(PlayerFPSTest, LandingsFasterThanTenCostTheSquareOfTheExcessOverNineOncePerHalfSecond) {
  struct Case {
    float speed;
    float healthAfter;
    float afterSecond;  // a landing at -12 0.3 s later: free after a damaging one
  };
  for (const Case& c : {Case{-10, 100, 91}, Case{-11, 96, 96}, Case{-14, 75, 75}}) {
    SCOPED_TRACE(c.speed);
    ScriptedPlayer& player = AddPlayer({0, 5, 0});
    Start();
    Wait(0.6);
    Land(player, c.speed);
    EXPECT_FLOAT_EQ(player.GetHealth(), c.healthAfter);
    Wait(0.3);
    Land(player, -12);
    EXPECT_FLOAT_EQ(player.GetHealth(), c.afterSecond);
    player.Delete(false);
  }
}

TEST_F(PlayerFPSTest, HitSidePlaysItsLookAnimationHealthStopsAtZeroAndDeathIsRaisedOncePerLife) {
  ScriptedPlayer& player = AddPlayer({0, 5, 0});
  Start();
  auto& look = *player.GetLook();
  const char* const names[] = {"GetHitRight", "GetHitBack", "GetHitLeft"};
  for (const char* name : names) look.AddAnimation(name);
  for (std::uint32_t side = 1; side <= 3; ++side) {
    HitMessage hit;
    hit.damage = 10;
    hit.extra = side;
    EXPECT_EQ(player.TakeHit(hit), 1);
    EXPECT_EQ(look.GetPlayingEntry(), static_cast<int>(side - 1));
  }
  EXPECT_FLOAT_EQ(player.GetHealth(), 70);
  EXPECT_EQ(Count(PlayerFPS::kEventGetHit), 3);

  HitMessage fatal;
  fatal.damage = 500;
  fatal.extra = 7;  // no side: no animation, still a hit
  EXPECT_EQ(player.TakeHit(fatal), 1);
  EXPECT_FLOAT_EQ(player.GetHealth(), 0);
  EXPECT_EQ(player.TakeHit(fatal), 0) << "the dead take no hits";
  Tick();
  Tick();
  EXPECT_EQ(Count(PlayerFPS::kEventDead), 1);
  Set(player, kPlayerHealth, 0.0f);
  Tick();
  EXPECT_EQ(Count(PlayerFPS::kEventDead), 1) << "health set to 0 is still the same death";
  Set(player, kPlayerHealth, 20.0f);
  player.ExecuteCommand(kApplyHit, &fatal);
  Tick();
  EXPECT_EQ(Count(PlayerFPS::kEventDead), 2);
}

TEST_F(PlayerFPSTest, OnlyContactsSteeperThanTheLimitCarryTheWalkAndADoorsSensorIsOnlyInReach) {
  ScriptedPlayer& player = AddPlayer({0, 5, 0});
  Start();
  GeometryRecord* own = player.GetPhysics()->geometries[0].get();
  struct Case {
    double normalY;
    bool ground;
  };
  for (const Case& c : {Case{0.4, false}, Case{0.41, true}, Case{-1, false}}) {
    SCOPED_TRACE(c.normalY);
    GeometryRecord floor;
    ContactParameters contact{};
    contact.geom.normal[1] = c.normalY;
    EXPECT_EQ(player.HandleContact(own, &floor, &contact, 1), kContactKeepSurface);
    EXPECT_EQ(contact.surface.mode != 0, c.ground);
    EXPECT_EQ(contact.surface.mode, c.ground ? dContactFDir1 | dContactMotion1 | dContactMotion2 : 0);
    EXPECT_EQ(contact.surface.mu, c.ground ? 3.5 : 0.0);
  }
  auto& door = *static_cast<Door*>(CreateObject(kClassDoor, nullptr, *room, "Door"));
  GeometryRecord sensor;
  sensor.info |= kGeometryEventOnly;
  sensor.owner = &door;
  ContactParameters contact{};
  EXPECT_EQ(player.HandleContact(own, &sensor, &contact, 1), kContactUsual);
  EXPECT_EQ(player.GetDoorInReach(), &door);
  door.Delete(false);
  EXPECT_EQ(player.GetDoorInReach(), nullptr);
}

TEST_F(PlayerFPSTest, AddHealthStaysWithinZeroAndTheMaximum) {
  ScriptedPlayer& player = AddPlayer({0, 0, 0});
  Set(player, kPlayerAddHealth, 50.0f);
  EXPECT_FLOAT_EQ(player.GetHealth(), 100);
  Set(player, kPlayerAddHealth, -250.0f);
  EXPECT_FLOAT_EQ(player.GetHealth(), 0);
}

TEST_F(PlayerFPSTest, AMaximumOfZeroCountsAsReachedWithoutDividingByIt) {
  EXPECT_FLOAT_EQ(RatioOfMaximum(50, 100), 0.5f);
  EXPECT_FLOAT_EQ(RatioOfMaximum(50, 0), 1.0f);
  EXPECT_FLOAT_EQ(RatioOfMaximum(0, -5), 1.0f);
  ScriptedPlayer& player = AddPlayer({0, 5, 0});
  Set(player, kPlayerMaxExhaustion, 0.0f);
  Start();
  RunFrames(3);
  EXPECT_TRUE(std::isfinite(player.GetHandExhaustion()));
  EXPECT_TRUE(std::isfinite(player.GetLook()->GetRotation().x));
}

// Every field away from its default, AimModeHold on so a load changes
// nothing.
constexpr const char* kSetUp =
    "this.SetPlayerFPSRunSpeed(4.5); this.SetPlayerFPSAimModeHold(1); this.SetPlayerFPSVibrationMode(2); "
    "this.SetPlayerFPSWeaponChangeMode(1); this.SetPlayerFPSHealth(55); this.SetPlayerFPSWalkExhaust(3); "
    "this.SetPlayerFPSActionCategoryBits(64); this.SetPlayerFPSMaxExhaustion(80); "
    "this.SetPlayerFPSCurrentGroupDamage(3); this.SetPlayerFPSGroupDamageMul(0.25);";

TEST_F(PlayerFPSTest, SaveLoadSaveGivesTheSameBytesAndAShortRecordIsRefused) {
  Object* player = CreateObject(kClassPlayerFPS, nullptr, *room, "Saved");
  player->ExecuteCommand(177, nullptr);
  RunScriptText(*player, kSetUp, nullptr);
  const std::vector<std::uint8_t> first = SaveRecord(*player);
  std::unique_ptr<PlayerFPS> loaded = LoadRecord<PlayerFPS>(kClassPlayerFPS, first);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(SaveRecord(*loaded), first);
  for (std::size_t size = 0; size < first.size(); ++size) {
    const std::vector<std::uint8_t> cut(first.begin(), first.begin() + static_cast<std::ptrdiff_t>(size));
    ASSERT_EQ(LoadRecord<Object>(kClassPlayerFPS, cut), nullptr) << "cut at " << size;
  }
}

TEST_F(PlayerFPSTest, ASaveChangesNothingLiveAndALoadTurnsAimModeHoldOn) {
  ScriptedPlayer& player = AddPlayer({0, 0, 0});
  player.GetPhysics()->flags &= ~kPhysicsNotLockedInSpace;
  SaveRecord(player);
  EXPECT_EQ(player.GetOptions() & PlayerFPS::kAimModeHold, 0u);
  EXPECT_EQ(player.GetPhysics()->flags & kPhysicsNotLockedInSpace, 0);
  std::unique_ptr<PlayerFPS> loaded = LoadRecord<PlayerFPS>(kClassPlayerFPS, SaveRecord(player));
  ASSERT_NE(loaded, nullptr);
  EXPECT_NE(loaded->GetOptions() & PlayerFPS::kAimModeHold, 0u);
}

TEST_F(PlayerFPSTest, OlderFilesLoadTheirGroupsAndKeepDefaultsForTheRest) {
  struct Case {
    int version;
    float runSpeed;    // in the version 11 group
    float groupFactor; // in the version 22 group
  };
  Object* source = CreateObject(kClassPlayerFPS, nullptr, *room, "Saved");
  RunScriptText(*source, "this.SetPlayerFPSRunSpeed(4.5); this.SetPlayerFPSRotationSpeed(2.5); "
                         "this.SetPlayerFPSGroupDamageMul(0.25);", nullptr);
  for (const Case& c : {Case{10, 3.5f, 1.0f}, Case{21, 4.5f, 1.0f}, Case{22, 4.5f, 0.25f}}) {
    SCOPED_TRACE(c.version);
    std::unique_ptr<PlayerFPS> loaded =
        LoadRecord<PlayerFPS>(kClassPlayerFPS, SaveRecord(*source, c.version), c.version);
    ASSERT_NE(loaded, nullptr);
    EXPECT_FLOAT_EQ(Get<float>(*loaded, 10259), 2.5f) << "the first group";
    EXPECT_FLOAT_EQ(Get<float>(*loaded, 10255), c.runSpeed);
    EXPECT_FLOAT_EQ(Get<float>(*loaded, 10316), c.groupFactor);
  }
}

TEST_F(PlayerFPSTest, ACopyLinksItsOwnChildrenAndUseSphereAndTheOriginalsGoSafely) {
  ScriptedPlayer& player = AddPlayer({0, 0.2f, 0});
  Start();
  player.next.pressedCross = 1;
  Tick();
  ASSERT_NE(player.GetUseSphere(), nullptr);
  std::unique_ptr<Object> copy = CreateObject(kClassPlayerFPS, &player, "Copy");
  auto& twin = static_cast<PlayerFPS&>(*copy);
  EXPECT_EQ(twin.GetUseSphere(), nullptr);
  EXPECT_EQ(twin.GetUseRecord().owner, &twin);
  EXPECT_EQ(twin.GetLook(), nullptr);
  EXPECT_EQ(GetCurrentPlayerFPS(), &player);
  player.Delete(false);
  EXPECT_EQ(GetCurrentPlayerFPS(), nullptr);
  copy->Precalculate();
  EXPECT_EQ(GetCurrentPlayerFPS(), &twin);
}

TEST_F(PlayerFPSTest, ChildrenOfTheWrongClassOrDeletedChildrenCountAsMissing) {
  auto& player = Place<ScriptedPlayer>(*room, "Player", {0, 5, 0});
  Object* look = player.FindChildByName("Look");
  look->SetName("OldLook");
  CreateObject(kClassObject, nullptr, player, "Look");
  CreateObject(kClassObject, nullptr, player, "PlayerSpeaker");
  Start();
  EXPECT_EQ(player.GetLook(), nullptr);
  HitMessage hit;
  hit.damage = 1;
  player.TakeHit(hit);
  RunFrames(2);
  player.FindChildByName("Camera")->Delete(false);
  player.FindChildByName("R_Hand")->Delete(false);
  EXPECT_EQ(player.GetCamera(), nullptr);
  player.next.heldL1 = 1;
  player.next.pressedPadRight = 1;
  RunFrames(3);
  EXPECT_FLOAT_EQ(player.GetHealth(), 99);
}

TEST_F(PlayerFPSTest, GoToSpacePutsTheWorldsPlayerAboveTheSpaceCentreOrOnAVisionGraphTriangle) {
  Object& scene = *CreateObject(kClassWorld, nullptr, *engine, "Scene");
  auto& player = *CreateObject(kClassPlayerFPS, nullptr, scene, "Walker");
  player.SetInheritOrientation(false);
  Space& hall = *static_cast<Space*>(CreateObject(kClassSpace, nullptr, *engine, "Hall"));
  hall.SetWorld(world);
  hall.SetLocalBox({{2, 0, 4}, {6, 2, 8}});
  hall.Precalculate();
  std::string name = "Hall";
  engine->ExecuteCommand(372, &name);
  Vector3 at = player.GetPositionWS();
  EXPECT_NEAR(at.x, 4, 1e-5f);
  EXPECT_NEAR(at.y, 1.4f, 1e-5f);
  EXPECT_NEAR(at.z, 6, 1e-5f);

  auto& graph = *static_cast<VisionGraph*>(CreateObject(kClassVisionGraph, nullptr, hall, "Graph"));
  NavTriangle triangle;
  triangle.vertex[1] = 1;
  triangle.vertex[2] = 2;
  ASSERT_TRUE(graph.GetMesh().SetMesh({{3, 0, 5}, {3, 0, 8}, {6, 0, 5}}, {triangle}));
  graph.Precalculate();
  engine->ExecuteCommand(372, &name);
  at = player.GetPositionWS();
  EXPECT_NEAR(at.x, 4, 1e-5f);
  EXPECT_NEAR(at.y, 0.4f, 1e-5f);
  EXPECT_NEAR(at.z, 6, 1e-5f);
  name = "Nowhere";
  engine->ExecuteCommand(372, &name);
  EXPECT_NEAR(player.GetPositionWS().y, 0.4f, 1e-5f);
}

}  // namespace
}  // namespace tge::test
