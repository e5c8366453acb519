#include "engine/EngineObjectServices.h"

#include "engine/Engine.h"
#include "engine/ObjectPhysicsBuilder.h"

namespace tge {

bool EngineObjectServices::CreateObjectPhysics(Object& object) { return tge::CreateObjectPhysics(object); }

void EngineObjectServices::DestroyObjectPhysics(Object& object) { tge::DestroyObjectPhysics(object); }

void EngineObjectServices::SpawnGlobalHitEffects(std::uint32_t mask, Object& parent, const Matrix4& placement,
                                                 const Vector3* direction, float value) {
  if (Engine* engine = GetEngine()) engine->SpawnGlobalHitEffects(mask, parent, placement, direction, value);
}

}  // namespace tge
