#include "core/math/Quaternion.h"

#include <cmath>

#include "core/math/Matrix4.h"

namespace tge {

Quaternion& QuaternionIdentity(Quaternion& out) {
  out = Quaternion{};
  return out;
}

Quaternion& QuaternionInverse(Quaternion& out, const Quaternion& q) {
  const float n = q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w;
  const Quaternion r{-q.x / n, -q.y / n, -q.z / n, q.w / n};
  out = r;
  return out;
}

Quaternion& QuaternionNormalize(Quaternion& out, const Quaternion& q) {
  const float length = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
  const Quaternion r{q.x / length, q.y / length, q.z / length, q.w / length};
  out = r;
  return out;
}

Quaternion& QuaternionFromAxisAngle(Quaternion& out, const Vector3& axis, float angle) {
  Vector3 a = axis;
  if (Vector3Length(a) < 5e-10f)
    a = Vector3{1, 0, 0};
  else
    Vector3Normalize(a, a);
  const float s = std::sin(angle / 2), c = std::cos(angle / 2);
  out = Quaternion{a.x * s, a.y * s, a.z * s, c};
  return out;
}

Quaternion& QuaternionMultiply(Quaternion& out, const Quaternion& a, const Quaternion& b) {
  // Hamilton product b * a.
  const Quaternion r{
      b.w * a.x + b.x * a.w + b.y * a.z - b.z * a.y,
      b.w * a.y - b.x * a.z + b.y * a.w + b.z * a.x,
      b.w * a.z + b.x * a.y - b.y * a.x + b.z * a.w,
      b.w * a.w - b.x * a.x - b.y * a.y - b.z * a.z,
  };
  out = r;
  return out;
}

Quaternion& QuaternionSlerp(Quaternion& out, const Quaternion& a, const Quaternion& b, float t) {
  const float c = a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
  const float absC = std::fabs(c);
  float weightA, weightB;
  if (1.0f - absC >= 0.01f) {
    const float omega = std::acos(absC);
    const float sinOmega = std::sin(omega);
    weightA = std::sin((1.0f - t) * omega) / sinOmega;
    weightB = std::sin(t * omega) / sinOmega;
  } else {
    weightA = 1.0f - t;
    weightB = t;
  }
  if (c < 0) weightA = -weightA;
  const Quaternion r{weightA * a.x + weightB * b.x, weightA * a.y + weightB * b.y,
                     weightA * a.z + weightB * b.z, weightA * a.w + weightB * b.w};
  out = r;
  return out;
}

Quaternion& QuaternionFromMatrix4(Quaternion& out, const Matrix4& matrix) {
  const float* m = matrix.m;
  const float trace = m[0] + m[5] + m[10];
  const float tracePlusOne = trace + 1.0f;
  Quaternion r;
  // A trace formula used down to trace + 1 = 1e-8 breaks in floats: rounding of
  // the matrix elements alone moves trace + 1 by about 1e-7, and near a half
  // turn (trace + 1 = 4w² -> 0) the formula then divides rounding noise by a
  // tiny w: looking down at 45° towards -Z gave the identity. Below 1e-4 the
  // largest-diagonal branch is used instead, its sign chosen so that w >= 0
  // as the trace formula's is; the result is normalised below 0.002 in
  // either case, so for a rotation matrix this is the trace formula's value,
  // exactly computed.
  constexpr float kTraceFormulaLimit = 1e-4f;
  if (tracePlusOne > kTraceFormulaLimit) {
    const float s = 0.5f / std::sqrt(trace + 1.0f);
    r.w = 0.25f / s;
    r.x = (m[6] - m[9]) * s;
    r.y = (m[8] - m[2]) * s;
    r.z = (m[1] - m[4]) * s;
  } else if (m[0] >= m[5] && m[0] >= m[10]) {
    const float s = 2.0f * std::sqrt(1.0f + m[0] - m[5] - m[10]);  // 4x
    r.x = 0.25f * s;
    r.y = (m[1] + m[4]) / s;
    r.z = (m[2] + m[8]) / s;
    r.w = (m[6] - m[9]) / s;
  } else if (m[5] >= m[10]) {
    const float s = 2.0f * std::sqrt(1.0f + m[5] - m[0] - m[10]);  // 4y
    r.x = (m[1] + m[4]) / s;
    r.y = 0.25f * s;
    r.z = (m[6] + m[9]) / s;
    r.w = (m[8] - m[2]) / s;
  } else {
    const float s = 2.0f * std::sqrt(1.0f + m[10] - m[0] - m[5]);  // 4z
    r.x = (m[2] + m[8]) / s;
    r.y = (m[6] + m[9]) / s;
    r.z = 0.25f * s;
    r.w = (m[1] - m[4]) / s;
  }
  if (tracePlusOne > 1e-8f && r.w < 0) r = Quaternion{-r.x, -r.y, -r.z, -r.w};
  if (std::fabs(tracePlusOne) < 0.002f) QuaternionNormalize(r, r);
  out = r;
  return out;
}

Quaternion& QuaternionFromYawPitchRoll(Quaternion& out, float yaw, float pitch, float roll) {
  Quaternion qYaw, qPitch, qRoll;
  QuaternionFromAxisAngle(qYaw, Vector3{0, 1, 0}, yaw);
  QuaternionFromAxisAngle(qPitch, Vector3{1, 0, 0}, pitch);
  QuaternionFromAxisAngle(qRoll, Vector3{0, 0, 1}, roll);
  Quaternion r;
  QuaternionMultiply(r, qRoll, qPitch);
  QuaternionMultiply(r, r, qYaw);
  out = r;
  return out;
}

Quaternion& QuaternionFromDirection(Quaternion& out, const Vector3& direction, const Vector3& up) {
  Vector3 d;
  Vector3Normalize(d, direction);
  Matrix4 face;
  Matrix4FaceTowards(face, Vector3{}, d, up);
  return QuaternionFromMatrix4(out, face);
}

}  // namespace tge
