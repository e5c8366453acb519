#include "services/resources/ResourceRef.h"

#include <utility>

#include "services/ResourceDatabase.h"

namespace tge {

ResourceRef::ResourceRef(ResourceDatabase* database, Resource* resource)
    : database_(resource ? database : nullptr), resource_(resource) {}

ResourceRef::ResourceRef(const ResourceRef& other)
    : database_(other.database_),
      resource_(other.resource_ ? other.database_->AddReference(other.resource_) : nullptr) {
  if (!resource_) database_ = nullptr;
}

ResourceRef::ResourceRef(ResourceRef&& other) noexcept
    : database_(std::exchange(other.database_, nullptr)), resource_(std::exchange(other.resource_, nullptr)) {}

ResourceRef& ResourceRef::operator=(ResourceRef other) noexcept {
  std::swap(database_, other.database_);
  std::swap(resource_, other.resource_);
  return *this;
}

ResourceRef::~ResourceRef() { Reset(); }

void ResourceRef::Reset() {
  if (resource_) database_->ReleaseResource(resource_);
  database_ = nullptr;
  resource_ = nullptr;
}

}  // namespace tge
