// Rotation quaternion x, y, z, w; identity (0, 0, 0, 1).
#pragma once

namespace tge {

struct Quaternion {
  float x = 0, y = 0, z = 0, w = 1;
};

static_assert(sizeof(Quaternion) == 16);

}  // namespace tge
