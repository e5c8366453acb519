// ObjectPool's command table, filling, hand-out, take-back and file record.
#include "objects/gameplay/world/ObjectPool.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <type_traits>
#include <vector>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/CommandScheduler.h"
#include "core/ObjectFactory.h"
#include "core/ObjectHooks.h"
#include "core/World.h"
#include "core/files/SerializeStream.h"
#include "core/math/Quaternion.h"
#include "core/math/Random.h"
#include "core/trees/ObjectServices.h"
#include "core/trees/ObjectServices.h"
#include "objects/scene/effects/HitEffect.h"
#include "services/EngineServices.h"
#include "services/resources/ResourceSet.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
// Group bit of the links that lead deleted clones back to their pool.
constexpr int kReturnLinkGroup = 8;
constexpr int kSpareWords = 4;

void SetActiveSubtree(Object& root, bool active) {
  std::int32_t value = active ? 1 : 0;
  BroadcastCommand(root, kCommandSetActive, &value);
}

std::vector<Object*> Subtree(Object& root) {
  std::vector<Object*> subtree{&root};
  root.CollectDescendants(subtree, -1, -1);
  return subtree;
}

// A stop or kill still fading on the scheduler (from the take-back, or the
// stop given to a new clone) would end the clone's next use early.
void ClearPendingActions(Object& clone) {
  for (Object* object : Subtree(clone)) {
    World::CancelCommands(*object, -1, kScheduleAction);
    object->ResetAction();
  }
}

Object* HandOut(Object& pool, Object& parent, const Matrix4& placement, const Vector3* direction, float intensity) {
  if (pool.GetClassId() != kClassObjectPool) return nullptr;
  return static_cast<ObjectPool&>(pool).GetObject(&parent, &placement, direction, intensity);
}

}  // namespace

// clang-format off
constexpr CommandEntry<ObjectPool> ObjectPool::kCommands[] = {
    {8000, "ObjectPoolMaxSize", P, 0, {kValueDword}, FieldSetter<&ObjectPool::maxSize_>, FieldGetter<&ObjectPool::maxSize_>},
    {8002, "ObjectPoolGrowSize", P, 0, {kValueDword}, FieldSetter<&ObjectPool::growSize_>, FieldGetter<&ObjectPool::growSize_>},
};

std::span<const CommandEntry<ObjectPool>> ObjectPool::Commands() { return kCommands; }
// clang-format on

ObjectPool::ObjectPool() : Object(kClassObjectPool) { returnLink_.owner = this; }

ObjectPool::ObjectPool(const ObjectPool& source)
    : Object(source), maxSize_(source.maxSize_), growSize_(source.growSize_), reserved_(source.reserved_) {
  returnLink_.owner = this;
}

// Clones in use would otherwise keep links into this pool: each is cut
// loose and becomes its own chain's head, so deleting it destroys it.
ObjectPool::~ObjectPool() {
  for (ScheduleLink* link = returnLink_.next; link != nullptr;) {
    ScheduleLink* next = link->next;
    link->prev = link->next = nullptr;
    link = next;
  }
  returnLink_.next = nullptr;
}

int ObjectPool::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<ObjectPool> handlers(kClassObjectPool, {kCommands});
  handlers.Run(*this, id, args);
  if (id == kCommandPoolTakeBack && args != nullptr) TakeBack(*static_cast<Object*>(args));
  return Object::ExecuteCommand(id, args);
}

// The store is a run-time child: it is never saved, and a copied store
// (from cloning a filled pool) is not taken for a template.
void ObjectPool::Fill() {
  filled_ = 1;
  std::vector<const Object*> templates;
  for (int i = 0; i < GetChildCount(); ++i) {
    if (!GetChild(i)->IsRunTimeOnly()) templates.push_back(GetChild(i));
  }
  if (templates.empty()) return;
  Object* store = CreateObject(kClassObject, nullptr, *this, "Pool");
  if (store == nullptr) return;
  store->SetActive(false);
  store->SetRunTimeOnly(true);
  store_.Set(store);
  if (maxSize_ > kMaxClones) {
    std::fprintf(stderr, "ObjectPool \"%s\": MaxSize %u is cut to %u clones\n", GetName().c_str(), maxSize_,
                 kMaxClones);
  }
  const std::uint32_t each = std::min(maxSize_, kMaxClones) / static_cast<std::uint32_t>(templates.size());
  for (const Object* source : templates) AddClones(*source, *store, each);
  if (EngineServices* services = GetEngineServices()) {
    std::unique_ptr<ResourceSet> set = services->GetResources().CreateResourceSet(false);
    BroadcastCommand(*store, kCommandCollectResources, set.get());
  }
}

void ObjectPool::AddClones(const Object& source, Object& store, std::uint32_t count) {
  ObjectHooks* hooks = GetObjectHooks();
  if (hooks == nullptr) return;
  for (std::uint32_t i = 0; i < count; ++i) {
    Object* clone = hooks->CloneObject(source, store, true, true, false);
    if (clone == nullptr) return;
    clone->Precalculate();
    clone->Stop();
    SetActiveSubtree(*clone, false);
    clone->AddScheduleLink(returnLink_, 0, kReturnLinkGroup);
  }
}

Object* ObjectPool::GetObject(Object* newParent, const Matrix4* placement, const Vector3* direction, float intensity) {
  if (filled_ == 0) Fill();
  Object* store = store_.Get();
  ObjectHooks* hooks = GetObjectHooks();
  if (store == nullptr || store->GetChildCount() == 0 || newParent == nullptr || hooks == nullptr) return nullptr;
  Object* clone = store->GetChild(Rand() % store->GetChildCount());
  if (!hooks->MoveObject(*clone, *newParent)) return nullptr;
  SetActiveSubtree(*clone, true);
  if (placement != nullptr && !clone->HasFlag(kFlagInheritOrientation)) Place(*clone, *newParent, *placement);
  if (clone->GetClassId() == kClassHitEffect) {
    auto& effect = static_cast<HitEffect&>(*clone);
    if (direction != nullptr) effect.StartAtPosition(*direction);
    effect.SetIntensity(intensity);
  }
  ClearPendingActions(*clone);
  clone->Start();
  return clone;
}

// A placement in world space, taken as it is by an object that keeps its
// own world orientation, else made relative to the new parent.
void ObjectPool::Place(Object& clone, Object& parent, const Matrix4& placement) {
  Matrix4 local = placement;
  if (!clone.HasFlag(kFlagWSOrientation)) {
    Matrix4 inverse;
    parent.GetInverseWorldMatrix(inverse);
    Matrix4Multiply(local, placement, inverse);
  }
  Quaternion rotation;
  QuaternionFromMatrix4(rotation, local);
  clone.SetPosition({local.m[12], local.m[13], local.m[14]}, true);
  clone.SetRotation(rotation, true);
}

// A returned clone is as it was when made: stopped, inactive, without a
// body and off the update list.
void ObjectPool::TakeBack(Object& clone) {
  Object* store = store_.Get();
  if (store == nullptr) return Release(clone);
  clone.Stop();
  SetActiveSubtree(clone, false);
  clone.ExecuteCommand(kCommandReleasePhysics, nullptr);
  clone.ExecuteCommand(kCommandStopPhysics, nullptr);
  for (Object* object : Subtree(clone)) object->DisableUpdate();
  if (ObjectHooks* hooks = GetObjectHooks()) hooks->MoveObject(clone, *store);
}

void ObjectPool::Release(Object& clone) {
  for (int i = clone.GetScheduleLinkCount() - 1; i >= 0; --i) {
    ScheduleLink* link = clone.GetScheduleLink(i);
    if ((link->group & kReturnLinkGroup) == 0) continue;
    const ScheduleLink* head = link;
    while (head->prev != nullptr) head = head->prev;
    if (head == &returnLink_) clone.RemoveScheduleLink(link);
  }
  clone.Delete(true);
}

bool ObjectPool::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  if (stream.GetVersion() >= 1) {
    stream.Serialize(reserved_);
    stream.Serialize(maxSize_);
    stream.Serialize(growSize_);
    std::uint32_t spare[kSpareWords] = {};
    stream.Serialize(spare);
  }
  return !stream.Failed();
}

void RegisterObjectPoolCommands() {
  RegisterCommandTable<ObjectPool>(BuildCommandRegistry(), kClassObjectPool, ObjectPool::Commands());
  GetObjectFactory().RegisterType<ObjectPool>(kClassObjectPool);
  SetPoolHandOut(&HandOut);
}

}  // namespace tge
