// The operations on whole object trees that the engine object offers:
// cloning, moving and deleting subtrees (deletion optionally deferred to the
// next frame step), the list of objects scripts reach as "global/<name>",
// and reading and writing object files relative to the data path. The
// engine owns one and installs it as the object hooks.
//
// Queued deletions and the global-access list hold weak references: an entry
// whose object went with a destroyed subtree reads null and is dropped, so
// neither list can hand out a freed object.
//
// The deletion rule of the whole engine. A script may delete anything at any
// moment of a frame: by FileUnLoad, ATessaryUnload, Kill, a Space or World
// unloading, a parent going. The deleted subtree leaves the tree when it
// always did (at once, or for an object deleted under a walk hold when the
// walk is done), raising the same events in the same order, and is retired
// there (Object::Retire): nothing reaches it any more. Its memory lives on
// while any hold stands: the walk holds (HoldDeletions, DeletionHold) and the
// frame hold the engine takes for the whole of a frame, released only after
// the frame has been rendered. So code still running on a deleted object,
// and the render queue's pointers into the objects it drew, stay valid
// until the frame ends; the retired subtrees are destroyed when the last
// hold goes. Code that goes on after raising an event or running a script
// asks whether its object is still there (Object::FireEventStillHere,
// IsRetired, an ObjectRef) and stops acting when it is not.
#pragma once
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/ObjectHooks.h"
#include "core/ObjectRef.h"
#include "core/trees/ObjectFile.h"

namespace tge {

class ObjectServices : public ObjectHooks {
 public:
  ObjectServices();
  ObjectServices(const ObjectServices&) = delete;
  ObjectServices& operator=(const ObjectServices&) = delete;

  // A copy of source with its subtree as the last child of parent, given
  // the parent's Space and World; null when a type is not built, parent
  // lies inside source's own subtree, or the copy's start deleted it.
  Object* CloneObject(const Object& source, Object& parent, bool activate, bool precalculate,
                      bool startPhysics) override;
  Object* CloneObjectTree(const Object& source, Object& newParent);
  // False for an object without a parent and for a new parent inside the
  // object's own subtree.
  bool MoveObject(Object& object, Object& newParent) override;

  // The plain setter; the engine's own also loads the debug fonts and the
  // system settings.
  void SetDataPath(const std::string& path) override { dataPath_ = path; }
  const std::string& GetDataPath() const override { return dataPath_; }
  void SetDataRoot(const std::string& root) { dataRoot_ = root; }
  const std::string& GetDataRoot() const override { return dataRoot_; }

  // The World every object opened from a file joins (the engine's own);
  // without one they keep the World they had.
  void SetRootWorld(World* world) { rootWorld_ = world; }
  // The object-file reader and writer, with the data path of these services.
  ObjectFile& GetObjectFile() { return objectFile_; }
  bool LoadObjectFile(Object& parent, const std::string& name) { return objectFile_.Load(parent, name); }
  bool OpenObjectFile(Object& parent, const std::string& name) override;
  bool SaveObjectFile(Object& root, const std::string& name) override;
  const std::string& GetLastOpenedFile() const { return lastOpenedFile_; }

  // Deferred: queued once for the next DeletePendingObjects. At once: done
  // now, or when the last hold is released if a walk is under way.
  void DeleteObject(Object& object, bool deferred) override;
  void DeleteDetachedObject(std::unique_ptr<Object> object, bool deferred) override;
  // Takes the queue first: deletions asked for meanwhile wait a frame.
  void DeletePendingObjects();
  void HoldDeletions() override;
  void ReleaseDeletions() override;
  // The frame hold: retired subtrees are kept until it is released, after
  // the frame's render.
  void HoldFrame() { ++frameHolds_; }
  void ReleaseFrame();
  int GetPendingDeletionCount() const { return static_cast<int>(pending_.size()); }
  // Retired subtrees waiting for the holds to end.
  int GetRetiredCount() const { return static_cast<int>(retired_.size()); }

  // An object is in the list once, however often it is added.
  void AddGlobalAccessObject(Object& object) override;
  void RemoveGlobalAccessObject(Object& object) override;
  // The first object with exactly this name, or null.
  Object* FindGlobalAccessObject(std::string_view name) const override;

  // Without the physics wrapper nothing is built and nothing is freed.
  bool CreateObjectPhysics(Object& object) override;
  void DestroyObjectPhysics(Object& object) override;
  // Without the engine's global pools nothing is spawned.
  void SpawnGlobalHitEffects(std::uint32_t mask, Object& parent, const Matrix4& placement, const Vector3* direction,
                             float value) override;

  void AddUpdateObject(World& world, Object& object) override;
  void RemoveUpdateObject(World& world, Object& object) override;
  float GetFrameTime(const World& world) const override;
  float GetFrameRate(const World& world) const override;
  float GetWorldTime(const World& world) const override;

 private:
  void DeleteNow(Object& object);
  // Retires the subtree; destroys it now unless a hold stands.
  void Retire(std::unique_ptr<Object> object);
  void DestroyRetired();
  bool IsQueued(const Object& object) const;

  std::vector<ObjectRef<Object>> pending_;
  std::vector<ObjectRef<Object>> held_;
  // Retired subtrees that wait for the next frame step.
  std::vector<std::unique_ptr<Object>> pendingDetached_;
  std::vector<std::unique_ptr<Object>> retired_;
  int holds_ = 0;
  int frameHolds_ = 0;
  std::string dataPath_;
  std::string dataRoot_;
  ObjectFile objectFile_;
  World* rootWorld_ = nullptr;
  std::string lastOpenedFile_;
  std::vector<ObjectRef<Object>> globalAccess_;
};

// The frame hold for a scope (see the rule at the top of this file).
class FrameDeletionHold {
 public:
  explicit FrameDeletionHold(ObjectServices& services) : services_(services) { services_.HoldFrame(); }
  ~FrameDeletionHold() { services_.ReleaseFrame(); }
  FrameDeletionHold(const FrameDeletionHold&) = delete;
  FrameDeletionHold& operator=(const FrameDeletionHold&) = delete;

 private:
  ObjectServices& services_;
};

// Sends a command to root and every object of its subtree (internal 178).
void BroadcastCommand(Object& root, std::uint32_t commandId, void* block);

}  // namespace tge
