// Bounding shapes: plane, sphere and axis-aligned box.
#pragma once
#include "core/math/Vector.h"

namespace tge {

// A point p lies on the plane when dot((a, b, c), p) + d = 0.
struct Plane {
  float a = 0, b = 0, c = 0, d = 0;
};

struct Sphere {
  Vector3 centre;
  float radius = 0;
};

struct AABox {
  Vector3 min;
  Vector3 max;
};

static_assert(sizeof(Plane) == 16 && sizeof(Sphere) == 16 && sizeof(AABox) == 24);

}  // namespace tge
