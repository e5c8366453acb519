// What the object model hands over to the engine object and to the World.
// Deletion, the global-access list, object files and the building and
// release of physics belong to the engine; update registration and frame data belong to an object's World.
// The engine installs one implementation at start-up; until then none is
// installed and the operations that need one do nothing and say so.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace tge {

class Object;
class World;
struct Matrix4;
struct Vector3;

class ObjectHooks {
 public:
  virtual ~ObjectHooks() = default;

  // Destroys the object with its subtree, at once or at the next frame step.
  virtual void DeleteObject(Object& object, bool deferred) = 0;
  // The same for an object already taken out of the tree; the hooks own it
  // until it goes.
  virtual void DeleteDetachedObject(std::unique_ptr<Object> object, bool deferred) = 0;
  // While any hold is on, deletions asked for at once wait until the last
  // hold is released: a scheduler walk or a command in progress may still
  // hold the objects. The memory of what left the tree also waits for the
  // engine's frame hold (the rule is set out in core/trees/ObjectServices.h).
  virtual void HoldDeletions() = 0;
  virtual void ReleaseDeletions() = 0;
  // Tree services of the base commands Copy, Move and SpawnObjectInPlace.
  virtual Object* CloneObject(const Object& source, Object& parent, bool activate, bool precalculate,
                              bool startPhysics) = 0;
  virtual bool MoveObject(Object& object, Object& newParent) = 0;
  // The folder data files such as object recordings are read from and
  // written to.
  virtual const std::string& GetDataPath() const = 0;
  // The plain setter, used while a File names its own folder.
  virtual void SetDataPath(const std::string& path) = 0;
  // The folder in front of "Data\" that File folders are relative to.
  virtual const std::string& GetDataRoot() const = 0;
  // Loads an object file (relative to the data path) under parent, then
  // makes the loaded objects part of the engine's World, starts them,
  // raises OnFileLoaded and builds their physics; false when the file could
  // not be read.
  virtual bool OpenObjectFile(Object& parent, const std::string& name) = 0;
  // Writes root's descendants to an object file relative to the data path.
  virtual bool SaveObjectFile(Object& root, const std::string& name) = 0;
  virtual void AddGlobalAccessObject(Object& object) = 0;
  virtual void RemoveGlobalAccessObject(Object& object) = 0;
  // The object registered for global script access under exactly this name.
  virtual Object* FindGlobalAccessObject(std::string_view name) const = 0;
  // Builds the object's body, collision space and geometries; false when
  // it has no place to build them in.
  virtual bool CreateObjectPhysics(Object& object) = 0;
  // Frees the object's body, collision space and live geometries.
  virtual void DestroyObjectPhysics(Object& object) = 0;
  // Hands out one pooled hit effect from each of the engine's 32 global
  // pools whose bit is set in mask, under parent at placement (direction may
  // be null); a mask of 0 spawns nothing.
  virtual void SpawnGlobalHitEffects(std::uint32_t mask, Object& parent, const Matrix4& placement,
                                     const Vector3* direction, float value) = 0;

  virtual void AddUpdateObject(World& world, Object& object) = 0;
  virtual void RemoveUpdateObject(World& world, Object& object) = 0;
  virtual float GetFrameTime(const World& world) const = 0;
  virtual float GetFrameRate(const World& world) const = 0;
  virtual float GetWorldTime(const World& world) const = 0;
};

// Null until the engine installs its hooks.
ObjectHooks* GetObjectHooks();
void SetObjectHooks(ObjectHooks* hooks);

// How a pool object hands out one of its clones under parent at placement:
// the clone, or null when it has none to give. The pool type registers it;
// until then no pool hands anything out.
using PoolHandOut = Object* (*)(Object& pool, Object& parent, const Matrix4& placement, const Vector3* direction,
                                float value);
PoolHandOut GetPoolHandOut();
void SetPoolHandOut(PoolHandOut handOut);

// Holds deletions for a scope (see ObjectHooks::HoldDeletions).
class DeletionHold {
 public:
  DeletionHold() : hooks_(GetObjectHooks()) {
    if (hooks_) hooks_->HoldDeletions();
  }
  ~DeletionHold() {
    if (hooks_) hooks_->ReleaseDeletions();
  }
  DeletionHold(const DeletionHold&) = delete;
  DeletionHold& operator=(const DeletionHold&) = delete;

 private:
  ObjectHooks* hooks_;
};

}  // namespace tge
