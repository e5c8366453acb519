// Horse: gaits from speed, the ridden horse on the real physics step, the
// keys by state, wall hits, the jump's body, script-set divisors, the file
// record and the recording played back past its keys.
#include <cmath>
#include <fstream>

#include "core/script/ScriptInterpreter.h"
#include "objects/gameplay/characters/HorseRecording.h"
#include "objects/gameplay/physics/PhysicsContact.h"
#include "tests/engine/riding/RidingFixture.h"
#include "tests/services/TestBytes.h"
#include "tests/support/ObjectRecordBytes.h"

namespace tge::test {
namespace {

constexpr std::uint32_t kHorseState = 19795, kHorseSpeed = 19791;

void SetState(Horse& horse, HorseState state) {
  std::int32_t value = state;
  horse.ExecuteCommand(kHorseState, &value);
}

void SetSpeed(Horse& horse, float speed) { horse.ExecuteCommand(kHorseSpeed, &speed); }

bool Finite(const Quaternion& q) {
  return std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z) && std::isfinite(q.w);
}

Vector3 Flat(const Vector3& v) { return {v.x, 0, v.z}; }

TEST(HorseGaits, DefaultThresholdsPickTheGaitAtAndAboveEachThreshold) {
  const HorseGaits gaits;
  const std::pair<float, HorseState> cases[] = {
      {-10.01f, kHorseReverse}, {-10, kHorseIdle}, {9.99f, kHorseIdle}, {10, kHorseWalk},  {30, kHorseTrot},
      {59.9f, kHorseTrot},      {60, kHorseCanter}, {80, kHorseGallop}, {500, kHorseGallop},
  };
  for (const auto& [speed, gait] : cases) EXPECT_EQ(gaits.FromSpeed(speed), gait) << speed;
}

using HorseTest = RidingTest;

// One press of W from standstill: the target steps to 20 and the speed
// climbs at 80 a second into the band around it, then the ground under the
// walking horse carries it at the animation's root speed.
TEST_F(HorseTest, RiddenOnePressOfWWalksTheHorseAtItsRootMotionSpeedUpright) {
  for (float cap : {100.0f, 0.0f}) {
    SCOPED_TRACE(cap);
    Horse& horse = AddHorse();
    PlayerTP& player = AddPlayer();
    Start();
    Steps(20);
    Ride(player, horse);
    horse.ExecuteCommand(19789, &cap);
    Tap(SDL_SCANCODE_W);
    Steps(7);
    EXPECT_EQ(horse.GetTargetSpeed(), cap == 0 ? 0.0f : 20.0f);
    EXPECT_NEAR(horse.GetSpeed(), cap == 0 ? 0.0f : 18.0f, 1e-3f);
    Steps(20);
    const Vector3 from = horse.GetPositionWS();
    Steps(40);
    Vector3 moved;
    Vector3Subtract(moved, Flat(horse.GetPositionWS()), Flat(from));
    const float speed = Vector3Length(moved) / static_cast<float>(40 * kFrame);
    if (cap == 0) {
      EXPECT_LT(speed, 0.05f);
    } else {
      EXPECT_EQ(horse.GetState(), kHorseWalk);
      EXPECT_NEAR(speed, kRootSpeed * horse.GetAnimationSpeed(), 0.25f * kRootSpeed);
      EXPECT_GT(Vector3Dot(moved, horse.GetAxisZWS()), 0.0f);
    }
    EXPECT_GT(horse.GetAxisYWS().y, 0.99f);
    horse.Delete(false);
    Step();
  }
}

// X stops a gallop and rears a trot; the space bar jumps from a canter,
// rears from a trot and kicks from standing with S held.
TEST_F(HorseTest, TheBreakAndJumpKeysActByState) {
  struct Case {
    HorseState from;
    std::vector<SDL_Scancode> keys;
    HorseState to;
  };
  Horse& horse = AddHorse();
  PlayerTP& player = AddPlayer();
  Start();
  Steps(20);
  Ride(player, horse);
  const Case cases[] = {
      {kHorseGallop, {SDL_SCANCODE_X}, kHorseBreak},      {kHorseTrot, {SDL_SCANCODE_X}, kHorseRearing},
      {kHorseIdle, {SDL_SCANCODE_X}, kHorseIdle},         {kHorseCanter, {SDL_SCANCODE_SPACE}, kHorseJump},
      {kHorseTrot, {SDL_SCANCODE_SPACE}, kHorseRearing},  {kHorseIdle, {SDL_SCANCODE_S, SDL_SCANCODE_SPACE}, kHorseKick},
      {kHorseIdle, {SDL_SCANCODE_SPACE}, kHorseRearing},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.from);
    SetState(horse, c.from);
    for (SDL_Scancode key : c.keys) Key(key, true);
    Step();
    EXPECT_EQ(horse.GetState(), c.to);
    for (SDL_Scancode key : c.keys) Key(key, false);
    Step();
  }
}

// A probe contact with a wall ahead rears a walking horse and stops it; one
// from the side swerves it away for 0.2 s.
TEST_F(HorseTest, AHeadOnWallRearsAndAGlancingOneSwerves) {
  struct Case {
    Vector3 normal;
    HorseState state;
    float turnSign;
  };
  for (const Case& c : {Case{{0, 0, -1}, kHorseRearing, 0}, Case{{1, 0, 0}, kHorseWalk, 1},
                        Case{{-1, 0, 0}, kHorseWalk, -1}}) {
    Horse& horse = AddHorse();
    Object& wall = AddBlock(*room, "Wall");
    Start();
    Step();
    SetState(horse, kHorseWalk);
    SetSpeed(horse, 18);
    GeometryRecord probe;
    probe.info |= kGeometryEventOnly;
    probe.owner = &horse;
    GeometryRecord& solid = *wall.GetPhysics()->geometries[0];
    ContactParameters contact{};
    for (int axis = 0; axis < 3; ++axis) contact.geom.normal[axis] = (&c.normal.x)[axis];
    EXPECT_EQ(horse.HandleContact(&probe, &solid, &contact, 1), kContactUsual);
    Step();
    EXPECT_EQ(horse.GetState(), c.state);
    if (c.turnSign == 0) {
      EXPECT_EQ(horse.GetSpeed(), 0.0f);
    } else {
      EXPECT_GT(horse.GetTurn() * c.turnSign, 0.0f);
    }
    horse.Delete(false);
    wall.Delete(false);
  }
}

// The body shrinks to a small sphere in the air and lands with the capsule
// it had, length and all.
TEST_F(HorseTest, AfterAJumpGeometryZeroHasItsEarlierDimension) {
  Horse& horse = AddHorse();
  Start();
  Step();
  SetSpeed(horse, 70);
  SetState(horse, kHorseCanter);
  SetState(horse, kHorseJump);
  ASSERT_EQ(horse.GetState(), kHorseJump);
  const GeometryRecord& body = *horse.GetPhysics()->geometries[0];
  Steps(20);
  EXPECT_EQ(body.dimension.x, 0.25f);
  Steps(60);
  EXPECT_NE(horse.GetState(), kHorseJump);
  EXPECT_EQ(body.dimension.x, 0.6f);
  EXPECT_EQ(body.dimension.y, 1.0f);
}

// Equal thresholds and a top speed of 0 divide by 0 in every gait.
TEST_F(HorseTest, ZeroDivisorsKeepAnimationSpeedAndRotationFinite) {
  Horse& horse = AddHorse();
  Start();
  Step();
  RunScriptText(horse,
                "this.SetHorseMaxSpeed(0); this.SetHorseWalkTreshold(10); this.SetHorseTrotTreshold(10); "
                "this.SetHorseCanterTreshold(10); this.SetHorseGallopTreshold(10); this.SetHorseMinSpeed(-10); "
                "this.SetHorseReverseTreshold(-10);",
                nullptr);
  for (HorseState state : {kHorseWalk, kHorseTrot, kHorseCanter, kHorseGallop, kHorseReverse, kHorseJump}) {
    SCOPED_TRACE(state);
    SetState(horse, kHorseCanter);
    SetState(horse, state);
    SetSpeed(horse, state == kHorseReverse ? -30.0f : 40.0f);
    Step();
    EXPECT_TRUE(std::isfinite(horse.GetAnimationSpeed()));
    EXPECT_TRUE(std::isfinite(horse.GetHeadTurn()));
    EXPECT_TRUE(Finite(horse.GetRotation()));
  }
}

// A recording whose horse keys are fewer than its placement keys, with a
// state word the horse does not know, plays to its end; one whose count
// runs past the file is refused.
TEST_F(HorseTest, PlaybackStaysInsideTheHorseKeysAndRefusesCountsBeyondTheFile) {
  struct Case {
    int placementKeys;
    std::vector<HorseKey> horseKeys;
    std::uint32_t countWritten;
    int answer;
    HorseState playing;
  };
  const Case cases[] = {
      {3, {{99, 1.0f, 0}}, 1, 1, kHorseNoState},
      {2, {{kHorseWalk, 0.5f, 0.1f}, {kHorseWalk, 1.5f, 0.3f}}, 2, 1, kHorseWalk},
      {2, {{kHorseWalk, 0.5f, 0}}, 1000, 0, kHorseIdle},
  };
  Horse& horse = AddHorse();
  Start();
  Step();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.countWritten);
    Bytes file;
    file.I32(0).F32(0).F32(0.4f).I32(c.placementKeys);
    for (int k = 0; k < c.placementKeys; ++k) {
      file.F32(0.2f * static_cast<float>(k)).F32(0).F32(0).F32(0).F32(1).F32(1).F32(1).F32(0).F32(0).F32(0).F32(1);
    }
    file.U32(c.countWritten);
    for (const HorseKey& key : c.horseKeys) file.I32(key.state).F32(key.animationSpeed).F32(key.headTurn);
    std::ofstream(folder.Path().string() + "/Ride.oan", std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data.data()), static_cast<std::streamsize>(file.data.size()));
    std::string name = "Ride";
    EXPECT_EQ(horse.ExecuteCommand(202, &name), c.answer);
    Step();
    EXPECT_EQ(horse.GetState(), c.playing);
    Steps(30);
    horse.ExecuteCommand(199, nullptr);
    SetState(horse, kHorseIdle);
  }
}

TEST_F(HorseTest, CopiesLinkTheirOwnChildrenAndADeletedRiderOrHorseLeavesNothingBehind) {
  Horse& horse = AddHorse();
  PlayerTP& player = AddPlayer();
  Start();
  Steps(5);
  Object* copy = CreateObject(kClassHorse, &horse, *room, "Copy");
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(static_cast<Horse*>(copy)->GetCamera(), nullptr);
  copy->Precalculate();
  copy->Start();
  Steps(5);
  Ride(player, horse);
  player.Delete(true);
  Steps(5);
  EXPECT_EQ(horse.GetRider(), nullptr);
  PlayerTP& second = AddPlayer();
  second.Precalculate();
  second.Start();
  StartPhysics(second);
  Ride(second, horse);
  horse.Delete(true);
  Steps(5);
  EXPECT_EQ(room->FindChildByName("Player"), nullptr);
}

}  // namespace
}  // namespace tge::test
