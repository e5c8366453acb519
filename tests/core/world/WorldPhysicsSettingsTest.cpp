#include <gtest/gtest.h>

#include "core/files/SerializeStream.h"
#include "tests/core/world/WorldTestUtil.h"

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

// Worlds written before ERP and CFM were stored run with quick steps and
// the default ERP and CFM, whatever the World held.
TEST_F(WorldPhysicsSettingsTest, OldFilesGetQuickStepAndDefaultErpAndCfm) {
  struct Case {
    int version;
    float erp;
    std::uint32_t quick;
  };
  for (const Case& c : {Case{35, 0.2f, 1}, Case{36, 0.7f, 0}}) {
    World saved;
    float erp = 0.7f;
    saved.ExecuteCommand(14254, &erp);
    std::uint32_t off = 0;
    saved.ExecuteCommand(14258, &off);
    float gravity[3] = {0, -3, 0};
    saved.ExecuteCommand(14252, gravity);
    std::vector<std::uint8_t> bytes(4096);
    SerializeStream out;
    ASSERT_TRUE(out.OpenMemoryBuffer(bytes.size(), "wb", bytes.data()));
    out.SetVersion(c.version);
    ASSERT_TRUE(saved.Serialize(out));
    bytes.resize(static_cast<std::size_t>(out.Tell()));
    out.Close();

    World loaded;
    float other = 0.9f;
    loaded.ExecuteCommand(14254, &other);
    SerializeStream in;
    ASSERT_TRUE(in.OpenMemoryBuffer(bytes.size(), "rb", bytes.data()));
    in.SetVersion(c.version);
    ASSERT_TRUE(loaded.Serialize(in)) << c.version;
    EXPECT_FLOAT_EQ(loaded.GetPhysicsSettings().erp, c.erp) << c.version;
    EXPECT_EQ((loaded.GetPhysicsSettings().flags & kWorldQuickStep) != 0, c.quick != 0) << c.version;
    EXPECT_FLOAT_EQ(loaded.GetPhysicsSettings().gravity.y, -3.0f);
  }
}

}  // namespace
}  // namespace tge::test
