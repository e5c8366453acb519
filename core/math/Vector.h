// Vector value types. Plain records of floats, laid out as the argument
// blocks and the data files store them.
//
// The functions take the output first and return a reference
// to it. Every function reads all of its inputs before it writes the output,
// so the output may alias any input. The value forms at the end (operators,
// Dot, Cross, Normalized) compute the same results for new code.
#pragma once
#include <cmath>

#include "core/math/Viewport.h"

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

struct Matrix4;

// sqrt(x*x + y*y + z*z).
float Vector3Length(const Vector3& v);
// x*x + y*y + z*z.
float Vector3LengthSquared(const Vector3& v);
float Vector3Dot(const Vector3& a, const Vector3& b);
// out = a x b.
Vector3& Vector3Cross(Vector3& out, const Vector3& a, const Vector3& b);
// out = a + (b - a) * t. These few are inline: particle and terrain loops
// run them thousands of times a frame.
inline Vector3& Vector3Lerp(Vector3& out, const Vector3& a, const Vector3& b, float t) {
  out = {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t};
  return out;
}
// out = a + b * s.
inline Vector3& Vector3AddScaled(Vector3& out, const Vector3& a, const Vector3& b, float s) {
  out = {a.x + b.x * s, a.y + b.y * s, a.z + b.z * s};
  return out;
}
// out = a + b, a - b, v * s.
inline Vector3& Vector3Add(Vector3& out, const Vector3& a, const Vector3& b) {
  out = {a.x + b.x, a.y + b.y, a.z + b.z};
  return out;
}
inline Vector3& Vector3Subtract(Vector3& out, const Vector3& a, const Vector3& b) {
  out = {a.x - b.x, a.y - b.y, a.z - b.z};
  return out;
}
inline Vector3& Vector3Scale(Vector3& out, const Vector3& v, float s) {
  out = {v.x * s, v.y * s, v.z * s};
  return out;
}

// out = in / |in| when 1e-12 <= |in| <= 1e14, else out = in unchanged.
Vector3& Vector3Normalize(Vector3& out, const Vector3& in);

// out = (v, 1) x m without the division by w.
Vector3& Vector3TransformCoord(Vector3& out, const Vector3& v, const Matrix4& m);
// out = v x (upper 3x3 of m), no translation.
Vector3& Vector3TransformNormal(Vector3& out, const Vector3& v, const Matrix4& m);
// x, y, z transformed as a point (Vector3TransformCoord), w copied unchanged.
Vector4& Vector4TransformCoord(Vector4& out, const Vector4& v, const Matrix4& m);
// out = v x m over all four components.
Vector4& Vector4Transform(Vector4& out, const Vector4& v, const Matrix4& m);

// Heading about Y measured from +Z: acos(z / r), r = sqrt(x*x + z*z),
// negated when x < 0; 0 when r < 1e-12 or r > 1e14.
float Vector3Yaw(const Vector3& v);
// y set to 0, normalised (Vector3Normalize), then acos(z), negated when x < 0.
float Vector3YawFlat(const Vector3& v);
// asin of the y of the normalised vector.
float Vector3Pitch(const Vector3& v);
// Vector3Yaw(a - b).
float Vector3YawBetween(const Vector3& a, const Vector3& b);

// (point, 1) x world x view x projection, divided by its w, mapped into the
// viewport: x = (x + 1) * width / 2, y = (1 - y) * height / 2,
// z = minZ + (maxZ - minZ) * z. The viewport's x and y are not added.
Vector3& Vector3Project(Vector3& out, const Vector3& point, const Viewport& viewport,
                        const Matrix4& projection, const Matrix4& view, const Matrix4& world);

// Value forms, inline for the per-vertex loops.
inline Vector3 operator+(const Vector3& a, const Vector3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vector3 operator-(const Vector3& a, const Vector3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vector3 operator-(const Vector3& v) { return {-v.x, -v.y, -v.z}; }
inline Vector3 operator*(const Vector3& v, float s) { return {v.x * s, v.y * s, v.z * s}; }
inline Vector3& operator+=(Vector3& a, const Vector3& b) { return a = a + b; }
inline Vector3& operator-=(Vector3& a, const Vector3& b) { return a = a - b; }
inline Vector3& operator*=(Vector3& v, float s) { return v = v * s; }

inline float Dot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vector3 Cross(const Vector3& a, const Vector3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float Length(const Vector3& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }
// a + (b - a) * t.
inline Vector3 Lerp(const Vector3& a, const Vector3& b, float t) {
  return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t};
}
// v / |v| under Vector3Normalize's rule: v unchanged unless 1e-12 <= |v| <= 1e14.
inline Vector3 Normalized(const Vector3& v) {
  const float length = Length(v);
  return length >= 1e-12f && length <= 1e14f ? v * (1.0f / length) : v;
}
// The direction from one point to another seen from above: the difference
// with y dropped, Normalized.
inline Vector3 FlatDirection(const Vector3& from, const Vector3& to) {
  return Normalized({to.x - from.x, 0.0f, to.z - from.z});
}

}  // namespace tge
