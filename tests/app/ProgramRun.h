// Runs the real executable in a test's folder, headless: software GL on
// SDL's offscreen driver, OpenAL's null output, the lock file in the folder.
// The sanitizers of the build make any leak or fault a failing exit status.
// Screenshots the program wrote are read back as images.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <numbers>
#include <span>
#include <string>
#include <vector>

#include "platform/image/Image.h"
#include "tests/core/files/TempFolder.h"

namespace tge::test {

using Rgb = std::array<int, 3>;

// The window the whole program's pixel tests shoot, and the focal length in
// pixels of a camera with a field of view of 90 degrees in it.
inline constexpr int kShotWidth = 640;
inline constexpr int kShotHeight = 480;
inline constexpr float kShotFov = std::numbers::pi_v<float> / 2;
inline constexpr float kShotFocal = kShotHeight / 2.0f;

// A run is ended after this long: far beyond any busy machine's slowness,
// so only a hang reaches it.
inline constexpr const char* kProgramHangSeconds = "900";

// Runs the program in folder with the options added and checks that it
// ended well.
inline void RunProgram(const ::tge::testing::TempFolder& folder, const std::string& options) {
  const std::string command = "cd '" + folder.Path().string() + "' && XDG_RUNTIME_DIR='" + folder.Path().string() +
                              "' SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy ALSOFT_DRIVERS=null "
                              "LIBGL_ALWAYS_SOFTWARE=1 timeout " +
                              kProgramHangSeconds + " '" TGE_TARNWICK "' -g_fs=0 " + options + " > out.txt 2>&1";
  const int status = std::system(command.c_str());
  const std::string output = folder.ReadFile("out.txt");
  ASSERT_TRUE(WIFEXITED(status)) << output;
  EXPECT_EQ(WEXITSTATUS(status), 0) << output;
  // The suppressions' summary of third-party libraries may stand there.
  EXPECT_EQ(output.find("ERROR"), std::string::npos) << output;
  EXPECT_EQ(output.find("runtime error"), std::string::npos) << output;
}

inline image::Image ReadShot(const ::tge::testing::TempFolder& folder, const std::string& file) {
  const std::string bytes = folder.ReadFile(file);
  image::Image shot;
  std::string error;
  EXPECT_TRUE(image::DecodeImage(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), shot,
                                 error))
      << error;
  return shot;
}

// The pixel at (x, y) from the top left; black outside the image.
inline Rgb PixelAt(const image::Image& shot, std::uint32_t x, std::uint32_t y) {
  if (x >= shot.width || y >= shot.height) return {0, 0, 0};
  const std::uint8_t* p = &shot.pixels[(std::size_t(y) * shot.width + x) * 4];
  return {p[2], p[1], p[0]};
}

// The channel medians of the square of side 2 x half + 1 around (x, y): a
// raindrop or a splash crossing the point moves no median.
inline Rgb MedianAround(const image::Image& shot, std::uint32_t x, std::uint32_t y, std::uint32_t half) {
  Rgb median{};
  for (std::size_t channel = 0; channel < median.size(); ++channel) {
    std::vector<int> values;
    for (std::uint32_t dy = 0; dy <= 2 * half; ++dy) {
      for (std::uint32_t dx = 0; dx <= 2 * half; ++dx) {
        values.push_back(PixelAt(shot, x + dx - half, y + dy - half)[channel]);
      }
    }
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    median[channel] = values[values.size() / 2];
  }
  return median;
}

inline ::testing::AssertionResult Near(const Rgb& actual, const Rgb& expected, int tolerance) {
  for (int i = 0; i < 3; ++i) {
    if (std::abs(actual[i] - expected[i]) > tolerance) {
      return ::testing::AssertionFailure() << "(" << actual[0] << ", " << actual[1] << ", " << actual[2]
                                           << ") is not within " << tolerance << " of (" << expected[0] << ", "
                                           << expected[1] << ", " << expected[2] << ")";
    }
  }
  return ::testing::AssertionSuccess();
}

}  // namespace tge::test
