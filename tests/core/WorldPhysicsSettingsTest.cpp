#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/files/SerializeStream.h"
#include "tests/core/WorldTestUtil.h"

namespace tge::test {
namespace {

class WorldPhysicsSettingsTest : public WorldTest {};

TEST_F(WorldPhysicsSettingsTest, PropertiesStoreAndReadBackWithoutAPhysicsWorld) {
  float cfm = 1.0f;
  world->ExecuteCommand(14256, &cfm);
  float read = 0;
  world->ExecuteCommand(14257, &read);
  EXPECT_FLOAT_EQ(read, 1.0f);

  std::uint32_t quick = 6;  // only bit 0 counts
  world->ExecuteCommand(14258, &quick);
  std::uint32_t flag = 9;
  world->ExecuteCommand(14259, &flag);
  EXPECT_EQ(flag, 0u);

  std::int32_t on = 1;
  world->ExecuteCommand(14250, &on);
  std::int32_t enabled = 0;
  world->ExecuteCommand(14251, &enabled);
  EXPECT_EQ(enabled, 1);
  EXPECT_EQ(world->GetPhysicsSettings().flags, kWorldEnablePhysics);
  EXPECT_EQ(world->GetPhysicsWorld(), nullptr);

  Vector3 gravity{0, -1, 0};
  world->ExecuteCommand(14252, &gravity);
  Vector3 out;
  EXPECT_FLOAT_EQ(world->GetPhysicsGravity(out).y, -1.0f);
  // A getter sent without a block does nothing.
  EXPECT_EQ(world->ExecuteCommand(14253, nullptr), 1);
}

TEST_F(WorldPhysicsSettingsTest, SettingBlurStopsARunningAnimation) {
  const float animate[3] = {0, 1, 2};
  world->ExecuteCommand(14278, const_cast<float*>(animate));
  Tick(0.05);
  Tick(0.5);
  EXPECT_GT(world->GetBlurAmount(), 0.0f);
  float half = 0.5f;
  world->ExecuteCommand(14274, &half);
  Tick(0.05);
  Tick(0.5);
  EXPECT_FLOAT_EQ(world->GetBlurAmount(), 0.5f);
  EXPECT_FLOAT_EQ(world->GetBloomAmount(), 0.0f);
}

using Bytes = std::vector<std::uint8_t>;

Bytes Save(World& world, int version) {
  Bytes bytes(4096);
  SerializeStream stream;
  EXPECT_TRUE(stream.OpenMemoryBuffer(bytes.size(), "wb", bytes.data()));
  stream.SetVersion(version);
  EXPECT_TRUE(world.Serialize(stream));
  bytes.resize(static_cast<std::size_t>(stream.Tell()));
  return bytes;
}

// Loads the whole record: false when it fails or leaves bytes unread.
bool Load(World& world, Bytes bytes, int version) {
  SerializeStream stream;
  if (!stream.OpenMemoryBuffer(bytes.size(), "rb", bytes.data())) return false;
  stream.SetVersion(version);
  return world.Serialize(stream) && stream.Tell() == static_cast<std::int64_t>(bytes.size());
}

// Every saved setting away from its default; quick steps off.
void SetSavedSettings(World& world) {
  float erp = 0.7f;
  world.ExecuteCommand(14254, &erp);
  float cfm = 3.0f;
  world.ExecuteCommand(14256, &cfm);
  std::uint32_t off = 0;
  world.ExecuteCommand(14258, &off);
  Vector3 gravity{0, -3, 0};
  world.ExecuteCommand(14252, &gravity);
  float angular = 6.0f;
  world.ExecuteCommand(14268, &angular);
  float timeMul = 0.5f;
  world.ExecuteCommand(14270, &timeMul);
}

// The physics settings came with version 1, ERP and CFM with 36. Worlds
// written before ERP and CFM were stored run with quick steps and the
// default ERP and CFM, whatever the World held.
TEST_F(WorldPhysicsSettingsTest, OlderFilesLoadTheSettingsTheirVersionHeld) {
  struct Case {
    int version;
    bool settings;
    bool erpAndCfm;
  };
  const Case cases[] = {
      {0, false, false}, {1, true, false}, {33, true, false}, {34, true, false},
      {35, true, false}, {36, true, true}, {64, true, true},  {SerializeStream::kLatestVersion, true, true},
  };
  World saved;
  SetSavedSettings(saved);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    World loaded;
    float erp = 0.9f;
    loaded.ExecuteCommand(14254, &erp);
    float cfm = 4.0f;
    loaded.ExecuteCommand(14256, &cfm);
    Vector3 gravity{0, -5, 0};
    loaded.ExecuteCommand(14252, &gravity);
    ASSERT_TRUE(Load(loaded, Save(saved, c.version), c.version));
    const WorldPhysicsSettings& settings = loaded.GetPhysicsSettings();
    EXPECT_FLOAT_EQ(settings.erp, c.erpAndCfm ? 0.7f : 0.2f);
    EXPECT_FLOAT_EQ(settings.cfm, c.erpAndCfm ? 3.0f : 1.0f);
    EXPECT_EQ((settings.flags & kWorldQuickStep) != 0, !c.erpAndCfm);
    EXPECT_FLOAT_EQ(settings.gravity.y, c.settings ? -3.0f : -5.0f);
    EXPECT_FLOAT_EQ(settings.maxAngularVelocity, c.settings ? 6.0f : 4.0f);
    EXPECT_FLOAT_EQ(loaded.GetTimeMul(), c.settings ? 0.5f : 1.0f);
  }
}

TEST_F(WorldPhysicsSettingsTest, SavingWhatWasLoadedGivesTheSameBytes) {
  const int version = SerializeStream::kLatestVersion;
  SetSavedSettings(*world);
  std::string name = "level.sac";
  world->ExecuteCommand(2255, &name);
  const Bytes first = Save(*world, version);
  World once;
  ASSERT_TRUE(Load(once, first, version));
  const Bytes second = Save(once, version);
  World twice;
  ASSERT_TRUE(Load(twice, second, version));
  EXPECT_EQ(second, first);
  EXPECT_EQ(Save(twice, version), second);
}

}  // namespace
}  // namespace tge::test
