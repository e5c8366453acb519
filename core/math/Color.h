// Colour of four floats, packed to 0xAARRGGBB for drawing.
#pragma once
#include <cstdint>

namespace tge {

struct Color {
  float r = 0, g = 0, b = 0, a = 0;
};

static_assert(sizeof(Color) == 16);

// Packs a colour for drawing: each component c becomes 255 when
// c >= 1, 0 when c <= 0 (or NaN), else trunc(c * 255 + 0.5); the result is
// alpha << 24 | red << 16 | green << 8 | blue.
std::uint32_t ColorToDword(const Color& color);

}  // namespace tge
