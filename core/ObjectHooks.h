// What the object model hands over to the engine object and to the World.
// Deletion, the global-access list and the release of physics belong to the
// engine; update registration and frame data belong to an object's World.
// The engine installs one implementation at start-up; until then none is
// installed and the operations that need one do nothing and say so.
#pragma once
#include <string>
#include <string_view>

namespace tge {

class Object;
class World;

class ObjectHooks {
 public:
  virtual ~ObjectHooks() = default;

  // Destroys the object with its subtree, at once or at the next frame step.
  virtual void DeleteObject(Object& object, bool deferred) = 0;
  // While any hold is on, deletions asked for at once wait until the last
  // hold is released: a scheduler walk or a command in progress may still
  // hold the objects.
  virtual void HoldDeletions() = 0;
  virtual void ReleaseDeletions() = 0;
  // Tree services of the base commands Copy, Move and SpawnObjectInPlace.
  virtual Object* CloneObject(const Object& source, Object& parent, bool activate, bool precalculate,
                              bool startPhysics) = 0;
  virtual bool MoveObject(Object& object, Object& newParent) = 0;
  // The folder data files such as object recordings are read from and
  // written to.
  virtual const std::string& GetDataPath() const = 0;
  virtual void AddGlobalAccessObject(Object& object) = 0;
  virtual void RemoveGlobalAccessObject(Object& object) = 0;
  // The object registered for global script access under exactly this name.
  virtual Object* FindGlobalAccessObject(std::string_view name) const = 0;
  // Frees the object's body, collision space and live geometries.
  virtual void DestroyObjectPhysics(Object& object) = 0;

  virtual void AddUpdateObject(World& world, Object& object) = 0;
  virtual void RemoveUpdateObject(World& world, Object& object) = 0;
  virtual float GetFrameTime(const World& world) const = 0;
  virtual float GetFrameRate(const World& world) const = 0;
  virtual float GetWorldTime(const World& world) const = 0;
};

// Null until the engine installs its hooks.
ObjectHooks* GetObjectHooks();
void SetObjectHooks(ObjectHooks* hooks);

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
