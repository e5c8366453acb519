// SplineObject's command tables, placing, travel, camera fade and file record.
#include "objects/scene/animation/SplineObject.h"

#include <algorithm>
#include <type_traits>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/ObjectHooks.h"
#include "core/files/SerializeStream.h"
#include "objects/scene/animation/Spline.h"
#include "services/EngineServices.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr auto E = CommandKind::kEvent;
constexpr int kFirstVersionWithSpareValue = 72;
constexpr int kFirstVersionWithSpeed = 73;
constexpr int kFirstVersionWithSpareFloat = 76;
constexpr int kFirstVersionWithFade = 77;
constexpr float kMaxPercentage = 100.0f;
// Nearer the camera's forward axis than this is in front of the camera.
constexpr float kMinFacing = 0.6f;

}  // namespace

// clang-format off
constexpr CommandEntry<SplineObject> SplineObject::kCommands[] = {
    {22000, "SplineObjectPosition", P, 0, {kValueFloat}, Member<&SplineObject::SetPositionCommand>, FieldGetter<&SplineObject::position_>},
    {kEventSplineEnd, "OnSplineObjectSplineEnd", E, 0, {}},
};

std::span<const CommandEntry<SplineObject>> SplineObject::Commands() { return kCommands; }

constexpr CommandEntry<SplineObject> SplineObject::kHidden[] = {
    {kSetPercentage, "", P, 0, {kValueBool}, Member<&SplineObject::SetFlagCommand<kSplineObjectPercentage>>, FlagGetter<&SplineObject::flags_, kSplineObjectPercentage>},
    {kSetSpareValue, "", P, 0, {kValueDword}, FieldSetter<&SplineObject::spareValue_>, FieldGetter<&SplineObject::spareValue_>},
    {kSetSpeed, "", P, 0, {kValueFloat}, FieldSetter<&SplineObject::speed_>, FieldGetter<&SplineObject::speed_>},
    {kSetSpareFloat, "", P, 0, {kValueFloat}, FieldSetter<&SplineObject::spareFloat_>, FieldGetter<&SplineObject::spareFloat_>},
    {kSetOrient, "", P, 0, {kValueBool}, Member<&SplineObject::SetFlagCommand<kSplineObjectOrient>>, FlagGetter<&SplineObject::flags_, kSplineObjectOrient>},
    {kSetCameraFade, "", P, 0, {kValueBool}, Member<&SplineObject::SetFlagCommand<kSplineObjectCameraFade>>, FlagGetter<&SplineObject::flags_, kSplineObjectCameraFade>},
    {kSetFadeStart, "", P, 0, {kValueFloat}, FieldSetter<&SplineObject::fadeStart_>, FieldGetter<&SplineObject::fadeStart_>},
    {kSetFadeEnd, "", P, 0, {kValueFloat}, FieldSetter<&SplineObject::fadeEnd_>, FieldGetter<&SplineObject::fadeEnd_>},
};

std::span<const CommandEntry<SplineObject>> SplineObject::Hidden() { return kHidden; }
// clang-format on

SplineObject::SplineObject() : Object(kClassSplineObject) {}

void SplineObject::CopyFrom(const Object& source) {
  Object::CopyFrom(source);
  spline_.Reset();
}

// Every id goes on to the base handler, whose result is the answer.
int SplineObject::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<SplineObject> handlers(kClassSplineObject, {kCommands, kHidden});
  handlers.Run(*this, id, args);
  if (id == kCommandActionStartStep) {
    distance_ = 0;
    PlaceAtStart();
  } else if (id == kCommandInitializeNewObject) {
    SetInheritOrientation(false);
    SetWSOrientation(true);
  }
  return Object::ExecuteCommand(id, args);
}

// A percentage stops at the whole length, a distance at the spline's end.
int SplineObject::SetPositionCommand(CommandArgs args) {
  position_ = args.Get<float>();
  if ((flags_ & kSplineObjectPercentage) != 0) {
    position_ = std::min(position_, kMaxPercentage);
  } else if (Spline* spline = spline_.Get(); spline != nullptr) {
    position_ = std::min(position_, spline->GetTotalLength());
  }
  PlaceAtStart();
  return 1;
}

template <std::uint32_t Bit>
int SplineObject::SetFlagCommand(CommandArgs args) {
  flags_ = (args.Get<std::uint32_t>() & 1) != 0 ? (flags_ | Bit) : (flags_ & ~Bit);
  if (Bit != kSplineObjectCameraFade) PlaceAtStart();
  return 1;
}

void SplineObject::PlaceAtStart() {
  Spline* spline = spline_.Get();
  if (spline == nullptr) return;
  const float length = spline->GetTotalLength();
  const float wanted = (flags_ & kSplineObjectPercentage) != 0 ? length * position_ * 0.01f : position_;
  distance_ = std::clamp(wanted, 0.0f, length);
  PlaceAt(distance_);
}

void SplineObject::PlaceAt(float distance) {
  Vector3 point, tangent;
  spline_->GetPointAt(distance, &point, &tangent);
  if ((flags_ & kSplineObjectOrient) != 0) SetRotationAlong(*this, tangent);
  SetPosition(point, true);
}

bool SplineObject::ApplyCameraFade() {
  EngineServices* services = GetEngineServices();
  if (services == nullptr) return true;
  const ViewState& view = services->GetView();
  Vector3 offset;
  Vector3Subtract(offset, GetPositionWS(), view.GetCameraPosition());
  const float distance = Vector3Length(offset);
  Vector3 direction;
  Vector3Normalize(direction, offset);
  if (Vector3Dot(direction, view.GetCameraForward()) < kMinFacing || distance > fadeEnd_) return false;
  const float value = distance > fadeStart_ ? (fadeEnd_ - distance) / (fadeEnd_ - fadeStart_) : 1.0f;
  SetActionValueRecursive(value);
  return true;
}

// The end event's script may stop the Action, move the object or delete
// it: the travel goes on only while the Action still runs, and not at all
// once the object has left the tree.
bool SplineObject::Travel() {
  Spline* spline = spline_.Get();
  if (spline == nullptr || speed_ <= 0 || !HasFlag(kFlagActionStarted)) return true;
  distance_ += GetFrameTime() * GetActionValue() * speed_;
  if (spline->GetTotalLength() < distance_) {
    if (!FireEventStillHere(kEventSplineEnd, nullptr)) return false;
    distance_ = 0;
  }
  if (HasFlag(kFlagActionStarted) && spline_) PlaceAt(distance_);
  return true;
}

void SplineObject::Draw() {
  if (!GetActive()) return;
  if ((flags_ & kSplineObjectCameraFade) != 0 && !ApplyCameraFade()) return;
  if (Travel()) Object::Draw();
}

void SplineObject::Precalculate() {
  for (Object* up = GetParent(); up != nullptr; up = up->GetParent()) {
    if (up->GetClassId() == kClassSpline) {
      spline_.Set(static_cast<Spline*>(up));
      break;
    }
  }
  PlaceAtStart();
  Object::Precalculate();
}

bool SplineObject::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  const int version = stream.GetVersion();
  if (version >= 1) {
    stream.Serialize(flags_);
    stream.Serialize(position_);
  }
  if (version >= kFirstVersionWithSpareValue) stream.Serialize(spareValue_);
  if (version >= kFirstVersionWithSpeed) stream.Serialize(speed_);
  if (version >= kFirstVersionWithSpareFloat) stream.Serialize(spareFloat_);
  if (version >= kFirstVersionWithFade) {
    stream.Serialize(fadeStart_);
    stream.Serialize(fadeEnd_);
  }
  return !stream.Failed();
}

void RegisterSplineObjectCommands() {
  RegisterCommandTable<SplineObject>(BuildCommandRegistry(), kClassSplineObject, SplineObject::Commands());
  GetObjectFactory().RegisterType<SplineObject>(kClassSplineObject);
}

}  // namespace tge
