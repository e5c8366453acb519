// The object model keeps bodies, geometries and collision spaces as opaque
// handles (core/ObjectRecords.h) so it needs none of the library's headers.
// They are the library's own handles under other names; every conversion
// between the two happens here and nowhere else.
#pragma once
#include <ode/ode.h>

#include "core/ObjectRecords.h"
#include "core/PhysicsHooks.h"

namespace tge {

inline dBodyID ToOde(PhysicsBody* body) { return reinterpret_cast<dBodyID>(body); }
inline dGeomID ToOde(PhysicsGeom* geometry) { return reinterpret_cast<dGeomID>(geometry); }
inline dSpaceID ToOde(PhysicsSpace* space) { return reinterpret_cast<dSpaceID>(space); }

inline dJointID ToOde(PhysicsJoint* joint) { return reinterpret_cast<dJointID>(joint); }
inline PhysicsJoint* ToPhysicsJoint(dJointID joint) { return reinterpret_cast<PhysicsJoint*>(joint); }
inline PhysicsBody* ToPhysicsBody(dBodyID body) { return reinterpret_cast<PhysicsBody*>(body); }
inline PhysicsGeom* ToPhysicsGeom(dGeomID geometry) {
  return reinterpret_cast<PhysicsGeom*>(geometry);
}
inline PhysicsSpace* ToPhysicsSpace(dSpaceID space) {
  return reinterpret_cast<PhysicsSpace*>(space);
}

}  // namespace tge
