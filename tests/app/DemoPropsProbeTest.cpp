// The real executable on the demo's archive: the dropped crate is seen
// resting on the ground where at the start the ground showed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "app/StartupConfig.h"
#include "demo/DemoData.h"
#include "tests/app/ProgramRun.h"

namespace tge::test {
namespace {

// The channel medians of the 9 x 9 pixels around (x, y): a raindrop or a
// splash crossing the point moves no median.
Rgb MedianAround(const image::Image& shot, std::uint32_t x, std::uint32_t y) {
  Rgb median{};
  for (std::size_t channel = 0; channel < median.size(); ++channel) {
    std::vector<int> values;
    for (std::uint32_t dy = 0; dy < 9; ++dy) {
      for (std::uint32_t dx = 0; dx < 9; ++dx) values.push_back(PixelAt(shot, x + dx - 4, y + dy - 4)[channel]);
    }
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    median[channel] = values[values.size() / 2];
  }
  return median;
}

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
// blue well up with its green. Frame 200 (10 s of game time at the fixed
// step): the wooden crate rests there, little blue in it. The two points lie
// on bright planks of the crate's upper left, clear of the lamp's glare and
// the loop marker that pass its lower edge: rain greys a dark plank.
TEST_F(DemoPropsProbeTest, TheDroppedCrateRestsOnTheGround) {
  RunProgram(folder, "-g_w=640 -g_h=480 -shot=early.bmp -shotframe=2 -shotstep=0.05");
  RunProgram(folder, "-g_w=640 -g_h=480 -shot=late.bmp -shotframe=200 -shotstep=0.05");
  const image::Image early = ReadShot(folder, "early.bmp");
  const image::Image late = ReadShot(folder, "late.bmp");
  for (const auto& [x, y] : {std::pair{80u, 200u}, std::pair{95u, 225u}}) {
    SCOPED_TRACE(::testing::Message() << x << ", " << y);
    const Rgb ground = MedianAround(early, x, y);
    EXPECT_GT(ground[2] * 10, ground[1] * 6);
    const Rgb crate = MedianAround(late, x, y);
    EXPECT_LT(crate[2] * 10, crate[1] * 5);
    EXPECT_GT(crate[1], 20);
  }
}

}  // namespace
}  // namespace tge::test
