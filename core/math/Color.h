// Colour of four floats, packed to 0xAARRGGBB for drawing.
#pragma once
#include <cstdint>

namespace tge {

struct Color {
  float r = 0, g = 0, b = 0, a = 0;
};

static_assert(sizeof(Color) == 16);

// One component as a byte: 255 when c >= 1 or is not a number, 0 when
// c <= 0, else trunc(c * 255 + 0.5); clamped first, so that it needs no
// branch.
inline std::uint32_t ColorChannelToByte(float c) {
  const float high = c < 1.0f ? c : 1.0f;
  const float clamped = high > 0.0f ? high : 0.0f;
  return static_cast<std::uint32_t>(clamped * 255.0f + 0.5f);
}

// Packs a colour for drawing, each component by ColorChannelToByte: alpha
// << 24 | red << 16 | green << 8 | blue. Inline, as particles pack one
// colour each a frame.
inline std::uint32_t ColorToDword(const Color& color) {
  return ColorChannelToByte(color.a) << 24 | ColorChannelToByte(color.r) << 16 |
         ColorChannelToByte(color.g) << 8 | ColorChannelToByte(color.b);
}

}  // namespace tge
