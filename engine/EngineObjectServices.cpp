#include "engine/EngineObjectServices.h"

#include "engine/ObjectPhysicsBuilder.h"

namespace tge {

bool EngineObjectServices::CreateObjectPhysics(Object& object) { return tge::CreateObjectPhysics(object); }

void EngineObjectServices::DestroyObjectPhysics(Object& object) { tge::DestroyObjectPhysics(object); }

}  // namespace tge
