#include "objects/scene/NamedMaterial.h"

#include "core/files/SerializeStream.h"
#include "services/EngineServices.h"
#include "services/resources/ResourceSet.h"
#include "services/resources/ResourceType.h"

namespace tge {

void NamedMaterial::SetName(const std::string& name) {
  name_ = name;
  material_.Reset();
  Acquire();
}

Resource* NamedMaterial::Acquire() {
  if (!material_ && !name_.empty()) material_ = AcquireServiceResource(name_, kMaterialResource);
  return material_.Get();
}

void NamedMaterial::Collect(ResourceSet& set) { set.AddToResourceSet(Acquire()); }

void NamedMaterial::Serialize(SerializeStream& stream) {
  if (stream.IsWriting()) {
    stream.SerializeString(name_);
    return;
  }
  std::string name;
  stream.SerializeString(name);
  name_ = name;
  material_.Reset();
}

}  // namespace tge
