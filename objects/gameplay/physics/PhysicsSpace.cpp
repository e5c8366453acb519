#include "objects/gameplay/physics/PhysicsSpace.h"

#include "objects/gameplay/physics/PhysicsLibrary.h"

namespace tge {

dSpaceID CreateSimpleSpace(dSpaceID parent) {
  InitPhysics();
  dSpaceID space = dSimpleSpaceCreate(parent);
  dSpaceSetCleanup(space, 0);
  return space;
}

void SetSpaceCleanup(dSpaceID space, int cleanup) { dSpaceSetCleanup(space, cleanup); }

void DestroySpace(dSpaceID space) {
  if (space) dSpaceDestroy(space);
}

void AddGeomToSpace(dSpaceID space, dGeomID geometry) {
  if (!space || !geometry) return;
  if (dGeomGetSpace(geometry)) {
    ReportPhysicsError("AddGeomToSpace", "the geometry is already in a space");
    return;
  }
  if (reinterpret_cast<dGeomID>(space) == geometry) {
    ReportPhysicsError("AddGeomToSpace", "a space cannot hold itself");
    return;
  }
  dSpaceAdd(space, geometry);
}

}  // namespace tge
