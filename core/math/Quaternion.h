// Rotation quaternion x, y, z, w; identity (0, 0, 0, 1).
//
// The functions take the output first and return a reference
// to it; every one reads all of its inputs before writing, so the output may
// alias any input.
#pragma once
#include "core/math/Vector.h"

namespace tge {

struct Quaternion {
  float x = 0, y = 0, z = 0, w = 1;
};

static_assert(sizeof(Quaternion) == 16);

struct Matrix4;

Quaternion& QuaternionIdentity(Quaternion& out);
// (-x, -y, -z, w) / (x² + y² + z² + w²).
Quaternion& QuaternionInverse(Quaternion& out, const Quaternion& q);
// q / |q|, no guard against zero.
Quaternion& QuaternionNormalize(Quaternion& out, const Quaternion& q);
// (axis * sin(angle/2), cos(angle/2)); the axis is normalised, and is
// (1, 0, 0) when its length is below 5e-10.
Quaternion& QuaternionFromAxisAngle(Quaternion& out, const Vector3& axis, float angle);
// The Hamilton product b * a: rotation a, then rotation b.
Quaternion& QuaternionMultiply(Quaternion& out, const Quaternion& a, const Quaternion& b);
// Spherical interpolation; linear weights when 1 - |dot| < 0.01; the weight
// of a is negated when dot < 0. No renormalising.
Quaternion& QuaternionSlerp(Quaternion& out, const Quaternion& a, const Quaternion& b, float t);
// Rotation of the upper 3x3 of m.
Quaternion& QuaternionFromMatrix4(Quaternion& out, const Matrix4& m);
// Roll about Z first, then pitch about X, then yaw about Y.
Quaternion& QuaternionFromYawPitchRoll(Quaternion& out, float yaw, float pitch, float roll);
// The rotation that turns +Z towards direction, with up as the up hint.
Quaternion& QuaternionFromDirection(Quaternion& out, const Vector3& direction, const Vector3& up);

// Value forms. a * b is QuaternionMultiply(a, b): rotation a, then rotation
// b, in the order Matrix4 products of row vectors read.
inline Quaternion operator*(const Quaternion& a, const Quaternion& b) {
  Quaternion out;
  return QuaternionMultiply(out, a, b);
}
inline Quaternion Slerp(const Quaternion& a, const Quaternion& b, float t) {
  Quaternion out;
  return QuaternionSlerp(out, a, b, t);
}
inline Quaternion AxisAngle(const Vector3& axis, float angle) {
  Quaternion out;
  return QuaternionFromAxisAngle(out, axis, angle);
}

}  // namespace tge
