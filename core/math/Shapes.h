// Bounding shapes: plane, sphere and axis-aligned box, and the box, sphere
// and plane helpers.
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

struct Matrix4;

// True unless the boxes are apart on some axis; touching counts as overlap.
bool AABoxOverlap(const Vector3& aMin, const Vector3& aMax, const Vector3& bMin,
                  const Vector3& bMax);
// Strictly inside on all three axes.
bool AABoxContainsPoint(const Vector3& min, const Vector3& max, const Vector3& p);
// min - margin <= p <= max + margin on all three axes.
bool AABoxContainsPointMargin(const Vector3& min, const Vector3& max, const Vector3& p,
                              float margin);
// Bounds of the 8 corners of (min, max) transformed as points by m. The
// outputs may alias the inputs.
void AABoxTransform(Vector3& outMin, Vector3& outMax, const Vector3& min, const Vector3& max,
                    const Matrix4& m);
// The same on the AABox record.
AABox& AABoxTransform(AABox& out, const AABox& in, const Matrix4& m);

// The smallest box holding both, as std::min and std::max take each bound.
inline AABox BoxUnion(const AABox& a, const AABox& b) {
  auto low = [](float p, float q) { return q < p ? q : p; };
  auto high = [](float p, float q) { return p < q ? q : p; };
  return {{low(a.min.x, b.min.x), low(a.min.y, b.min.y), low(a.min.z, b.min.z)},
          {high(a.max.x, b.max.x), high(a.max.y, b.max.y), high(a.max.z, b.max.z)}};
}

// Squared distance from centre to p < r².
bool IsWithinRadius(const Vector3& centre, float r, const Vector3& p);
// Squared distance from centre to p < (r s)².
bool IsWithinScaledRadius(const Vector3& centre, float r, const Vector3& p, float s);

// Sphere against box; returns whether they touch. Moving the centre by
// -pushOut separates them.
// - Centre inside the box (faces included): the nearest face is hit;
//   facePoint = the centre moved onto that face; pushOut lies along that
//   face's axis with length (radius + distance) * 1.001.
// - Centre outside: a hit when the box's closest point is nearer than
//   radius; pushOut = unit vector from the centre towards that point *
//   (radius - distance) * 1.002; facePoint = that closest point.
// pushOut and facePoint may be null; neither is written without a hit.
bool SphereBoxCollide(const Vector3& boxMin, const Vector3& boxMax, const Vector3& centre,
                      float radius, Vector3* pushOut, Vector3* facePoint);

// Whether the sphere touches the box, SphereBoxCollide's question without
// its outputs, by squared distances: a centre in the box (faces included)
// always does, else its squared distance to the box's nearest point must be
// below the squared radius. Inline: the Collector asks it for every run of
// triangles and each triangle of the runs it touches.
inline bool SphereTouchesBox(const AABox& box, const Vector3& centre, float radius) {
  auto beyond = [](float v, float lo, float hi) { return v < lo ? lo - v : (v > hi ? v - hi : 0.0f); };
  const float x = beyond(centre.x, box.min.x, box.max.x);
  const float y = beyond(centre.y, box.min.y, box.max.y);
  const float z = beyond(centre.z, box.min.z, box.max.z);
  const float squared = x * x + y * y + z * z;
  return squared == 0 || squared < radius * radius;
}

// a, b, c = normal, d = -dot(normal, point).
Plane& PlaneFromPointNormal(Plane& out, const Vector3& point, const Vector3& normal);

}  // namespace tge
