// Checks shared by the geometry operations: which geometries may be placed,
// and whether a handle is of the class an operation needs. Each reports a
// refusal as a physics error. Used only inside the physics wrapper.
#pragma once
#include <ode/ode.h>

namespace tge::physics {

// Not null, not a plane, not a space.
bool IsPlaceable(const char* operation, dGeomID geometry);
bool IsOfClass(const char* operation, dGeomID geometry, int geometryClass);

}  // namespace tge::physics
