// The real executable on the demo's archive: the dropped crate is seen
// resting on the ground where at the start the ground showed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <utility>

#include "app/StartupConfig.h"
#include "demo/DemoData.h"
#include "tests/app/ProgramRun.h"

namespace tge::test {
namespace {

class DemoPropsProbeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(WriteDemoData(folder.Path(), DemoOptions{}, error)) << error;
    folder.WriteFile(kInitFileName, "\nLibrary.sli\n\nDemo props probe " + std::to_string(::getpid()) + "\n\n");
  }

  ::tge::testing::TempFolder folder;
};

// Frame 2: the crate still hangs high and the ground shows where it will
// rest, its blue well up with its green. Frame 200 (10 s of game time at the
// fixed step): the wooden crate rests there in the foreground, less blue in
// it. The two points lie on bright planks of its front, clear of the lamp's
// glare: rain greys a dark plank.
TEST_F(DemoPropsProbeTest, TheDroppedCrateRestsOnTheGround) {
  RunProgram(folder, "-g_w=640 -g_h=480 -shot=early.bmp -shotframe=2 -shotstep=0.05");
  RunProgram(folder, "-g_w=640 -g_h=480 -shot=late.bmp -shotframe=200 -shotstep=0.05");
  const image::Image early = ReadShot(folder, "early.bmp");
  const image::Image late = ReadShot(folder, "late.bmp");
  for (const auto& [x, y] : {std::pair{160u, 370u}, std::pair{250u, 330u}}) {
    SCOPED_TRACE(::testing::Message() << x << ", " << y);
    const Rgb ground = MedianAround(early, x, y, 4);
    EXPECT_GT(ground[2] * 100, ground[1] * 65);
    const Rgb crate = MedianAround(late, x, y, 4);
    EXPECT_LT(crate[2] * 100, crate[1] * 62);
    EXPECT_GT(crate[1], 20);
  }
}

}  // namespace
}  // namespace tge::test
