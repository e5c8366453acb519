#include "objects/gameplay/physics/PhysicsMass.h"

#include <cmath>
#include <limits>

#include "objects/gameplay/physics/PhysicsLibrary.h"

namespace tge {
namespace {

constexpr float kDensityScale = 0.1f;
// Capped cylinders lie along their local z axis.
constexpr int kCapsuleAxisZ = 3;

// The library also wants the centre of mass at the body's origin.
bool IsValidMass(const dMass& mass) {
  constexpr dReal kTolerance = std::numeric_limits<dReal>::epsilon();
  const bool centred = std::fabs(mass.c[0]) <= kTolerance && std::fabs(mass.c[1]) <= kTolerance &&
                       std::fabs(mass.c[2]) <= kTolerance;
  return std::isfinite(mass.mass) && mass.mass > 0 && centred && dMassCheck(&mass);
}

// The mass of the geometry's shape, or false when it has none or it is unusable.
bool ComputeShapeMass(const char* operation, dGeomID geometry, float value, int byDensity,
                      dMass& out) {
  dMassSetZero(&out);
  const dReal density = value * kDensityScale;
  switch (dGeomGetClass(geometry)) {
    case dSphereClass: {
      const dReal radius = dGeomSphereGetRadius(geometry);
      byDensity ? dMassSetSphere(&out, density, radius) : dMassSetSphereTotal(&out, value, radius);
      break;
    }
    case dBoxClass: {
      dVector3 lengths;
      dGeomBoxGetLengths(geometry, lengths);
      byDensity ? dMassSetBox(&out, density, lengths[0], lengths[1], lengths[2])
                : dMassSetBoxTotal(&out, value, lengths[0], lengths[1], lengths[2]);
      break;
    }
    case dCapsuleClass: {
      dReal radius, length;
      dGeomCapsuleGetParams(geometry, &radius, &length);
      byDensity ? dMassSetCapsule(&out, density, kCapsuleAxisZ, radius, length)
                : dMassSetCapsuleTotal(&out, value, kCapsuleAxisZ, radius, length);
      break;
    }
    default:
      ReportPhysicsError(operation, "only spheres, boxes and capped cylinders have a shape mass");
      return false;
  }
  if (!IsValidMass(out)) {
    ReportPhysicsError(operation, "the mass is zero, negative or not finite; the body keeps its own");
    return false;
  }
  return true;
}

}  // namespace

void SetBodyMassFromGeom(dBodyID body, dGeomID geometry, float value, int byDensity) {
  dMass shape;
  if (!body || !ComputeShapeMass("SetBodyMassFromGeom", geometry, value, byDensity, shape)) return;
  dBodySetMass(body, &shape);
}

void AddBodyMassFromGeom(dBodyID body, dGeomID geometry, float value, int byDensity) {
  dMass shape;
  if (!body || !ComputeShapeMass("AddBodyMassFromGeom", geometry, value, byDensity, shape)) return;
  dMass total;
  dBodyGetMass(body, &total);
  dMassAdd(&total, &shape);
  if (!IsValidMass(total)) {
    ReportPhysicsError("AddBodyMassFromGeom", "the summed mass is unusable; the body keeps its own");
    return;
  }
  dBodySetMass(body, &total);
}

float GetBodyMass(dBodyID body) {
  if (!body) return 0;
  dMass mass;
  dBodyGetMass(body, &mass);
  return static_cast<float>(mass.mass);
}

void SetBodyInertia(dBodyID body, const Vector3& diagonal) {
  if (!body) return;
  dMass mass;
  dBodyGetMass(body, &mass);
  mass.I[0] = diagonal.x;
  mass.I[5] = diagonal.y;
  mass.I[10] = diagonal.z;
  if (!IsValidMass(mass)) {
    ReportPhysicsError("SetBodyInertia", "the inertia is not positive definite");
    return;
  }
  dBodySetMass(body, &mass);
}

}  // namespace tge
