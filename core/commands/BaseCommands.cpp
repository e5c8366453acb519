// The base commands every object type answers, ids 1 to 249: the table that
// registers and dispatches them, and the handlers for identity, flags,
// transform and tree commands and for the internal ids objects send one
// another. The physics, Action, Lerp and recording handlers live in files of
// their own. A type's handler passes every id it does not know here; an id
// nobody handles is accepted without effect.
#include <array>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/CommandScheduler.h"
#include "core/ObjectFactory.h"
#include "core/ObjectHooks.h"
#include "core/ObjectRecording.h"
#include "core/World.h"
#include "core/commands/BaseCommandTable.h"
#include "core/math/Matrix4.h"
#include "core/math/Quaternion.h"
#include "core/trees/ObjectServices.h"

namespace tge {
namespace {

using namespace table_terms;

float& Component(Vector3& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }

bool IsOn(CommandArgs args) { return args.Get<std::int32_t>() != 0; }

}  // namespace

// clang-format off
std::span<const CommandEntry<Object>> Object::IdentityCommands() {
  static const CommandEntry<Object> table[] = {
    {1, "SetName", Kind::kCommand, S, {kValueString}, Member<&Object::SetNameCommand>},
    {2, "GetName", Kind::kCommand, G, {kValueString}, Member<&Object::GetNameCommand>},
    {3, "SetNameSZ", Kind::kCommand, S | Own, {kText}, Member<&Object::SetNameSZCommand>},
    {4, "Active", Kind::kProperty, 0, {kBool}, Member<&Object::SetFlagCommand<kFlagActive>>, Member<&Object::GetFlagCommand<kFlagActive>>},
    {6, "SaveGameEnable", Kind::kProperty, 0, {kBool}, Member<&Object::SetFlagCommand<kFlagSaveGameEnable>>, Member<&Object::GetFlagCommand<kFlagSaveGameEnable>>},
    {8, "NetworkEnable", Kind::kProperty, 0, {kBool}, Member<&Object::SetFlagCommand<kFlagNetworkEnable>>, Member<&Object::GetFlagCommand<kFlagNetworkEnable>>},
    {10, "GetClassID", Kind::kCommand, G | Own, {kDword}, Member<&Object::GetClassIdCommand>},
    {13, "SetInheritOrientation", Kind::kCommand, S, {kBool}, Member<&Object::SetInheritOrientationCommand>},
    {14, "GetInheritOrientation", Kind::kCommand, G, {kBool}, Member<&Object::GetFlagCommand<kFlagInheritOrientation>>},
    {15, "SetWSOrientation", Kind::kCommand, S, {kBool}, Member<&Object::SetWSOrientationCommand>},
    {16, "GetWSOrientation", Kind::kCommand, G, {kBool}, Member<&Object::GetFlagCommand<kFlagWSOrientation>>},
    {17, "SetPosition", Kind::kCommand, S, {kVec3}, Member<&Object::SetPositionCommand>},
    {18, "GetPosition", Kind::kCommand, G, {kVec3}, Member<&Object::GetPositionCommand>},
    {19, "SetScale", Kind::kCommand, S, {kVec3}, Member<&Object::SetScaleCommand>},
    {20, "GetScale", Kind::kCommand, G, {kVec3}, Member<&Object::GetScaleCommand>},
    {21, "SetRotation", Kind::kCommand, S, {kQuat}, Member<&Object::SetRotationCommand>},
    {22, "GetRotation", Kind::kCommand, G, {kQuat}, Member<&Object::GetRotationCommand>},
    {23, "AddPosition", Kind::kCommand, S, {kVec3}, Member<&Object::AddPositionCommand>},
    {24, "AddScale", Kind::kCommand, S, {kVec3}, Member<&Object::AddScaleCommand>},
    {25, "LookAt", Kind::kCommand, S, {kVec3}, Member<&Object::LookAtCommand>},
    {26, "LookAtObject", Kind::kCommand, S, {kPath}, Member<&Object::LookAtObjectCommand>},
    {27, "SetOrientationByObject", Kind::kCommand, S, {kPath}, Member<&Object::SetOrientationByObjectCommand>},
    {28, "SetScaleX", Kind::kCommand, S, {kFloat}, Member<&Object::SetScaleAxisCommand<0>>},
    {29, "SetScaleY", Kind::kCommand, S, {kFloat}, Member<&Object::SetScaleAxisCommand<1>>},
    {30, "SetScaleZ", Kind::kCommand, S, {kFloat}, Member<&Object::SetScaleAxisCommand<2>>},
    {31, "SetPositionX", Kind::kCommand, S, {kFloat}, Member<&Object::SetPositionAxisCommand<0>>},
    {32, "SetPositionY", Kind::kCommand, S, {kFloat}, Member<&Object::SetPositionAxisCommand<1>>},
    {33, "SetPositionZ", Kind::kCommand, S, {kFloat}, Member<&Object::SetPositionAxisCommand<2>>},
    {34, "SetRotationX", Kind::kCommand, S, {kFloat}, Member<&Object::SetRotationAxisCommand<0>>},
    {35, "SetRotationY", Kind::kCommand, S, {kFloat}, Member<&Object::SetRotationAxisCommand<1>>},
    {36, "SetRotationZ", Kind::kCommand, S, {kFloat}, Member<&Object::SetRotationAxisCommand<2>>},
    {37, "AlignChildTransformX", Kind::kCommand, S, {kFloat}, Member<&Object::AlignChildTransformCommand<0>>},
    {38, "AlignChildTransformY", Kind::kCommand, S, {kFloat}, Member<&Object::AlignChildTransformCommand<1>>},
    {39, "AlignChildTransformZ", Kind::kCommand, S, {kFloat}, Member<&Object::AlignChildTransformCommand<2>>},
    {40, "GetPositionWS", Kind::kCommand, G, {kVec3}, Member<&Object::GetPositionWSCommand>},
    {41, "GetScaleWS", Kind::kCommand, G, {kVec3}, Member<&Object::GetScaleWSCommand>},
    {42, "GetRotationWS", Kind::kCommand, G, {kQuat}, Member<&Object::GetRotationWSCommand>},
    {165, "SetUseScript", Kind::kCommand, S, {kBool}, Member<&Object::SetUseScriptCommand>},
    {166, "GetUseScript", Kind::kCommand, G, {kBool}, Member<&Object::GetFlagCommand<kFlagUseScript>>},
    {167, "RunScript", Kind::kCommand, S, {kText}, Member<&Object::RunScriptCommand>},
    {168, "RunScriptEx", Kind::kCommand, S, {kText, kPath}, Member<&Object::RunScriptExCommand>},
    {169, "DeleteScript", Kind::kCommand, S, {kText}, Member<&Object::DeleteScriptCommand>},
    {170, "SetGlobalScriptAccess", Kind::kCommand, S, {kBool}, Member<&Object::SetGlobalScriptAccessCommand>},
    {171, "GetGlobalScriptAccess", Kind::kCommand, G, {kBool}, Member<&Object::GetFlagCommand<kFlagGlobalScriptAccess>>},
    {172, "Delete", Kind::kCommand, P, {}, Member<&Object::DeleteCommand>},
    {173, "Copy", Kind::kCommand, S, {kPath}, Member<&Object::CopyCommand>},
    {174, "Move", Kind::kCommand, S, {kPath}, Member<&Object::MoveCommand>},
    {177, "InitializeNewObject", Kind::kCommand, P, {}},
    {181, "TimerCommand", Kind::kCommand, S, {kText, kFloat}, Member<&Object::TimerCommandCommand>},
    {182, "SendRecursiveCommand", Kind::kCommand, S, {kText}, Member<&Object::SendRecursiveCommandCommand>},
    {183, "CreateObject", Kind::kCommand, S, {kText, kText}, Member<&Object::CreateObjectCommand>},
    {184, "FindObject", Kind::kCommand, G, {kText, kDword}, Member<&Object::FindObjectCommand>},
    {189, "PlayerTriggerNotify", Kind::kCommand, S, {kDword}},
    {190, "StartGame", Kind::kCommand, S, {}, Member<&Object::GameCommand<190>>},
    {191, "StartSavedGame", Kind::kCommand, S, {}, Member<&Object::GameCommand<191>>},
    {192, "PauseGame", Kind::kCommand, S, {}, Member<&Object::GameCommand<192>>},
    {193, "ResumeGame", Kind::kCommand, S, {}, Member<&Object::GameCommand<193>>},
    {195, "SpawnObjectInPlace", Kind::kCommand, S, {kText, kBool}, Member<&Object::SpawnObjectInPlaceCommand>},
    {206, "OnStartGame", Kind::kEvent, 0, {}},
    {207, "OnStartSavedGame", Kind::kEvent, 0, {}},
    {208, "OnPauseGame", Kind::kEvent, 0, {}},
    {209, "OnResumeGame", Kind::kEvent, 0, {}},
    {210, "OnEngineStarted", Kind::kEvent, 0, {}},
    {211, "OnPrecalculate", Kind::kEvent, 0, {}},
    {212, "OnInputOver", Kind::kEvent, 0, {}},
    {213, "OnInputOut", Kind::kEvent, 0, {}},
    {214, "OnInputDown", Kind::kEvent, 0, {}},
    {215, "OnInputUp", Kind::kEvent, 0, {}},
    {216, "OnInputExitToMenu", Kind::kEvent, 0, {}},
    {217, "OnFirstTimeDrawn", Kind::kEvent, 0, {}},
    {218, "OnStartDraw", Kind::kEvent, 0, {}},
    {219, "OnStopDraw", Kind::kEvent, 0, {}},
    {220, "OnStartWorld", Kind::kEvent, 0, {}},
    {221, "OnStopWorld", Kind::kEvent, 0, {}},
    {222, "OnSpawn", Kind::kEvent, 0, {}},
    {223, "OnSpawnObject", Kind::kEvent, 0, {}},
  };
  return table;
}
// clang-format on

// clang-format off
// Never registered; the types describe the blocks so a missing one is refused.
std::span<const CommandEntry<Object>> Object::InternalCommands() {
  static const CommandEntry<Object> table[] = {
    {12, "CollectSaveGameObjects", Kind::kCommand, 0, {kPtr}, Member<&Object::CollectSaveGameObjects>},
    {100, "ActionKillPreOnStartPost", Kind::kProperty, 0, {kBool}, Member<&Object::SetFlagCommand<kFlagActionKillPreOnStartPost>>, Member<&Object::GetFlagCommand<kFlagActionKillPreOnStartPost>>},
    {161, "CreatePhysics", Kind::kCommand, 0, {}, Member<&Object::CreatePhysicsInternal>},
    {162, "StartPhysics", Kind::kCommand, 0, {}, Member<&Object::StartPhysicsInternal>},
    {163, "ReleasePhysics", Kind::kCommand, 0, {}, Member<&Object::ReleasePhysicsInternal>},
    {164, "StopPhysics", Kind::kCommand, 0, {}, Member<&Object::StopPhysicsInternal>},
    {175, "SetSpace", Kind::kCommand, 0, {}, Member<&Object::SetSpaceInternal>},
    {176, "SetWorld", Kind::kCommand, 0, {}, Member<&Object::SetWorldInternal>},
    {178, "Broadcast", Kind::kCommand, 0, {kDword, kPtr}, Member<&Object::BroadcastInternal>},
    {179, "RaiseEvent", Kind::kCommand, 0, {kDword, kPtr}, Member<&Object::RaiseEventInternal>},
    {185, "ChildDeleted", Kind::kCommand, 0, {kPtr}, Member<&Object::ChildLeavingInternal>},
    {186, "ChildMoved", Kind::kCommand, 0, {kPtr}, Member<&Object::ChildLeavingInternal>},
    {196, "SetTransform", Kind::kCommand, 0, {kDword, kDword, kVec3, kVec3, kQuat}, Member<&Object::SetTransformInternal>},
    {197, "GetTransform", Kind::kCommand, 0, {kDword, kDword, kVec3, kVec3, kQuat}, Member<&Object::GetTransformInternal>},
  };
  return table;
}
// clang-format on

namespace {

using Table = std::span<const CommandEntry<Object>>;

std::array<Table, 5> RegisteredTables() {
  return {Object::IdentityCommands(), Object::PhysicsCommands(), Object::ActionCommands(), Object::LerpCommands(),
          Object::RecordingCommands()};
}

}  // namespace

// A handler that reads a block is not called without one.
int Object::ExecuteCommand(std::uint32_t id, void* args) {
  static const CommandHandlers<Object> handlers(kClassObject, {IdentityCommands(), PhysicsCommands(), ActionCommands(),
                                                               LerpCommands(), RecordingCommands(), InternalCommands()});
  if (const auto handler = handlers.Find(id, args)) return handler(*this, CommandArgs(args));
  return 1;
}

void RegisterBaseCommands() {
  for (Table table : RegisteredTables()) RegisterCommandTable<Object>(BuildCommandRegistry(), kClassObject, table);
}

void Object::SendToChildren(std::uint32_t id, void* args, std::uint32_t unlessFlag) {
  DeletionHold hold;
  for (int i = 0; i < GetChildCount(); ++i) {
    Object* child = GetChild(i);
    if (unlessFlag == 0 || !child->HasFlag(unlessFlag)) child->ExecuteCommand(id, args);
  }
}

int Object::SetNameCommand(CommandArgs args) {
  SetName(args.AsString());
  return 1;
}

int Object::GetNameCommand(CommandArgs args) {
  args.AsString() = name_;
  return 1;
}

int Object::SetNameSZCommand(CommandArgs args) {
  SetName(args.GetText128());
  return 1;
}

int Object::GetClassIdCommand(CommandArgs args) {
  args.Set<std::uint32_t>(static_cast<std::uint32_t>(classId_));
  return 1;
}

int Object::SetInheritOrientationCommand(CommandArgs args) {
  SetInheritOrientation(IsOn(args));
  return 1;
}

int Object::SetWSOrientationCommand(CommandArgs args) {
  SetWSOrientation(IsOn(args));
  return 1;
}

int Object::SetPositionCommand(CommandArgs args) {
  SetPosition(args.Get<Vector3>(), true);
  return 1;
}

int Object::GetPositionCommand(CommandArgs args) {
  args.Set(GetPosition());
  return 1;
}

int Object::SetScaleCommand(CommandArgs args) {
  SetScale(args.Get<Vector3>(), true);
  return 1;
}

int Object::GetScaleCommand(CommandArgs args) {
  args.Set(GetScale());
  return 1;
}

int Object::SetRotationCommand(CommandArgs args) {
  SetRotation(args.Get<Quaternion>(), true);
  return 1;
}

int Object::GetRotationCommand(CommandArgs args) {
  args.Set(GetRotation());
  return 1;
}

int Object::AddPositionCommand(CommandArgs args) {
  AddPosition(args.Get<Vector3>());
  return 1;
}

int Object::AddScaleCommand(CommandArgs args) {
  AddScale(args.Get<Vector3>());
  return 1;
}

// The rotation that turns +Z towards the world point, relative to the
// parent unless the object's transform is in world space.
int Object::LookAtCommand(CommandArgs args) {
  if (!transform_) return 1;
  Vector3 direction;
  Vector3Subtract(direction, args.Get<Vector3>(), GetPositionWS());
  Quaternion rotation;
  QuaternionFromDirection(rotation, direction, Vector3{0, 1, 0});
  if (!HasFlag(kFlagWSOrientation) && parent_ != nullptr) {
    Quaternion inverse;
    QuaternionInverse(inverse, parent_->GetRotationWS());
    QuaternionMultiply(rotation, Quaternion(rotation), inverse);
  }
  SetRotation(rotation, true);
  return 1;
}

int Object::LookAtObjectCommand(CommandArgs args) {
  Object* target = args.GetPointer<Object>();
  if (target == nullptr) return 1;
  ArgumentBlock block;
  block.Push(target->GetPositionWS());
  return LookAtCommand(block.Args());
}

int Object::SetOrientationByObjectCommand(CommandArgs args) {
  Object* target = args.GetPointer<Object>();
  if (target == nullptr) return 1;
  SetPosition(target->GetPositionWS(), true);
  SetScale(target->GetScaleWS(), true);
  SetRotation(target->GetRotationWS(), true);
  return 1;
}

template <int Axis>
int Object::SetScaleAxisCommand(CommandArgs args) {
  Vector3 scale = GetScale();
  Component(scale, Axis) = args.Get<float>();
  SetScale(scale, true);
  return 1;
}

template <int Axis>
int Object::SetPositionAxisCommand(CommandArgs args) {
  Vector3 position = GetPosition();
  Component(position, Axis) = args.Get<float>();
  SetPosition(position, true);
  return 1;
}

// Angles about X, Y and Z of the world matrix, one of them replaced.
template <int Axis>
int Object::SetRotationAxisCommand(CommandArgs args) {
  Vector3 angles;
  Matrix4ToYawPitchRoll(GetWorldMatrix(), angles);
  Component(angles, Axis) = args.Get<float>();
  Quaternion rotation;
  QuaternionFromYawPitchRoll(rotation, angles.y, angles.x, angles.z);
  SetRotation(rotation, true);
  return 1;
}

// Lines up the started children along one axis, step apart.
template <int Axis>
int Object::AlignChildTransformCommand(CommandArgs args) {
  const float step = args.Get<float>();
  float at = 0;
  for (int i = 0; i < GetChildCount(); ++i) {
    Object* child = GetChild(i);
    if (!child->HasFlag(kFlagActionStarted)) continue;
    Vector3 position = child->GetPosition();
    Component(position, Axis) = at;
    child->SetPosition(position, true);
    at += step;
  }
  return 1;
}

int Object::GetPositionWSCommand(CommandArgs args) {
  args.Set(GetPositionWS());
  return 1;
}

int Object::GetScaleWSCommand(CommandArgs args) {
  args.Set(GetScaleWS());
  return 1;
}

int Object::GetRotationWSCommand(CommandArgs args) {
  args.Set(GetRotationWS());
  return 1;
}

int Object::StartPhysicsCommand(CommandArgs) {
  ExecuteCommand(kCommandCreatePhysics, nullptr);
  ExecuteCommand(kCommandStartPhysics, nullptr);
  return 1;
}

// A body's place is kept as the local transform before the body goes.
int Object::StopPhysicsCommand(CommandArgs) {
  if (GetBody() != nullptr) {
    const Vector3 position = GetPositionWS();
    const Quaternion rotation = GetRotationWS();
    SetPosition(position, false);
    SetRotation(rotation, false);
  }
  ExecuteCommand(kCommandReleasePhysics, nullptr);
  ExecuteCommand(kCommandStopPhysics, nullptr);
  return 1;
}

int Object::SetUseScriptCommand(CommandArgs args) {
  SetUseScript(IsOn(args));
  return 1;
}

int Object::SetGlobalScriptAccessCommand(CommandArgs args) {
  LeaveGlobalAccess();
  SetFlag(kFlagGlobalScriptAccess, IsOn(args));
  ObjectHooks* hooks = GetObjectHooks();
  if (hooks != nullptr && IsOn(args)) hooks->AddGlobalAccessObject(*this);
  return 1;
}

// Deferred: the object may be running the script or command that asks.
int Object::DeleteCommand(CommandArgs) {
  Delete(true);
  return 1;
}

int Object::CopyCommand(CommandArgs args) {
  ObjectHooks* hooks = GetObjectHooks();
  Object* target = args.GetPointer<Object>();
  if (hooks != nullptr && target != nullptr) hooks->CloneObject(*this, *target, true, true, true);
  return 1;
}

int Object::MoveCommand(CommandArgs args) {
  ObjectHooks* hooks = GetObjectHooks();
  Object* target = args.GetPointer<Object>();
  if (hooks != nullptr && target != nullptr) hooks->MoveObject(*this, *target);
  return 1;
}

int Object::TimerCommandCommand(CommandArgs args) {
  const int id = FindCommandId(this, args.GetText128());
  if (id >= 0 && GetWorld() != nullptr) GetWorld()->DelayCommand(*this, id, nullptr, args.Get<float>(128), kScheduleGeneral);
  return 1;
}

// Only commands without arguments are meant to be sent this way.
int Object::SendRecursiveCommandCommand(CommandArgs args) {
  const int id = FindCommandId(this, args.GetText128());
  if (id >= 0) BroadcastCommand(*this, static_cast<std::uint32_t>(id), nullptr);
  return 1;
}

int Object::CreateObjectCommand(CommandArgs args) {
  const int classId = FindScriptClassId(args.GetText128());
  if (classId >= 0) CreateObject(classId, nullptr, *this, args.GetText128(128).c_str());
  return 1;
}

int Object::FindObjectCommand(CommandArgs args) {
  const bool found = FindChildByName(args.GetText128()) != nullptr;
  args.Set<std::uint32_t>(found ? 1 : 0);
  return 1;
}

// StartGame, StartSavedGame, PauseGame and ResumeGame raise their events
// (OnStartGame ... at id + 16) and pass on down the tree.
template <std::uint32_t Id>
int Object::GameCommand(CommandArgs) {
  if (!GetActive()) return 1;
  const DeletionHold hold;
  FireEvent(static_cast<int>(Id) + 16, nullptr);
  SendToChildren(Id, nullptr);
  return 1;
}

// The clone goes under the Space around this object when it is free to move
// between Spaces or is placed in place, else (and without a Space) under
// this object. Never into the source's own subtree.
int Object::SpawnObjectInPlaceCommand(CommandArgs args) {
  ObjectHooks* hooks = GetObjectHooks();
  Object* source = ResolveObjectPath(this, args.GetText128(), nullptr, nullptr);
  if (source == nullptr || hooks == nullptr) return 1;
  const ObjectPhysics* physics = source->GetPhysics();
  const bool inPlace = (physics && (physics->flags & kPhysicsNotLockedInSpace)) || args.Get<std::int32_t>(128) != 0;
  Object* space = parent_;
  while (space != nullptr && space->GetClassId() != kClassSpace) space = space->GetParent();
  Object* clone = hooks->CloneObject(*source, inPlace && space ? *space : *this, true, true, false);
  if (clone == nullptr) return 1;
  if (inPlace) {
    clone->SetInheritOrientation(false);
    clone->SetWSOrientation(true);
    clone->SetPosition(GetPositionWS(), true);
    clone->SetRotation(GetRotationWS(), true);
  }
  clone->ExecuteCommand(kCommandCreatePhysics, nullptr);
  clone->ExecuteCommand(kCommandStartPhysics, nullptr);
  clone->InvalidateTransform();
  FireEvent(kEventOnSpawnObject, clone);
  clone->FireEvent(kEventOnSpawn, this);
  return 1;
}

int Object::CollectSaveGameObjects(CommandArgs args) {
  if (HasFlag(kFlagSaveGameEnable)) {
    static_cast<std::vector<Object*>*>(args.Data())->push_back(this);
    return 1;
  }
  SendToChildren(12, args.Data());
  return 1;
}

// The engine builds the physics through the wrapper; the message then
// travels down to the children that do not block it.
int Object::CreatePhysicsInternal(CommandArgs) {
  if (!GetActive()) return 1;
  if (ObjectHooks* hooks = GetObjectHooks()) hooks->CreateObjectPhysics(*this);
  SendToChildren(kCommandCreatePhysics, nullptr, kFlagBlockStartPhysics);
  return 1;
}

int Object::StartPhysicsInternal(CommandArgs) {
  if (GetActive()) SendToChildren(kCommandStartPhysics, nullptr, kFlagBlockStartPhysics);
  return 1;
}

int Object::ReleasePhysicsInternal(CommandArgs) {
  ReleasePhysics();
  SetFlag(kFlagMatrixValid, false);
  SendToChildren(kCommandReleasePhysics, nullptr);
  return 1;
}

int Object::StopPhysicsInternal(CommandArgs) {
  SendToChildren(kCommandStopPhysics, nullptr);
  return 1;
}

int Object::SetSpaceInternal(CommandArgs args) {
  space_ = static_cast<Space*>(args.Data());
  return 1;
}

// An object that changes World takes its update registration along.
int Object::SetWorldInternal(CommandArgs args) {
  auto* world = static_cast<World*>(args.Data());
  const bool carryUpdate = HasFlag(kFlagUpdateRegistered) && world != GetWorld();
  if (carryUpdate) DisableUpdate();
  SetWorld(world);
  if (carryUpdate) EnableUpdate();
  return 1;
}

int Object::BroadcastInternal(CommandArgs args) {
  const DeletionHold hold;
  ExecuteCommand(args.Get<std::uint32_t>(), args.GetPointer<void>(4));
  SendToChildren(kCommandBroadcast, args.Data());
  return 1;
}

int Object::RaiseEventInternal(CommandArgs args) {
  if (!GetActive()) return 1;
  const DeletionHold hold;
  FireEvent(args.Get<std::int32_t>(), args.GetPointer<Object>(4));
  SendToChildren(kCommandRaiseEvent, args.Data());
  return 1;
}

// A killed parent whose last child is leaving has nothing left to wait for.
int Object::ChildLeavingInternal(CommandArgs) {
  if (HasFlag(kFlagKilled) && GetChildCount() == 1) Delete(true);
  return 1;
}

// Block: two words, position, scale, rotation.
int Object::SetTransformInternal(CommandArgs args) {
  SetPosition(args.Get<Vector3>(8), true);
  SetScale(args.Get<Vector3>(20), true);
  SetRotation(args.Get<Quaternion>(32), true);
  return 1;
}

int Object::GetTransformInternal(CommandArgs args) {
  if (args.Get<std::uint32_t>() == 0) args.Set<std::uint32_t>(48);
  args.Set(GetPosition(), 8);
  args.Set(GetScale(), 20);
  args.Set(GetRotation(), 32);
  return 1;
}

}  // namespace tge
