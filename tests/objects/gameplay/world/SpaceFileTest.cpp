#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/files/SerializeStream.h"
#include "objects/gameplay/world/Space.h"

namespace tge::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kSavedFlags = kSpaceCollision | kSpacePortal | kSpaceReserved | kSpaceExterior;

Bytes Save(Space& space, int version) {
  Bytes bytes(4096);
  SerializeStream stream;
  EXPECT_TRUE(stream.OpenMemoryBuffer(bytes.size(), "wb", bytes.data()));
  stream.SetVersion(version);
  EXPECT_TRUE(space.Serialize(stream));
  bytes.resize(static_cast<std::size_t>(stream.Tell()));
  return bytes;
}

// Loads the whole record: false when it fails or leaves bytes unread.
bool Load(Space& space, Bytes bytes, int version) {
  SerializeStream stream;
  if (!stream.OpenMemoryBuffer(bytes.size(), "rb", bytes.data())) return false;
  stream.SetVersion(version);
  return space.Serialize(stream) && stream.Tell() == static_cast<std::int64_t>(bytes.size());
}

// The sub box at index, read through the commands.
AABox SubBox(Space& space, std::int32_t index) {
  space.ExecuteCommand(2006, &index);
  AABox box;
  space.ExecuteCommand(2009, &box.min);
  space.ExecuteCommand(2011, &box.max);
  return box;
}

std::size_t SubBoxCount(Space& space) {
  std::vector<std::string> names;
  space.ExecuteCommand(2007, &names);
  return names.size();
}

// A Space with every saved field away from its default.
class SpaceFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (std::uint32_t bit = 1; bit <= kSpaceExterior; bit <<= 1) saved.SetSpaceFlag(bit, (kSavedFlags & bit) != 0);
    saved.SetLocalBox({{-2, -3, -4}, {5, 6, 7}});
    for (float at : {1.0f, 2.0f}) {
      saved.ExecuteCommand(2004, nullptr);
      Vector3 min{at, -at, 0};
      Vector3 max{at + 1, 0, at};
      saved.ExecuteCommand(2008, &min);
      saved.ExecuteCommand(2010, &max);
    }
    saved.AddCollisionEntry("Wall");
    saved.AddCollisionEntry("Floor");
    saved.AddMeshEntry("Lamp");
  }

  Space saved;
};

// Sub boxes came with version 35, the entry lists with 37 and three
// reserved words per collision entry with 65.
TEST_F(SpaceFileTest, OlderRecordsLoadTheFieldsTheirVersionHeld) {
  struct Case {
    int version;
    bool box;
    bool subBoxes;
    bool entries;
  };
  const Case cases[] = {
      {0, false, false, false}, {34, true, false, false},
      {35, true, true, false},  {36, true, true, false},
      {37, true, true, true},   {64, true, true, true},
      {65, true, true, true},   {SerializeStream::kLatestVersion, true, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    Space loaded;
    ASSERT_TRUE(Load(loaded, Save(saved, c.version), c.version));
    EXPECT_EQ(loaded.GetSpaceFlags(), c.box ? kSavedFlags : kSpaceCollision);
    EXPECT_EQ(loaded.GetLocalBox().min.y, c.box ? -3 : -1);
    EXPECT_EQ(loaded.GetLocalBox().max.z, c.box ? 7 : 1);
    ASSERT_EQ(SubBoxCount(loaded), c.subBoxes ? 2u : 0u);
    if (c.subBoxes) {
      EXPECT_EQ(SubBox(loaded, 1).min.y, -2);
      EXPECT_EQ(SubBox(loaded, 1).max.x, 3);
      EXPECT_EQ(SubBox(loaded, 0).max.z, 1);
    }
    ASSERT_EQ(loaded.GetCollisionCount(), c.entries ? 2 : 0);
    ASSERT_EQ(loaded.GetMeshCount(), c.entries ? 1 : 0);
    if (c.entries) {
      EXPECT_EQ(loaded.GetCollisionEntry(1)->name, "Floor");
      EXPECT_EQ(loaded.GetMeshEntry(0)->name, "Lamp");
      EXPECT_FALSE(loaded.GetCollisionEntry(0)->resource);
    }
  }
  EXPECT_EQ(Save(saved, 65).size(), Save(saved, 64).size() + 2 * 3 * 4);
}

TEST_F(SpaceFileTest, SavingWhatWasLoadedGivesTheSameBytes) {
  const int version = SerializeStream::kLatestVersion;
  const Bytes first = Save(saved, version);
  Space once;
  ASSERT_TRUE(Load(once, first, version));
  const Bytes second = Save(once, version);
  Space twice;
  ASSERT_TRUE(Load(twice, second, version));
  EXPECT_EQ(second, first);
  EXPECT_EQ(Save(twice, version), second);
}

// A count the rest of the record cannot hold fails the load, whichever
// list it belongs to.
TEST_F(SpaceFileTest, ATruncatedRecordFailsToLoad) {
  const Bytes whole = Save(saved, SerializeStream::kLatestVersion);
  const std::size_t meshName = 4 + 4;  // the mesh entry's name length and text
  for (std::size_t cut : {std::size_t{1}, meshName, meshName + 1, whole.size() / 2}) {
    Space loaded;
    EXPECT_FALSE(Load(loaded, Bytes(whole.begin(), whole.end() - static_cast<std::ptrdiff_t>(cut)),
                      SerializeStream::kLatestVersion))
        << cut;
  }
}

}  // namespace
}  // namespace tge::test
