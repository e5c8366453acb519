// LookAt's command table, sensing, turning, events and file record.
#include "objects/gameplay/props/LookAt.h"

#include <algorithm>
#include <cmath>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/CommandAccessors.h"
#include "core/ObjectFactory.h"
#include "core/ObjectHooks.h"
#include "core/files/SerializeStream.h"
#include "core/math/Angles.h"
#include "core/math/Matrix4.h"
#include "core/math/Quaternion.h"
#include "objects/gameplay/props/SensorSupport.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr auto C = CommandKind::kCommand;
constexpr auto E = CommandKind::kEvent;
constexpr float kDefaultSensorRadius = 4.0f;
constexpr unsigned kSensorCollisionBits = 2;

// Clamps into [-limit / 2, limit / 2] unless the limit is 0; true when it did.
bool ClampToLimit(float& angle, float limit) {
  if (limit == 0) return false;
  const float clamped = std::clamp(angle, -limit / 2, limit / 2);
  const bool changed = clamped != angle;
  angle = clamped;
  return changed;
}

}  // namespace

// clang-format off
constexpr CommandEntry<LookAt> LookAt::kCommands[] = {
    {14750, "LookAtEnable", P, 0, {kValueBool}, Member<&LookAt::SetEnableCommand>, FlagGetter<&LookAt::lookFlags_, kEnable>},
    {14752, "LookAtRadius", P, 0, {kValueFloat}, Member<&LookAt::SetRadiusCommand>, Member<&LookAt::GetRadiusCommand>},
    {14754, "LookAtLimitX", P, 0, {kValueFloat}, FieldSetter<&LookAt::limitX_>, FieldGetter<&LookAt::limitX_>},
    {14756, "LookAtLimitY", P, 0, {kValueFloat}, FieldSetter<&LookAt::limitY_>, FieldGetter<&LookAt::limitY_>},
    {14758, "LookAtMinRange", P, 0, {kValueFloat}, FieldSetter<&LookAt::minRange_>, FieldGetter<&LookAt::minRange_>},
    {14760, "LookAtMaxRange", P, 0, {kValueFloat}, FieldSetter<&LookAt::maxRange_>, FieldGetter<&LookAt::maxRange_>},
    {14762, "LookAtSpeedX", P, 0, {kValueFloat}, FieldSetter<&LookAt::speedX_>, FieldGetter<&LookAt::speedX_>},
    {14764, "LookAtSpeedY", P, 0, {kValueFloat}, FieldSetter<&LookAt::speedY_>, FieldGetter<&LookAt::speedY_>},
    {14766, "LookAtEventLimitX", P, 0, {kValueFloat}, Member<&LookAt::SetEventLimitCommand<&LookAt::limitX_, &LookAt::eventLimitX_>>, FieldGetter<&LookAt::eventLimitX_>},
    {14768, "LookAtEventLimitY", P, 0, {kValueFloat}, Member<&LookAt::SetEventLimitCommand<&LookAt::limitY_, &LookAt::eventLimitY_>>, FieldGetter<&LookAt::eventLimitY_>},
    {14770, "LookAtEventLimitTime", P, 0, {kValueFloat}, FieldSetter<&LookAt::eventLimitTime_>, FieldGetter<&LookAt::eventLimitTime_>},
    {14772, "LookAtControl1", P, 0, {kValueString}, Member<&LookAt::SetPathCommand<&LookAt::control1Path_, &LookAt::control1_>>, FieldGetter<&LookAt::control1Path_>},
    {14774, "LookAtControl2", P, 0, {kValueString}, Member<&LookAt::SetPathCommand<&LookAt::control2Path_, &LookAt::control2_>>, FieldGetter<&LookAt::control2Path_>},
    {14776, "LookAtControl1RotateX", P, 0, {kValueBool}, FlagSetter<&LookAt::lookFlags_, kControl1RotateX>, FlagGetter<&LookAt::lookFlags_, kControl1RotateX>},
    {14778, "LookAtControl1RotateY", P, 0, {kValueBool}, FlagSetter<&LookAt::lookFlags_, kControl1RotateY>, FlagGetter<&LookAt::lookFlags_, kControl1RotateY>},
    {14780, "LookAtControl2RotateX", P, 0, {kValueBool}, FlagSetter<&LookAt::lookFlags_, kControl2RotateX>, FlagGetter<&LookAt::lookFlags_, kControl2RotateX>},
    {14782, "LookAtControl2RotateY", P, 0, {kValueBool}, FlagSetter<&LookAt::lookFlags_, kControl2RotateY>, FlagGetter<&LookAt::lookFlags_, kControl2RotateY>},
    {14784, "LookAtTarget", P, 0, {kValueString}, Member<&LookAt::SetPathCommand<&LookAt::targetPath_, &LookAt::lookTarget_>>, FieldGetter<&LookAt::targetPath_>},
    {14786, "ForceLookAt", C, 0, {}, Member<&LookAt::ForceLookAtCommand>},
    {kEventEnter, "OnLookAtEnter", E, 0, {}},
    {kEventExit, "OnLookAtExit", E, 0, {}},
};

std::span<const CommandEntry<LookAt>> LookAt::Commands() { return kCommands; }
// clang-format on

LookAt::LookAt() : Object(kClassLookAt) {}

int LookAt::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<LookAt> handlers(kClassLookAt, {kCommands});
  handlers.Run(*this, id, args);
  switch (id) {
    case kCommandActionStartStep: ActionStart(); break;
    case kCommandActionStopStep: ActionEnd(looker_.Get()); break;
    case kCommandActionKillStep: ActionEnd(lookContact_.Get()); break;
    case kCommandCreatePhysics:
      if (!GetActive()) return 1;
      if ((lookFlags_ & kEnable) == 0) {
        PassPhysicsStartToChildren(*this, args);
        return 1;
      }
      break;
    case kCommandInitializeNewObject:
      AddEmptyEventScript(*this, "OnLookAtEnter");
      InitializeSensor(*this, kDefaultSensorRadius, kSensorCollisionBits);
      break;
    default: break;
  }
  return Object::ExecuteCommand(id, args);
}

int LookAt::SetEnableCommand(CommandArgs args) {
  StoreFlagArgument(lookFlags_, kEnable, args);
  if ((lookFlags_ & kEnable) != 0) EnableGeometries();
  else DisableGeometries();
  return 1;
}

int LookAt::SetRadiusCommand(CommandArgs args) {
  ResizeSensor(*this, {args.Get<float>(), 0, 0});
  return 1;
}

int LookAt::GetRadiusCommand(CommandArgs args) {
  const GeometryRecord* sensor = GetSensor(*this);
  args.Set<float>(sensor != nullptr ? sensor->dimension.x : 0.0f);
  return 1;
}

// The event window never exceeds the turning range.
template <float LookAt::*Limit, float LookAt::*Window>
int LookAt::SetEventLimitCommand(CommandArgs args) {
  this->*Window = std::min(args.Get<float>(), this->*Limit);
  return 1;
}

template <std::string LookAt::*Path, ObjectRef<> LookAt::*Node>
int LookAt::SetPathCommand(CommandArgs args) {
  this->*Path = args.AsString();
  this->*Node = Resolve(this->*Path);
  return 1;
}

int LookAt::ForceLookAtCommand(CommandArgs) {
  ForceLookAt();
  return 1;
}

ObjectRef<> LookAt::Resolve(const std::string& path) {
  return ObjectRef<>(path.empty() ? nullptr : ResolveObjectPath(this, path, nullptr, nullptr));
}

void LookAt::ActionStart() {
  ObjectHooks* hooks = GetObjectHooks();
  if ((lookFlags_ & kEnable) == 0 && hooks != nullptr) hooks->CreateObjectPhysics(*this);
  lookFlags_ |= kEnable;
}

void LookAt::ActionEnd(Object* sender) {
  if ((lookFlags_ & kEnable) != 0) {
    if (sender != nullptr) {
      const DeletionHold hold;
      FireEvent(kEventExit, sender);
    }
    lookContact_.Reset();
    looker_.Reset();
    if (ObjectHooks* hooks = GetObjectHooks()) hooks->DestroyObjectPhysics(*this);
  }
  lookFlags_ &= ~kEnable;
}

// Inside the physics step: notes what touched the sensor.
// The level's geometry is nothing to look at.
int LookAt::HandleContact(GeometryRecord*, GeometryRecord* other, ContactParameters*, int) {
  Object* owner = ContactObject(other);
  if ((lookFlags_ & kEnable) == 0 || owner == nullptr) return 0;
  lookContact_.Set(owner);
  EnableUpdate();
  return 0;
}

void LookAt::Update() {
  if (!GetActive() || (lookFlags_ & kEnable) == 0 || HasFlag(kFlagKilled)) return;
  looker_ = lookContact_;
  lookContact_.Reset();
}

void LookAt::AnglesOf(const Vector3& direction, float& pitch, float& yaw) {
  Matrix4 inverse;
  GetInverseWorldMatrix(inverse);
  Vector3 local;
  Vector3TransformNormal(local, direction, inverse);
  pitch = WrapAngle(-Vector3Pitch(local));
  yaw = WrapAngle(Vector3Yaw(local));
}

void LookAt::Draw() {
  if (!GetActive()) return;
  Object* looked = looker_ ? looker_.Get() : lookTarget_.Get();
  if (looked != nullptr && control1_) {
    const Vector3 at = looked->GetPositionWS();
    const Vector3 from = GetPositionWS();
    float tx = 0, ty = 0;
    AnglesOf({at.x - from.x, at.y - from.y, at.z - from.z}, tx, ty);
    const float dt = GetFrameTime();
    TurnAngleTowards(angleX_, tx, speedX_ * dt, nullptr);
    TurnAngleTowards(angleY_, ty, speedY_ * dt, nullptr);
    WrapAngleInPlace(angleX_);
    WrapAngleInPlace(angleY_);
    if (!ClampToLimits()) {
      const DeletionHold hold;
      UpdateEvents(*looked, tx, ty, dt);
      RotateNode(control1_.Get(), kControl1RotateX, kControl1RotateY);
      RotateNode(control2_.Get(), kControl2RotateX, kControl2RotateY);
    }
  }
  Object::Draw();
}

bool LookAt::ClampToLimits() {
  const bool clampedX = ClampToLimit(angleX_, limitX_);
  const bool clampedY = ClampToLimit(angleY_, limitY_);
  return clampedX || clampedY;
}

void LookAt::UpdateEvents(Object& looked, float tx, float ty, float dt) {
  const float dx = WrapAngle(angleX_ - tx);
  const float dy = WrapAngle(angleY_ - ty);
  if (std::fabs(dx) < eventLimitX_ / 2 && std::fabs(dy) < eventLimitY_ / 2) {
    lookTimer_ += dt;
    if (lookingState_ == 0 && lookTimer_ > eventLimitTime_) {
      lookingState_ = 1;
      FireEvent(kEventEnter, &looked);
    }
    return;
  }
  if (lookingState_ == 1) {
    lookingState_ = 0;
    FireEvent(kEventExit, &looked);
  }
  lookTimer_ = 0;
}

void LookAt::RotateNode(Object* node, std::uint32_t rotateX, std::uint32_t rotateY) {
  const bool pitch = (lookFlags_ & rotateX) != 0;
  const bool yaw = (lookFlags_ & rotateY) != 0;
  if (node == nullptr || (!pitch && !yaw)) return;
  Quaternion rotation;
  QuaternionFromYawPitchRoll(rotation, yaw ? angleY_ : 0.0f, pitch ? angleX_ : 0.0f, 0.0f);
  node->SetRotation(rotation, true);
}

void LookAt::ForceLookAt() {
  Object* target = lookTarget_.Get();
  if (target == nullptr) return;
  const Vector3 at = target->GetPositionWS();
  const Vector3 from = GetPositionWS();
  AnglesOf({at.x - from.x, at.y - from.y, at.z - from.z}, angleX_, angleY_);
}

// The nodes start from where the first one points.
void LookAt::Precalculate() {
  control1_ = Resolve(control1Path_);
  control2_ = Resolve(control2Path_);
  lookTarget_ = Resolve(targetPath_);
  if (Object* node = control1_.Get()) AnglesOf(node->GetAxisZWS(), angleX_, angleY_);
  Object::Precalculate();
}

void LookAt::CopyFrom(const Object& source) {
  Object::CopyFrom(source);
  looker_.Reset();
  lookContact_.Reset();
}

bool LookAt::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  if (stream.GetVersion() < 1) return !stream.Failed();
  stream.Serialize(lookFlags_);
  for (float* value : {&limitX_, &limitY_, &speedX_, &speedY_, &eventLimitX_, &eventLimitY_, &eventLimitTime_,
                       &minRange_, &maxRange_}) {
    stream.Serialize(*value);
  }
  for (std::string* path : {&control1Path_, &control2Path_, &targetPath_}) stream.SerializeString(*path);
  return !stream.Failed();
}

void RegisterLookAtCommands() {
  RegisterCommandTable<LookAt>(BuildCommandRegistry(), kClassLookAt, LookAt::Commands());
  GetObjectFactory().RegisterType<LookAt>(kClassLookAt);
}

}  // namespace tge
