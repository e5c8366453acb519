// A World owns time: every tick it reads the clock once, turns the difference
// into a frame time (clamped to 0.1 s, then scaled by the time factor) and
// runs the deferred command calls of its objects through its scheduler. The
// engine embeds one World, scenes may add more; the frame step walks the list
// of all Worlds. While a World is not Active nothing fires and the clock is
// not read, so the first tick after a restart sees the pause clamped.
//
// The clock is a plain function the engine installs (the services clock);
// tests install their own. Until one is installed time stands still.
#pragma once
#include <cstdint>
#include <vector>

#include "core/CommandScheduler.h"
#include "core/File.h"
#include "core/ObjectRef.h"

namespace tge {

using WorldClock = double (*)();
struct PhysicsWorld;

class World : public File {
 public:
  static const CommandEntry<World> kCommands[];

  World();
  // A copy has lists of its own (empty), the source's clock settings and no
  // focus.
  World(const World& source);
  ~World() override;

  int ExecuteCommand(std::uint32_t id, void* args) override;
  void CopyFrom(const Object& source) override;

  // Posting and cancelling; the target is one of this World's objects.
  int DelayCommand(Object& target, int commandId, void* args, float delay, int group, float initialElapsed = 0);
  int RepeatCommand(Object& target, int commandId, void* args, float period, int ignored = 0,
                    float initialElapsed = 0);
  int InterpolateCommand(Object& target, int commandId, void* args, float duration, float from, float to,
                         int group, float initialElapsed = 0);
  static int CancelCommands(Object& target, int commandId, int groupMask);
  void AddUpdateObject(Object& object);
  static void RemoveUpdateObject(Object& object);

  // The per-frame tick.
  void WorldTick();

  float GetFrameTime() const { return frameTime_; }
  float GetFrameRate() const { return frameRate_; }
  float GetTimeMul() const { return timeMul_; }
  void SetTimeMul(float timeMul) { timeMul_ = timeMul; }
  // The clock reading of the last tick.
  double GetCurrentTime() const { return currentTime_; }

  void SetFocusWindow(Object* window);
  Object* GetFocusWindow() const { return focusWindow_.Get(); }
  Object* GetPreviousFocusWindow() const { return previousFocusWindow_.Get(); }
  void AddWindow(Object& window);
  void RemoveWindow(Object& window);

  // The physics the World's objects build their bodies and geometries in:
  // the physics wrapper's world record and the World's top-level collision
  // space. Null until the physics wrapper gives them; the World does not
  // own them.
  PhysicsWorld* GetPhysicsWorld() const { return physicsWorld_; }
  PhysicsSpace* GetCollisionSpace() const { return collisionSpace_; }
  void SetPhysics(PhysicsWorld* physicsWorld, PhysicsSpace* collisionSpace);
  // Objects whose physics is built, each once; objects gone read null.
  void AddPhysicsObject(Object& object);
  void RemovePhysicsObject(Object& object);
  const std::vector<ObjectRef<Object>>& GetPhysicsObjects() const { return physicsObjects_; }

  static void SetClock(WorldClock clock);
  static const std::vector<World*>& GetWorldList();
  // The widget that receives keyboard input, or null.
  static Object* GetGlobalFocus();

 private:
  int StartWorld(CommandArgs args);
  int StopWorld(CommandArgs args);
  int SetTimeMulCommand(CommandArgs args);
  int GetTimeMulCommand(CommandArgs args);
  void RaiseInSubtree(int eventId);
  void ReadClock();

  CommandScheduler scheduler_;
  float frameTime_ = 1.0f / 60.0f;
  float frameRate_ = 59.999996f;
  float timeMul_ = 1.0f;
  double currentTime_ = 0;
  double previousTime_ = 0;
  bool ticking_ = false;
  ObjectRef<Object> focusWindow_;
  ObjectRef<Object> previousFocusWindow_;
  std::vector<ObjectRef<Object>> windows_;
  PhysicsWorld* physicsWorld_ = nullptr;
  PhysicsSpace* collisionSpace_ = nullptr;
  std::vector<ObjectRef<Object>> physicsObjects_;
};

void RegisterWorldCommands();

}  // namespace tge
