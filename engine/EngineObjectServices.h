// The object services as the engine installs them: the tree services and
// object files of the core, with the physics of objects built and released
// through the physics wrapper.
#pragma once
#include "core/ObjectServices.h"

namespace tge {

class EngineObjectServices : public ObjectServices {
 public:
  bool CreateObjectPhysics(Object& object) override;
  void DestroyObjectPhysics(Object& object) override;
};

}  // namespace tge
