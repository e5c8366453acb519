#include "objects/gameplay/physics/PhysicsPlacement.h"

#include "objects/gameplay/physics/PhysicsLibrary.h"

namespace tge::physics {

bool IsPlaceable(const char* operation, dGeomID geometry) {
  if (!geometry) return false;
  if (dGeomIsSpace(geometry) || dGeomGetClass(geometry) == dPlaneClass) {
    ReportPhysicsError(operation, "planes and spaces have no place of their own");
    return false;
  }
  return true;
}

bool IsOfClass(const char* operation, dGeomID geometry, int geometryClass) {
  if (!geometry) return false;
  if (dGeomGetClass(geometry) != geometryClass) {
    ReportPhysicsError(operation, "the geometry is of another class");
    return false;
  }
  return true;
}

}  // namespace tge::physics
