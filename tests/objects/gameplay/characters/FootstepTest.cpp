#include <gtest/gtest.h>

#include <vector>

#include "core/BaseCommandIds.h"
#include "core/files/SerializeStream.h"
#include "core/trees/ObjectServices.h"
#include "objects/gameplay/characters/Footstep.h"
#include "tests/objects/gameplay/world/SpaceTestScene.h"

namespace tge::test {
namespace {

// Installed services that record the hit effects asked for and give every
// World a frame of 0.1 s.
class SpawnProbe : public ObjectServices {
 public:
  struct Spawn {
    std::uint32_t mask;
    Object* parent;
    Matrix4 placement;
    float value;
  };

  void SpawnGlobalHitEffects(std::uint32_t mask, Object& parent, const Matrix4& placement, const Vector3*,
                             float value) override {
    spawns.push_back({mask, &parent, placement, value});
  }
  float GetFrameTime(const World&) const override { return 0.1f; }
  float GetFrameRate(const World&) const override { return 10.0f; }

  std::vector<Spawn> spawns;
};

class FootstepTest : public SpaceScene {
 protected:
  void SetUp() override {
    SpaceScene::SetUp();
    AddFloorGeometry("Floor", 20);
    ground = &AddSpace("Ground", {0, 0, 0}, Cube(20));
    ground->AddCollisionEntry("Floor");
    Start();
    SetObjectHooks(&probe);
  }
  void TearDown() override {
    SetObjectHooks(nullptr);
    SpaceScene::TearDown();
  }

  Footstep& Make(std::uint32_t rayMask = 1) {
    auto& footstep = static_cast<Footstep&>(*ground->AddChild(std::make_unique<Footstep>()));
    footstep.ExecuteCommand(kCommandInitializeNewObject, nullptr);
    footstep.SetWorld(world.get());
    footstep.SetSpace(ground);
    footstep.ExecuteCommand(9768, &rayMask);
    return footstep;
  }

  // One frame at each x along the ground.
  static void Walk(Footstep& footstep, const std::vector<float>& xs) {
    for (float x : xs) {
      footstep.SetPosition({x, 0.1f, 1}, true);
      footstep.Draw();
    }
  }

  Space* ground = nullptr;
  SpawnProbe probe;
};

TEST_F(FootstepTest, StepsSpawnByTheirSpeed) {
  struct Case {
    const char* what;
    std::vector<float> xs;
    std::size_t spawns;
    float intensity;
  };
  // Frames of 0.1 s: a landing three frames after the last step sits on
  // the interval itself, so the cases keep away from it.
  const Case cases[] = {
      {"slow movement never steps", {0, 0.35f, 0.7f, 1.05f, 1.4f, 1.4f, 1.4f, 1.4f, 1.4f}, 0, 0},
      {"speed 25 gives 1", {0, 2.5f, 5, 5, 5, 5}, 1, 1.0f},
      {"speed 5 is clamped up to 15", {0, 0.5f, 1, 1.5f, 2, 2, 2}, 1, 0.75f},
      {"two landings within 0.3 s give one effect", {0, 2.5f, 2.5f, 5, 5, 5, 5, 5, 5}, 1, 1.0f},
      {"a landing waits for the interval", {0, 2.5f, 2.5f}, 0, 0},
      {"two landings apart give two", {0, 2.5f, 2.5f, 2.5f, 2.5f, 2.5f, 5, 5, 5, 5, 5}, 2, 1.0f},
  };
  for (const Case& c : cases) {
    probe.spawns.clear();
    Footstep& footstep = Make();
    Walk(footstep, c.xs);
    ASSERT_EQ(probe.spawns.size(), c.spawns) << c.what;
    if (c.spawns == 0) continue;
    EXPECT_FLOAT_EQ(probe.spawns.back().value, c.intensity) << c.what;
    EXPECT_EQ(probe.spawns.back().parent, ground) << c.what;
    EXPECT_EQ(footstep.GetPeakSpeed(), 0.0f) << c.what;
  }
}

TEST_F(FootstepTest, TheEffectLiesOnTheGroundUnderTheFoot) {
  Footstep& footstep = Make();
  std::uint32_t effects = 0xFF;
  footstep.ExecuteCommand(9762, &effects);
  SpaceRayHit ground_hit;
  ASSERT_EQ(ground->RayQuery(nullptr, {5, 0.6f, 1}, {5, -0.4f, 1}, 1, &ground_hit, 0), 1);
  Walk(footstep, {0, 2.5f, 5, 5, 5, 5});
  ASSERT_EQ(probe.spawns.size(), 1u);
  const SpawnProbe::Spawn& spawn = probe.spawns[0];
  EXPECT_EQ(spawn.mask, 0xFFu & ground_hit.record->hitEffectMask);
  const float* m = spawn.placement.m;
  EXPECT_NEAR(m[9], 1.0f, 1e-5);  // Z along the ground's normal
  EXPECT_NEAR(m[0], 1.0f, 1e-5);  // X along the foot's own X
  EXPECT_NEAR(m[6], -1.0f, 1e-5);
  EXPECT_NEAR(m[12], 5.0f, 1e-5);
  EXPECT_NEAR(m[13], 0.01f, 1e-5);
}

TEST_F(FootstepTest, WithoutGroundTheStepStaysPending) {
  Footstep& footstep = Make();
  Walk(footstep, {0, 2.5f});
  footstep.SetPosition({5, 3, 1}, true);
  for (int frame = 0; frame < 4; ++frame) footstep.Draw();
  EXPECT_TRUE(probe.spawns.empty());
  EXPECT_GT(footstep.GetPeakSpeed(), 4.0f);
  // Back on the ground, once the fall has stopped.
  Walk(footstep, {5, 5});
  EXPECT_EQ(probe.spawns.size(), 1u);
}

TEST_F(FootstepTest, WithoutARayTheEffectTakesTheFootstepsPlace) {
  Footstep& footstep = Make(0);
  std::uint32_t effects = 6;
  footstep.ExecuteCommand(9762, &effects);
  Walk(footstep, {0, 2.5f, 5, 5, 5, 5});
  ASSERT_EQ(probe.spawns.size(), 1u);
  EXPECT_EQ(probe.spawns[0].mask, 6u);
  EXPECT_FLOAT_EQ(probe.spawns[0].placement.m[12], 5.0f);
  EXPECT_FLOAT_EQ(probe.spawns[0].placement.m[13], 0.1f);
}

TEST_F(FootstepTest, AZeroMaxSpeedGivesFullIntensity) {
  Footstep& footstep = Make();
  float zero = 0;
  footstep.ExecuteCommand(9764, &zero);
  footstep.ExecuteCommand(9766, &zero);
  Walk(footstep, {0, 2.5f, 5, 5, 5, 5});
  ASSERT_EQ(probe.spawns.size(), 1u);
  EXPECT_EQ(probe.spawns[0].value, 1.0f);
}

TEST_F(FootstepTest, ALoadedFootstepAwayFromTheOriginDoesNotStep) {
  Footstep& saved = Make(0);
  float minSpeed = 2;
  saved.ExecuteCommand(9764, &minSpeed);
  std::vector<std::uint8_t> bytes(4096);
  SerializeStream out;
  ASSERT_TRUE(out.OpenMemoryBuffer(bytes.size(), "wb", bytes.data()));
  out.SetVersion(SerializeStream::kLatestVersion);
  ASSERT_TRUE(saved.Serialize(out));
  SerializeStream in;
  ASSERT_TRUE(in.OpenMemoryBuffer(static_cast<std::size_t>(out.Tell()), "rb", bytes.data()));
  in.SetVersion(SerializeStream::kLatestVersion);
  auto& loaded = static_cast<Footstep&>(*ground->AddChild(std::make_unique<Footstep>()));
  ASSERT_TRUE(loaded.Serialize(in));
  loaded.SetWorld(world.get());
  loaded.SetSpace(ground);
  Walk(loaded, {12, 12, 12, 12, 12, 12});
  EXPECT_TRUE(probe.spawns.empty());
  float read = 0;
  loaded.ExecuteCommand(9765, &read);
  EXPECT_EQ(read, 2.0f);
}

}  // namespace
}  // namespace tge::test
