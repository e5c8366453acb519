#include "core/math/Vector.h"

#include <algorithm>
#include <cmath>

#include "core/math/Matrix4.h"

namespace tge {

namespace {

// acos and asin of a value that rounding may have pushed just past +-1.
float SafeAcos(float c) { return std::acos(std::clamp(c, -1.0f, 1.0f)); }
float SafeAsin(float s) { return std::asin(std::clamp(s, -1.0f, 1.0f)); }

}  // namespace

float Vector3Length(const Vector3& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

float Vector3LengthSquared(const Vector3& v) { return v.x * v.x + v.y * v.y + v.z * v.z; }

float Vector3Dot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vector3& Vector3Cross(Vector3& out, const Vector3& a, const Vector3& b) {
  const Vector3 r{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
  out = r;
  return out;
}

Vector3& Vector3Normalize(Vector3& out, const Vector3& in) {
  const float length = Vector3Length(in);
  if (length >= 1e-12f && length <= 1e14f) {
    const float inverse = 1.0f / length;
    const Vector3 r{in.x * inverse, in.y * inverse, in.z * inverse};
    out = r;
  } else {
    out = in;
  }
  return out;
}

Vector3& Vector3TransformCoord(Vector3& out, const Vector3& v, const Matrix4& matrix) {
  out = TransformPoint(v, matrix);
  return out;
}

Vector3& Vector3TransformNormal(Vector3& out, const Vector3& v, const Matrix4& matrix) {
  out = TransformDirection(v, matrix);
  return out;
}

Vector4& Vector4TransformCoord(Vector4& out, const Vector4& v, const Matrix4& matrix) {
  Vector3 p{v.x, v.y, v.z};
  Vector3TransformCoord(p, p, matrix);
  const Vector4 r{p.x, p.y, p.z, v.w};
  out = r;
  return out;
}

Vector4& Vector4Transform(Vector4& out, const Vector4& v, const Matrix4& matrix) {
  const float* m = matrix.m;
  const Vector4 r{v.x * m[0] + v.y * m[4] + v.z * m[8] + v.w * m[12],
                  v.x * m[1] + v.y * m[5] + v.z * m[9] + v.w * m[13],
                  v.x * m[2] + v.y * m[6] + v.z * m[10] + v.w * m[14],
                  v.x * m[3] + v.y * m[7] + v.z * m[11] + v.w * m[15]};
  out = r;
  return out;
}

float Vector3Yaw(const Vector3& v) {
  const float r = std::sqrt(v.x * v.x + v.z * v.z);
  if (r > 1e14f || r < 1e-12f) return 0.0f;
  const float yaw = SafeAcos(v.z / r);
  return v.x < 0 ? -yaw : yaw;
}

float Vector3YawFlat(const Vector3& v) {
  Vector3 flat{v.x, 0.0f, v.z};
  Vector3Normalize(flat, flat);
  const float yaw = SafeAcos(flat.z);
  return flat.x < 0 ? -yaw : yaw;
}

float Vector3Pitch(const Vector3& v) {
  Vector3 n;
  Vector3Normalize(n, v);
  return SafeAsin(n.y);
}

float Vector3YawBetween(const Vector3& a, const Vector3& b) {
  Vector3 d;
  return Vector3Yaw(Vector3Subtract(d, a, b));
}

Vector3& Vector3Project(Vector3& out, const Vector3& point, const Viewport& viewport,
                        const Matrix4& projection, const Matrix4& view, const Matrix4& world) {
  Vector4 p{point.x, point.y, point.z, 1.0f};
  Vector4Transform(p, p, world);
  Vector4Transform(p, p, view);
  Vector4Transform(p, p, projection);
  const float x = p.x / p.w, y = p.y / p.w, z = p.z / p.w;
  const Vector3 r{(x + 1.0f) * static_cast<float>(viewport.width) / 2.0f,
                  (1.0f - y) * static_cast<float>(viewport.height) / 2.0f,
                  viewport.minZ + (viewport.maxZ - viewport.minZ) * z};
  out = r;
  return out;
}

}  // namespace tge
