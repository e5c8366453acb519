#include "services/ResourceDatabase.h"

#include <algorithm>
#include <array>
#include <strings.h>

#include "services/ErrorMessage.h"
#include "services/render/TerrainResource.h"
#include "services/resources/AnimationResource.h"
#include "services/resources/CollisionGeometryResource.h"
#include "services/resources/FontResource.h"
#include "services/resources/MaterialResource.h"
#include "services/resources/MeshResource.h"
#include "services/resources/MorphMeshResource.h"
#include "services/resources/RawFileResource.h"
#include "services/resources/SkinMeshResource.h"
#include "services/resources/TextureResource.h"
#include "services/sound/SoundResource.h"
#include "services/video/VideoResource.h"

namespace tge {
namespace {

using Creator = std::unique_ptr<Resource> (*)();

template <class T>
std::unique_ptr<Resource> Make() {
  return std::make_unique<T>();
}

// Types whose code has not been built yet have no creator.
constexpr std::array<Creator, kResourceTypeCount> kCreators = {
    Make<MeshResource>,               //
    Make<SoundResource>,              //
    Make<TextureResource>,            //
    Make<MaterialResource>,           //
    Make<AnimationResource>,          //
    Make<FontResource>,               //
    Make<VideoResource>,              //
    Make<SkinMeshResource>,           //
    Make<MorphMeshResource>,          //
    Make<TerrainResource>,            //
    Make<CollisionGeometryResource>,  //
    Make<RawFileResource>,            //
};

}  // namespace

ResourceDatabase::ResourceDatabase() : table_(kSlotGrowth) {}

ResourceDatabase::~ResourceDatabase() { DeleteAll(); }

std::unique_ptr<Resource> ResourceDatabase::CreateResource(int type) {
  if (!IsResourceType(type)) {
    FormatErrorMessage("Unknown resource type %d", type);
    return nullptr;
  }
  if (!kCreators[type]) {
    FormatErrorMessage("Resource type %s (%d) is not available", GetResourceTypeName(type), type);
    return nullptr;
  }
  std::unique_ptr<Resource> resource = kCreators[type]();
  resource->database_ = this;
  return resource;
}

int ResourceDatabase::RegisterResource(std::unique_ptr<Resource> resource) {
  auto slot = static_cast<std::size_t>(std::max(resource->slot_, 0));
  if (resource->slot_ >= 0 && slot >= table_.size()) table_.resize((slot / kSlotGrowth + 1) * kSlotGrowth);
  if (resource->slot_ < 0 || table_[slot]) {
    const auto empty = std::find(table_.begin(), table_.end(), nullptr);
    slot = static_cast<std::size_t>(empty - table_.begin());
    if (empty == table_.end()) table_.resize(table_.size() + kSlotGrowth);
  }
  resource->slot_ = static_cast<int>(slot);
  resource->database_ = this;
  table_[slot] = std::move(resource);
  return static_cast<int>(slot);
}

std::unique_ptr<Resource> ResourceDatabase::UnregisterResource(int slot) {
  if (!GetResourceBySlot(slot)) return nullptr;
  std::unique_ptr<Resource> resource = std::move(table_[static_cast<std::size_t>(slot)]);
  resource->slot_ = -1;
  return resource;
}

ResourceRef ResourceDatabase::AdoptResource(std::unique_ptr<Resource> resource) {
  if (!resource) return {};
  resource->slot_ = -1;
  resource->database_ = this;
  resource->referenceCount_ = 1;
  unregistered_.push_back(std::move(resource));
  return ResourceRef(this, unregistered_.back().get());
}

ResourceRef ResourceDatabase::CreateMaterial() { return AdoptResource(CreateResource(kMaterialResource)); }

ResourceRef ResourceDatabase::AcquireResource(const std::string& name, int type) {
  for (const auto& resource : table_) {
    if (resource && resource->type_ == type && resource->name_ == name) {
      return ResourceRef(this, AcquireFound(resource.get()));
    }
  }
  return {};
}

Resource* ResourceDatabase::LookupResource(const std::string& name, int type) const {
  for (const auto& resource : table_) {
    if (resource && resource->type_ == type && strcasecmp(resource->name_.c_str(), name.c_str()) == 0) {
      return resource.get();
    }
  }
  return nullptr;
}

void ResourceDatabase::ChangeCount(Resource& resource, int delta) {
  resource.referenceCount_ = std::max(0, resource.referenceCount_ + delta);
}

void ResourceDatabase::ChangeCountsOfReferences(Resource& resource, int delta) {
  resource.ForEachCountedReference([delta](Resource& held) {
    ChangeCount(held, delta);
    ChangeCountsOfReferences(held, delta);
  });
}

Resource* ResourceDatabase::AcquireFound(Resource* resource) {
  Resource* result = resource;
  if (resource->NeedsInstance()) {
    std::unique_ptr<Resource> instance = resource->Duplicate();
    if (!instance) return nullptr;
    instance->source_ = resource;
    instance->slot_ = -1;
    instance->database_ = this;
    unregistered_.push_back(std::move(instance));
    result = unregistered_.back().get();
  }
  ChangeCountsOfReferences(*resource, +1);
  ChangeCount(*resource, +1);
  return result;
}

Resource* ResourceDatabase::AddReference(Resource* resource) {
  if (resource->source_) return AcquireFound(resource->source_);
  if (resource->IsRegistered()) return AcquireFound(resource);
  ChangeCount(*resource, +1);
  return resource;
}

int ResourceDatabase::ReleaseResource(Resource* resource) {
  if (!resource) return 0;
  // An instance's counts live on the resource it was made from.
  Resource& counted = resource->source_ ? *resource->source_ : *resource;
  ChangeCountsOfReferences(counted, -1);
  if (resource->IsRegistered()) resource->OnRelease();
  ChangeCount(counted, -1);
  if (resource->source_ || (!resource->IsRegistered() && resource->referenceCount_ == 0)) {
    DeleteUnregistered(resource);
  }
  return 1;
}

void ResourceDatabase::DeleteUnregistered(Resource* resource) {
  resource->Unload();
  const auto it = std::find_if(unregistered_.begin(), unregistered_.end(),
                               [resource](const auto& owned) { return owned.get() == resource; });
  if (it != unregistered_.end()) unregistered_.erase(it);
}

int ResourceDatabase::LoadResource(Resource* resource) { return resource ? resource->Load() : 0; }

int ResourceDatabase::UnloadResource(Resource* resource) { return resource ? resource->Unload() : 0; }

void ResourceDatabase::UnloadUnusedResources() {
  for (const auto& resource : table_) {
    if (resource && resource->referenceCount_ == 0) resource->Unload();
  }
}

void ResourceDatabase::UnloadAll() {
  for (const auto& resource : unregistered_) resource->Unload();
  for (const auto& resource : table_) {
    if (resource) resource->Unload();
  }
}

void ResourceDatabase::DeleteAll() {
  UnloadAll();
  unregistered_.clear();
  for (auto& resource : table_) resource.reset();
}

std::unique_ptr<ResourceSet> ResourceDatabase::CreateResourceSet(bool includeDependencies) const {
  return std::make_unique<ResourceSet>(includeDependencies, table_.size());
}

Resource* ResourceDatabase::GetResourceBySlot(int slot) const {
  return slot >= 0 && static_cast<std::size_t>(slot) < table_.size() ? table_[static_cast<std::size_t>(slot)].get()
                                                                      : nullptr;
}

}  // namespace tge
