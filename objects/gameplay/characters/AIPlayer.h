// AIPlayer (class 60): a computer-controlled character. Its upright body
// walks on its own animated skin mesh: the update takes the forward speed
// from the skin mesh's root motion and the contact handler hands it to the
// ground contacts as surface motion, so the ground pushes the body along.
// Scripts drive it through task commands: build a task, adjust it, insert
// it into one of its task lists (AITask.h). It finds its way over its
// Space's VisionGraph, opens doors on its way, attacks the first-person
// player it reaches and takes damage from hit messages.
//
// The implementation is split by responsibility: AIPlayer.cpp (commands,
// links, physics, contacts, damage, shadow, file record) and
// AIPlayerTasks.cpp (building, inserting, starting and stepping tasks).
//
// Links to other objects (targets, bones, carried children, the door or
// character touched) are weak references. A copy keeps the settings and
// starts with no tasks.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/ObjectRef.h"
#include "core/math/Matrix4.h"
#include "core/math/Quaternion.h"
#include "core/math/Vector.h"
#include "objects/gameplay/characters/AITask.h"
#include "objects/gameplay/characters/SkinPlayback.h"
#include "services/resources/ResourceRef.h"

namespace tge {

class Bone;
class Door;
class SkinMesh;
class Sound;
class VisionGraph;
struct HitMessage;
struct PathRecord;

// The locomotion animations, by index into the names.
enum AIAnimation : int { kAIIdle = 0, kAIWalk, kAIRun, kAIJump, kAIJumpWalk, kAIJumpRun, kAIAnimationCount };

// What a copy keeps and the object file holds.
struct AIPlayerSettings {
  std::array<std::string, kAIAnimationCount> animations{"Idle", "Walk", "Run", "Jump", "JumpWalk", "JumpRun"};
  float health = 100.0f, maxHealth = 100.0f;
  float endurance = 100.0f, maxEndurance = 100.0f;
  float vision = 100.0f, maxVision = 100.0f;
  float hearing = 100.0f, maxHearing = 100.0f;
  float exhaustion = 0, maxExhaustion = 100.0f;
  std::uint32_t characterGroup = 0, fightGroup = 0;
  std::array<std::uint32_t, 3> reserved{};
  std::uint32_t sensorCategory = 6;
  float sensorFar = 20.0f, sensorMid = 10.0f, sensorClose = 4.0f, sensorNear = 2.0f;
  std::array<float, 32> groupDamageMul = MakeGroupDamageMul();
  std::uint32_t currentGroupDamage = 0;
  float damage = 20.0f;
  std::uint32_t damageGroup = 1;
  std::uint32_t hitExtra = 0;
  std::uint32_t aiFlags = 1;

  static constexpr std::array<float, 32> MakeGroupDamageMul() {
    std::array<float, 32> all{};
    for (float& mul : all) mul = 1.0f;
    return all;
  }
};

class AIPlayer : public Object {
 public:
  static constexpr int kActiveLists = 5;
  static constexpr int kTaskListCount = 10;
  static constexpr std::uint32_t kEnableIdleLod = 1;
  static constexpr int kEventChangeHealth = 15095;

  static std::span<const CommandEntry<AIPlayer>> Commands();
  static const CommandEntry<AIPlayer> kCommands[];
  // Ids only code sends: the task with an object, 15050.
  static std::span<const CommandEntry<AIPlayer>> HiddenCommands();
  static const CommandEntry<AIPlayer> kHiddenCommands[];

  AIPlayer();
  AIPlayer(const AIPlayer& source);
  ~AIPlayer() override;

  int ExecuteCommand(std::uint32_t id, void* args) override;
  bool Serialize(SerializeStream& stream) override;
  void Update() override;
  void Draw() override;
  void Precalculate() override;
  int HandleContact(GeometryRecord* own, GeometryRecord* other, ContactParameters* contacts, int count) override;
  int FireEvent(int eventId, Object* sender) override;

  // 1 when the hit was taken.
  int ApplyHit(const HitMessage& hit);

  const AIPlayerSettings& GetSettings() const { return settings_; }
  const AITaskList& GetTaskList(int index) const { return taskLists_[static_cast<std::size_t>(index)]; }
  const AITask* GetPendingTask() const { return pendingTask_.get(); }
  Object* GetTarget() const { return target_.Get(); }
  float GetYaw() const { return yaw_; }
  const Vector3& GetRootVelocity() const { return rootVelocity_; }
  const PathRecord* GetPath() const { return path_.get(); }
  VisionGraph* GetVisionGraph() const;
  SkinMesh* GetSkinMesh() const;

 private:
  // Commands (AIPlayer.cpp).
  template <auto Field>
  int SetField(CommandArgs args);
  template <auto Field>
  int GetField(CommandArgs args);
  template <int Index>
  int SetAnimationName(CommandArgs args);
  template <int Index>
  int GetAnimationName(CommandArgs args);
  int SetHealthCommand(CommandArgs args);
  template <float AIPlayerSettings::*Value, float AIPlayerSettings::*Maximum>
  int GetNormalizedCommand(CommandArgs args);
  int SetIdleLodCommand(CommandArgs args);
  int GetIdleLodCommand(CommandArgs args);
  int SetGroupDamageMulCommand(CommandArgs args);
  int GetGroupDamageMulCommand(CommandArgs args);
  int NothingCommand(CommandArgs args);

  // Task commands (AIPlayerTasks.cpp).
  template <AITaskType Type>
  int BeginTargetTaskCommand(CommandArgs args);
  template <AITaskType Type>
  int BeginNamedTaskCommand(CommandArgs args);
  int BeginWalkToCommand(CommandArgs args);
  int BeginRunToCommand(CommandArgs args);
  int BeginIdleCommand(CommandArgs args);
  int BeginTurnAtCommand(CommandArgs args);
  int BeginExitTransportCommand(CommandArgs args);
  int BeginLookAtCommand(CommandArgs args);
  int SetTaskTimeCommand(CommandArgs args);
  int SetTaskTimeInfiniteCommand(CommandArgs args);
  int SetTaskLoopCommand(CommandArgs args);
  int SetTaskLoopInfiniteCommand(CommandArgs args);
  int InsertTaskFirstCommand(CommandArgs args);
  int InsertTaskLastCommand(CommandArgs args);
  int InsertSubTaskFirstCommand(CommandArgs args);
  int InsertSubTaskLastCommand(CommandArgs args);
  int ClearTaskListCommand(CommandArgs args);
  int ClearSubTaskListCommand(CommandArgs args);
  int SuspendCommand(CommandArgs args);
  int ResumeCommand(CommandArgs args);

  // Links (AIPlayer.cpp).
  void LinkChildren();
  void ForgetChild(const Object* child);
  void FindVisionGraph(Space* space);
  void CreatePhysics();
  void StartChildrenPhysics();
  void CarryChildren();
  void AnimationStarted(std::int32_t index);
  void OpenTouchedDoor();
  void SetYawFromAxis();
  const std::string& Animation(int index) const { return settings_.animations[static_cast<std::size_t>(index)]; }

  // Tasks (AIPlayerTasks.cpp).
  // A new task of the type, or null for a type outside 1 to 15.
  std::unique_ptr<AITask> CreateTask(AITaskType type);
  void BeginTask(AITaskType type, Object* target, bool needsTarget);
  void InsertPending(int list, bool first);
  void AppendPrimaryTask(AITaskType type, Object* target, const std::string& name, float time);
  void ClearTaskList(int list);
  // Requeues or deletes the first task with finish, then starts the first.
  void StartTask(int list, bool finish);
  // Finishes the list's first task only when it is still the one given.
  void FinishTask(int list, std::uint32_t serial);
  void StartFirstTask(AITask& task);
  void StartAttack(AITask& task);
  void StartEnterTransport(AITask& task);
  void StepTaskLists(float dt, bool& move);
  void StepTask(int list, float dt, bool& move);
  void RefreshTarget(Object& target);
  void StepAttack(int list, AITask& task);
  void StepAlign(int list, AITask& task, Object& target, float dt);
  void StepMoveTask(int list, AITask& task, float dt);
  void SearchPath(Object& target);
  void Steer(AITask& task, float dt);
  void Arrive(int list, AITask& task);

  AIPlayerSettings settings_;

  SkinPlayback skinMesh_;
  ObjectRef<Sound> speaker_;
  ObjectRef<> items_;
  ObjectRef<Bone> shadowBoneA_, shadowBoneB_;
  ObjectRef<Bone> leftHandBone_, rightHandBone_, headBone_, spineBone_;
  ObjectRef<> leftHand_, rightHand_, head_, spine2_;
  Vector4 lookTarget_{};
  Quaternion savedHeadRotation_{0, 0, 0, 0};
  Vector3 rootVelocity_{};
  Vector3 forward_{};
  float yaw_ = 0;
  std::int32_t noSteer_ = 0;
  Vector3 noSteerStart_{};
  ObjectRef<> touchedCharacter_;
  float avoidTimer_ = 0;
  ObjectRef<Door> touchedDoor_;
  std::array<AITaskList, kTaskListCount> taskLists_;
  std::unique_ptr<AITask> pendingTask_;
  std::int32_t pendingListIndex_ = 0;
  std::uint32_t nextSerial_ = 0;
  ObjectRef<> target_;
  Vector3 targetPosition_{};
  Vector3 targetDirection_{};
  float targetDistance_ = 0;
  std::unique_ptr<PathRecord> path_;
  ObjectRef<VisionGraph> visionGraph_;
  float replanTimer_ = 0;
  std::int32_t walkPace_ = 0;
  ResourceRef shadowMesh_;
  Matrix4 shadowMatrix_;
  float shadowAlpha_ = 0;
  float groundHeight_ = 0;
  std::int32_t onGround_ = 0;
};

void RegisterAIPlayerCommands();

}  // namespace tge
