#include "objects/gameplay/physics/PhysicsShape.h"

#include <cmath>

#include "core/ObjectRecords.h"
#include "objects/gameplay/physics/PhysicsGeometry.h"

namespace tge {
namespace {

dGeomID CreatePlane(dSpaceID space, const GeometryRecord& record) {
  const Vector3& n = record.dimension;
  const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
  if (!(length > 0)) return nullptr;
  const Vector3 unit{n.x / length, n.y / length, n.z / length};
  const Vector3& p = record.position;
  return CreatePlaneGeom(space, unit.x, unit.y, unit.z, unit.x * p.x + unit.y * p.y + unit.z * p.z);
}

}  // namespace

bool IsPlaneRecord(const GeometryRecord& record) { return record.Shape() > kGeometryCCylinder; }

dGeomID CreateRecordShape(dSpaceID space, const GeometryRecord& record) {
  switch (record.Shape()) {
    case kGeometrySphere:
      return CreateSphereGeom(space, record.dimension.x);
    case kGeometryBox:
      return CreateBoxGeom(space, record.dimension);
    case kGeometryCCylinder:
      return CreateCCylinderGeom(space, record.dimension.x, record.dimension.y);
    default:
      return CreatePlane(space, record);
  }
}

}  // namespace tge
