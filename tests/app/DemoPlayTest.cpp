// The real executable on the demo's archive, driven by cues in place of
// the player's keys: F starts the walk and T brings out the horse and its
// rider. Pictures of chosen frames are probed, and the frame report tells
// which frames loaded data.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <sstream>
#include <vector>

#include "app/StartupConfig.h"
#include "demo/DemoData.h"
#include "tests/app/ProgramRun.h"

namespace tge::test {
namespace {

constexpr const char* kHideTitle = "/DemoWorld/Title.Stop();";
constexpr const char* kPressF = "/DemoWorld/Stage/WalkKeys.RunScript(OnInputWalk);";
constexpr const char* kPressT = "/DemoWorld/Stage/RideKeys.RunScript(OnInputRide);";
constexpr const char* kPressSpeak = "/DemoWorld/Title/Talk.RunScript(OnInputUp);";
// Each frame advances the game's clock by this much.
constexpr double kStep = 0.05;

class DemoPlayTest : public ::testing::Test {
 protected:
  // The demo with the cues, run at 800 x 600 until its picture of frame.
  void Play(std::vector<DemoCue> cues, int frame, const std::string& more = {}) {
    DemoOptions options;
    options.cues = std::move(cues);
    std::string error;
    ASSERT_TRUE(WriteDemoData(folder.Path(), options, error)) << error;
    folder.WriteFile(kInitFileName, "\nLibrary.sli\n\nDemo play test " + std::to_string(::getpid()) + "\n\n");
    RunProgram(folder, "-g_w=800 -g_h=600 -s_e=0 -shot=shot.bmp -shotframe=" + std::to_string(frame) +
                           " -shotstep=" + std::to_string(kStep) + " " + more);
    shot = ReadShot(folder, "shot.bmp");
  }

  ::tge::testing::TempFolder folder;
  image::Image shot;
};

// The pixels of the rectangle [x0, x1) x [y0, y1) that pass.
template <class Test>
int CountPixels(const image::Image& shot, std::uint32_t x0, std::uint32_t y0, std::uint32_t x1, std::uint32_t y1,
                Test test) {
  int count = 0;
  for (std::uint32_t y = y0; y < y1; ++y) {
    for (std::uint32_t x = x0; x < x1; ++x) count += test(PixelAt(shot, x, y)) ? 1 : 0;
  }
  return count;
}

bool White(const Rgb& p) { return std::min({p[0], p[1], p[2]}) > 200; }

// Two seconds into the walk: the red health bar and the blue exhaustion bar
// along the bottom, the health number above them, the clock at the top
// right, and the radar's crate marks at the bottom right.
TEST_F(DemoPlayTest, TheWalkShowsItsHudAndRadar) {
  Play({{0.1f, kHideTitle}, {0.5f, kPressF}}, 40);
  const Rgb health = MedianAround(shot, 120, 568, 2);
  EXPECT_GT(health[0], 150);
  EXPECT_LT(health[1], 90);
  const Rgb exhaustion = MedianAround(shot, 285, 568, 2);
  EXPECT_GT(exhaustion[2], exhaustion[0] + 80);
  EXPECT_GT(CountPixels(shot, 15, 525, 80, 550, White), 50) << "health number";
  EXPECT_GT(CountPixels(shot, 680, 15, 800, 45, White), 100) << "clock";
  EXPECT_GT(CountPixels(shot, 690, 470, 790, 570, [](const Rgb& p) { return p[0] > p[2] + 40; }), 50) << "radar";
}

// The conversation's first phrase shows at once, pale on the dark panel.
TEST_F(DemoPlayTest, SpeakShowsTheFirstPhraseLegibly) {
  Play({{0.3f, kPressSpeak}}, 20);
  EXPECT_GT(CountPixels(shot, 130, 500, 480, 540, [](const Rgb& p) { return p[0] > 180 && p[1] > 160; }), 200);
}

// The side of the near crate turned away from the sun takes the sun's
// ambient light: dim wood, not black.
TEST_F(DemoPlayTest, AFaceAwayFromTheSunIsLitByTheAmbientLight) {
  Play({{0.1f, kHideTitle}}, 20);
  const Rgb side = MedianAround(shot, 338, 250, 2);
  EXPECT_GT(side[0], 25);
  EXPECT_GT(side[1], 15);
  EXPECT_LT(side[0], 90) << "lit by the sun itself";
}

// After the first frame, which loads the game, no frame waits for a file:
// what the walk and the ride bring out was loaded with the rest.
TEST_F(DemoPlayTest, NoFrameAfterTheFirstLoadsData) {
  Play({{0.1f, kHideTitle}, {1.0f, kPressF}, {2.0f, kPressT}}, 60, "-frametimes=frames.txt");
  std::istringstream table(folder.ReadFile("frames.txt"));
  std::string header;
  std::getline(table, header);
  int frame = 0;
  double milliseconds = 0;
  double processor = 0;
  double waiting = 0;
  int opens = 0;
  std::vector<double> times;
  while (table >> frame >> milliseconds >> processor >> waiting >> opens) {
    if (frame > 1) {
      EXPECT_EQ(opens, 0) << "frame " << frame << " (" << (frame * kStep) << " s)";
    }
    times.push_back(milliseconds);
  }
  EXPECT_EQ(times.size(), 60u);
  std::vector<double> sorted = times;
  std::sort(sorted.begin(), sorted.end());
  ::testing::Test::RecordProperty("median_ms", std::to_string(sorted[sorted.size() / 2]));
  ::testing::Test::RecordProperty("max_ms", std::to_string(sorted.back()));
}

}  // namespace
}  // namespace tge::test
