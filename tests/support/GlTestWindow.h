// Test support for pixel probes on Mesa's software GL: the one hidden window
// a test program draws into, and a comparison of read-back colours.
#pragma once
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdint>
#include <cstdlib>

#include "platform/gfx/GlDevice.h"

namespace tge::test {

// The hidden OpenGL window of SDL's offscreen video driver on Mesa's software
// rasteriser, or null when SDL video or the window cannot start (SDL_GetError
// tells why). The first call makes it at the given size and every later call
// returns that same window. It is kept for the whole run: closing the last GL
// window ends the GL display and unloads Mesa's driver, whose exit-time leaks
// could then no longer be traced to it by name.
inline SDL_Window* SharedGlTestWindow(int width, int height) {
  static SDL_Window* window = [width, height]() -> SDL_Window* {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return nullptr;
    gfx::GlDevice::PrepareWindowAttributes();
    return SDL_CreateWindow("GL test", 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  }();
  return window;
}

// Whether the lowest `channels` bytes of two packed colours each lie within
// `tolerance` of one another.
inline ::testing::AssertionResult NearChannels(std::uint32_t actual, std::uint32_t expected, int tolerance,
                                               int channels) {
  for (int shift = 0; shift < channels * 8; shift += 8) {
    const int a = int((actual >> shift) & 255), e = int((expected >> shift) & 255);
    if (std::abs(a - e) > tolerance) {
      return ::testing::AssertionFailure() << std::hex << "0x" << actual << " is not near 0x" << expected;
    }
  }
  return ::testing::AssertionSuccess();
}

// The red, green and blue bytes of two 0x..RRGGBB colours within `tolerance`.
inline ::testing::AssertionResult NearColour(std::uint32_t actual, std::uint32_t expected, int tolerance = 3) {
  return NearChannels(actual, expected, tolerance, 3);
}

// All four bytes of two 0xAARRGGBB colours, alpha included, within `tolerance`.
inline ::testing::AssertionResult NearArgb(std::uint32_t actual, std::uint32_t expected, int tolerance = 3) {
  return NearChannels(actual, expected, tolerance, 4);
}

}  // namespace tge::test
