#include "core/math/Color.h"

namespace tge {

namespace {

// A component that is not a number counts as full.
std::uint32_t Channel(float c) {
  if (!(c < 1.0f)) return 255;
  if (c <= 0.0f) return 0;
  return static_cast<std::uint32_t>(c * 255.0f + 0.5f);
}

}  // namespace

std::uint32_t ColorToDword(const Color& color) {
  return Channel(color.a) << 24 | Channel(color.r) << 16 | Channel(color.g) << 8 |
         Channel(color.b);
}

}  // namespace tge
