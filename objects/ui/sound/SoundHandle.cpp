#include "objects/ui/sound/SoundHandle.h"

#include "services/EngineServices.h"
#include "services/resources/ResourceType.h"

namespace tge {

void SoundHandle::Acquire(const std::string& name) {
  EngineServices* services = GetEngineServices();
  ref_ = services != nullptr ? services->GetResources().AcquireResource(name, kSoundResource) : ResourceRef();
}

}  // namespace tge
