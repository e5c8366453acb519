// The World's physics start, its Space list and its frame passes. What
// needs the physics wrapper or the Space type goes through the hooks of
// WorldPhysicsHooks.h.
#include <algorithm>

#include "core/ActiveCameraTable.h"
#include "core/BaseCommandIds.h"
#include "core/World.h"
#include "core/WorldPhysicsHooks.h"

namespace tge {
namespace {

WorldPhysicsHooks* worldPhysicsHooks = nullptr;

}  // namespace

WorldPhysicsHooks* GetWorldPhysicsHooks() { return worldPhysicsHooks; }

void SetWorldPhysicsHooks(WorldPhysicsHooks* hooks) { worldPhysicsHooks = hooks; }

// The physics world exists before the objects start, so their Spaces and
// bodies find it; the Spaces are joined once all have registered.
void World::Precalculate() {
  SetWorld(this);
  ArgumentBlock block;
  block.Push<std::uint32_t>(kCommandSetWorld).PushPointer(this);
  ExecuteCommand(kCommandBroadcast, block.Data());
  WorldPhysicsHooks* hooks = GetWorldPhysicsHooks();
  if ((settings_.flags & kWorldEnablePhysics) != 0 && physicsWorld_ == nullptr && hooks != nullptr) {
    hooks->CreatePhysics(*this);
  }
  File::Precalculate();
  if (hooks != nullptr) hooks->JoinSpaces(*this);
}

void World::PhysicsStep() {
  WorldPhysicsHooks* hooks = GetWorldPhysicsHooks();
  if (GetActive() && physicsWorld_ != nullptr && hooks != nullptr) hooks->StepPhysics(*this);
}

// Each viewport's camera draws the Spaces of its own World: a camera of
// another World is drawn by that World's pass, so no Space is walked twice
// in one frame.
void World::PostPass() {
  if (!GetActive()) return;
  WorldPhysicsHooks* hooks = GetWorldPhysicsHooks();
  if (hooks != nullptr) {
    hooks->SetPostEffectAmounts(blurAmount_, bloomAmount_);
    hooks->RefileMovedObjects(*this);
  }
  for (int slot = 0; slot < kViewportCount; ++slot) {
    ViewCamera* camera = GetActiveCameraTable().Get(slot);
    if (camera == nullptr || camera->GetSpace() == nullptr || camera->GetWorld() != this) continue;
    const Vector3 eye = camera->GetPositionWS();
    camera->ApplyView();
    DrawSpaces(camera->GetSpace(), eye);
    if (IsRetired()) return;
  }
  DrawWindows();
}

// A window's drawing may run nothing that changes the list, but one listed
// window may be gone: the list holds them weakly.
void World::DrawWindows() {
  const std::vector<ObjectRef<Object>> windows = windows_;
  for (const ObjectRef<Object>& window : windows) {
    if (!window) continue;
    const bool screen = (window->GetWindowFlags() & (kWindowFullscreen | kWindowMainWindow)) != 0;
    if (screen && window->HasFlag(kFlagActionStarted)) window->Draw();
  }
}

void World::DrawSpaces(Space* cameraSpace, const Vector3& cameraPosition) {
  WorldPhysicsHooks* hooks = GetWorldPhysicsHooks();
  if (hooks == nullptr) return;
  Space* at = FindSpaceAt(cameraSpace, cameraPosition);
  previousFrameStamp_ = frameStamp_;
  ++frameStamp_;
  hooks->DrawSpaces(*this, globalSpace_, at != nullptr ? at : cameraSpace);
}

Space* World::FindSpaceAt(Space* hint, const Vector3& position) const {
  WorldPhysicsHooks* hooks = GetWorldPhysicsHooks();
  return hooks != nullptr ? hooks->FindSpaceAt(*this, hint, position) : nullptr;
}

void World::AddSpace(Space& space, bool global) {
  if (std::find(spaces_.begin(), spaces_.end(), &space) == spaces_.end()) spaces_.push_back(&space);
  if (global) globalSpace_ = &space;
}

void World::RemoveSpace(Space& space) {
  if (globalSpace_ == &space) globalSpace_ = nullptr;
  if (auto it = std::find(spaces_.begin(), spaces_.end(), &space); it != spaces_.end()) spaces_.erase(it);
}

}  // namespace tge
