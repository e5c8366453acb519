// SpawnPoint: the weighted choice and its limits, the probability, spawning
// on ActionStart, placement in the Space or under the spawn point, in a box
// or at a child, the events and their senders, the extern list, a spawn
// point in no Space, and its file record.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <numbers>
#include <vector>

#include "core/CommandRegistry.h"
#include "core/files/SerializeStream.h"
#include "core/math/Quaternion.h"
#include "core/math/Random.h"
#include "core/script/ScriptInterpreter.h"
#include "objects/gameplay/characters/SpawnPoint.h"
#include "tests/engine/WorldTestScene.h"
#include "tests/support/ObjectRecordBytes.h"

namespace tge::test {
namespace {

constexpr std::uint32_t kMaxSpawnCount = 3750, kCurrentSpawnCount = 3752, kUseSpawnBox = 3756, kSpawnBox = 3758,
                        kUseExtern = 3760, kExtern = 3762, kUseChildren = 3764, kSpawnInSpace = 3768,
                        kProbability = 3772, kAddObject = 3774, kSelect = 3776, kPath = 3778, kWeight = 3780,
                        kEntryMax = 3782, kSpawnObject = 3784;

class SpawnPointTest : public WorldTestScene {
 protected:
  SpawnPoint& AddSpawnPoint(Object& parent, const std::string& name, const Vector3& at = {}) {
    auto& point = static_cast<SpawnPoint&>(Placed(parent, kClassSpawnPoint, name, at));
    point.SetActive(true);
    return point;
  }

  // A template kept inactive under the cell.
  Object& AddTemplate(const std::string& name, int classId = kClassObject) {
    Object& made = Placed(*cell, classId, name, {});
    made.SetActive(false);
    return made;
  }

  static void AddEntry(SpawnPoint& point, const std::string& path, std::uint32_t weight, std::uint32_t max) {
    Send(point, kAddObject);
    const auto index = static_cast<std::int32_t>(point.GetEntries().size()) - 1;
    Send(point, kSelect, index);
    std::string text = path;
    point.ExecuteCommand(kPath, &text);
    Send(point, kWeight, weight);
    Send(point, kEntryMax, max);
  }

  template <class T>
  static void Send(Object& object, std::uint32_t id, T value) {
    object.ExecuteCommand(id, &value);
  }
  static void Send(Object& object, std::uint32_t id) { object.ExecuteCommand(id, nullptr); }

  static void AddEventScript(Object& object, const std::string& event, const std::string& text) {
    object.SetUseScript(true);
    object.GetScripts()->push_back({event, text, FindCommandId(&object, event), 0});
  }

  // How many children of parent carry each name.
  static std::map<std::string, int> CountByName(const Object& parent) {
    std::map<std::string, int> counts;
    for (int i = 0; i < parent.GetChildCount(); ++i) ++counts[parent.GetChild(i)->GetName()];
    return counts;
  }
};

TEST_F(SpawnPointTest, WeightsLimitsAndTheProbabilityDecideWhatSpawns) {
  Object& a = AddTemplate("A");
  AddTemplate("B");
  SpawnPoint& point = AddSpawnPoint(*cell, "Point");
  Send(point, kMaxSpawnCount, 1000);
  AddEntry(point, "parent/A", 3, 1000);
  AddEntry(point, "parent/B", 1, 1000);
  SeedRand(11);
  for (int i = 0; i < 400; ++i) EXPECT_EQ(point.SpawnObject(), 1);
  const std::map<std::string, int> counts = CountByName(point);
  EXPECT_NEAR(counts.at("A"), 300, 30);
  EXPECT_EQ(counts.at("A") + counts.at("B"), 400);
  EXPECT_EQ(point.GetEntries()[0].spawnCount, static_cast<std::uint32_t>(counts.at("A")));
  EXPECT_TRUE(point.GetChild(0)->GetActive());
  EXPECT_FALSE(a.GetActive());

  SpawnPoint& limited = AddSpawnPoint(*cell, "Limited");
  Send(limited, kMaxSpawnCount, 10);
  AddEntry(limited, "parent/A", 5, 1);
  AddEntry(limited, "parent/B", 1, 2);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(limited.SpawnObject(), 1);
  EXPECT_EQ(limited.SpawnObject(), 0);
  EXPECT_EQ(limited.GetCurrentSpawnCount(), 3);
  EXPECT_EQ(CountByName(limited), (std::map<std::string, int>{{"A", 1}, {"B", 2}}));

  SpawnPoint& never = AddSpawnPoint(*cell, "Never");
  Send(never, kMaxSpawnCount, 100);
  AddEntry(never, "parent/A", 1, 100);
  Send(never, kProbability, 0u);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(never.SpawnObject(), 0);

  SpawnPoint& unnamed = AddSpawnPoint(*cell, "Unnamed");
  AddEntry(unnamed, "parent/Nothing", 1, 1);
  EXPECT_EQ(unnamed.SpawnObject(), 0);
  EXPECT_EQ(unnamed.GetCurrentSpawnCount(), 0);
}

TEST_F(SpawnPointTest, TheCumulativePickGivesTheEntryOfTheExpandedList) {
  const std::vector<std::uint32_t> weights = {2, 0, 3, 1, 4};
  std::vector<std::string> expanded;
  SpawnPoint& point = AddSpawnPoint(*cell, "Point");
  Send(point, kMaxSpawnCount, 1000);
  for (std::size_t i = 0; i < weights.size(); ++i) {
    const std::string name = "T" + std::to_string(i);
    AddTemplate(name);
    AddEntry(point, "parent/" + name, weights[i], 1000);
    expanded.insert(expanded.end(), weights[i], name);
  }
  SeedRand(5);
  std::vector<std::string> expected;
  for (int i = 0; i < 60; ++i) expected.push_back(expanded[static_cast<std::size_t>(Rand()) % expanded.size()]);
  SeedRand(5);
  for (int i = 0; i < 60; ++i) point.SpawnObject();
  ASSERT_EQ(point.GetChildCount(), 60);
  for (int i = 0; i < 60; ++i) EXPECT_EQ(point.GetChild(i)->GetName(), expected[static_cast<std::size_t>(i)]) << i;

  SpawnPoint& heavy = AddSpawnPoint(*cell, "Heavy");
  AddEntry(heavy, "parent/T0", 4000000000u, 1);
  AddEntry(heavy, "parent/T2", 4000000000u, 1);
  Send(heavy, kMaxSpawnCount, 2);
  EXPECT_EQ(heavy.SpawnObject(), 1);
  EXPECT_EQ(heavy.SpawnObject(), 1);
  EXPECT_EQ(CountByName(heavy), (std::map<std::string, int>{{"T0", 1}, {"T2", 1}}));
}

TEST_F(SpawnPointTest, ActionStartSpawnsOnceUntilTheCountIsResetAndAnInactivePointDoesNothing) {
  AddTemplate("A");
  SpawnPoint& point = AddSpawnPoint(*cell, "Point");
  AddEntry(point, "parent/A", 1, 5);
  AddEventScript(point, "ActionStart", "this.SetPositionY(3);");
  point.SetActive(false);
  point.Start();
  EXPECT_EQ(point.GetChildCount(), 0);
  EXPECT_EQ(point.GetPosition().y, 0);
  point.Stop();
  point.SetActive(true);
  point.Start();
  EXPECT_EQ(point.GetChildCount(), 1);
  EXPECT_EQ(point.GetPosition().y, 3);
  point.Stop();
  point.Start();
  EXPECT_EQ(point.GetChildCount(), 1);
  Send(point, kCurrentSpawnCount, 0);
  RunScriptText(point, "this.SpawnObject();", nullptr);
  EXPECT_EQ(point.GetChildCount(), 2);
}

TEST_F(SpawnPointTest, CharactersJoinTheSpaceAtTheSpawnBoxInTheSpawnPointsOwnAxes) {
  AddTemplate("Prop", kClassSimObject);
  SpawnPoint& point = AddSpawnPoint(*cell, "Point", {10, 0, 0});
  Quaternion quarter;
  point.SetRotation(QuaternionFromAxisAngle(quarter, {0, 1, 0}, std::numbers::pi_v<float> / 2), false);
  Send(point, kMaxSpawnCount, 200);
  AddEntry(point, "parent/Prop", 1, 200);
  Send(point, kUseSpawnBox, 1);
  Send(point, kSpawnBox, Vector3{4, 0, 2});
  const int before = cell->GetChildCount();
  float maxX = 0, maxZ = 0;
  for (int i = 0; i < 200; ++i) {
    ASSERT_EQ(point.SpawnObject(), 1);
    Object& clone = *cell->GetChild(cell->GetChildCount() - 1);
    const Vector3 at = clone.GetPositionWS();
    maxX = std::max(maxX, std::abs(at.x - 10));
    maxZ = std::max(maxZ, std::abs(at.z));
  }
  EXPECT_EQ(cell->GetChildCount(), before + 200);
  EXPECT_EQ(point.GetChildCount(), 0);
  EXPECT_LE(maxX, 1.0f + 1e-4f);
  EXPECT_GT(maxX, 0.8f);
  EXPECT_LE(maxZ, 2.0f + 1e-4f);
  EXPECT_GT(maxZ, 1.6f);
}

TEST_F(SpawnPointTest, ChildrenServeAsPlacesAndASplineChildGivesAPointAlongIt) {
  AddTemplate("A");
  SpawnPoint& point = AddSpawnPoint(*cell, "Point");
  Send(point, kMaxSpawnCount, 20);
  AddEntry(point, "parent/A", 1, 20);
  Send(point, kSpawnInSpace, 1);
  Send(point, kUseChildren, 1);
  Object& spline = Placed(point, kClassSpline, "Track", {});
  RunScriptText(spline, "this.AddSplinePoint(); this.AddSplinePoint(); this.SetSplinePointList(1); "
                        "this.SetSplinePoint(4, 0, 0);", nullptr);
  spline.Precalculate();
  for (int i = 0; i < 20; ++i) {
    ASSERT_EQ(point.SpawnObject(), 1);
    const Vector3 at = cell->GetChild(cell->GetChildCount() - 1)->GetPositionWS();
    EXPECT_GE(at.x, -1e-4f);
    EXPECT_LE(at.x, 4.0f + 1e-4f);
    EXPECT_NEAR(at.z, 0, 1e-4f);
  }
}

TEST_F(SpawnPointTest, TheEventsCarryTheCloneAndTheSpawnPointAsSenders) {
  Object& a = AddTemplate("A");
  AddEventScript(a, "OnSpawn", "local.SetPositionY(7);");
  SpawnPoint& point = AddSpawnPoint(*cell, "Point");
  AddEventScript(point, "OnSpawnObject", "local.SetName(Spawned);");
  AddEntry(point, "parent/A", 1, 1);
  ASSERT_EQ(point.SpawnObject(), 1);
  EXPECT_EQ(point.GetChild(0)->GetName(), "Spawned");
  EXPECT_FLOAT_EQ(point.GetPosition().y, 7);
}

TEST_F(SpawnPointTest, AnExternListIsBorrowedWithItsLimitsAndCounts) {
  AddTemplate("A");
  SpawnPoint& source = AddSpawnPoint(*cell, "Source");
  AddEntry(source, "parent/A", 1, 1);
  SpawnPoint& point = AddSpawnPoint(*cell, "Point");
  Send(point, kMaxSpawnCount, 5);
  Send(point, kUseExtern, 1);
  std::string path = "parent/Source";
  point.ExecuteCommand(kExtern, &path);
  EXPECT_EQ(point.SpawnObject(), 1);
  EXPECT_EQ(point.SpawnObject(), 0);
  EXPECT_EQ(source.GetCurrentSpawnCount(), 1);
  EXPECT_EQ(point.GetCurrentSpawnCount(), 1);
  EXPECT_EQ(point.GetChildCount(), 1);
  path = "parent/A";  // not a spawn point
  point.ExecuteCommand(kExtern, &path);
  EXPECT_EQ(point.SpawnObject(), 0);
}

TEST_F(SpawnPointTest, APointInNoSpaceSpawnsNoCharacterAndCountsNothing) {
  AddTemplate("Walker", kClassAIPlayer);
  AddTemplate("A");
  SpawnPoint& point = static_cast<SpawnPoint&>(*CreateObject(kClassSpawnPoint, nullptr, *engine, "Adrift"));
  Send(point, kMaxSpawnCount, 5);
  AddEntry(point, "/Cell/Walker", 1, 5);
  EXPECT_EQ(point.SpawnObject(), 0);
  EXPECT_EQ(point.GetCurrentSpawnCount(), 0);
  EXPECT_EQ(point.GetEntries()[0].spawnCount, 0u);
  AddEntry(point, "/Cell/A", 1, 5);
  Send(point, kSelect, 0);
  Send(point, kWeight, 0u);
  EXPECT_EQ(point.SpawnObject(), 1);
  EXPECT_EQ(point.GetChildCount(), 1);
}

TEST_F(SpawnPointTest, RecordSavesLoadsAndSavesTheSameBytesAndRefusesAHugeEntryCount) {
  SpawnPoint& point = AddSpawnPoint(*engine, "Point");
  AddEntry(point, "parent/A", 7, 3);
  AddEntry(point, "", 1, 1);
  Send(point, kProbability, 40u);
  Send(point, kSpawnBox, Vector3{1, 2, 3});
  std::vector<std::uint8_t> first = SaveRecord(point, SerializeStream::kLatestVersion);
  std::unique_ptr<SpawnPoint> loaded = LoadRecord<SpawnPoint>(kClassSpawnPoint, first, SerializeStream::kLatestVersion);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(SaveRecord(*loaded, SerializeStream::kLatestVersion), first);
  ASSERT_EQ(loaded->GetEntries().size(), 2u);
  EXPECT_EQ(loaded->GetEntries()[1].path, "");

  std::vector<std::uint8_t> huge = first;
  const std::size_t countAt = huge.size() - (4 + 8 + 8) - (4 + 8) - 4;
  const std::uint32_t count = 0x40000000;
  std::memcpy(huge.data() + countAt, &count, 4);
  EXPECT_EQ(LoadRecord<SpawnPoint>(kClassSpawnPoint, huge, SerializeStream::kLatestVersion), nullptr);
}

}  // namespace
}  // namespace tge::test
