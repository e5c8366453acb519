// The OpenGL device on a hidden offscreen window of size x size pixels,
// made once per benchmark run; null when the window cannot be made.
#pragma once
#include <SDL.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/gfx/GlDevice.h"

namespace tge {

inline std::unique_ptr<gfx::Device> MakeOffscreenGlDevice(int size, const gfx::PresentParameters& parameters,
                                                          std::string& error) {
  static SDL_Window* window = [size]() -> SDL_Window* {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return nullptr;
    gfx::GlDevice::PrepareWindowAttributes();
    return SDL_CreateWindow("bench", 0, 0, size, size, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  }();
  if (!window) return nullptr;
  return gfx::GlDevice::Create(window, parameters, error);
}

}  // namespace tge
