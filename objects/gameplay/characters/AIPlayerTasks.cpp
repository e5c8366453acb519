// AIPlayer's tasks: the commands that build, adjust, insert and clear them,
// starting a task when it becomes the first of its list, and the per-frame
// step of every task type, walking along paths from the vision graph.
//
// A step that calls out (a hit sent to the target, an event) may run
// scripts that edit the lists, so it finishes its task only while that task
// is still the first of its list.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectHooks.h"
#include "core/math/Angles.h"
#include "objects/gameplay/characters/AIPlayer.h"
#include "objects/gameplay/characters/Horse.h"
#include "objects/gameplay/navigation/PathRecord.h"
#include "objects/gameplay/navigation/VisionGraph.h"
#include "objects/gameplay/world/HitMessage.h"
#include "objects/gameplay/world/Space.h"
#include "objects/scene/animation/Bone.h"
#include "objects/scene/animation/SkinMesh.h"

namespace tge {
namespace {

constexpr float kPi = 3.1415927f;
constexpr float kTwoPi = 6.2831855f;
constexpr float kFastTurn = 12.566371f;
constexpr float kAnimationTail = 0.2f;
constexpr float kWalkSpeed = 0.5f;
constexpr float kRunSpeed = 1.0f;
constexpr float kTurnAtTime = 1.0f;
constexpr float kLookAtTime = 20.0f;
constexpr float kInfinite = -1.0f;
constexpr std::int32_t kEndless = -1;

// Walking.
constexpr float kNearTarget = 1.5f;
constexpr float kArrival = 0.9f;
constexpr float kAttackDelay = 0.5f;
constexpr float kReplanTime = 4.0f;
constexpr float kEyeHeight = 0.5f;
constexpr float kMinReach = 1.2f;
constexpr float kStepHeight = 0.4f;
constexpr float kAvoidAhead = 0.4f;
constexpr float kAvoidTime = 0.2f;
constexpr float kAvoidTurn = 0.05f;
constexpr float kBeyondConnection = 1.0f;

// Attacking.
constexpr float kStrikeTime = 0.4f;
constexpr float kStrikeReach = 2.0f;
constexpr float kLookHeight = 1.5f;

constexpr float kStepDuration = 1.0f;

// Tasks that are about their target finish once it is missing or gone.
bool NeedsTarget(AITaskType type) {
  switch (type) {
    case AITaskType::kMoveTo:
    case AITaskType::kAttack:
    case AITaskType::kAlign:
    case AITaskType::kTurnAt:
    case AITaskType::kEnterTransport:
    case AITaskType::kLookAt: return true;
    default: return false;
  }
}

Vector3 Raised(Vector3 point, float height) {
  point.y += height;
  return point;
}

// Spaces one inside the other, or inside one parent, need no connection.
bool SameRoom(const Space* a, const Space* b) {
  if (a == b) return true;
  const Space* parentA = a->GetParentSpace();
  const Space* parentB = b->GetParentSpace();
  if (parentA == nullptr && parentB == nullptr) return false;
  return parentA == b || parentB == a || parentA == parentB;
}

float HorizontalDistance(const Vector3& a, const Vector3& b) { return std::hypot(a.x - b.x, a.z - b.z); }

}  // namespace

std::unique_ptr<AITask> AIPlayer::CreateTask(AITaskType type) {
  const auto value = static_cast<std::uint32_t>(type);
  if (value < static_cast<std::uint32_t>(AITaskType::kIdle) || value > static_cast<std::uint32_t>(AITaskType::kLookAt)) {
    return nullptr;
  }
  auto task = std::make_unique<AITask>();
  task->type = type;
  task->serial = ++nextSerial_;
  return task;
}

// Replaces (and frees) a pending task that was never inserted.
void AIPlayer::BeginTask(AITaskType type, Object* target, bool needsTarget) {
  if (needsTarget && target == nullptr) return;
  pendingTask_ = CreateTask(type);
  if (pendingTask_ != nullptr) pendingTask_->target.Set(target);
}

template <AITaskType Type>
int AIPlayer::BeginTargetTaskCommand(CommandArgs args) {
  BeginTask(Type, args.GetPointer<Object>(), true);
  return 1;
}

template <AITaskType Type>
int AIPlayer::BeginNamedTaskCommand(CommandArgs args) {
  BeginTask(Type, nullptr, false);
  if (pendingTask_ != nullptr) pendingTask_->name = args.AsString();
  return 1;
}

// The command table (AIPlayer.cpp) names these.
template int AIPlayer::BeginTargetTaskCommand<AITaskType::kObject>(CommandArgs);
template int AIPlayer::BeginTargetTaskCommand<AITaskType::kAlign>(CommandArgs);
template int AIPlayer::BeginTargetTaskCommand<AITaskType::kEnterTransport>(CommandArgs);
template int AIPlayer::BeginNamedTaskCommand<AITaskType::kPerform>(CommandArgs);
template int AIPlayer::BeginNamedTaskCommand<AITaskType::kAnimation>(CommandArgs);

int AIPlayer::BeginWalkToCommand(CommandArgs args) {
  BeginTask(AITaskType::kMoveTo, args.GetPointer<Object>(), true);
  if (pendingTask_ != nullptr) pendingTask_->speed = kWalkSpeed;
  return 1;
}

int AIPlayer::BeginRunToCommand(CommandArgs args) {
  BeginTask(AITaskType::kMoveTo, args.GetPointer<Object>(), true);
  if (pendingTask_ != nullptr) pendingTask_->speed = kRunSpeed;
  return 1;
}

int AIPlayer::BeginIdleCommand(CommandArgs) {
  BeginTask(AITaskType::kIdle, nullptr, false);
  if (pendingTask_ != nullptr) pendingTask_->name = Animation(kAIIdle);
  return 1;
}

int AIPlayer::BeginTurnAtCommand(CommandArgs args) {
  BeginTask(AITaskType::kTurnAt, args.GetPointer<Object>(), true);
  if (pendingTask_ != nullptr) pendingTask_->time = kTurnAtTime;
  return 1;
}

// Takes no argument, so it reads none.
int AIPlayer::BeginExitTransportCommand(CommandArgs) {
  BeginTask(AITaskType::kExitTransport, nullptr, false);
  return 1;
}

int AIPlayer::BeginLookAtCommand(CommandArgs args) {
  BeginTask(AITaskType::kLookAt, args.GetPointer<Object>(), true);
  if (pendingTask_ != nullptr) pendingTask_->time = kLookAtTime;
  return 1;
}

int AIPlayer::SetTaskTimeCommand(CommandArgs args) {
  if (pendingTask_ != nullptr) pendingTask_->time = args.Get<float>();
  return 1;
}

int AIPlayer::SetTaskTimeInfiniteCommand(CommandArgs) {
  if (pendingTask_ != nullptr) pendingTask_->time = kInfinite;
  return 1;
}

int AIPlayer::SetTaskLoopCommand(CommandArgs args) {
  if (pendingTask_ != nullptr) pendingTask_->loopCount = args.Get<std::int32_t>();
  return 1;
}

int AIPlayer::SetTaskLoopInfiniteCommand(CommandArgs) {
  if (pendingTask_ != nullptr) pendingTask_->loopCount = kEndless;
  return 1;
}

int AIPlayer::InsertTaskFirstCommand(CommandArgs) {
  InsertPending(0, true);
  return 1;
}

int AIPlayer::InsertTaskLastCommand(CommandArgs) {
  InsertPending(0, false);
  return 1;
}

// Only the five active lists take sub-tasks: a larger index inserts
// nothing and the task stays pending.
int AIPlayer::InsertSubTaskFirstCommand(CommandArgs args) {
  const auto list = args.Get<std::uint32_t>();
  if (list < kActiveLists) InsertPending(static_cast<int>(list), true);
  return 1;
}

int AIPlayer::InsertSubTaskLastCommand(CommandArgs args) {
  const auto list = args.Get<std::uint32_t>();
  if (list < kActiveLists) InsertPending(static_cast<int>(list), false);
  return 1;
}

int AIPlayer::ClearTaskListCommand(CommandArgs) {
  ClearTaskList(0);
  return 1;
}

// n from 0 to 5 clears list n + 1 of the ten (the last two are suspended
// lists); larger n nothing.
int AIPlayer::ClearSubTaskListCommand(CommandArgs args) {
  const auto n = args.Get<std::uint32_t>();
  if (n <= 5) ClearTaskList(static_cast<int>(n) + 1);
  return 1;
}

// Neither starts a task: a resumed first task goes on where it was.
int AIPlayer::SuspendCommand(CommandArgs) {
  for (int i = 0; i < kActiveLists; ++i) {
    AITaskList& suspended = taskLists_[static_cast<std::size_t>(i + kActiveLists)];
    suspended.clear();
    suspended.splice(suspended.end(), taskLists_[static_cast<std::size_t>(i)]);
  }
  return 1;
}

int AIPlayer::ResumeCommand(CommandArgs) {
  for (int i = 0; i < kActiveLists; ++i) {
    AITaskList& active = taskLists_[static_cast<std::size_t>(i)];
    active.clear();
    active.splice(active.end(), taskLists_[static_cast<std::size_t>(i + kActiveLists)]);
  }
  return 1;
}

void AIPlayer::InsertPending(int list, bool first) {
  if (pendingTask_ == nullptr) return;
  AITaskList& tasks = taskLists_[static_cast<std::size_t>(list)];
  pendingListIndex_ = list;
  if (first) {
    tasks.push_front(std::move(*pendingTask_));
  } else {
    tasks.push_back(std::move(*pendingTask_));
  }
  pendingTask_.reset();
  if (first || tasks.size() == 1) StartTask(list, false);
  pendingListIndex_ = 0;
}

void AIPlayer::AppendPrimaryTask(AITaskType type, Object* target, const std::string& name, float time) {
  std::unique_ptr<AITask> task = CreateTask(type);
  if (task == nullptr) return;
  task->target.Set(target);
  task->name = name;
  task->time = time;
  taskLists_[0].push_back(std::move(*task));
}

void AIPlayer::ClearTaskList(int list) { taskLists_[static_cast<std::size_t>(list)].clear(); }

void AIPlayer::StartTask(int list, bool finish) {
  AITaskList& tasks = taskLists_[static_cast<std::size_t>(list)];
  if (tasks.empty()) return;
  if (finish) {
    AITask& done = tasks.front();
    if (done.loopCount > 0) --done.loopCount;
    if (done.loopCount != 0) {
      done.elapsed = 0;
      tasks.splice(tasks.end(), tasks, tasks.begin());
    } else {
      tasks.pop_front();
    }
    if (tasks.empty()) return;
  }
  AITask& task = tasks.front();
  switch (task.type) {
    case AITaskType::kIdle:
      skinMesh_.PlayNow(task.name);
      if (task.time == 0) task.time = skinMesh_.PlayingLength() + kAnimationTail;
      break;
    case AITaskType::kPerform:
    case AITaskType::kAnimation:
      skinMesh_.PlayNow(task.name);
      skinMesh_.PlayNext(Animation(kAIIdle));
      if (task.time == 0) task.time = skinMesh_.PlayingLength() + kAnimationTail;
      break;
    case AITaskType::kMoveTo: skinMesh_.PlayNow(Animation(kAIWalk)); break;
    case AITaskType::kAttack: StartAttack(task); break;
    case AITaskType::kGetHit:
    case AITaskType::kDie:
      skinMesh_.PlayNow(task.name);
      skinMesh_.PlayNext(task.type == AITaskType::kDie ? std::string("Dead") : Animation(kAIIdle));
      task.time = skinMesh_.PlayingLength() + kAnimationTail;
      break;
    case AITaskType::kAlign:
    case AITaskType::kTurnAt:
      if (list == 0) {
        skinMesh_.PlayNow(Animation(kAIWalk));
        skinMesh_.PlayNext(Animation(kAIIdle));
      }
      break;
    case AITaskType::kEnterTransport: StartEnterTransport(task); break;
    case AITaskType::kRide:
      SetPosition({}, true);
      SetRotation({}, true);
      break;
    case AITaskType::kLookAt:
      if (const Bone* head = headBone_.Get()) savedHeadRotation_ = head->GetRotation();
      break;
    default: break;
  }
}

void AIPlayer::FinishTask(int list, std::uint32_t serial) {
  const AITaskList& tasks = taskLists_[static_cast<std::size_t>(list)];
  if (!tasks.empty() && tasks.front().serial == serial) StartTask(list, true);
}

// The entry's attack bits start the hand children, last: their start may
// run scripts.
void AIPlayer::StartAttack(AITask& task) {
  skinMesh_.PlayNow(task.name);
  skinMesh_.PlayNext(Animation(kAIWalk));
  task.time = skinMesh_.PlayingLength() + kAnimationTail;
  const SkinMesh* skin = skinMesh_.Get();
  const SkinMeshAnimationEntry* entry = skin != nullptr ? skin->GetAnimationEntry(skin->GetCurrentEntryIndex()) : nullptr;
  if (entry == nullptr) return;
  const ObjectRef<> left = (entry->flags & kSkinEntryAttackLeftHand) != 0 ? leftHand_ : ObjectRef<>();
  const ObjectRef<> right = (entry->flags & kSkinEntryAttackRightHand) != 0 ? rightHand_ : ObjectRef<>();
  if (Object* hand = left.Get()) hand->Start();
  if (Object* hand = right.Get()) hand->Start();
}

// The AI becomes the child of the transport's "PlayerPosition" and rides.
void AIPlayer::StartEnterTransport(AITask& task) {
  Object* transport = task.target.Get();
  Object* seat = transport != nullptr ? transport->FindChildByName("PlayerPosition") : nullptr;
  ObjectHooks* hooks = GetObjectHooks();
  if (seat == nullptr || hooks == nullptr) return;
  if (transport->GetClassId() == kClassHorse) StartMount(*transport, skinMesh_.Get(), false);
  ExecuteCommand(kCommandReleasePhysics, nullptr);
  ExecuteCommand(kCommandStopPhysics, nullptr);
  if (!hooks->MoveObject(*this, *seat)) return;
  SetWSOrientation(false);
  SetPosition({}, true);
  SetRotation({}, true);
  AppendPrimaryTask(AITaskType::kRide, transport, "", kInfinite);
}

void AIPlayer::StepTaskLists(float dt, bool& move) {
  for (int list = 0; list < kActiveLists; ++list) StepTask(list, dt, move);
}

void AIPlayer::StepTask(int list, float dt, bool& move) {
  AITaskList& tasks = taskLists_[static_cast<std::size_t>(list)];
  if (tasks.empty()) return;
  AITask& task = tasks.front();
  task.elapsed += dt;
  Object* target = task.target.Get();
  if (list == 0 && target != nullptr) RefreshTarget(*target);
  if (target == nullptr && NeedsTarget(task.type)) return StartTask(list, true);
  const bool timeUp = task.elapsed > task.time;
  switch (task.type) {
    case AITaskType::kIdle:
    case AITaskType::kPerform:
    case AITaskType::kAnimation:
      if (timeUp) StartTask(list, true);
      break;
    case AITaskType::kMoveTo: StepMoveTask(list, task, dt); break;
    case AITaskType::kAttack: StepAttack(list, task); break;
    case AITaskType::kGetHit:
      if (!timeUp) break;
      AppendPrimaryTask(AITaskType::kMoveTo, target_.Get(), "", 0);
      StartTask(list, true);
      break;
    case AITaskType::kAlign: StepAlign(list, task, *target, dt); break;
    case AITaskType::kTurnAt:
      TurnAngleTowards(yaw_, Vector3YawBetween(target->GetPositionWS(), GetPositionWS()), dt * kPi, nullptr);
      if (task.time != kInfinite && timeUp) StartTask(list, true);
      break;
    case AITaskType::kEnterTransport:
      move = false;
      if (task.elapsed > kStepDuration) StartTask(list, true);
      break;
    case AITaskType::kRide: move = false; break;
    case AITaskType::kLookAt: {
      const Vector3 at = target->GetPositionWS();
      lookTarget_ = {at.x, at.y + kLookHeight, at.z, 1.0f};
      if (task.time != kInfinite && timeUp) StartTask(list, true);
      break;
    }
    default: break;  // Die never finishes; types 3, 4 and ExitTransport wait.
  }
}

void AIPlayer::RefreshTarget(Object& target) {
  target_.Set(&target);
  targetPosition_ = target.GetPositionWS();
  Vector3 away;
  Vector3Subtract(away, targetPosition_, GetPositionWS());
  targetDistance_ = Vector3Length(away);
  Vector3Normalize(targetDirection_, away);
}

void AIPlayer::StepAttack(int list, AITask& task) {
  if (task.elapsed > kStrikeTime && targetDistance_ < kStrikeReach) {
    const std::uint32_t serial = task.serial;
    HitMessage hit{this, targetPosition_, targetDirection_, settings_.damage, settings_.damageGroup, settings_.hitExtra};
    task.target.Get()->ExecuteCommand(kApplyHit, &hit);
    AppendPrimaryTask(AITaskType::kMoveTo, target_.Get(), "", 0);
    return FinishTask(list, serial);
  }
  if (task.elapsed <= task.time) return;
  AppendPrimaryTask(AITaskType::kMoveTo, target_.Get(), "", 0);
  StartTask(list, true);
}

void AIPlayer::StepAlign(int list, AITask& task, Object& target, float dt) {
  TurnAngleTowards(yaw_, Vector3YawFlat(target.GetAxisZWS()), dt * kPi, nullptr);
  Vector3 position;
  SetPosition(Vector3Lerp(position, GetPositionWS(), target.GetPositionWS(), task.elapsed), true);
  if (task.elapsed > kStepDuration) StartTask(list, true);
}

void AIPlayer::StepMoveTask(int list, AITask& task, float dt) {
  if (path_ == nullptr) path_ = std::make_unique<PathRecord>();
  replanTimer_ += dt;
  Object& target = *task.target.Get();
  if (targetDistance_ > kNearTarget && visionGraph_ && (path_->waypoints.empty() || replanTimer_ > kReplanTime)) {
    SearchPath(target);
  }
  Object* touched = touchedCharacter_.Get();
  if (touched != nullptr && noSteer_ == 0) {
    Vector3 away, toward;
    Vector3Normalize(toward, Vector3Subtract(away, touched->GetPositionWS(), GetPositionWS()));
    if (Vector3Dot(toward, GetAxisZWS()) > kAvoidAhead) avoidTimer_ = kAvoidTime;
  }
  avoidTimer_ -= dt;
  Steer(task, dt);
  if (targetDistance_ <= kNearTarget) {
    const float rate = walkPace_ == 1 ? kPi : kTwoPi;
    TurnAngleTowards(yaw_, Vector3YawBetween(targetPosition_, GetPositionWS()), dt * rate, nullptr);
    walkPace_ = 1;
  }
  skinMesh_.PlayNext(Animation(walkPace_ == 0 && task.speed > kWalkSpeed ? kAIRun : kAIWalk));
  if (targetDistance_ < kArrival) Arrive(list, task);
}

// Across Spaces the search aims at the connection between them and one
// waypoint is added beyond it, so the walk carries on into the next Space.
void AIPlayer::SearchPath(Object& target) {
  replanTimer_ = 0;
  const Vector3 start = Raised(GetPositionWS(), kEyeHeight);
  Vector3 goal = Raised(target.GetPositionWS(), kEyeHeight);
  Space* own = GetSpace();
  Space* other = target.GetSpace();
  Space* connection = own != nullptr && other != nullptr && !SameRoom(own, other) ? own->FindConnection(other) : nullptr;
  if (connection != nullptr) goal = Raised(connection->GetPositionWS(), kEyeHeight);
  visionGraph_->FindPath(start, goal, *path_);
  if (connection == nullptr) return;
  const std::deque<PathWaypoint>& waypoints = path_->waypoints;
  Vector3 direction, along;
  if (waypoints.size() >= 3) {
    Vector3Subtract(along, waypoints.back().position, waypoints[waypoints.size() - 2].position);
  } else {
    Vector3Subtract(along, goal, start);
  }
  Vector3Normalize(direction, along);
  Vector3 beyond;
  path_->waypoints.push_back({Vector3Add(beyond, goal, direction), kBeyondConnection});
}

void AIPlayer::Steer(AITask& task, float dt) {
  std::deque<PathWaypoint>& waypoints = path_->waypoints;
  if (avoidTimer_ > 0 && noSteer_ == 0) {
    TurnAngleTowards(yaw_, yaw_ + kAvoidTurn, dt * kPi, nullptr);
    return;
  }
  if (targetDistance_ <= kNearTarget || waypoints.empty()) return;
  const PathWaypoint reached = waypoints.front();
  const float reach = std::max(reached.radius * 0.5f, kMinReach);
  walkPace_ = 0;
  if (HorizontalDistance(Raised(GetPositionWS(), kEyeHeight), reached.position) < reach) {
    waypoints.pop_front();
    if (task.speed > kWalkSpeed && !waypoints.empty()) {
      const float next =
          waypoints.size() >= 2 ? (waypoints[0].position.y + waypoints[1].position.y) / 2 : waypoints[0].position.y;
      if (std::abs(next - reached.position.y) > kStepHeight) walkPace_ = 1;
    }
  }
  if (task.speed < kRunSpeed) walkPace_ = 1;
  if (waypoints.empty()) return;
  const float rate = task.elapsed < kAttackDelay ? kFastTurn : (walkPace_ == 1 ? kPi : kTwoPi);
  TurnAngleTowards(yaw_, Vector3YawBetween(waypoints.front().position, GetPositionWS()), dt * rate, nullptr);
}

// At a first-person player the walk becomes an attack, though not in the
// walk's first half second.
void AIPlayer::Arrive(int list, AITask& task) {
  const Object* target = task.target.Get();
  const bool player = target != nullptr && target->GetClassId() == kClassPlayerFPS;
  if (player && task.elapsed <= kAttackDelay) {
    path_->waypoints.clear();
    return;
  }
  if (player) AppendPrimaryTask(AITaskType::kAttack, target_.Get(), "Attack", 0);
  StartTask(list, true);
  path_->waypoints.clear();
}

}  // namespace tge
