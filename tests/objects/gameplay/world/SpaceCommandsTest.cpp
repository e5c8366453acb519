#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/objects/gameplay/world/SpaceTestScene.h"

namespace tge::test {
namespace {

constexpr std::uint32_t kAddSubBox = 2004;
constexpr std::uint32_t kDeleteSubBox = 2005;
constexpr std::uint32_t kSetSubBox = 2006;
constexpr std::uint32_t kGetSubBoxList = 2007;
constexpr std::uint32_t kSetSubBoxMin = 2008;
constexpr std::uint32_t kGetSubBoxMin = 2009;
constexpr std::uint32_t kSetSubBoxMax = 2010;

// The command ids of one entry list.
struct EntryList {
  const char* name;
  std::uint32_t add;
  std::uint32_t remove;
  std::uint32_t select;
  std::uint32_t names;
};
constexpr EntryList kEntryLists[] = {
    {"collision", 2030, 2031, 2032, 2033},
    {"mesh", 2034, 2035, 2036, 2037},
};

void Send(Space& space, std::uint32_t id) { space.ExecuteCommand(id, nullptr); }

void Send(Space& space, std::uint32_t id, std::int32_t value) { space.ExecuteCommand(id, &value); }

void Send(Space& space, std::uint32_t id, std::string text) { space.ExecuteCommand(id, &text); }

// What a list command appends to a list that already holds an entry, with
// that entry left out.
std::vector<std::string> Names(Space& space, std::uint32_t id) {
  std::vector<std::string> names{"before"};
  space.ExecuteCommand(id, &names);
  EXPECT_EQ(names.front(), "before");
  return {names.begin() + 1, names.end()};
}

using Strings = std::vector<std::string>;

class SpaceCommandsTest : public SpaceScene {};

TEST_F(SpaceCommandsTest, ANewSpaceCollidesInTheUnitBoxWithNoSubBoxes) {
  Space space;
  std::int32_t flag = -1;
  space.ExecuteCommand(2013, &flag);
  EXPECT_EQ(flag, 1);
  for (std::uint32_t getter = 2015; getter <= 2029; getter += 2) {
    space.ExecuteCommand(getter, &flag);
    EXPECT_EQ(flag, 0) << getter;
  }
  Vector3 min, max;
  space.ExecuteCommand(2001, &min);
  space.ExecuteCommand(2003, &max);
  EXPECT_EQ(min.x, -1);
  EXPECT_EQ(min.z, -1);
  EXPECT_EQ(max.y, 1);
  EXPECT_TRUE(Names(space, kGetSubBoxList).empty());
  EXPECT_TRUE(Names(space, 2033).empty());
  EXPECT_TRUE(Names(space, 2037).empty());
}

// Adding selects the new box; deleting drops the selected one and selects
// none, so a second delete does nothing. An index past the end or -1
// addresses nothing: its corners are neither set nor read.
TEST_F(SpaceCommandsTest, SubBoxesAreAddedSelectedAndDeletedByIndex) {
  Space& space = AddSpace("Room", {10, 0, 0}, Cube(5));
  Send(space, kAddSubBox);
  Vector3 corner{2, 3, 4};
  space.ExecuteCommand(kSetSubBoxMax, &corner);
  Send(space, kAddSubBox);
  EXPECT_EQ(Names(space, kGetSubBoxList), (Strings{"Sub Box 1", "Sub Box 2"}));
  Vector3 read{9, 9, 9};
  space.ExecuteCommand(kGetSubBoxMin, &read);
  EXPECT_EQ(read.x, -1) << "a new sub box is the unit box";

  Send(space, kDeleteSubBox);
  EXPECT_EQ(Names(space, kGetSubBoxList), (Strings{"Sub Box 1"}));
  Send(space, kDeleteSubBox);
  EXPECT_EQ(Names(space, kGetSubBoxList).size(), 1u);

  for (std::int32_t nothing : {-1, 1, 7}) {
    Send(space, kSetSubBox, nothing);
    Vector3 ignored{5, 5, 5};
    space.ExecuteCommand(kSetSubBoxMin, &ignored);
    Vector3 untouched{8, 8, 8};
    space.ExecuteCommand(kGetSubBoxMin, &untouched);
    EXPECT_EQ(untouched.x, 8) << nothing;
    Send(space, kDeleteSubBox);
    EXPECT_EQ(Names(space, kGetSubBoxList).size(), 1u) << nothing;
  }

  // The box that stayed is the first, with the corner set on it, and it is
  // moved with the Space at start.
  Start();
  ASSERT_EQ(space.GetWorldSubBoxes().size(), 1u);
  EXPECT_EQ(space.GetWorldSubBoxes()[0].min.x, 9);
  EXPECT_EQ(space.GetWorldSubBoxes()[0].max.x, 12);
  EXPECT_EQ(space.GetWorldSubBoxes()[0].max.z, 4);
  Send(space, kSetSubBox, 0);
  Send(space, kDeleteSubBox);
  EXPECT_TRUE(Names(space, kGetSubBoxList).empty());
}

TEST_F(SpaceCommandsTest, AnEntryNameIsListedOnce) {
  for (const EntryList& list : kEntryLists) {
    SCOPED_TRACE(list.name);
    Space space;
    for (const char* name : {"Wall", "Floor", "Wall", "wall"}) Send(space, list.add, std::string(name));
    EXPECT_EQ(Names(space, list.names), (Strings{"Wall", "Floor", "wall"}));
  }
}

// Adding leaves the selection alone. Deleting one of several entries
// selects the first of those left, deleting the last one selects none.
TEST_F(SpaceCommandsTest, DeletingAnEntrySelectsTheFirstOrNone) {
  for (const EntryList& list : kEntryLists) {
    SCOPED_TRACE(list.name);
    Space space;
    for (const char* name : {"A", "B", "C"}) Send(space, list.add, std::string(name));
    Send(space, list.remove);
    EXPECT_EQ(Names(space, list.names).size(), 3u) << "nothing is selected after adding";
    for (std::int32_t nothing : {-1, 3, 100}) {
      Send(space, list.select, nothing);
      Send(space, list.remove);
      EXPECT_EQ(Names(space, list.names).size(), 3u) << nothing;
    }

    Send(space, list.select, 1);
    Send(space, list.remove);
    EXPECT_EQ(Names(space, list.names), (Strings{"A", "C"}));
    Send(space, list.remove);
    EXPECT_EQ(Names(space, list.names), (Strings{"C"}));
    Send(space, list.remove);
    EXPECT_TRUE(Names(space, list.names).empty());

    Send(space, list.add, std::string("D"));
    Send(space, list.remove);
    EXPECT_EQ(Names(space, list.names), (Strings{"D"})) << "the last delete selected none";
  }
}

// A deleted collision entry takes its geometry out of the cell; the other
// entry still collides.
TEST_F(SpaceCommandsTest, DeletingACollisionEntryRemovesItsGeometry) {
  AddBoxGeometry("Near", {-2, 0, 0}, {1, 4, 1});
  AddBoxGeometry("Far", {2, 0, 0}, {1, 4, 1});
  Space& room = AddSpace("Room", {0, 0, 0}, Cube(5));
  Send(room, 2030, std::string("Near"));
  Send(room, 2030, std::string("Far"));
  Start();
  Object shooter;
  SpaceRayHit hit;
  ASSERT_EQ(room.RayQuery(&shooter, {-4, 1, 0}, {4, 1, 0}, 1, &hit, 0), 1);
  EXPECT_NEAR(hit.position.x, -2.5f, 1e-4);

  Send(room, 2032, 0);
  Send(room, 2031);
  ASSERT_EQ(room.GetCollisionCount(), 1);
  ASSERT_EQ(room.RayQuery(&shooter, {-4, 1, 0}, {4, 1, 0}, 1, &hit, 0), 1);
  EXPECT_NEAR(hit.position.x, 1.5f, 1e-4);
  Send(room, 2031);
  EXPECT_EQ(room.RayQuery(&shooter, {-4, 1, 0}, {4, 1, 0}, 1, &hit, 0), 0);
}

}  // namespace
}  // namespace tge::test
