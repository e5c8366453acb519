// The demo's chase, loaded from the files the demo writer makes over a
// recording render device (the figure's skin needs one to load): once the
// walk starts, the spawn point's AI runs round the wall to the player
// within ten seconds and never enters the wall.
#include <gtest/gtest.h>

#include <cmath>

#include "core/ClassIds.h"
#include "core/ObjectRef.h"
#include "tests/app/DemoFixture.h"

namespace tge::test {
namespace {

class DemoChaseTest : public DemoTest {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(WriteDemoFiles(folder.Path("Data"), DemoOptions{}, error)) << error;
    Start(false, true);
    OpenDemo();
  }
};

TEST_F(DemoChaseTest, TheSpawnedAIRunsRoundTheWallToThePlayer) {
  Object& keys = Find("/DemoWorld/Stage/WalkKeys");
  RunScriptText(keys, "parent/Walk.Copy(parent/Mission); parent/Walk.Delete();", nullptr);
  Object& stage = Find("/DemoWorld/Stage");
  Object& player = Find("/DemoWorld/Stage/Mission/Walk/Walker");
  Object* chaser = nullptr;
  for (int i = 0; i < stage.GetChildCount() && chaser == nullptr; ++i) {
    Object* child = stage.GetChild(i);
    if (child->GetClassId() == kClassAIPlayer && child->GetActive()) chaser = child;
  }
  ASSERT_NE(chaser, nullptr);
  ObjectRef<> runner(chaser);
  bool enteredWall = false, reached = false;
  for (int frame = 0; frame < 10 * 60 && !reached && runner; ++frame) {
    Frame();
    Vector3 at;
    Vector3Subtract(at, runner->GetPositionWS(), stage.GetPositionWS());
    enteredWall = enteredWall || (std::abs(at.x) < 3 && std::abs(at.z + 14.5f) < 0.2f);
    reached = runner->GetDistanceTo(player) < 1.5f;
  }
  EXPECT_TRUE(reached);
  EXPECT_FALSE(enteredWall);
}

}  // namespace
}  // namespace tge::test
