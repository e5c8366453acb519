#include "platform/window/SdlSurface.h"

#include <SDL.h>

namespace tge::platform {

void SurfaceDeleter::operator()(SDL_Surface* surface) const {
  SDL_FreeSurface(surface);
}

SurfacePtr WrapPixels(const RgbaPixels& pixels) {
  if (!pixels.IsValid()) return nullptr;
  // SDL only reads through this pointer for the icon and cursor copies.
  void* data = const_cast<std::uint8_t*>(pixels.bytes.data());
  return SurfacePtr(SDL_CreateRGBSurfaceWithFormatFrom(
      data, pixels.width, pixels.height, 32, pixels.width * 4,
      SDL_PIXELFORMAT_RGBA32));
}

}  // namespace tge::platform
