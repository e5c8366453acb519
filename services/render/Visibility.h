// Sphere tests against view volumes: the camera's frustum, bounded by the
// eye plane, the far limit and four side planes, and the narrower volumes
// seen through portals. A side plane is kept as the matrix of a frame whose
// z axis is the plane's inward normal: a point's z in that frame is its
// signed distance from the plane.
#pragma once
#include <array>

#include "core/math/Matrix4.h"
#include "core/math/Shapes.h"

namespace tge {

using SidePlanes = std::array<Matrix4, 4>;

// The four side planes of a volume looking along the z axis of `frame` (a
// world matrix), opening by the half-angles to either side and up and down.
// Half-angles are clamped to 0 .. pi/2: a wider one would turn a plane over
// and put the whole view outside.
SidePlanes BuildSidePlanes(const Matrix4& frame, float halfWidthAngle, float halfHeightAngle);

// kSphereInside, kSphereCrossing or kSphereOutside of the volume between the
// eye plane of `view`, the far limit and the side planes; the centre's view
// depth goes to depth when given.
int TestSphereAgainst(const Matrix4& view, const SidePlanes& sides, float farLimit, const Vector3& centre,
                      float radius, float* depth);

// The view through one portal box: looking from the eye at the box centre,
// opening as wide as half the box's extent seen from the eye.
struct PortalVolume {
  Matrix4 lookAt;
  SidePlanes sides;
  float nearDistance = 0;
  float farDistance = 0;
};

PortalVolume MakePortalVolume(const Vector3& eye, const AABox& box);
bool IsSphereInPortalVolume(const PortalVolume& volume, const Sphere& sphere);

}  // namespace tge
