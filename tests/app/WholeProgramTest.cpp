#include <gtest/gtest.h>
#include <unistd.h>

#include "app/StartupConfig.h"
#include "demo/DemoData.h"
#include "tests/app/ProgramRun.h"

namespace tge::test {
namespace {

// The real executable on the demo's archive.
class WholeProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(WriteDemoData(folder.Path(), DemoOptions{0.5f}, error)) << error;
    folder.WriteFile(kInitFileName, "\nLibrary.sli\n\nWhole program test " + std::to_string(::getpid()) + "\n\n");
  }

  ::tge::testing::TempFolder folder;
};

// The scene's script ends the program through the engine's Exit.
TEST_F(WholeProgramTest, DemoRunsHeadlessAndExitsCleanly) { RunProgram(folder, "-g_w=640 -g_h=480"); }

// The picture of a frame: the top corners show the sky above the hills, the
// bottom corners the ground, neither in the fog colour the scene clears to,
// and the middle the turning crate.
TEST_F(WholeProgramTest, ScreenshotShowsTheCrateOnTheGroundUnderTheSky) {
  RunProgram(folder, "-g_w=640 -g_h=480 -shot=shot.bmp -shotframe=3");
  const image::Image shot = ReadShot(folder, "shot.bmp");
  ASSERT_EQ(shot.width, 640u);
  ASSERT_EQ(shot.height, 480u);
  const Rgb fog{115, 140, 166};  // (0.45, 0.55, 0.65)
  for (const Rgb& corner : {PixelAt(shot, 2, 2), PixelAt(shot, 637, 2), PixelAt(shot, 2, 477), PixelAt(shot, 637, 477)}) {
    EXPECT_FALSE(Near(corner, fog, 8));
  }
  const Rgb sky = PixelAt(shot, 2, 2);
  EXPECT_GT(sky[2], sky[0]);  // blue over red
  const Rgb ground = PixelAt(shot, 2, 477);
  EXPECT_GT(ground[1], ground[2]);  // green over blue
  EXPECT_FALSE(Near(PixelAt(shot, 320, 300), fog, 0));
}

}  // namespace
}  // namespace tge::test
