// Collision spaces: simple spaces only. Every space is made with cleanup
// off, so destroying one never destroys the geometries objects still own.
#pragma once
#include <ode/ode.h>

namespace tge {

dSpaceID CreateSimpleSpace(dSpaceID parent);
void SetSpaceCleanup(dSpaceID space, int cleanup);
void DestroySpace(dSpaceID space);
// A geometry (or space) already in a space is refused, as is a space into itself.
void AddGeomToSpace(dSpaceID space, dGeomID geometry);

}  // namespace tge
