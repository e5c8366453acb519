// Vector value types. Plain records of floats, laid out as the argument
// blocks and the data files store them.
#pragma once

namespace tge {

struct Vector2 {
  float x = 0, y = 0;
};

struct Vector3 {
  float x = 0, y = 0, z = 0;
};

struct Vector4 {
  float x = 0, y = 0, z = 0, w = 0;
};

static_assert(sizeof(Vector2) == 8 && sizeof(Vector3) == 12 && sizeof(Vector4) == 16);

}  // namespace tge
