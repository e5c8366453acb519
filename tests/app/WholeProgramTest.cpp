#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>

#include "app/StartupConfig.h"
#include "tests/core/files/TempFolder.h"
#include "tools/DemoData.h"

namespace tge::test {
namespace {

// The real executable on the demo's archive, headless: software GL on SDL's
// offscreen driver, OpenAL's null output. The scene's script ends the
// program through the engine's Exit; the sanitizers of the build make any
// leak or fault a failing exit status.
TEST(WholeProgramTest, DemoRunsHeadlessAndExitsCleanly) {
  ::tge::testing::TempFolder folder;
  std::string error;
  ASSERT_TRUE(WriteDemoData(folder.Path(), DemoOptions{0.5f}, error)) << error;
  folder.WriteFile(kInitFileName, "\nLibrary.sli\n\nWhole program test " + std::to_string(::getpid()) + "\n\n");
  const std::string command = "cd '" + folder.Path().string() +
                              "' && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy ALSOFT_DRIVERS=null "
                              "LIBGL_ALWAYS_SOFTWARE=1 timeout 120 '" TGE_TARNWICK "' -g_fs=0 -g_w=640 -g_h=480 "
                              "> out.txt 2>&1";
  const int status = std::system(command.c_str());
  const std::string output = folder.ReadFile("out.txt");
  ASSERT_TRUE(WIFEXITED(status)) << output;
  EXPECT_EQ(WEXITSTATUS(status), 0) << output;
  // The suppressions' summary of third-party libraries may stand there.
  EXPECT_EQ(output.find("ERROR"), std::string::npos) << output;
  EXPECT_EQ(output.find("runtime error"), std::string::npos) << output;
}

}  // namespace
}  // namespace tge::test
