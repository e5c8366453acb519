// The real executable on the demo's archive: the dropped crate is seen
// resting on the ground where at the start the ground showed.
#include <gtest/gtest.h>
#include <unistd.h>

#include "app/StartupConfig.h"
#include "tests/app/ProgramRun.h"
#include "tools/DemoData.h"

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

// Frame 2: the crate still hangs above the view and the ground shows, its
// blue well up with its green. Frame 200 (seconds later at any frame rate
// this build reaches): the wooden crate rests there, little blue in it.
TEST_F(DemoPropsProbeTest, TheDroppedCrateRestsOnTheGround) {
  RunProgram(folder, "-g_w=640 -g_h=480 -shot=early.bmp -shotframe=2");
  RunProgram(folder, "-g_w=640 -g_h=480 -shot=late.bmp -shotframe=200");
  const image::Image early = ReadShot(folder, "early.bmp");
  const image::Image late = ReadShot(folder, "late.bmp");
  for (std::uint32_t y : {250u, 270u}) {
    SCOPED_TRACE(y);
    const Rgb ground = PixelAt(early, 140, y);
    EXPECT_GT(ground[2] * 10, ground[1] * 6);
    const Rgb crate = PixelAt(late, 140, y);
    EXPECT_LT(crate[2] * 10, crate[1] * 5);
    EXPECT_GT(crate[1], 20);
  }
}

}  // namespace
}  // namespace tge::test
