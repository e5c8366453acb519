#include "core/math/Shapes.h"

#include <algorithm>
#include <cmath>

#include "core/math/Matrix4.h"

namespace tge {

bool AABoxOverlap(const Vector3& aMin, const Vector3& aMax, const Vector3& bMin,
                  const Vector3& bMax) {
  if (aMax.x < bMin.x || aMin.x > bMax.x) return false;
  if (aMax.y < bMin.y || aMin.y > bMax.y) return false;
  if (aMax.z < bMin.z || aMin.z > bMax.z) return false;
  return true;
}

bool AABoxContainsPoint(const Vector3& min, const Vector3& max, const Vector3& p) {
  return p.x > min.x && p.x < max.x && p.y > min.y && p.y < max.y && p.z > min.z && p.z < max.z;
}

bool AABoxContainsPointMargin(const Vector3& min, const Vector3& max, const Vector3& p,
                              float margin) {
  return p.x >= min.x - margin && p.x <= max.x + margin && p.y >= min.y - margin &&
         p.y <= max.y + margin && p.z >= min.z - margin && p.z <= max.z + margin;
}

void AABoxTransform(Vector3& outMin, Vector3& outMax, const Vector3& min, const Vector3& max,
                    const Matrix4& m) {
  Vector3 lo{1e38f, 1e38f, 1e38f}, hi{-1e38f, -1e38f, -1e38f};
  for (int corner = 0; corner < 8; ++corner) {
    Vector3 p{(corner & 1) ? max.x : min.x, (corner & 2) ? max.y : min.y,
              (corner & 4) ? max.z : min.z};
    Vector3TransformCoord(p, p, m);
    lo = Vector3{std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
    hi = Vector3{std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
  }
  outMin = lo;
  outMax = hi;
}

AABox& AABoxTransform(AABox& out, const AABox& in, const Matrix4& m) {
  AABoxTransform(out.min, out.max, in.min, in.max, m);
  return out;
}

bool IsWithinRadius(const Vector3& centre, float r, const Vector3& p) {
  Vector3 d;
  return Vector3LengthSquared(Vector3Subtract(d, p, centre)) < r * r;
}

bool IsWithinScaledRadius(const Vector3& centre, float r, const Vector3& p, float s) {
  Vector3 d;
  const float scaled = r * s;
  return Vector3LengthSquared(Vector3Subtract(d, p, centre)) < scaled * scaled;
}

bool SphereBoxCollide(const Vector3& boxMin, const Vector3& boxMax, const Vector3& centre,
                      float radius, Vector3* pushOut, Vector3* facePoint) {
  const Vector3 c = centre;
  const bool inside = c.x >= boxMin.x && c.x <= boxMax.x && c.y >= boxMin.y &&
                      c.y <= boxMax.y && c.z >= boxMin.z && c.z <= boxMax.z;
  if (inside) {
    // Distances to the faces min x, max x, min y, max y, min z, max z.
    const float lows[3] = {boxMin.x, boxMin.y, boxMin.z};
    const float highs[3] = {boxMax.x, boxMax.y, boxMax.z};
    const float at[3] = {c.x, c.y, c.z};
    float best = 1e11f;
    int bestAxis = 0;
    bool bestLow = true;
    for (int axis = 0; axis < 3; ++axis) {
      const float toLow = std::min(at[axis] - lows[axis], 1e11f);
      const float toHigh = std::min(highs[axis] - at[axis], 1e11f);
      if (toLow < best) {
        best = toLow;
        bestAxis = axis;
        bestLow = true;
      }
      if (toHigh < best) {
        best = toHigh;
        bestAxis = axis;
        bestLow = false;
      }
    }
    // Leaving through the low face moves the centre towards -axis, so
    // pushOut (which is subtracted) points towards +axis, and the reverse.
    const float length = (radius + best) * 1.001f;
    float push[3] = {0, 0, 0};
    push[bestAxis] = bestLow ? length : -length;
    float face[3] = {at[0], at[1], at[2]};
    face[bestAxis] = bestLow ? lows[bestAxis] : highs[bestAxis];
    if (pushOut) *pushOut = Vector3{push[0], push[1], push[2]};
    if (facePoint) *facePoint = Vector3{face[0], face[1], face[2]};
    return true;
  }
  // Not std::clamp: a degenerate box (min > max) must not be undefined.
  auto nearest = [](float v, float lo, float hi) { return std::max(lo, std::min(v, hi)); };
  const Vector3 closest{nearest(c.x, boxMin.x, boxMax.x), nearest(c.y, boxMin.y, boxMax.y),
                        nearest(c.z, boxMin.z, boxMax.z)};
  Vector3 towards;
  Vector3Subtract(towards, closest, c);
  const float distance = Vector3Length(towards);
  if (!(distance < radius)) return false;
  Vector3Normalize(towards, towards);
  if (pushOut) Vector3Scale(*pushOut, towards, (radius - distance) * 1.002f);
  if (facePoint) *facePoint = closest;
  return true;
}

Plane& PlaneFromPointNormal(Plane& out, const Vector3& point, const Vector3& normal) {
  const Plane r{normal.x, normal.y, normal.z, -Vector3Dot(normal, point)};
  out = r;
  return out;
}

}  // namespace tge
