#include <gtest/gtest.h>
#include <unistd.h>

#include "app/StartupConfig.h"
#include "tests/app/ProgramRun.h"
#include "tools/DemoData.h"

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

// The picture of a frame: the corners show the fog colour the scene clears
// to, the middle the turning crate in front of it.
TEST_F(WholeProgramTest, ScreenshotShowsTheCrateInTheFog) {
  RunProgram(folder, "-g_w=640 -g_h=480 -shot=shot.bmp -shotframe=3");
  const image::Image shot = ReadShot(folder, "shot.bmp");
  ASSERT_EQ(shot.width, 640u);
  ASSERT_EQ(shot.height, 480u);
  const Rgb fog{115, 140, 166};  // (0.45, 0.55, 0.65)
  for (const Rgb& corner : {PixelAt(shot, 2, 2), PixelAt(shot, 637, 2), PixelAt(shot, 2, 477), PixelAt(shot, 637, 477)}) {
    EXPECT_TRUE(Near(corner, fog, 1));
  }
  EXPECT_FALSE(Near(PixelAt(shot, 320, 300), fog, 0));
}

}  // namespace
}  // namespace tge::test
