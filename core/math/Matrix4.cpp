#include "core/math/Matrix4.h"

#include <algorithm>
#include <cmath>

namespace tge {

namespace {

float At(const Matrix4& m, int row, int column) { return m.m[row * 4 + column]; }

// Determinant of the 3x3 minor of m without `row` and `column`.
float Minor(const Matrix4& m, int row, int column) {
  int rows[3], columns[3];
  for (int i = 0, r = 0, c = 0; i < 4; ++i) {
    if (i != row) rows[r++] = i;
    if (i != column) columns[c++] = i;
  }
  auto e = [&](int i, int j) { return At(m, rows[i], columns[j]); };
  return e(0, 0) * (e(1, 1) * e(2, 2) - e(1, 2) * e(2, 1)) -
         e(0, 1) * (e(1, 0) * e(2, 2) - e(1, 2) * e(2, 0)) +
         e(0, 2) * (e(1, 0) * e(2, 1) - e(1, 1) * e(2, 0));
}

float Cofactor(const Matrix4& m, int row, int column) {
  const float minor = Minor(m, row, column);
  return ((row + column) & 1) ? -minor : minor;
}

// A rotation about the third axis that turns axis `from` towards axis `to`.
Matrix4& PlaneRotation(Matrix4& out, float angle, int from, int to) {
  const float c = std::cos(angle), s = std::sin(angle);
  out = Matrix4{};
  out.m[from * 4 + from] = c;
  out.m[from * 4 + to] = s;
  out.m[to * 4 + from] = -s;
  out.m[to * 4 + to] = c;
  return out;
}

}  // namespace

Matrix4& Matrix4Identity(Matrix4& out) {
  out = Matrix4{};
  return out;
}

Matrix4& Matrix4Scaling(Matrix4& out, float sx, float sy, float sz) {
  out = Matrix4{};
  out.m[0] = sx;
  out.m[5] = sy;
  out.m[10] = sz;
  return out;
}

Matrix4& Matrix4Translation(Matrix4& out, float x, float y, float z) {
  out = Matrix4{};
  out.m[12] = x;
  out.m[13] = y;
  out.m[14] = z;
  return out;
}

Matrix4& Matrix4RotationX(Matrix4& out, float angle) { return PlaneRotation(out, angle, 1, 2); }

Matrix4& Matrix4RotationY(Matrix4& out, float angle) { return PlaneRotation(out, angle, 2, 0); }

Matrix4& Matrix4RotationZ(Matrix4& out, float angle) { return PlaneRotation(out, angle, 0, 1); }

Matrix4& Matrix4Transpose(Matrix4& out, const Matrix4& in) {
  Matrix4 r;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) r.m[i * 4 + j] = in.m[j * 4 + i];
  out = r;
  return out;
}

Matrix4& Matrix4Multiply(Matrix4& out, const Matrix4& a, const Matrix4& b) {
  Matrix4 r;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      r.m[i * 4 + j] = a.m[i * 4 + 0] * b.m[0 * 4 + j] + a.m[i * 4 + 1] * b.m[1 * 4 + j] +
                       a.m[i * 4 + 2] * b.m[2 * 4 + j] + a.m[i * 4 + 3] * b.m[3 * 4 + j];
    }
  }
  out = r;
  return out;
}

float Matrix4Determinant(const Matrix4& m) {
  float det = 0;
  for (int column = 0; column < 4; ++column) det += At(m, 0, column) * Cofactor(m, 0, column);
  return det;
}

Matrix4& Matrix4Adjoint(Matrix4& m) {
  Matrix4 r;
  for (int row = 0; row < 4; ++row)
    for (int column = 0; column < 4; ++column) r.m[column * 4 + row] = Cofactor(m, row, column);
  m = r;
  return m;
}

Matrix4& Matrix4Inverse(Matrix4& out, float* /*ignored*/, const Matrix4& in) {
  out = in;
  const float det = Matrix4Determinant(out);
  if (std::fabs(det) < 0.00001f) return out;
  Matrix4Adjoint(out);
  const float scale = 1.0f / det;
  for (float& e : out.m) e *= scale;
  return out;
}

Matrix4& Matrix4FromQuaternion(Matrix4& out, const Quaternion& q) {
  const float x = q.x, y = q.y, z = q.z, w = q.w;
  const float xx = x * x, yy = y * y, zz = z * z, ww = w * w;
  Matrix4 r;
  r.m[0] = ww + xx - yy - zz;
  r.m[1] = 2 * (x * y + z * w);
  r.m[2] = 2 * (x * z - y * w);
  r.m[3] = 0;
  r.m[4] = 2 * (x * y - z * w);
  r.m[5] = ww - xx + yy - zz;
  r.m[6] = 2 * (y * z + x * w);
  r.m[7] = 0;
  r.m[8] = 2 * (x * z + y * w);
  r.m[9] = 2 * (y * z - x * w);
  r.m[10] = ww - xx - yy + zz;
  r.m[11] = 0;
  r.m[12] = r.m[13] = r.m[14] = 0;
  r.m[15] = 1;
  out = r;
  return out;
}

Matrix4& Matrix4FromQuaternionPosition(Matrix4& out, const Quaternion& q,
                                       const Vector3& position) {
  const Vector3 p = position;
  Matrix4FromQuaternion(out, q);
  out.m[12] = p.x;
  out.m[13] = p.y;
  out.m[14] = p.z;
  return out;
}

Matrix4& Matrix4FromYawPitchRoll(Matrix4& out, float yaw, float pitch, float roll) {
  Matrix4 r, rotation;
  Matrix4RotationZ(r, roll);
  Matrix4Multiply(r, r, Matrix4RotationX(rotation, pitch));
  Matrix4Multiply(r, r, Matrix4RotationY(rotation, yaw));
  out = r;
  return out;
}

Vector3& Matrix4ToYawPitchRoll(const Matrix4& m, Vector3& out) {
  const Vector3 row0{m.m[0], m.m[1], m.m[2]};
  const Vector3 row2{m.m[8], m.m[9], m.m[10]};
  const float yaw = Vector3Yaw(row2);
  const float pitch = -std::asin(std::clamp(row2.y, -1.0f, 1.0f));
  // Row 0 is (cos roll, sin roll, 0) x RotX(pitch) x RotY(yaw): turn it back.
  Matrix4 back, rotation;
  Matrix4RotationY(back, -yaw);
  Matrix4Multiply(back, back, Matrix4RotationX(rotation, -pitch));
  Vector3 x;
  Vector3TransformNormal(x, row0, back);
  const float roll = std::atan2(x.y, x.x);
  out = Vector3{pitch, yaw, roll};
  return out;
}

Matrix4& Matrix4FaceTowards(Matrix4& out, const Vector3& eye, const Vector3& target,
                            const Vector3& up) {
  Vector3 x, y, z;
  Vector3Normalize(z, Vector3Subtract(z, target, eye));
  Vector3Normalize(x, Vector3Cross(x, up, z));
  Vector3Normalize(y, Vector3Cross(y, z, x));
  const Matrix4 r{{x.x, x.y, x.z, 0, y.x, y.y, y.z, 0, z.x, z.y, z.z, 0, eye.x, eye.y, eye.z, 1}};
  out = r;
  return out;
}

Matrix4& Matrix4LookAt(Matrix4& out, const Vector3& eye, const Vector3& target, const Vector3& up) {
  Matrix4 face;
  Matrix4FaceTowards(face, eye, target, up);
  return Matrix4Inverse(out, nullptr, face);
}

Matrix4& Matrix4PerspectiveFov(Matrix4& out, float fovY, float aspect, float zNear, float zFar) {
  Matrix4 r;
  for (float& e : r.m) e = 0;
  r.m[5] = 1.0f / std::tan(fovY / 2.0f);
  r.m[0] = r.m[5] / aspect;
  r.m[10] = zFar / (zFar - zNear);
  r.m[11] = 1.0f;
  r.m[14] = -zNear * zFar / (zFar - zNear);
  out = r;
  return out;
}

Vector3& RotatePointAround(Vector3& out, const Vector3& point, const Vector3& centre, float angleX,
                           float angleY, float angleZ) {
  const Vector3 c = centre;
  Matrix4 rotation;
  Matrix4FromYawPitchRoll(rotation, angleY, angleX, angleZ);
  Vector3 p;
  Vector3Subtract(p, point, c);
  Vector3TransformCoord(p, p, rotation);
  return Vector3Add(out, p, c);
}

}  // namespace tge
