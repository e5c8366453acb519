// Colour of four floats, packed to 0xAARRGGBB for drawing.
#pragma once
#include <cstdint>

namespace tge {

struct Color {
  float r = 0, g = 0, b = 0, a = 0;
};

static_assert(sizeof(Color) == 16);

}  // namespace tge
