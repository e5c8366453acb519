#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <span>

#include "app/StartupConfig.h"
#include "platform/image/Image.h"
#include "tests/core/files/TempFolder.h"
#include "tools/DemoData.h"

namespace tge::test {
namespace {

// The real executable on the demo's archive, headless: software GL on SDL's
// offscreen driver, OpenAL's null output. The sanitizers of the build make
// any leak or fault a failing exit status.
class WholeProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(WriteDemoData(folder.Path(), DemoOptions{0.5f}, error)) << error;
    folder.WriteFile(kInitFileName, "\nLibrary.sli\n\nWhole program test " + std::to_string(::getpid()) + "\n\n");
  }

  // Runs the program with the options added and checks that it ended well.
  void RunProgram(const std::string& options) {
    // The lock file goes into the test's folder and goes with it.
    const std::string command = "cd '" + folder.Path().string() + "' && XDG_RUNTIME_DIR='" + folder.Path().string() +
                                "' SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy ALSOFT_DRIVERS=null "
                                "LIBGL_ALWAYS_SOFTWARE=1 timeout 120 '" TGE_TARNWICK "' -g_fs=0 -g_w=640 -g_h=480 " +
                                options + " > out.txt 2>&1";
    const int status = std::system(command.c_str());
    const std::string output = folder.ReadFile("out.txt");
    ASSERT_TRUE(WIFEXITED(status)) << output;
    EXPECT_EQ(WEXITSTATUS(status), 0) << output;
    // The suppressions' summary of third-party libraries may stand there.
    EXPECT_EQ(output.find("ERROR"), std::string::npos) << output;
    EXPECT_EQ(output.find("runtime error"), std::string::npos) << output;
  }

  ::tge::testing::TempFolder folder;
};

// The scene's script ends the program through the engine's Exit.
TEST_F(WholeProgramTest, DemoRunsHeadlessAndExitsCleanly) { RunProgram(""); }

// The picture of a frame: the corners show the fog colour the scene clears
// to, the middle the turning crate in front of it.
TEST_F(WholeProgramTest, ScreenshotShowsTheCrateInTheFog) {
  RunProgram("-shot=shot.bmp -shotframe=3");
  const std::string bytes = folder.ReadFile("shot.bmp");
  image::Image shot;
  std::string error;
  ASSERT_TRUE(image::DecodeImage(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), shot,
                                 error))
      << error;
  ASSERT_EQ(shot.width, 640u);
  ASSERT_EQ(shot.height, 480u);
  const auto pixel = [&shot](std::uint32_t x, std::uint32_t y) {
    const std::uint8_t* p = &shot.pixels[(std::size_t(y) * shot.width + x) * 4];
    return std::array<int, 3>{p[2], p[1], p[0]};
  };
  const std::array<int, 3> fog{115, 140, 166};  // (0.45, 0.55, 0.65)
  for (const auto& corner : {pixel(2, 2), pixel(637, 2), pixel(2, 477), pixel(637, 477)}) {
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(corner[i], fog[i], 1);
  }
  EXPECT_NE(pixel(320, 300), fog);
}

}  // namespace
}  // namespace tge::test
