// The resources of one load or unload pass, each registered resource once.
// The engine collects what its objects hold into a set, then loads or
// unloads every member.
#pragma once
#include <cstddef>
#include <vector>

namespace tge {

class Resource;

class ResourceSet {
 public:
  ResourceSet(bool includeDependencies, std::size_t slotCount);

  // Appends the resource unless it is registered and already in; with
  // dependencies, then what it depends on. False for null.
  bool AddToResourceSet(Resource* resource);
  std::size_t GetResourceSetSize() const { return items_.size(); }
  // Null for an index out of range.
  Resource* GetResourceSetItem(std::size_t index) const;

 private:
  bool includeDependencies_;
  // One flag per table slot; grows for resources registered after the set
  // was made.
  std::vector<bool> seen_;
  std::vector<Resource*> items_;
};

}  // namespace tge
