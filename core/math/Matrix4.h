// 4x4 matrix of floats, row by row, row vectors (p x M), translation in
// elements 12 to 14. Default-constructed as identity.
#pragma once

namespace tge {

struct Matrix4 {
  float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
};

static_assert(sizeof(Matrix4) == 64);

}  // namespace tge
