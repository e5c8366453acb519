// The viewport record Vector3Project maps into.
#pragma once
#include <cstdint>

namespace tge {

struct Viewport {
  std::uint32_t x = 0, y = 0, width = 0, height = 0;
  float minZ = 0, maxZ = 1;
};

}  // namespace tge
