// Conversions between the engine's float types and the library's doubles,
// and the checks that keep values ODE would abort on away from it.
// Used only inside the physics wrapper.
#pragma once
#include <ode/ode.h>

#include <cmath>

#include "core/math/Quaternion.h"
#include "core/math/Vector.h"

namespace tge::physics {

inline bool IsFinite(const Vector3& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

inline Vector3 FromOde(const dReal* v) {
  return {static_cast<float>(v[0]), static_cast<float>(v[1]), static_cast<float>(v[2])};
}

// ODE normalises axes and quaternions and aborts on a zero one, so only
// finite values comfortably away from zero length are handed over.
inline bool IsUsableDirection(const Vector3& v) {
  return IsFinite(v) && Vector3LengthSquared(v) > 1e-12f;
}

inline bool IsUsableRotation(const Quaternion& q) {
  const float lengthSquared = q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w;
  return std::isfinite(lengthSquared) && lengthSquared > 1e-12f;
}

// The engine orders x, y, z, w; ODE orders w, x, y, z. The result is unit length.
inline void ToOdeRotation(const Quaternion& q, dQuaternion out) {
  const dReal length = std::sqrt(dReal(q.x) * q.x + dReal(q.y) * q.y + dReal(q.z) * q.z +
                                 dReal(q.w) * q.w);
  out[0] = q.w / length;
  out[1] = q.x / length;
  out[2] = q.y / length;
  out[3] = q.z / length;
}

inline Quaternion FromOdeRotation(const dReal* q) {
  return {static_cast<float>(q[1]), static_cast<float>(q[2]), static_cast<float>(q[3]),
          static_cast<float>(q[0])};
}

}  // namespace tge::physics
