// 4x4 matrix of floats, row by row, row vectors (p x M), translation in
// elements 12 to 14. Default-constructed as identity.
//
// The functions take the output first and return a reference
// to it; every one reads all of its inputs before writing, so the output may
// alias any input.
#pragma once
#include "core/math/Quaternion.h"
#include "core/math/Vector.h"
#include "core/math/Viewport.h"

namespace tge {

struct Matrix4 {
  float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
};

static_assert(sizeof(Matrix4) == 64);

// (v, 1) x m without the division by w, as Vector3TransformCoord, inline
// for the loops that transform thousands of points a frame.
inline Vector3 TransformPoint(const Vector3& v, const Matrix4& matrix) {
  const float* m = matrix.m;
  return {v.x * m[0] + v.y * m[4] + v.z * m[8] + m[12], v.x * m[1] + v.y * m[5] + v.z * m[9] + m[13],
          v.x * m[2] + v.y * m[6] + v.z * m[10] + m[14]};
}
// v x (upper 3x3 of m), as Vector3TransformNormal.
inline Vector3 TransformDirection(const Vector3& v, const Matrix4& matrix) {
  const float* m = matrix.m;
  return {v.x * m[0] + v.y * m[4] + v.z * m[8], v.x * m[1] + v.y * m[5] + v.z * m[9],
          v.x * m[2] + v.y * m[6] + v.z * m[10]};
}

Matrix4& Matrix4Identity(Matrix4& out);
Matrix4& Matrix4Scaling(Matrix4& out, float sx, float sy, float sz);
Matrix4& Matrix4Translation(Matrix4& out, float x, float y, float z);
// m5 = cos, m6 = sin, m9 = -sin, m10 = cos.
Matrix4& Matrix4RotationX(Matrix4& out, float angle);
// m0 = cos, m2 = -sin, m8 = sin, m10 = cos.
Matrix4& Matrix4RotationY(Matrix4& out, float angle);
// m0 = cos, m1 = sin, m4 = -sin, m5 = cos (the Z rotation Matrix4FromYawPitchRoll uses).
Matrix4& Matrix4RotationZ(Matrix4& out, float angle);
// Rows and columns exchanged.
Matrix4& Matrix4Transpose(Matrix4& out, const Matrix4& in);

// out = a x b.
Matrix4& Matrix4Multiply(Matrix4& out, const Matrix4& a, const Matrix4& b);
float Matrix4Determinant(const Matrix4& m);
// Replaces m by its transposed cofactor matrix, in place.
Matrix4& Matrix4Adjoint(Matrix4& m);
// out = in^-1; when |det| < 0.00001, out = in (no error). `ignored` may be
// null and is never read or written.
Matrix4& Matrix4Inverse(Matrix4& out, float* ignored, const Matrix4& in);

// Rotation matrix of q, which need not be unit length.
Matrix4& Matrix4FromQuaternion(Matrix4& out, const Quaternion& q);
// Matrix4FromQuaternion with position as the translation.
Matrix4& Matrix4FromQuaternionPosition(Matrix4& out, const Quaternion& q, const Vector3& position);
// RotZ(roll) x RotX(pitch) x RotY(yaw): roll applied first.
Matrix4& Matrix4FromYawPitchRoll(Matrix4& out, float yaw, float pitch, float roll);
// The inverse of Matrix4FromYawPitchRoll on the rotation of m:
// out = (pitch, yaw, roll). Input first.
Vector3& Matrix4ToYawPitchRoll(const Matrix4& m, Vector3& out);

// Rows x = normalise(up x z), y = normalise(z x x), z = normalise(target - eye),
// then eye as the translation.
Matrix4& Matrix4FaceTowards(Matrix4& out, const Vector3& eye, const Vector3& target,
                            const Vector3& up);
// The inverse of Matrix4FaceTowards: a view matrix.
Matrix4& Matrix4LookAt(Matrix4& out, const Vector3& eye, const Vector3& target, const Vector3& up);
// Left-handed perspective projection.
Matrix4& Matrix4PerspectiveFov(Matrix4& out, float fovY, float aspect, float zNear, float zFar);

// (point - centre) x Matrix4FromYawPitchRoll(angleY, angleX, angleZ) + centre.
Vector3& RotatePointAround(Vector3& out, const Vector3& point, const Vector3& centre, float angleX,
                           float angleY, float angleZ);

// Value forms. a * b is Matrix4Multiply(a, b): a applied first.
inline Matrix4 operator*(const Matrix4& a, const Matrix4& b) {
  Matrix4 out;
  return Matrix4Multiply(out, a, b);
}
// Matrix4Inverse's value form.
inline Matrix4 Inverse(const Matrix4& m) {
  Matrix4 out;
  return Matrix4Inverse(out, nullptr, m);
}
inline Vector3 Translation(const Matrix4& m) { return {m.m[12], m.m[13], m.m[14]}; }

}  // namespace tge
