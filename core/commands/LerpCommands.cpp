// The Lerp commands move, turn or scale an object smoothly to a target. A
// LerpTo... command posts an interpolated call of its driven command (t from
// 0 to 1 over the time, with the start and end values in the block) after
// cancelling the one already running, so a new lerp replaces the old. At
// t = 1 the driven command sets the target itself, so a lerp ends exactly on
// it. The ...ByObject lerps follow a target that may move and may go away:
// they hold it weakly and end when it is gone.
#include <type_traits>

#include "core/BaseCommandIds.h"
#include "core/CommandScheduler.h"
#include "core/World.h"
#include "core/commands/BaseCommandTable.h"

namespace tge {
namespace {

enum LerpCommand : std::uint32_t {
  kLerpPosition = 51,
  kLerpRotation = 52,
  kLerpScale = 53,
  kLerpOrientationByObject = 54,
};

// The modes of LerpOrientationByObject are the ids of the commands that start it.
constexpr std::uint32_t kModePosition = 47;
constexpr std::uint32_t kModeRotation = 48;
constexpr std::uint32_t kModeScale = 49;
constexpr std::uint32_t kModeOrientation = 50;

template <class V>
V Toward(const V& a, const V& b, float t) {
  if (t >= 1.0f) return b;
  if constexpr (std::is_same_v<V, Quaternion>)
    return Slerp(a, b, t);
  else
    return Lerp(a, b, t);
}

bool HasMode(std::uint32_t mode, std::uint32_t wanted) { return mode == wanted || mode == kModeOrientation; }

}  // namespace

// clang-format off
std::span<const CommandEntry<Object>> Object::LerpCommands() {
  using namespace table_terms;
  static const CommandEntry<Object> table[] = {
    {43, "LerpToRelativePosition", Kind::kCommand, S, {kVec3, kFloat}, Member<&Object::LerpToPositionCommand<true>>},
    {44, "LerpToPosition", Kind::kCommand, S, {kVec3, kFloat}, Member<&Object::LerpToPositionCommand<false>>},
    {45, "LerpToRotation", Kind::kCommand, S, {kQuat, kFloat}, Member<&Object::LerpToRotationCommand>},
    {46, "LerpToScale", Kind::kCommand, S, {kVec3, kFloat}, Member<&Object::LerpToScaleCommand>},
    {47, "LerpToPositionByObject", Kind::kCommand, S, {kPath, kFloat}, Member<&Object::LerpToByObjectCommand<47>>},
    {48, "LerpToRotationByObject", Kind::kCommand, S, {kPath, kFloat}, Member<&Object::LerpToByObjectCommand<48>>},
    {49, "LerpToScaleByObject", Kind::kCommand, S, {kPath, kFloat}, Member<&Object::LerpToByObjectCommand<49>>},
    {50, "LerpToOrientationByObject", Kind::kCommand, S, {kPath, kFloat}, Member<&Object::LerpToByObjectCommand<50>>},
    {51, "LerpPosition", Kind::kCommand, P, {kFloat, kVec3, kVec3}, Member<&Object::LerpPositionCommand>},
    {52, "LerpRotation", Kind::kCommand, P, {kFloat, kQuat, kQuat}, Member<&Object::LerpRotationCommand>},
    {53, "LerpScale", Kind::kCommand, P, {kFloat, kVec3, kVec3}, Member<&Object::LerpScaleCommand>},
    {54, "LerpOrientationByObject", Kind::kCommand, P, {kFloat, kPtr, kVec3, kQuat, kVec3, kDword}, Member<&Object::LerpOrientationByObjectCommand>},
  };
  return table;
}
// clang-format on

void Object::StartLerp(std::uint32_t driven, ArgumentBlock& block, float time) {
  if (GetWorld() == nullptr) return;
  World::CancelCommands(*this, static_cast<int>(driven), kScheduleGeneral);
  GetWorld()->InterpolateCommand(*this, static_cast<int>(driven), block.Data(), time, 0, 1.0f, kScheduleGeneral);
}

// Block: the position (or offset) and the time.
template <bool Relative>
int Object::LerpToPositionCommand(CommandArgs args) {
  const Vector3 from = GetPosition();
  Vector3 to = args.Get<Vector3>();
  if constexpr (Relative) Vector3Add(to, from, to);
  ArgumentBlock block;
  block.Push(0.0f).Push(from).Push(to);
  StartLerp(kLerpPosition, block, args.Get<float>(sizeof(Vector3)));
  return 1;
}

int Object::LerpToRotationCommand(CommandArgs args) {
  ArgumentBlock block;
  block.Push(0.0f).Push(GetRotation()).Push(args.Get<Quaternion>());
  StartLerp(kLerpRotation, block, args.Get<float>(sizeof(Quaternion)));
  return 1;
}

int Object::LerpToScaleCommand(CommandArgs args) {
  ArgumentBlock block;
  block.Push(0.0f).Push(GetScale()).Push(args.Get<Vector3>());
  StartLerp(kLerpScale, block, args.Get<float>(sizeof(Vector3)));
  return 1;
}

// Block: the target (a pointer-sized slot) and the time.
template <std::uint32_t Mode>
int Object::LerpToByObjectCommand(CommandArgs args) {
  Object* target = args.GetPointer<Object>();
  if (target == nullptr) return 1;
  lerpTarget_ = target->GetAnchor();
  ArgumentBlock block;
  block.Push(0.0f).PushPointer(target).Push(GetPosition()).Push(GetRotation()).Push(GetScale()).Push(Mode);
  StartLerp(kLerpOrientationByObject, block, args.Get<float>(sizeof(void*)));
  return 1;
}

int Object::LerpPositionCommand(CommandArgs args) {
  SetPosition(Toward(args.Get<Vector3>(4), args.Get<Vector3>(16), args.Get<float>()), true);
  return 1;
}

int Object::LerpRotationCommand(CommandArgs args) {
  SetRotation(Toward(args.Get<Quaternion>(4), args.Get<Quaternion>(20), args.Get<float>()), true);
  return 1;
}

int Object::LerpScaleCommand(CommandArgs args) {
  SetScale(Toward(args.Get<Vector3>(4), args.Get<Vector3>(16), args.Get<float>()), true);
  return 1;
}

// Start values are local, targets are world values read again every tick.
// Only the target of the running lerp is followed, and only while it lives.
int Object::LerpOrientationByObjectCommand(CommandArgs args) {
  constexpr std::size_t kTarget = 4;
  constexpr std::size_t kPosition = kTarget + sizeof(void*);
  constexpr std::size_t kRotation = kPosition + sizeof(Vector3);
  constexpr std::size_t kScale = kRotation + sizeof(Quaternion);
  constexpr std::size_t kMode = kScale + sizeof(Vector3);
  Object* target = lerpTarget_ ? lerpTarget_->object : nullptr;
  if (target == nullptr || target != args.GetPointer<Object>(kTarget)) {
    World::CancelCommands(*this, kLerpOrientationByObject, kScheduleGeneral);
    return 1;
  }
  const float t = args.Get<float>();
  const auto mode = args.Get<std::uint32_t>(kMode);
  if (HasMode(mode, kModePosition)) SetPosition(Toward(args.Get<Vector3>(kPosition), target->GetPositionWS(), t), true);
  if (HasMode(mode, kModeRotation)) SetRotation(Toward(args.Get<Quaternion>(kRotation), target->GetRotationWS(), t), true);
  if (HasMode(mode, kModeScale)) SetScale(Toward(args.Get<Vector3>(kScale), target->GetScaleWS(), t), true);
  return 1;
}

}  // namespace tge
