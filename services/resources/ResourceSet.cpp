#include "services/resources/ResourceSet.h"

#include "services/resources/Resource.h"

namespace tge {

ResourceSet::ResourceSet(bool includeDependencies, std::size_t slotCount)
    : includeDependencies_(includeDependencies), seen_(slotCount, false) {}

bool ResourceSet::AddToResourceSet(Resource* resource) {
  if (!resource) return false;
  if (resource->IsRegistered()) {
    const auto slot = static_cast<std::size_t>(resource->GetSlot());
    if (slot >= seen_.size()) seen_.resize(slot + 1, false);
    if (seen_[slot]) return true;
    seen_[slot] = true;
  }
  items_.push_back(resource);
  if (includeDependencies_) resource->ForEachDependency([this](Resource& d) { AddToResourceSet(&d); });
  return true;
}

Resource* ResourceSet::GetResourceSetItem(std::size_t index) const {
  return index < items_.size() ? items_[index] : nullptr;
}

}  // namespace tge
