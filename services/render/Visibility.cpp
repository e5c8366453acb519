#include "services/render/Visibility.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "services/RenderCommand.h"

namespace tge {
namespace {

constexpr float kHalfPi = std::numbers::pi_v<float> / 2;
// A portal volume starts this far in front of its box centre.
constexpr float kPortalNearMargin = 50.0f;
constexpr float kPortalFar = 1e38f;

// The z of Vector3TransformCoord, computed alone: the sphere tests need
// nothing else, and run for every part of every object drawn.
float ViewZ(const Vector3& point, const Matrix4& frame) {
  const float* m = frame.m;
  return point.x * m[2] + point.y * m[6] + point.z * m[10] + m[14];
}

Matrix4 InverseOfProduct(const Matrix4& rotation, const Matrix4& frame) {
  Matrix4 product;
  Matrix4Multiply(product, rotation, frame);
  return Matrix4Inverse(product, nullptr, product);
}

}  // namespace

SidePlanes BuildSidePlanes(const Matrix4& frame, float halfWidthAngle, float halfHeightAngle) {
  const float across = kHalfPi - std::clamp(halfWidthAngle, 0.0f, kHalfPi);
  const float upDown = kHalfPi - std::clamp(halfHeightAngle, 0.0f, kHalfPi);
  Matrix4 rotations[4];
  Matrix4RotationY(rotations[0], across);
  Matrix4RotationY(rotations[1], -across);
  Matrix4RotationX(rotations[2], upDown);
  Matrix4RotationX(rotations[3], -upDown);
  SidePlanes sides;
  for (std::size_t i = 0; i < sides.size(); ++i) sides[i] = InverseOfProduct(rotations[i], frame);
  return sides;
}

int TestSphereAgainst(const Matrix4& view, const SidePlanes& sides, float farLimit, const Vector3& centre,
                      float radius, float* depth) {
  const float z = ViewZ(centre, view);
  if (depth) *depth = z;
  if (z + radius < 0 || z - radius > farLimit) return kSphereOutside;
  bool whollyInside = z - radius > 0 && z + radius < farLimit;
  for (const Matrix4& side : sides) {
    const float distance = ViewZ(centre, side);
    if (distance + radius < 0) return kSphereOutside;
    whollyInside = whollyInside && distance - radius > 0;
  }
  return whollyInside ? kSphereInside : kSphereCrossing;
}

PortalVolume MakePortalVolume(const Vector3& eye, const AABox& box) {
  PortalVolume volume;
  Vector3 centre;
  Vector3Lerp(centre, box.min, box.max, 0.5f);
  Matrix4LookAt(volume.lookAt, eye, centre, Vector3{0, 1, 0});
  Vector3 extent;
  const float reach = Vector3Length(Vector3Subtract(extent, box.max, centre));
  const Vector3 right{volume.lookAt.m[0], volume.lookAt.m[4], volume.lookAt.m[8]};
  Vector3 edge;
  Vector3AddScaled(edge, centre, right, reach / 2);
  const float cosine = std::clamp(Dot(Normalized(centre - eye), Normalized(edge - eye)), -1.0f, 1.0f);
  const float halfAngle = std::fabs(std::acos(cosine));
  Vector3 toCentre;
  volume.nearDistance = Vector3Length(Vector3Subtract(toCentre, centre, eye)) - kPortalNearMargin;
  volume.farDistance = kPortalFar;
  Matrix4 frame;
  Matrix4Inverse(frame, nullptr, volume.lookAt);
  volume.sides = BuildSidePlanes(frame, halfAngle, halfAngle);
  return volume;
}

bool IsSphereInPortalVolume(const PortalVolume& volume, const Sphere& sphere) {
  if (ViewZ(sphere.centre, volume.lookAt) + sphere.radius < volume.nearDistance) return false;
  return std::all_of(volume.sides.begin(), volume.sides.end(),
                     [&](const Matrix4& side) { return ViewZ(sphere.centre, side) + sphere.radius >= 0; });
}

}  // namespace tge
