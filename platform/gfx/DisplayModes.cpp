#include "platform/gfx/DisplayModes.h"

#include <SDL.h>

#include "platform/gfx/States.h"

namespace tge::gfx {
namespace {

DisplayMode FromSdl(const SDL_DisplayMode& sdl) {
  const int bits = int(SDL_BITSPERPIXEL(sdl.format));
  const std::uint32_t format = bits >= 24 ? kFormatX8R8G8B8 : bits == 16 ? kFormatR5G6B5 : kFormatX1R5G5B5;
  return DisplayMode{std::uint32_t(sdl.w), std::uint32_t(sdl.h), std::uint32_t(sdl.refresh_rate), format};
}

}  // namespace

std::vector<DisplayMode> ListDisplayModes(int display) {
  std::vector<DisplayMode> modes;
  const int count = SDL_GetNumDisplayModes(display);
  for (int i = 0; i < count; ++i) {
    SDL_DisplayMode sdl;
    if (SDL_GetDisplayMode(display, i, &sdl) == 0) modes.push_back(FromSdl(sdl));
  }
  return modes;
}

bool GetDesktopDisplayMode(DisplayMode& mode, int display) {
  SDL_DisplayMode sdl;
  if (SDL_GetDesktopDisplayMode(display, &sdl) != 0) return false;
  mode = FromSdl(sdl);
  return true;
}

}  // namespace tge::gfx
