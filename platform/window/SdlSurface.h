// Wraps caller-owned RGBA pixels in an SDL surface for the icon and cursor
// calls, which copy what they need: the surface never outlives the call.
#pragma once
#include <memory>

#include "platform/window/RgbaPixels.h"

struct SDL_Surface;

namespace tge::platform {

struct SurfaceDeleter {
  void operator()(SDL_Surface* surface) const;
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

// Null when the pixels are not a valid image or SDL refuses them.
SurfacePtr WrapPixels(const RgbaPixels& pixels);

}  // namespace tge::platform
