// Whole frames on the null device: every scene type in a Space drawn by a
// camera, and 5,000 meshes, more than one arena block of the render queue
// holds, all drawn.
#include <gtest/gtest.h>

#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "engine/Engine.h"
#include "objects/gameplay/world/Space.h"
#include "platform/gfx/NullDevice.h"
#include "tests/support/NullScene.h"

namespace tge::test {
namespace {

class NullDeviceFrameTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(StartNullScene(scene, 0.2f)); }
  void TearDown() override { ShutdownNullScene(); }

  // Draws of one frame.
  std::uint64_t DrawFrame() {
    PrepareNullSceneFrames(scene);
    scene.device->ClearCounts();
    scene.engine->RunFrame();
    return scene.device->Draws();
  }

  NullScene scene;
};

TEST_F(NullDeviceFrameTest, EverySceneTypeDrawsInAFrame) {
  AddBoxMesh(scene, {0, 0, 0});
  for (int classId : {kClassLight, kClassEnvironment, kClassTimer, kClassData, kClassMesh}) {
    ASSERT_NE(CreateObject(classId, nullptr, *scene.space, "Part"), nullptr) << classId;
  }
  EXPECT_EQ(DrawFrame(), 1u);
  EXPECT_EQ(scene.device->CountCalls(gfx::CallType::kPresent), 1u);
  EXPECT_EQ(DrawFrame(), 1u);
}

TEST_F(NullDeviceFrameTest, FiveThousandMeshesAreAllDrawn) {
  for (int row = 0; row < 50; ++row) {
    for (int column = 0; column < 100; ++column) {
      AddBoxMesh(scene, {static_cast<float>(column - 50) * 0.5f, 0, static_cast<float>(row) * 0.5f});
    }
  }
  EXPECT_EQ(DrawFrame(), 5000u);
  EXPECT_EQ(DrawFrame(), 5000u);
}

}  // namespace
}  // namespace tge::test
