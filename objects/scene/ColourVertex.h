// The vertex of the camera-facing and ribbon effects: flexible vertex
// format 0x142 (position, diffuse colour, one pair of texture coordinates).
#pragma once
#include <cstdint>

namespace tge {

inline constexpr std::uint32_t kColourVertexFormat = 0x142;

struct ColourVertex {
  float x, y, z;
  std::uint32_t colour;
  float u, v;
};
static_assert(sizeof(ColourVertex) == 24);

}  // namespace tge
