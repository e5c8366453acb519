// Geometry transforms: a placed wrapper around one geometry, used for a
// shape offset from its body. The library marks this interface deprecated
// in favour of geometry offsets; the engine keeps it because contacts must
// name the transform (whose user data is the object's geometry record).
#include <ode/ode.h>

#include "objects/gameplay/physics/PhysicsGeometry.h"
#include "objects/gameplay/physics/PhysicsLibrary.h"
#include "objects/gameplay/physics/PhysicsPlacement.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace tge {

dGeomID CreateGeomTransform(dSpaceID space) {
  InitPhysics();
  return dCreateGeomTransform(space);
}

void SetGeomTransformGeom(dGeomID transform, dGeomID geometry) {
  if (!physics::IsOfClass("SetGeomTransformGeom", transform, dGeomTransformClass)) return;
  if (geometry) {
    if (!physics::IsPlaceable("SetGeomTransformGeom", geometry)) return;
    if (dGeomGetSpace(geometry) || geometry == transform) {
      ReportPhysicsError("SetGeomTransformGeom", "the geometry must be in no space");
      return;
    }
  }
  dGeomTransformSetGeom(transform, geometry);
}

void SetGeomTransformInfo(dGeomID transform, int info) {
  if (physics::IsOfClass("SetGeomTransformInfo", transform, dGeomTransformClass)) {
    dGeomTransformSetInfo(transform, info);
  }
}

}  // namespace tge

#pragma GCC diagnostic pop
