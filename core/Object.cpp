#include "core/Object.h"

#include <algorithm>

#include "core/BaseCommandIds.h"
#include "core/CommandScheduler.h"
#include "core/ObjectHooks.h"
#include "core/ObjectRecording.h"
#include "core/World.h"

namespace tge {
namespace {

// Group bit of the scheduler links object pools keep their clones in.
constexpr std::int32_t kPoolLinkGroup = 8;

}  // namespace

int Object::liveObjects_ = 0;

bool ObjectPhysics::HasLiveHandles() const {
  if (body != nullptr || space != nullptr) return true;
  return std::any_of(geometries.begin(), geometries.end(),
                     [](const auto& geometry) { return geometry->HasLiveGeometry(); });
}

Object::Object() { ++liveObjects_; }

Object::Object(int classId) : classId_(classId) { ++liveObjects_; }

Object::~Object() {
  if (anchor_) anchor_->object = nullptr;
  auto children = std::move(children_);
  for (auto& child : children) DestroyObjectTree(std::move(child));
  ReleasePhysics();
  for (const auto& link : LinkedScheduleLinks()) link->Unlink();
  LeaveGlobalAccess();
  --liveObjects_;
}

World* Object::GetWorld() const { return world_ ? static_cast<World*>(world_->object) : nullptr; }

void Object::SetWorld(World* world) { world_ = world ? world->GetAnchor() : nullptr; }

int Object::GetLiveObjectCount() { return liveObjects_; }

const std::shared_ptr<ObjectAnchor>& Object::GetAnchor() const {
  if (!anchor_) anchor_ = std::make_shared<ObjectAnchor>(ObjectAnchor{const_cast<Object*>(this)});
  return anchor_;
}

void Object::Update() {}

void Object::PointerMoved(const Vector3&, const Vector3&) {}

void Object::InputDown(const Vector3&, int) {}

void Object::InputUp(const Vector3&, int) {}

// A child's Draw may run a script that deletes this object: a retired
// object draws nothing more.
void Object::Draw() {
  if (!GetActive()) return;
  for (std::size_t i = 0; i < children_.size() && !IsRetired(); ++i) children_[i]->Draw();
}

void Object::Precalculate() {
  if (!GetActive()) return;
  started_ = 1;
  if (!FireEventStillHere(kEventOnPrecalculate, nullptr)) return;
  // NetworkEnable asks for network registration, but no network manager
  // exists to register with.
  for (std::size_t i = 0; i < children_.size(); ++i) {
    if (!children_[i]->IsStarted()) children_[i]->Precalculate();
  }
}

int Object::HandleContact(GeometryRecord*, GeometryRecord*, ContactParameters*, int) { return 0; }

float Object::GetFrameTime() const {
  ObjectHooks* hooks = GetObjectHooks();
  World* world = GetWorld();
  return world && hooks ? hooks->GetFrameTime(*world) : 0.0f;
}

float Object::GetFrameRate() const {
  ObjectHooks* hooks = GetObjectHooks();
  World* world = GetWorld();
  return world && hooks ? hooks->GetFrameRate(*world) : 0.0f;
}

float Object::GetWorldTime() const {
  ObjectHooks* hooks = GetObjectHooks();
  World* world = GetWorld();
  return world && hooks ? hooks->GetWorldTime(*world) : 0.0f;
}

void Object::EnableUpdate() {
  ObjectHooks* hooks = GetObjectHooks();
  World* world = GetWorld();
  if (HasFlag(kFlagUpdateRegistered) || world == nullptr || hooks == nullptr) return;
  hooks->AddUpdateObject(*world, *this);
  SetFlag(kFlagUpdateRegistered, true);
}

void Object::DisableUpdate() {
  ObjectHooks* hooks = GetObjectHooks();
  World* world = GetWorld();
  if (!HasFlag(kFlagUpdateRegistered) || world == nullptr || hooks == nullptr) return;
  hooks->RemoveUpdateObject(*world, *this);
  SetFlag(kFlagUpdateRegistered, false);
}

// A kept link whose memory fits the new one, else the last one kept.
ScheduleLink& Object::TakeKeptScheduleLink(bool withCall, std::size_t argumentSize) {
  if (linkedScheduleLinks_ == scheduleLinks_.size()) scheduleLinks_.push_back(std::make_unique<ScheduleLink>());
  const auto kept = scheduleLinks_.begin() + static_cast<std::ptrdiff_t>(linkedScheduleLinks_);
  const auto fits = std::find_if(kept, scheduleLinks_.end(), [&](const auto& link) {
    return withCall ? link->payload && link->payload->argumentBytes.capacity() >= argumentSize : !link->payload;
  });
  if (fits != scheduleLinks_.end()) std::iter_swap(kept, fits);
  ++linkedScheduleLinks_;
  return **kept;
}

ScheduleLink* Object::AddScheduleLink(ScheduleLink& after, int payloadBytes, int groupBits) {
  const std::size_t argumentSize = static_cast<std::size_t>(std::max(payloadBytes - kScheduledCallHeaderBytes, 0));
  ScheduleLink& link = TakeKeptScheduleLink(payloadBytes > 0, argumentSize);
  link.group = groupBits;
  link.owner = this;
  link.dead = false;
  link.payloadSize = std::max(payloadBytes, 0);
  if (payloadBytes > 0) {
    if (!link.payload) link.payload = std::make_unique<ScheduledCall>();
    link.payload->Reset(argumentSize);
  } else {
    link.payload.reset();
  }
  link.InsertAfter(after);
  return &link;
}

// The link moves behind the linked ones, which keep their order.
void Object::RemoveScheduleLink(ScheduleLink* link) {
  const auto linkedEnd = scheduleLinks_.begin() + static_cast<std::ptrdiff_t>(linkedScheduleLinks_);
  const auto it = std::find_if(scheduleLinks_.begin(), linkedEnd,
                               [link](const auto& owned) { return owned.get() == link; });
  if (it == linkedEnd) return;
  (*it)->Unlink();
  std::rotate(it, it + 1, linkedEnd);
  --linkedScheduleLinks_;
}

ScheduleLink* Object::GetScheduleLink(int index) const {
  if (index < 0 || index >= GetScheduleLinkCount()) return nullptr;
  return scheduleLinks_[static_cast<std::size_t>(index)].get();
}

std::span<const std::unique_ptr<ScheduleLink>> Object::LinkedScheduleLinks() const {
  return {scheduleLinks_.data(), linkedScheduleLinks_};
}

void Object::Start() { ExecuteCommand(kCommandActionStart, nullptr); }
void Object::Stop() { ExecuteCommand(kCommandActionStop, nullptr); }
void Object::Kill() { ExecuteCommand(kCommandActionKill, nullptr); }

bool Object::Delete(bool deferred) {
  if (HasFlag(kFlagDeleting)) return false;
  for (const auto& link : LinkedScheduleLinks()) {
    if ((link->group & kPoolLinkGroup) == 0) continue;
    const ScheduleLink* head = link.get();
    while (head->prev != nullptr) head = head->prev;
    if (head->owner != nullptr && head->owner != this) {
      head->owner->ExecuteCommand(kCommandPoolTakeBack, this);
      SetFlag(kFlagKilled, false);
      return true;
    }
  }
  ObjectHooks* hooks = GetObjectHooks();
  if (hooks == nullptr) return false;
  ExecuteCommand(kCommandReleasePhysics, nullptr);
  ExecuteCommand(kCommandStopPhysics, nullptr);
  DisableUpdate();
  LeaveGlobalAccess();
  SetFlag(kFlagDeleting, true);
  hooks->DeleteObject(*this, deferred);
  return true;
}

void Object::Retire() {
  if (!anchor_) anchor_ = std::make_shared<ObjectAnchor>();
  anchor_->object = nullptr;
  world_.reset();
  space_ = nullptr;
  SetFlag(kFlagDeleting, true);
  SetFlag(kFlagUpdateRegistered, false);
  // A World's walk may be standing on one of these links: they are only
  // marked, and the walk frees them. Pool links are no scheduler's.
  for (const auto& link : LinkedScheduleLinks()) {
    if (link->payload || (link->group & kScheduleUpdate) != 0) link->dead = true;
  }
}

void Object::LeaveGlobalAccess() {
  ObjectHooks* hooks = GetObjectHooks();
  if (HasFlag(kFlagGlobalScriptAccess) && hooks != nullptr) hooks->RemoveGlobalAccessObject(*this);
}

void Object::ReleasePhysics() {
  ObjectHooks* hooks = GetObjectHooks();
  if (physics_ && hooks != nullptr) hooks->DestroyObjectPhysics(*this);
}

void Object::SetUseAction(bool on) {
  SetFlag(kFlagUseAction, on);
  if (!on) action_.reset();
  else if (!action_) action_ = std::make_unique<ActionRecord>();
}

void Object::SetUseScript(bool on) {
  SetFlag(kFlagUseScript, on);
  if (!on) scripts_.reset();
  else if (!scripts_) scripts_ = std::make_unique<std::vector<ObjectScript>>();
}

void DestroyObjectTree(std::unique_ptr<Object> object) {
  if (!object) return;
  DestroyChildren(*object);
  object.reset();
}

void DestroyChildren(Object& parent) {
  while (parent.GetChildCount() > 0) {
    for (std::unique_ptr<Object>& child : parent.DetachChildren()) DestroyObjectTree(std::move(child));
  }
}

}  // namespace tge
