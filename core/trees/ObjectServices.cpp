#include "core/trees/ObjectServices.h"

#include <algorithm>

#include "core/BaseCommandIds.h"
#include "core/CommandArgs.h"
#include "core/File.h"
#include "core/ObjectFactory.h"
#include "core/World.h"

namespace tge {
namespace {

bool IsInSubtree(const Object& object, const Object& root) {
  for (const Object* at = &object; at != nullptr; at = at->GetParent()) {
    if (at == &root) return true;
  }
  return false;
}

// Children first, as the subtree is destroyed: a Space leaves its World's
// list while the World is still reachable.
void RetireSubtree(Object& root) {
  for (int i = 0; i < root.GetChildCount(); ++i) RetireSubtree(*root.GetChild(i));
  root.Retire();
}

void HandOverPlace(Object& root, Object& parent) {
  BroadcastCommand(root, kCommandSetSpace, parent.GetSpace());
  BroadcastCommand(root, kCommandSetWorld, parent.GetWorld());
}

}  // namespace

void BroadcastCommand(Object& root, std::uint32_t commandId, void* block) {
  ArgumentBlock broadcast;
  broadcast.Push(static_cast<std::int32_t>(commandId)).PushPointer(block);
  root.ExecuteCommand(kCommandBroadcast, broadcast.Data());
}

ObjectServices::ObjectServices() : objectFile_(dataPath_, dataRoot_) {}

// The steps after the load run whatever it gave: what was loaded before a
// nested failure still has to join the World and start. Their events may
// delete what is being started: deletions wait until the steps are done.
bool ObjectServices::OpenObjectFile(Object& parent, const std::string& name) {
  const DeletionHold hold;
  const bool loaded = objectFile_.Load(parent, name);
  if (rootWorld_ != nullptr) BroadcastCommand(parent, kCommandSetWorld, rootWorld_);
  parent.Precalculate();
  ArgumentBlock event;
  event.Push(kEventOnFileLoaded).PushPointer(nullptr);
  parent.ExecuteCommand(kCommandRaiseEvent, event.Data());
  parent.ExecuteCommand(kCommandCreatePhysics, nullptr);
  parent.ExecuteCommand(kCommandStartPhysics, nullptr);
  lastOpenedFile_ = name;
  return loaded;
}

bool ObjectServices::SaveObjectFile(Object& root, const std::string& name) {
  return objectFile_.Save(root, name, false, false);
}

Object* ObjectServices::CloneObject(const Object& source, Object& parent, bool activate, bool precalculate,
                                    bool startPhysics) {
  if (IsInSubtree(parent, source)) return nullptr;
  const DeletionHold hold;
  Object* copy = CloneObjectTree(source, parent);
  if (copy == nullptr) return nullptr;
  HandOverPlace(*copy, parent);
  if (activate) {
    std::int32_t on = 1;
    copy->ExecuteCommand(kCommandSetActive, &on);
  }
  if (precalculate) copy->Precalculate();
  if (startPhysics) {
    copy->ExecuteCommand(kCommandCreatePhysics, nullptr);
    copy->ExecuteCommand(kCommandStartPhysics, nullptr);
  }
  return copy->IsRetired() ? nullptr : copy;
}

Object* ObjectServices::CloneObjectTree(const Object& source, Object& newParent) {
  if (IsInSubtree(newParent, source)) return nullptr;
  Object* copy = newParent.AddChild(CreateObject(source.GetClassId(), &source, nullptr));
  if (copy == nullptr) return nullptr;
  for (int i = 0; i < source.GetChildCount(); ++i) CloneObjectTree(*source.GetChild(i), *copy);
  return copy;
}

bool ObjectServices::MoveObject(Object& object, Object& newParent) {
  Object* oldParent = object.GetParent();
  if (oldParent == nullptr || IsInSubtree(newParent, object)) return false;
  oldParent->ExecuteCommand(kCommandChildMoved, &object);
  if (!newParent.AddChild(object)) return false;
  newParent.ExecuteCommand(kCommandChildAdded, &object);
  HandOverPlace(object, newParent);
  object.InvalidateTransform();
  return true;
}

bool ObjectServices::IsQueued(const Object& object) const {
  auto matches = [&object](const ObjectRef<Object>& ref) { return ref == &object; };
  return std::any_of(pending_.begin(), pending_.end(), matches) ||
         std::any_of(held_.begin(), held_.end(), matches);
}

void ObjectServices::DeleteObject(Object& object, bool deferred) {
  if (!deferred && holds_ == 0) {
    DeleteNow(object);
    return;
  }
  if (!IsQueued(object)) (deferred ? pending_ : held_).emplace_back(&object);
}

void ObjectServices::DeleteDetachedObject(std::unique_ptr<Object> object, bool deferred) {
  if (!object) return;
  if (!deferred) {
    Retire(std::move(object));
    return;
  }
  RetireSubtree(*object);
  pendingDetached_.push_back(std::move(object));
}

// An object without a parent is owned by whoever detached it, not the tree.
void ObjectServices::DeleteNow(Object& object) {
  Object* parent = object.GetParent();
  if (parent == nullptr) return;
  HoldDeletions();
  parent->ExecuteCommand(kCommandChildDeleted, &object);
  Retire(parent->DetachChild(object));
  ReleaseDeletions();
}

void ObjectServices::Retire(std::unique_ptr<Object> object) {
  if (!object) return;
  RetireSubtree(*object);
  retired_.push_back(std::move(object));
  if (holds_ == 0 && frameHolds_ == 0) DestroyRetired();
}

// A destructor may hand over more; they go too.
void ObjectServices::DestroyRetired() {
  while (!retired_.empty()) {
    std::vector<std::unique_ptr<Object>> retired;
    retired.swap(retired_);
    for (auto& object : retired) DestroyObjectTree(std::move(object));
  }
}

void ObjectServices::DeletePendingObjects() {
  std::vector<ObjectRef<Object>> queued;
  queued.swap(pending_);
  for (const ObjectRef<Object>& ref : queued) {
    if (Object* object = ref.Get()) DeleteNow(*object);
  }
  for (auto& object : pendingDetached_) retired_.push_back(std::move(object));
  pendingDetached_.clear();
  if (holds_ == 0 && frameHolds_ == 0) DestroyRetired();
}

void ObjectServices::HoldDeletions() { ++holds_; }

// The objects deleted under the hold leave the tree now; their memory waits
// for the frame hold.
void ObjectServices::ReleaseDeletions() {
  if (--holds_ > 0) return;
  while (!held_.empty()) {
    std::vector<ObjectRef<Object>> held;
    held.swap(held_);
    for (const ObjectRef<Object>& ref : held) {
      if (Object* object = ref.Get()) DeleteNow(*object);
    }
  }
  if (frameHolds_ == 0) DestroyRetired();
}

void ObjectServices::ReleaseFrame() {
  if (--frameHolds_ == 0 && holds_ == 0) DestroyRetired();
}

void ObjectServices::AddGlobalAccessObject(Object& object) {
  auto matches = [&object](const ObjectRef<Object>& ref) { return ref == &object; };
  if (std::none_of(globalAccess_.begin(), globalAccess_.end(), matches)) globalAccess_.emplace_back(&object);
}

// Also drops entries of objects already gone: a destructor asks for its own
// removal after its weak references read null.
void ObjectServices::RemoveGlobalAccessObject(Object& object) {
  auto it = std::find_if(globalAccess_.begin(), globalAccess_.end(),
                         [&object](const ObjectRef<Object>& ref) { return ref == &object; });
  if (it != globalAccess_.end()) globalAccess_.erase(it);
  std::erase_if(globalAccess_, [](const ObjectRef<Object>& ref) { return !ref; });
}

Object* ObjectServices::FindGlobalAccessObject(std::string_view name) const {
  for (const ObjectRef<Object>& ref : globalAccess_) {
    if (ref && ref->GetName() == name) return ref.Get();
  }
  return nullptr;
}

bool ObjectServices::CreateObjectPhysics(Object&) { return false; }

void ObjectServices::DestroyObjectPhysics(Object&) {}

void ObjectServices::SpawnGlobalHitEffects(std::uint32_t, Object&, const Matrix4&, const Vector3*, float) {}

void ObjectServices::AddUpdateObject(World& world, Object& object) { world.AddUpdateObject(object); }

void ObjectServices::RemoveUpdateObject(World&, Object& object) { World::RemoveUpdateObject(object); }

float ObjectServices::GetFrameTime(const World& world) const { return world.GetFrameTime(); }

float ObjectServices::GetFrameRate(const World& world) const { return world.GetFrameRate(); }

float ObjectServices::GetWorldTime(const World& world) const { return static_cast<float>(world.GetCurrentTime()); }

}  // namespace tge
