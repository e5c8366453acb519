#include "objects/gameplay/physics/PhysicsJointKind.h"

#include "objects/gameplay/physics/PhysicsLibrary.h"

namespace tge::physics {

bool IsJointOfKind(const char* operation, dJointID joint, dJointType kind) {
  if (!joint) return false;
  if (dJointGetType(joint) != kind) {
    ReportPhysicsError(operation, "the joint is of another kind");
    return false;
  }
  return true;
}

}  // namespace tge::physics
