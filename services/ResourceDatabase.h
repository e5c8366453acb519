// The table of every registered resource, found by name and type, with the
// reference counting of Acquire and Release and the unregistered instances
// (private sound copies, resources made without a file) the database owns.
//
// Resources are never unloaded by a release: a sweep (UnloadUnusedResources)
// or a load pass does that, and they are deleted only with the database.
#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "services/resources/Resource.h"
#include "services/resources/ResourceRef.h"
#include "services/resources/ResourceSet.h"
#include "services/video/VideoTextures.h"

namespace tge {

class ResourceDatabase {
 public:
  static constexpr std::size_t kSlotGrowth = 256;

  ResourceDatabase();
  ~ResourceDatabase();
  ResourceDatabase(const ResourceDatabase&) = delete;
  ResourceDatabase& operator=(const ResourceDatabase&) = delete;

  // A new unregistered resource with its type's defaults; null, with the
  // reason in the last-error text, for an id outside 0 to 11 or a type this
  // build does not provide.
  std::unique_ptr<Resource> CreateResource(int type);
  // Into the resource's own slot when it has one and that slot is free, else
  // the first empty slot; a full table grows by 256 slots. Returns the slot.
  int RegisterResource(std::unique_ptr<Resource> resource);
  // Takes a registered resource out of the table again (undoing a refused
  // library read); null for an empty or bad slot.
  std::unique_ptr<Resource> UnregisterResource(int slot);
  // Hands out an unregistered resource (a material made for a render
  // target): the handles share it, the last release deletes it.
  ResourceRef AdoptResource(std::unique_ptr<Resource> resource);
  ResourceRef CreateMaterial();

  // The first registered resource of that type whose name matches exactly;
  // counts a reference on it and on what it holds. Null handle when absent.
  ResourceRef AcquireResource(const std::string& name, int type);
  // The same search ignoring letter case, without counting.
  Resource* LookupResource(const std::string& name, int type) const;

  int LoadResource(Resource* resource);
  int UnloadResource(Resource* resource);
  void UnloadUnusedResources();
  // Unloads every resource before deleting any, so an Unload may still look
  // at another resource.
  void UnloadAll();
  void DeleteAll();

  std::unique_ptr<ResourceSet> CreateResourceSet(bool includeDependencies) const;

  // Null for an empty slot or one outside the table.
  Resource* GetResourceBySlot(int slot) const;
  std::size_t GetSlotCount() const { return table_.size(); }
  std::size_t GetUnregisteredCount() const { return unregistered_.size(); }

  // The video resources playing now and their clock.
  VideoTextures& GetVideoTextures() { return videos_; }

  const std::string& GetDataFolder() const { return dataFolder_; }
  void SetDataFolder(const std::string& folder) { dataFolder_ = folder; }

 private:
  friend class ResourceRef;

  static void ChangeCount(Resource& resource, int delta);
  static void ChangeCountsOfReferences(Resource& resource, int delta);
  Resource* AcquireFound(Resource* resource);
  Resource* AddReference(Resource* resource);
  int ReleaseResource(Resource* resource);
  void DeleteUnregistered(Resource* resource);

  VideoTextures videos_;
  std::vector<std::unique_ptr<Resource>> table_;
  std::vector<std::unique_ptr<Resource>> unregistered_;
  std::string dataFolder_;
};

}  // namespace tge
