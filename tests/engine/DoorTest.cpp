#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <utility>
#include <vector>

#include "core/math/Quaternion.h"
#include "objects/gameplay/props/Door.h"
#include "objects/ui/sound/Sound.h"
#include "tests/engine/WorldTestScene.h"
#include "tests/support/ObjectRecordBytes.h"

namespace tge::test {
namespace {

constexpr float kQuarter = std::numbers::pi_v<float> / 2;

using Raised = std::vector<std::pair<int, Object*>>;

// Records the door's own events.
class LoggedDoor : public Door {
 public:
  int FireEvent(int eventId, Object* sender) override {
    if (eventId >= 9250) raised.emplace_back(eventId, sender);
    return Door::FireEvent(eventId, sender);
  }
  Raised raised;
};

void ExpectNear(const Vector3& a, const Vector3& b) {
  EXPECT_NEAR(a.x, b.x, 1e-4f);
  EXPECT_NEAR(a.y, b.y, 1e-4f);
  EXPECT_NEAR(a.z, b.z, 1e-4f);
}

// Equal rotations up to sign.
void ExpectSameRotation(const Quaternion& a, const Quaternion& b) {
  const float dot = a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
  EXPECT_NEAR(std::abs(dot), 1.0f, 1e-4f);
}

// The turn of a leaf about the world's up axis, from its rotation.
float TurnAboutUp(const Quaternion& q) { return 2 * std::atan2(q.y, q.w); }

class DoorTest : public WorldTestScene {
 protected:
  LoggedDoor& MakeDoor(Object& parent, std::int32_t type) {
    auto* door = static_cast<LoggedDoor*>(parent.AddChild(std::make_unique<LoggedDoor>()));
    door->SetName("Door");
    door->SetWorld(world);
    door->SetType(type);
    float open = 1.0f, close = 0.5f, length = 2.0f, angle = kQuarter;
    door->ExecuteCommand(9252, &open);
    door->ExecuteCommand(9254, &close);
    door->ExecuteCommand(9270, &length);
    door->ExecuteCommand(9272, &angle);
    return *door;
  }

  // Ticks of 0.1 s for the given time.
  void Run(double seconds) {
    for (int i = 0; i < static_cast<int>(std::lround(seconds * 10)); ++i) Tick(0.1);
  }

  static std::vector<int> Ids(const Raised& raised) {
    std::vector<int> ids;
    for (const auto& [id, sender] : raised) ids.push_back(id);
    return ids;
  }
};

TEST_F(DoorTest, EachTypeOpensAndClosesBackToItsClosedPlacement) {
  struct Case {
    std::int32_t type;
    float turn1, turn2;      // after half the opening, about the up axis
    float slide1, slide2;    // along the up axis
  };
  for (const Case& c : {Case{1, kQuarter / 2, 0, 0, 0}, Case{2, 0, 0, 1, 0}, Case{3, kQuarter / 2, -kQuarter / 2, 0, 0},
                        Case{4, 0, 0, 1, -1}, Case{7, 0, 0, 0, 0}}) {
    SCOPED_TRACE(c.type);
    LoggedDoor& door = MakeDoor(*cell, c.type);
    door.Precalculate();
    Object* leaf1 = door.GetLeaf1();
    Object* leaf2 = door.FindChildByName("Door2");
    ASSERT_NE(leaf1, nullptr);
    EXPECT_EQ(leaf2 != nullptr, c.type == 3 || c.type == 4);
    Object probe;
    door.Open(&probe);
    EXPECT_EQ(door.GetState(), DoorState::kOpening);
    Run(0.5);
    EXPECT_NEAR(TurnAboutUp(leaf1->GetRotation()), c.turn1, 1e-3f);
    EXPECT_NEAR(leaf1->GetPosition().y, c.slide1, 1e-3f);
    if (leaf2 != nullptr) {
      EXPECT_NEAR(TurnAboutUp(leaf2->GetRotation()), c.turn2, 1e-3f);
      EXPECT_NEAR(leaf2->GetPosition().y, c.slide2, 1e-3f);
    }
    door.Close();  // not open yet: ignored
    EXPECT_EQ(door.GetState(), DoorState::kOpening);
    Run(0.6);
    EXPECT_EQ(door.GetState(), DoorState::kOpen);
    door.Close();
    EXPECT_EQ(door.GetState(), DoorState::kClosing);
    Run(0.3);
    EXPECT_EQ(door.GetState(), DoorState::kClosing);
    Run(0.3);
    EXPECT_EQ(door.GetState(), DoorState::kClosed);
    ExpectSameRotation(leaf1->GetRotation(), Quaternion{});
    ExpectNear(leaf1->GetPosition(), {});
    EXPECT_EQ(Ids(door.raised), (std::vector<int>{9279, 9280, 9281, 9282}));
    EXPECT_EQ(door.raised[0].second, &probe);
    door.Delete(false);
  }
}

TEST_F(DoorTest, ZeroTimesFinishOnTheNextUpdate) {
  LoggedDoor& door = MakeDoor(*cell, 1);
  float zero = 0;
  door.ExecuteCommand(9252, &zero);
  door.ExecuteCommand(9254, &zero);
  door.Precalculate();
  door.Open(nullptr);
  Tick(0.05);
  EXPECT_EQ(door.GetState(), DoorState::kOpen);
  ExpectSameRotation(door.GetLeaf1()->GetRotation(), Quaternion{});
  door.Close();
  Tick(0.05);
  EXPECT_EQ(door.GetState(), DoorState::kClosed);
}

TEST_F(DoorTest, ALockedDoorOnlyReportsTheOpener) {
  LoggedDoor& door = MakeDoor(*cell, 1);
  std::int32_t on = 1;
  door.ExecuteCommand(9266, &on);
  door.Precalculate();
  Object opener;
  door.Open(&opener);
  EXPECT_EQ(door.GetState(), DoorState::kClosed);
  ASSERT_EQ(door.raised.size(), 1u);
  EXPECT_EQ(door.raised[0], std::make_pair(9285, &opener));
}

TEST_F(DoorTest, AutoCloseWaitsForTheFirstFrameWithoutAContact) {
  LoggedDoor& door = MakeDoor(*cell, 2);
  std::int32_t on = 1;
  door.ExecuteCommand(9260, &on);
  door.ExecuteCommand(9262, &on);
  float wait = 0.3f;
  door.ExecuteCommand(9256, &wait);
  door.Precalculate();
  door.Open(nullptr);
  Run(1.1);
  ASSERT_EQ(door.GetState(), DoorState::kOpen);
  for (int i = 0; i < 6; ++i) {
    door.HandleContact(nullptr, nullptr, nullptr, 0);
    Tick(0.1);
  }
  EXPECT_EQ(door.GetState(), DoorState::kOpen);
  Tick(0.1);
  EXPECT_EQ(door.GetState(), DoorState::kClosing);
}

TEST_F(DoorTest, OpeningAwayFromTheOpenerPicksTheSide) {
  for (float side : {2.0f, -2.0f, 0.0f}) {
    SCOPED_TRACE(side);
    LoggedDoor& door = MakeDoor(*cell, 1);
    std::int32_t on = 1;
    door.ExecuteCommand(9264, &on);
    door.Precalculate();
    Object& opener = Placed(*cell, kClassObject, "Opener", {0, 0, side});
    door.Open(&opener);
    Tick(0.1);
    const float turn = TurnAboutUp(door.GetLeaf1()->GetRotation());
    EXPECT_EQ(turn > 0, side > 0);
    door.Delete(false);
    opener.Delete(false);
  }
}

TEST_F(DoorTest, ADoorwayOpensAndClosesWithItsDoor) {
  auto& doorway = static_cast<Space&>(Placed(*cell, kClassSpace, "Doorway", {}));
  doorway.SetSpaceFlag(kSpaceConnection, true);
  doorway.SetSpaceFlag(kSpaceConnectionOpen, true);
  LoggedDoor& door = MakeDoor(doorway, 1);
  door.Precalculate();
  EXPECT_EQ(door.IsInConnectionSpace(), 1);
  EXPECT_TRUE(door.GetDoorFlags() & kDoorNoAutoCloseOnCollision);
  EXPECT_FALSE(doorway.IsConnectionOpen());
  door.Open(nullptr);
  EXPECT_TRUE(doorway.IsConnectionOpen());
  Run(1.1);
  door.Close();
  EXPECT_TRUE(doorway.IsConnectionOpen());
  Run(0.6);
  EXPECT_FALSE(doorway.IsConnectionOpen());

  LoggedDoor& outside = MakeDoor(*cell, 1);
  outside.Precalculate();
  EXPECT_EQ(outside.IsInConnectionSpace(), 0);
}

// A door saved open with its leaves one full opening from where they stood
// closed: the loaded door closes them back there.
TEST_F(DoorTest, ADoorLoadedOpenClosesToItsClosedPlacement) {
  Quaternion start;
  QuaternionFromAxisAngle(start, {1, 0, 0}, 0.3f);
  const Vector3 at{1, 0, 0};
  struct Case {
    std::int32_t type;
    float turn;   // Door1's opening turn about the up axis; Door2 the other way
    float slide;  // Door1's opening slide up; Door2 down
  };
  for (const Case& c : {Case{1, kQuarter, 0}, Case{3, kQuarter, 0}, Case{4, 0, 2}}) {
    SCOPED_TRACE(c.type);
    LoggedDoor& source = MakeDoor(*cell, c.type);
    source.Precalculate();
    source.Open(nullptr);
    Run(1.1);
    ASSERT_EQ(source.GetState(), DoorState::kOpen);
    const std::vector<std::uint8_t> saved = SaveRecord(source);
    std::unique_ptr<Door> record = LoadRecord<Door>(kClassDoor, saved);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(SaveRecord(*record), saved);
    auto& loaded = static_cast<Door&>(*cell->AddChild(std::move(record)));
    loaded.SetWorld(world);
    float sign = 1;
    for (const char* name : {"Door1", "Door2"}) {
      if (source.FindChildByName(name) == nullptr) continue;
      Object& leaf = *CreateObject(kClassMesh, nullptr, loaded, name);
      leaf.SetInheritOrientation(false);
      Quaternion turn, open;
      QuaternionFromAxisAngle(turn, {0, 1, 0}, sign * c.turn);
      leaf.SetRotation(QuaternionMultiply(open, start, turn), true);
      leaf.SetPosition({at.x, at.y + sign * c.slide, at.z}, true);
      sign = -1;
    }
    loaded.Precalculate();
    ASSERT_EQ(loaded.GetState(), DoorState::kOpen);
    loaded.Close();
    Run(0.6);
    ASSERT_EQ(loaded.GetState(), DoorState::kClosed);
    for (const char* name : {"Door1", "Door2"}) {
      Object* leaf = loaded.FindChildByName(name);
      if (leaf == nullptr) continue;
      ExpectSameRotation(leaf->GetRotation(), start);
      ExpectNear(leaf->GetPosition(), at);
    }
    source.Delete(false);
    loaded.Delete(false);
  }
}

TEST_F(DoorTest, TheSpeakerIsTheSoundNamedDoorSpeaker) {
  auto* door = static_cast<Door*>(CreateObject(kClassDoor, nullptr, *cell, "Door"));
  Object& holder = *CreateObject(kClassObject, nullptr, *door, "Holder");
  CreateObject(kClassMesh, nullptr, holder, "DoorSpeaker");
  door->Precalculate();
  EXPECT_EQ(door->GetSpeaker(), nullptr);
  door->Open(nullptr);  // plays nothing

  auto* sound = static_cast<Sound*>(CreateObject(kClassSound, nullptr, *door, "DoorSpeaker"));
  door->Precalculate();
  EXPECT_EQ(door->GetSpeaker(), sound);
}

TEST_F(DoorTest, ADeletedGrandchildLeafIsForgotten) {
  LoggedDoor& door = MakeDoor(*cell, 1);
  door.FindChildByName("Door1")->SetName("Old");
  Object& holder = *CreateObject(kClassObject, nullptr, door, "Holder");
  Object& leaf = *CreateObject(kClassMesh, nullptr, holder, "Door1");
  leaf.SetInheritOrientation(false);
  door.Precalculate();
  ASSERT_EQ(door.GetLeaf1(), &leaf);
  leaf.Delete(false);
  EXPECT_EQ(door.GetLeaf1(), nullptr);
  door.Open(nullptr);
  Run(1.1);
  door.Close();
  Run(0.6);
  EXPECT_EQ(door.GetState(), DoorState::kClosed);

  Object* speaker = door.FindChildByName("DoorSpeaker");
  speaker->Delete(false);
  EXPECT_EQ(door.GetSpeaker(), nullptr);
}

TEST_F(DoorTest, SetTypeTwiceLinksTheNewestChildren) {
  LoggedDoor& door = MakeDoor(*cell, 3);
  Object* first = door.GetLeaf1();
  door.SetType(3);
  EXPECT_EQ(door.GetChildCount(), 8);
  EXPECT_NE(door.GetLeaf1(), first);
  EXPECT_EQ(door.GetLeaf1(), door.GetChild(5));
}

TEST_F(DoorTest, SaveLoadSaveGivesIdenticalBytes) {
  LoggedDoor& door = MakeDoor(*cell, 4);
  std::int32_t on = 1;
  door.ExecuteCommand(9258, &on);
  std::int32_t group = 7;
  door.ExecuteCommand(9268, &group);
  Vector3 axis{1, 0, 0};
  door.ExecuteCommand(9274, &axis);
  const std::vector<std::uint8_t> first = SaveRecord(door);
  const std::unique_ptr<Door> copy = LoadRecord<Door>(kClassDoor, first);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(SaveRecord(*copy), first);
}

}  // namespace
}  // namespace tge::test
