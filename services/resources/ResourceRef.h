// A counted handle on a resource. Holding one is holding a reference:
// copying acquires again (a sound gets a private instance, as a new acquire
// would), destroying or resetting releases. Objects keep their resources in
// these, so member-wise copies balance without code in each type.
#pragma once

namespace tge {

class Resource;
class ResourceDatabase;

class ResourceRef {
 public:
  ResourceRef() = default;
  ResourceRef(const ResourceRef& other);
  ResourceRef(ResourceRef&& other) noexcept;
  ResourceRef& operator=(ResourceRef other) noexcept;
  ~ResourceRef();

  // Gives the reference back; the handle becomes null.
  void Reset();

  Resource* Get() const { return resource_; }
  Resource* operator->() const { return resource_; }
  explicit operator bool() const { return resource_ != nullptr; }

 private:
  friend class ResourceDatabase;
  // Takes over a reference the database has already counted.
  ResourceRef(ResourceDatabase* database, Resource* resource);

  ResourceDatabase* database_ = nullptr;
  Resource* resource_ = nullptr;
};

}  // namespace tge
