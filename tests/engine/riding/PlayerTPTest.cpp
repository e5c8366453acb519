// PlayerTP: the side it mounts from, riding, a refused exit and the
// dismount back into its Space, its properties by script and its record.
#include "core/CommandRegistry.h"
#include "core/script/ScriptInterpreter.h"
#include "tests/engine/riding/RidingFixture.h"
#include "tests/support/ObjectRecordBytes.h"

namespace tge::test {
namespace {

using PlayerTPTest = RidingTest;

// Both sides marked: the nearer one, and the left one at equal distance.
TEST_F(PlayerTPTest, EqualSideDistancesTakeTheLeft) {
  struct Case {
    float leftX, rightX;
    HorseState mount;
  };
  for (const Case& c : {Case{-2, 2, kHorseMount}, Case{-2, 1, kHorseMountRight}, Case{-1, 2, kHorseMount}}) {
    Horse& horse = AddHorse();
    for (const auto& [name, x] : {std::pair{"EnterExitLeftPosition", c.leftX}, std::pair{"EnterExitRightPosition", c.rightX}}) {
      Object* side = CreateObject(kClassObject, nullptr, horse, name);
      side->SetInheritOrientation(false);
      side->SetPosition({x, 0, 0}, true);
    }
    PlayerTP& player = AddPlayer({0, 0, 0});
    Start();
    Step();
    player.EnterTransport(&horse);
    EXPECT_EQ(horse.GetState(), c.mount) << c.leftX << " " << c.rightX;
    horse.Delete(false);
    Step();
  }
}

// Entering twice or something that is no transport does nothing; riding,
// the player hangs under "PlayerPosition" without a body, is refused the
// exit while it is not enabled and gets off back into its Space.
TEST_F(PlayerTPTest, RidesIsRefusedTheExitAndDismountsBackIntoItsSpace) {
  Horse& horse = AddHorse();
  PlayerTP& player = AddPlayer();
  Object& crate = AddBlock(*room, "Crate");
  CreateObject(kClassObject, nullptr, crate, "PlayerPosition");
  Start();
  Steps(20);
  player.EnterTransport(&crate);
  EXPECT_EQ(player.GetState(), PlayerTPState::kFree);
  Ride(player, horse);
  EXPECT_EQ(player.GetParent(), horse.FindChildByName("PlayerPosition"));
  EXPECT_EQ(player.GetBody(), nullptr);
  EXPECT_EQ(player.GetTransport(), &horse);
  player.EnterTransport(&horse);
  EXPECT_EQ(player.GetState(), PlayerTPState::kRiding);
  Steps(30);
  ASSERT_EQ(horse.GetState(), kHorseIdle);

  RunScriptText(player, "this.SetPlayerTPEnableExitTransport(0);", nullptr);
  events.clear();
  Click(SDL_BUTTON_RIGHT);
  EXPECT_EQ(Count(PlayerTP::kEventRefuseExitTransport), 1);
  EXPECT_EQ(player.GetState(), PlayerTPState::kRiding);

  RunScriptText(player, "this.SetPlayerTPEnableExitTransport(1);", nullptr);
  Click(SDL_BUTTON_RIGHT);
  EXPECT_EQ(horse.GetState(), kHorseDismount);
  for (int i = 0; i < 200 && player.GetState() != PlayerTPState::kFree; ++i) Step();
  EXPECT_EQ(player.GetState(), PlayerTPState::kFree);
  EXPECT_EQ(player.GetParent(), room);
  EXPECT_NE(player.GetBody(), nullptr);
  EXPECT_EQ(player.GetTransport(), nullptr);
  EXPECT_EQ(Count(PlayerTP::kEventExitTransport), 1);
}

// Registered as a Float, the close-up distance keeps what a script sets.
// W alone walks; holding left Shift with it runs (here the gallop stands in
// for the run).
TEST_F(PlayerTPTest, ShiftTurnsTheWalkIntoARun) {
  PlayerTP& player = AddPlayer();
  RunScriptText(player, "this.SetPlayerTPRunAnimation(Gallop);", nullptr);
  Start();
  Step();
  const auto& skin = static_cast<const SkinMesh&>(*player.FindChildByClass(kClassSkinMesh));
  // The animation asked for is the one playing or the one next.
  const auto asked = [&](const char* name) {
    return skin.GetCurrentAnimationName().find(name) != std::string::npos ||
           skin.GetNextAnimationName().find(name) != std::string::npos;
  };
  Key(SDL_SCANCODE_W, true);
  Steps(5);
  EXPECT_TRUE(asked("Walk"));
  EXPECT_FALSE(asked("Gallop"));
  Key(SDL_SCANCODE_LSHIFT, true);
  Steps(5);
  EXPECT_TRUE(asked("Gallop"));
  Key(SDL_SCANCODE_LSHIFT, false);
  Key(SDL_SCANCODE_W, false);
  Step();
}

TEST_F(PlayerTPTest, TheCloseUpDistanceSetByScriptReadsBack) {
  PlayerTP& player = AddPlayer();
  const CommandRecord* record = FindCommand(12565);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->argumentTypes, std::vector<std::int32_t>{kValueFloat});
  RunScriptText(player, "this.SetPlayerTPCameraCloseUpDistance(2.5);", nullptr);
  EXPECT_EQ(player.GetCloseUpDistance(), 2.5f);
  float read = 0;
  player.ExecuteCommand(12566, &read);
  EXPECT_EQ(read, 2.5f);
}

TEST_F(PlayerTPTest, SaveLoadSaveGivesTheSameBytesAndASaveChangesNothingLive) {
  PlayerTP& player = AddPlayer();
  RunScriptText(player, "this.SetPlayerTPIdleAnimation(Stand); this.SetPlayerTPVibrationMode(3); this.SetPlayerTPAutoAim(1);",
                nullptr);
  player.GetPhysics()->flags &= ~kPhysicsNotLockedInSpace;
  const std::vector<std::uint8_t> first = SaveRecord(player);
  EXPECT_EQ(player.GetPhysics()->flags & kPhysicsNotLockedInSpace, 0);
  std::unique_ptr<PlayerTP> loaded = LoadRecord<PlayerTP>(kClassPlayerTP, first);
  ASSERT_NE(loaded, nullptr);
  EXPECT_NE(loaded->GetPhysics()->flags & kPhysicsNotLockedInSpace, 0);
  EXPECT_EQ(loaded->GetOptions(), player.GetOptions());
  std::unique_ptr<PlayerTP> again = LoadRecord<PlayerTP>(kClassPlayerTP, SaveRecord(*loaded));
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(SaveRecord(*again), SaveRecord(*loaded));
  std::string idle;
  again->ExecuteCommand(12525, &idle);
  EXPECT_EQ(idle, "Stand");
}

// A copy finds its own children and action geometry when it links; the
// original's stay its own.
TEST_F(PlayerTPTest, ACopyLinksItsOwnActionGeometry) {
  PlayerTP& player = AddPlayer();
  GeometryRecord& action = player.AddGeometry();
  action.info |= kGeometryEventOnly;
  Start();
  Step();
  EXPECT_EQ(player.GetActionGeometry(), 1);
  Object* copy = CreateObject(kClassPlayerTP, &player, *room, "Copy");
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(static_cast<PlayerTP*>(copy)->GetActionGeometry(), -1);
  copy->Precalculate();
  copy->Start();
  StartPhysics(*copy);
  EXPECT_EQ(static_cast<PlayerTP*>(copy)->GetActionGeometry(), 1);
  Steps(5);
  copy->Delete(true);
  Steps(2);
  EXPECT_EQ(player.GetActionGeometry(), 1);
}

}  // namespace
}  // namespace tge::test
