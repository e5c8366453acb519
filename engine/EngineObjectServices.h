// The object services as the engine installs them: the tree services and
// object files of the core, with the physics of objects built and released
// through the physics wrapper.
#pragma once
#include "core/trees/ObjectServices.h"

namespace tge {

class EngineObjectServices : public ObjectServices {
 public:
  bool CreateObjectPhysics(Object& object) override;
  void DestroyObjectPhysics(Object& object) override;
  // Through the engine's global hit-effect pools.
  void SpawnGlobalHitEffects(std::uint32_t mask, Object& parent, const Matrix4& placement, const Vector3* direction,
                             float value) override;
};

}  // namespace tge
