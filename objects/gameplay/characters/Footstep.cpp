// Footstep's command table, step detection and file record.
#include "objects/gameplay/characters/Footstep.h"

#include <algorithm>
#include <type_traits>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/ObjectHooks.h"
#include "core/files/SerializeStream.h"
#include "objects/gameplay/world/Space.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
// A step: the foot has all but stopped after moving fast, a while after
// the last one.
constexpr float kLandedSpeed = 1.0f;
constexpr float kStepSpeed = 4.0f;
constexpr float kStepInterval = 0.3f;
// The ground ray runs this far above and below the foot.
constexpr float kRayReach = 0.5f;
// Effects sit this far above the ground.
constexpr float kGroundLift = 0.01f;
constexpr int kFirstSettingsVersion = 56;
constexpr int kFirstSpeedVersion = 66;

// Rows X, Y, Z along the ground, Z the normal, at the hit point.
Matrix4 GroundPlacement(const Vector3& normal, const Vector3& axisX, const Vector3& hit) {
  Vector3 x, y, across;
  Vector3Cross(across, normal, axisX);
  Vector3Normalize(x, Vector3Cross(x, across, normal));
  Vector3Normalize(y, Vector3Cross(y, normal, x));
  Vector3 at;
  Vector3AddScaled(at, hit, normal, kGroundLift);
  Matrix4 m;
  const Vector3* rows[4] = {&x, &y, &normal, &at};
  for (int row = 0; row < 4; ++row) {
    m.m[row * 4 + 0] = rows[row]->x;
    m.m[row * 4 + 1] = rows[row]->y;
    m.m[row * 4 + 2] = rows[row]->z;
  }
  return m;
}

}  // namespace

// clang-format off
constexpr CommandEntry<Footstep> Footstep::kCommands[] = {
    {9750, "FootstepRepeatTime", P, 0, {kValueFloat}, FieldSetter<&Footstep::repeatTime_>, FieldGetter<&Footstep::repeatTime_>},
};

std::span<const CommandEntry<Footstep>> Footstep::Commands() { return kCommands; }

// Set and get pairs the tools use: answered, never registered.
constexpr CommandEntry<Footstep> Footstep::kHiddenCommands[] = {
    {9752, "", P, 0, {kValueFloat}, FieldSetter<&Footstep::setting1_>, FieldGetter<&Footstep::setting1_>},
    {9754, "", P, 0, {kValueFloat}, FieldSetter<&Footstep::setting2_>, FieldGetter<&Footstep::setting2_>},
    {9756, "", P, 0, {kValueDword}, FieldSetter<&Footstep::footstepFlags_>, FieldGetter<&Footstep::footstepFlags_>},
    {9758, "", P, 0, {kValueFloat}, FieldSetter<&Footstep::setting3_>, FieldGetter<&Footstep::setting3_>},
    {9760, "", P, 0, {kValueFloat}, FieldSetter<&Footstep::setting4_>, FieldGetter<&Footstep::setting4_>},
    {9762, "", P, 0, {kValueDword}, FieldSetter<&Footstep::effectMask_>, FieldGetter<&Footstep::effectMask_>},
    {9764, "", P, 0, {kValueFloat}, FieldSetter<&Footstep::minSpeed_>, FieldGetter<&Footstep::minSpeed_>},
    {9766, "", P, 0, {kValueFloat}, FieldSetter<&Footstep::maxSpeed_>, FieldGetter<&Footstep::maxSpeed_>},
    {9768, "", P, 0, {kValueDword}, FieldSetter<&Footstep::rayMask_>, FieldGetter<&Footstep::rayMask_>},
};

std::span<const CommandEntry<Footstep>> Footstep::HiddenCommands() { return kHiddenCommands; }
// clang-format on

Footstep::Footstep() : Object(kClassFootstep) {}

int Footstep::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<Footstep> handlers(kClassFootstep, {kCommands, kHiddenCommands});
  handlers.Run(*this, id, args);
  if (id == kCommandInitializeNewObject) SetInheritOrientation(false);
  return Object::ExecuteCommand(id, args);
}

void Footstep::CopyFrom(const Object& source) {
  Object::CopyFrom(source);
  tracking_ = false;
}

void Footstep::Draw() {
  if (!GetActive()) return;
  const Vector3 position = GetPositionWS();
  if (tracking_) DetectStep(position);
  tracking_ = true;
  lastPosition_ = position;
  Object::Draw();
}

void Footstep::DetectStep(const Vector3& position) {
  Vector3 moved;
  const float speed = Vector3Length(Vector3Subtract(moved, position, lastPosition_)) * GetFrameRate();
  peakSpeed_ = std::max(peakSpeed_, speed);
  stepTimer_ += GetFrameTime();
  if (speed >= kLandedSpeed || peakSpeed_ <= kStepSpeed || stepTimer_ <= kStepInterval) return;
  const float stepSpeed = std::min(std::max(peakSpeed_, minSpeed_), maxSpeed_);
  intensity_ = maxSpeed_ > 0 ? stepSpeed / maxSpeed_ : 1.0f;
  if (!SpawnEffects(position)) return;
  peakSpeed_ = 0;
  stepTimer_ = 0;
}

bool Footstep::SpawnEffects(const Vector3& position) {
  Space* space = GetSpace();
  ObjectHooks* hooks = GetObjectHooks();
  if (space == nullptr || hooks == nullptr) return false;
  if (rayMask_ == 0) {
    hooks->SpawnGlobalHitEffects(effectMask_, *space, GetWorldMatrix(), nullptr, intensity_);
    return true;
  }
  SpaceRayHit hit;
  const Vector3 from{position.x, position.y + kRayReach, position.z};
  const Vector3 to{position.x, position.y - kRayReach, position.z};
  if (space->RayQuery(this, from, to, rayMask_, &hit, 0) == 0 || hit.record == nullptr) return false;
  const Matrix4 placement = GroundPlacement(hit.normal, GetAxisXWS(), hit.position);
  hooks->SpawnGlobalHitEffects(effectMask_ & hit.record->hitEffectMask, *space, placement, nullptr, intensity_);
  return true;
}

bool Footstep::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  const int version = stream.GetVersion();
  if (version >= 1) {
    stream.Serialize(footstepFlags_);
    stream.Serialize(repeatTime_);
  }
  if (version >= kFirstSettingsVersion) {
    for (float* value : {&setting1_, &setting2_, &setting3_, &setting4_}) stream.Serialize(*value);
    stream.Serialize(effectMask_);
    stream.Serialize(rayMask_);
  }
  if (version >= kFirstSpeedVersion) {
    stream.Serialize(minSpeed_);
    stream.Serialize(maxSpeed_);
  }
  return !stream.Failed();
}

void RegisterFootstepCommands() {
  RegisterCommandTable<Footstep>(BuildCommandRegistry(), kClassFootstep, Footstep::Commands());
  GetObjectFactory().RegisterType<Footstep>(kClassFootstep);
}

}  // namespace tge
