#include "objects/gameplay/characters/ProbeSphere.h"

#include "objects/gameplay/physics/PhysicsGeometry.h"
#include "objects/gameplay/physics/PhysicsHandles.h"

namespace tge {

ProbeSphere::~ProbeSphere() {
  if (geometry_ != nullptr) DestroyGeom(ToOde(geometry_));
}

PhysicsGeom* ProbeSphere::Make(float radius) {
  if (geometry_ == nullptr) geometry_ = ToPhysicsGeom(CreateSphereGeom(nullptr, radius));
  return geometry_;
}

}  // namespace tge
