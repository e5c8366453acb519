// A World owns time: every tick it reads the clock once, turns the difference
// into a frame time (clamped to 0.1 s, then scaled by the time factor) and
// runs the deferred command calls of its objects through its scheduler. The
// engine embeds one World, scenes may add more; the frame step walks the list
// of all Worlds. While a World is not Active nothing fires and the clock is
// not read, so the first tick after a restart sees the pause clamped.
//
// The clock is a plain function the engine installs (the services clock);
// tests install their own. Until one is installed time stands still.
//
// A World also owns the physics of its objects: its properties set up the
// physics world, which it makes at Precalculate, and the frame step runs its
// physics step and its post pass (objects that moved are filed into the
// Space that now holds them; the Space graph is drawn from the camera). The
// physics and the Spaces are reached through WorldPhysicsHooks.h; the
// settings, the frame passes and the blur and bloom amounts are in
// WorldPhysics.cpp.
#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "core/CommandScheduler.h"
#include "core/File.h"
#include "core/ObjectRef.h"

namespace tge {

using WorldClock = double (*)();
class Space;
struct PhysicsWorld;

// Bits of WorldPhysicsSettings::flags.
inline constexpr std::uint32_t kWorldEnablePhysics = 0x1;
inline constexpr std::uint32_t kWorldQuickStep = 0x2;

// What the World hands its physics world; saved with the World.
struct WorldPhysicsSettings {
  std::uint32_t flags = kWorldQuickStep;
  Vector3 gravity{0, -9.81f, 0};
  std::int32_t stepIterations = 20;
  float maxContactVelocity = 100.0f;
  float surfaceLayerDepth = 0.005f;
  // Stored, saved and read back; nothing applies them.
  float maxLinearVelocity = 10.0f;
  float maxAngularVelocity = 4.0f;
  float erp = 0.2f;
  // Handed to the physics world scaled by kWorldCfmScale.
  float cfm = 1.0f;
};
inline constexpr float kWorldCfmScale = 0.00001f;

class World : public File {
 public:
  // The command table, in WorldCommands.cpp.
  static std::span<const CommandEntry<World>> Commands();

  World();
  // A copy has lists of its own (empty), the source's clock settings and no
  // focus.
  World(const World& source);
  ~World() override;
  // A retired World leaves the list of Worlds the engine runs.
  void Retire() override;

  int ExecuteCommand(std::uint32_t id, void* args) override;
  void CopyFrom(const Object& source) override;
  bool Serialize(SerializeStream& stream) override;
  // Gives the subtree this World, makes the physics world when physics is
  // enabled, starts the objects, then joins the connection Spaces.
  void Precalculate() override;

  // Posting and cancelling; the target is one of this World's objects.
  int DelayCommand(Object& target, int commandId, void* args, float delay, int group, float initialElapsed = 0);
  int RepeatCommand(Object& target, int commandId, void* args, float period, int ignored = 0,
                    float initialElapsed = 0);
  int InterpolateCommand(Object& target, int commandId, void* args, float duration, float from, float to,
                         int group, float initialElapsed = 0);
  static int CancelCommands(Object& target, int commandId, int groupMask);
  void AddUpdateObject(Object& object);
  static void RemoveUpdateObject(Object& object);

  // The frame passes, run for every World in turn: all physics steps, then
  // all ticks, then all post passes. None does anything while the World is
  // not Active.
  void PhysicsStep();
  void WorldTick();
  void PostPass();
  // The draw walk of one view: advances the frame stamps, then draws the
  // global Space and the Space holding the camera (the camera's own Space
  // when none does). The post pass runs it for every active camera.
  void DrawSpaces(Space* cameraSpace, const Vector3& cameraPosition);
  // The Space holding position: the hint, its parent for an inheriting
  // hint, one of its inner Spaces, else the first non-portal Space of the
  // World; null when none does.
  Space* FindSpaceAt(Space* hint, const Vector3& position) const;

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
  // space. Made at Precalculate when physics is enabled and freed with the
  // World, both through the physics hooks; null until then.
  PhysicsWorld* GetPhysicsWorld() const { return physicsWorld_; }
  PhysicsSpace* GetCollisionSpace() const { return collisionSpace_; }
  void SetPhysics(PhysicsWorld* physicsWorld, PhysicsSpace* collisionSpace);
  const WorldPhysicsSettings& GetPhysicsSettings() const { return settings_; }
  Vector3& GetPhysicsGravity(Vector3& out) const { return out = settings_.gravity; }
  float GetBlurAmount() const { return blurAmount_; }
  float GetBloomAmount() const { return bloomAmount_; }
  // Every Space of the World, each once; a global one is also the global
  // Space. A Space leaves when it goes.
  void AddSpace(Space& space, bool global);
  void RemoveSpace(Space& space);
  const std::vector<Space*>& GetSpaces() const { return spaces_; }
  Space* GetGlobalSpace() const { return globalSpace_; }
  // The draw stamps the Space draw walk reads: a Space drawn in this frame
  // carries frameStamp.
  std::int32_t GetFrameStamp() const { return frameStamp_; }
  std::int32_t GetPreviousFrameStamp() const { return previousFrameStamp_; }
  // Objects whose physics is built, each once; objects gone read null.
  void AddPhysicsObject(Object& object);
  void RemovePhysicsObject(Object& object);
  const std::vector<ObjectRef<Object>>& GetPhysicsObjects() const { return physicsObjects_; }

  static void SetClock(WorldClock clock);
  static const std::vector<World*>& GetWorldList();
  // The cells drawn by every World's draw walks in this frame: the frame
  // step resets the count once, between all ticks and all post passes.
  static int GetDrawnCellCount();
  static void CountDrawnCell();
  static void ResetDrawnCellCount();
  // Whether world is a World that is not being destroyed.
  static bool IsLive(const World* world);
  // The widget that receives keyboard input, or null.
  static Object* GetGlobalFocus();

 private:
  int StartWorld(CommandArgs args);
  int StopWorld(CommandArgs args);
  int SetTimeMulCommand(CommandArgs args);
  int GetTimeMulCommand(CommandArgs args);
  int SetEnablePhysicsCommand(CommandArgs args);
  int GetEnablePhysicsCommand(CommandArgs args);
  int SetGravityCommand(CommandArgs args);
  int GetGravityCommand(CommandArgs args);
  int SetQuickStepCommand(CommandArgs args);
  int GetQuickStepCommand(CommandArgs args);
  int SetStepIterationsCommand(CommandArgs args);
  int GetStepIterationsCommand(CommandArgs args);
  template <float WorldPhysicsSettings::*Field>
  int SetSettingCommand(CommandArgs args);
  template <float WorldPhysicsSettings::*Field>
  int GetSettingCommand(CommandArgs args);
  template <float World::*Amount, std::uint32_t Update>
  int SetEffectCommand(CommandArgs args);
  template <float World::*Amount>
  int UpdateEffectCommand(CommandArgs args);
  template <std::uint32_t Update>
  int AnimateEffectCommand(CommandArgs args);
  void ApplyPhysicsSettings();
  // After the Spaces: the listed windows shown full screen or as main
  // window, while their action runs.
  void DrawWindows();
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
  WorldPhysicsSettings settings_;
  float blurAmount_ = 0;
  float bloomAmount_ = 0;
  std::vector<Space*> spaces_;
  Space* globalSpace_ = nullptr;
  std::int32_t frameStamp_ = 0;
  std::int32_t previousFrameStamp_ = 0;
};

void RegisterWorldCommands();

}  // namespace tge
