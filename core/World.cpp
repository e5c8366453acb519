#include "core/World.h"

#include <algorithm>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/ObjectHooks.h"
#include "core/WorldPhysicsHooks.h"

namespace tge {
namespace {

constexpr double kMaxFrameTime = 0.1;

WorldClock worldClock = nullptr;
ObjectRef<Object> globalFocus;
int drawnCells = 0;

std::vector<World*>& Worlds() {
  static std::vector<World*> worlds;
  return worlds;
}

void Unlist(const World* world) {
  auto& worlds = Worlds();
  if (auto it = std::find(worlds.begin(), worlds.end(), world); it != worlds.end()) worlds.erase(it);
}

}  // namespace

World::World() : File(kClassWorld), scheduler_(*this) {
  SetFileFlag(kFileAutoLoad, false);
  SetWorld(this);
  Worlds().push_back(this);
}

World::World(const World& source)
    : File(source),
      scheduler_(*this),
      frameTime_(source.frameTime_),
      frameRate_(source.frameRate_),
      timeMul_(source.timeMul_),
      currentTime_(source.currentTime_),
      previousTime_(source.previousTime_),
      settings_(source.settings_),
      blurAmount_(source.blurAmount_),
      bloomAmount_(source.bloomAmount_) {
  SetWorld(this);
  Worlds().push_back(this);
}

// Objects still holding bodies outlive the physics world's record; the
// physics wrapper frees the library world with the last of them.
World::~World() {
  Unlist(this);
  WorldPhysicsHooks* hooks = GetWorldPhysicsHooks();
  if (physicsWorld_ != nullptr && hooks != nullptr) hooks->DestroyPhysics(*this);
}

void World::Retire() {
  Unlist(this);
  File::Retire();
}

bool World::IsLive(const World* world) {
  const auto& worlds = Worlds();
  return world != nullptr && std::find(worlds.begin(), worlds.end(), world) != worlds.end();
}

void World::SetPhysics(PhysicsWorld* physicsWorld, PhysicsSpace* collisionSpace) {
  physicsWorld_ = physicsWorld;
  collisionSpace_ = collisionSpace;
}

void World::AddPhysicsObject(Object& object) {
  std::erase_if(physicsObjects_, [](const ObjectRef<Object>& ref) { return !ref; });
  auto matches = [&object](const ObjectRef<Object>& ref) { return ref == &object; };
  if (std::none_of(physicsObjects_.begin(), physicsObjects_.end(), matches)) physicsObjects_.emplace_back(&object);
}

void World::RemovePhysicsObject(Object& object) {
  std::erase_if(physicsObjects_, [&object](const ObjectRef<Object>& ref) { return !ref || ref == &object; });
}

// The copy builds its own physics world at its Precalculate; its Spaces
// register themselves when they start.
void World::CopyFrom(const Object& source) {
  File::CopyFrom(source);
  focusWindow_.Reset();
  previousFocusWindow_.Reset();
  windows_.clear();
  physicsWorld_ = nullptr;
  collisionSpace_ = nullptr;
  physicsObjects_.clear();
  spaces_.clear();
  globalSpace_ = nullptr;
  frameStamp_ = 0;
  previousFrameStamp_ = 0;
}

// Starting and stopping raise events whose scripts may unload the File
// holding this World: deletions wait until the command is done with it.
int World::ExecuteCommand(std::uint32_t id, void* args) {
  const DeletionHold hold;
  static const CommandHandlers<World> handlers(kClassWorld, {Commands()});
  handlers.Run(*this, id, args);
  if (id == kCommandResumeGame && focusWindow_) globalFocus = focusWindow_;
  return File::ExecuteCommand(id, args);
}

int World::SetTimeMulCommand(CommandArgs args) {
  timeMul_ = args.Get<float>();
  return 1;
}

int World::GetTimeMulCommand(CommandArgs args) {
  args.Set(timeMul_);
  return 1;
}

// The event is raised on the active objects of the subtree, then sent as a
// command to every object of it, both with this World as the sender.
void World::RaiseInSubtree(int eventId) {
  ArgumentBlock block;
  block.Push<std::int32_t>(eventId).PushPointer(static_cast<Object*>(this));
  ExecuteCommand(kCommandRaiseEvent, block.Data());
  ExecuteCommand(kCommandBroadcast, block.Data());
}

int World::StartWorld(CommandArgs) {
  SetActive(true);
  RaiseInSubtree(kEventOnStartWorld);
  return 1;
}

int World::StopWorld(CommandArgs) {
  RaiseInSubtree(kEventOnStopWorld);
  SetActive(false);
  return 1;
}

int World::DelayCommand(Object& target, int commandId, void* args, float delay, int group,
                        float initialElapsed) {
  scheduler_.Delay(target, commandId, args, delay, group, initialElapsed);
  return 1;
}

int World::RepeatCommand(Object& target, int commandId, void* args, float period, int, float initialElapsed) {
  scheduler_.Repeat(target, commandId, args, period, initialElapsed);
  return 1;
}

int World::InterpolateCommand(Object& target, int commandId, void* args, float duration, float from, float to,
                              int group, float initialElapsed) {
  scheduler_.Interpolate(target, commandId, args, duration, from, to, group, initialElapsed);
  return 1;
}

int World::CancelCommands(Object& target, int commandId, int groupMask) {
  CommandScheduler::Cancel(target, commandId, groupMask);
  return 1;
}

void World::AddUpdateObject(Object& object) { scheduler_.AddUpdate(object); }

void World::RemoveUpdateObject(Object& object) { CommandScheduler::RemoveUpdate(object); }

void World::ReadClock() {
  previousTime_ = currentTime_;
  if (worldClock != nullptr) currentTime_ = worldClock();
  const double dt = std::min(currentTime_ - previousTime_, kMaxFrameTime);
  if (dt > 0) frameRate_ = static_cast<float>(1.0 / dt);
  frameTime_ = static_cast<float>(dt) * timeMul_;
}

// A call that ticks this World again from inside its own tick is ignored:
// the lists are being walked. Deletions wait until the tick is done with
// this World, which a call of the tick may have asked to destroy.
void World::WorldTick() {
  if (!GetActive() || ticking_) return;
  const DeletionHold hold;
  ticking_ = true;
  ReadClock();
  scheduler_.Run(frameTime_);
  ticking_ = false;
}

void World::SetFocusWindow(Object* window) {
  if (Object* old = focusWindow_.Get(); old != nullptr && old != window) old->DropWindowFocus();
  previousFocusWindow_ = focusWindow_;
  focusWindow_.Set(window);
  globalFocus.Set(window);
}

// A window that stays inactive stays unstarted, so every Precalculate of its
// parent lists it again: it is listed once.
void World::AddWindow(Object& window) {
  if (std::find(windows_.begin(), windows_.end(), &window) == windows_.end()) windows_.emplace_back(&window);
}

void World::RemoveWindow(Object& window) {
  for (ObjectRef<Object>* ref : {&globalFocus, &focusWindow_, &previousFocusWindow_}) {
    if (*ref == &window) ref->Reset();
  }
  auto it = std::find_if(windows_.begin(), windows_.end(), [&](const auto& ref) { return ref == &window; });
  if (it != windows_.end()) windows_.erase(it);
}

void World::SetClock(WorldClock clock) { worldClock = clock; }

const std::vector<World*>& World::GetWorldList() { return Worlds(); }

Object* World::GetGlobalFocus() { return globalFocus.Get(); }

int World::GetDrawnCellCount() { return drawnCells; }

void World::CountDrawnCell() { ++drawnCells; }

void World::ResetDrawnCellCount() { drawnCells = 0; }

}  // namespace tge
