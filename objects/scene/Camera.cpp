// Camera's command table, activation, view and file record.
#include "objects/scene/Camera.h"

#include <algorithm>
#include <type_traits>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"
#include "services/EngineServices.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr auto C = CommandKind::kCommand;
constexpr int kLastVersionWithDroppedWords = 78;
constexpr int kFirstVersionWithFreeFly = 38;
constexpr int kFirstVersionWithTarget = 40;
constexpr int kFirstVersionWithViewport = 42;
constexpr std::uint32_t kLastViewport = kViewportCount - 1;

// The frame from eye towards target with world up as the view matrix is
// built; none when the two meet or the line is vertical.
std::optional<ViewFrame> UprightFrame(const Vector3& eye, const Vector3& target) {
  Vector3 ahead;
  Vector3Subtract(ahead, target, eye);
  const Vector3 forward = Normalized(ahead);
  Vector3 right;
  Vector3Cross(right, Vector3{0, 1, 0}, forward);
  if (Vector3Length(forward) < 0.5f || Vector3Length(right) < 1e-6f) return std::nullopt;
  right = Normalized(right);
  Vector3 up;
  Vector3Cross(up, forward, right);
  return ViewFrame{eye, forward, up};
}

}  // namespace

// clang-format off
constexpr CommandEntry<Camera> Camera::kCommands[] = {
    {1250, "CameraType", P, 0, {kValueDword}, FieldSetter<&Camera::type_>, FieldGetter<&Camera::type_>},
    {1252, "CameraViewport", P, 0, {kValueDword}, Member<&Camera::SetViewportCommand>, FieldGetter<&Camera::viewport_>},
    {1254, "CameraFov", P, 0, {kValueFloat}, Member<&Camera::SetProjectionCommand<&Camera::fov_>>, FieldGetter<&Camera::fov_>},
    {1256, "CameraAspect", P, 0, {kValueFloat}, Member<&Camera::SetProjectionCommand<&Camera::aspect_>>, FieldGetter<&Camera::aspect_>},
    {1258, "CameraNear", P, 0, {kValueFloat}, Member<&Camera::SetProjectionCommand<&Camera::near_>>, FieldGetter<&Camera::near_>},
    {1260, "CameraFar", P, 0, {kValueFloat}, Member<&Camera::SetProjectionCommand<&Camera::far_>>, FieldGetter<&Camera::far_>},
    {1262, "SetCameraActive", C, 0, {}, Member<&Camera::SetCameraActiveCommand>},
    {1263, "CameraTargetSmooth", P, 0, {kValueFloat}, FieldSetter<&Camera::targetSmooth_>, FieldGetter<&Camera::targetSmooth_>},
    {1265, "CameraPositionYOffset", P, 0, {kValueFloat}, FieldSetter<&Camera::positionYOffset_>, FieldGetter<&Camera::positionYOffset_>},
    {1267, "CameraPositionDistance", P, 0, {kValueFloat}, FieldSetter<&Camera::positionDistance_>, FieldGetter<&Camera::positionDistance_>},
    {1269, "CameraPositionSmooth", P, 0, {kValueFloat}, FieldSetter<&Camera::positionSmooth_>, FieldGetter<&Camera::positionSmooth_>},
    {1271, "MinCameraYAngle", P, 0, {kValueFloat}, FieldSetter<&Camera::minYAngle_>, FieldGetter<&Camera::minYAngle_>},
    {1273, "MaxCameraYAngle", P, 0, {kValueFloat}, FieldSetter<&Camera::maxYAngle_>, FieldGetter<&Camera::maxYAngle_>},
    {1275, "CameraTarget", P, 0, {kValueString}, Member<&Camera::SetTargetCommand>, Member<&Camera::GetTargetCommand>},
    {1277, "CameraResetPosition", C, 0, {}, Member<&Camera::ResetPositionCommand>},
};

std::span<const CommandEntry<Camera>> Camera::Commands() { return kCommands; }
// clang-format on

Camera::Camera() : ViewCamera(kClassCamera) {}

// The first message of the physics release pair stops here: a camera has
// no physics to give back.
int Camera::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<Camera> handlers(kClassCamera, {kCommands});
  if (id == kCommandReleasePhysics) return 1;
  handlers.Run(*this, id, args);
  if (id == kCommandActionStartStep) {
    Activate();
  }
  return Object::ExecuteCommand(id, args);
}

template <auto Field>
int Camera::SetProjectionCommand(CommandArgs args) {
  FieldSetter<Field>(*this, args);
  if (IsActive()) HandProjection();
  return 1;
}

// The table has four slots: a larger viewport takes the last.
int Camera::SetViewportCommand(CommandArgs args) {
  viewport_ = std::min(args.Get<std::uint32_t>(), kLastViewport);
  return 1;
}

int Camera::SetCameraActiveCommand(CommandArgs) {
  Activate();
  return 1;
}

int Camera::SetTargetCommand(CommandArgs args) {
  targetPath_ = args.AsString();
  target_.Set(ResolveObjectPath(this, targetPath_, nullptr, nullptr));
  return 1;
}

int Camera::GetTargetCommand(CommandArgs args) {
  args.AsString() = targetPath_;
  return 1;
}

int Camera::ResetPositionCommand(CommandArgs) {
  ResetPosition();
  return 1;
}

void Camera::SetFov(float fov) {
  fov_ = fov;
  if (IsActive()) HandProjection();
}

void Camera::SetFollowTargetHeight(bool on) {
  cameraFlags_ = on ? (cameraFlags_ | kCameraFollowTargetHeight) : (cameraFlags_ & ~kCameraFollowTargetHeight);
}

void Camera::HandProjection() const {
  if (EngineServices* services = GetEngineServices()) services->GetView().SetProjection(fov_, aspect_, near_, far_);
}

void Camera::Activate() {
  HandProjection();
  if (type_ == kCameraFreeFly) {
    pitch_ = 0;
    yaw_ = Vector3YawFlat(GetAxisZWS());
  }
  GetActiveCameraTable().Set(static_cast<int>(viewport_), this);
}

bool Camera::IsActive() const { return GetActiveCameraTable().Get(static_cast<int>(viewport_)) == this; }

std::optional<Vector3> Camera::GetPivot() {
  if (Object* target = target_.Get()) return target->GetPositionWS();
  if (Object* parent = GetParent()) return parent->GetPositionWS();
  return std::nullopt;
}

void Camera::ApplyView() {
  EngineServices* services = GetEngineServices();
  if (services == nullptr) return;
  ViewState& view = services->GetView();
  switch (type_) {
    case kCameraFixed:
    case kCameraFreeFly:
      view.SetCameraMatrix(GetWorldMatrix());
      break;
    case kCameraLookAt:
      if (const auto pivot = GetPivot()) view.SetCameraLookAt(GetPositionWS(), *pivot);
      break;
    case kCameraFollow:
      view.SetCameraLookAt(GetPositionWS(), lookAt_);
      break;
    default:
      break;
  }
  HandProjection();
}

ViewFrame Camera::GetViewFrame() {
  const Vector3 eye = GetPositionWS();
  std::optional<Vector3> target;
  if (type_ == kCameraLookAt) target = GetPivot();
  if (type_ == kCameraFollow) target = lookAt_;
  if (target) {
    if (const auto frame = UprightFrame(eye, *target)) return *frame;
  }
  return {eye, Normalized(GetAxisZWS()), Normalized(GetAxisYWS())};
}

int Camera::HandleContact(GeometryRecord*, GeometryRecord*, ContactParameters*, int) { return 1; }

void Camera::Precalculate() {
  if (!targetPath_.empty()) target_.Set(ResolveObjectPath(this, targetPath_, nullptr, nullptr));
  ResetPosition();
  EnableUpdate();
  Object::Precalculate();
}

void Camera::ResetPosition() {
  Object* anchor = target_ ? target_.Get() : GetParent();
  if (anchor != nullptr) lookAt_ = previousTarget_ = Translation(anchor->GetWorldMatrix());
  followPosition_ = Translation(GetWorldMatrix());
  followPosition_.y += positionYOffset_;
  if (type_ != kCameraFollow) return;
  Vector3 start = lookAt_;
  start.y += positionYOffset_;
  if (Object* target = target_.Get()) {
    Vector3AddScaled(start, start, target->GetAxisZWS(), -positionDistance_);
  } else if (Object* parent = GetParent()) {
    Vector3AddScaled(start, start, parent->GetAxisZWS(), positionDistance_);
  }
  SetPosition(start, true);
  SetWSOrientation(true);
}

bool Camera::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  const int version = stream.GetVersion();
  if (version >= 1) {
    stream.Serialize(cameraFlags_);
    stream.Serialize(type_);
    stream.Serialize(fov_);
    stream.Serialize(aspect_);
    stream.Serialize(near_);
    stream.Serialize(far_);
  }
  if (version >= 1 && version <= kLastVersionWithDroppedWords) {
    std::uint32_t dropped[3] = {};
    stream.Serialize(dropped);
  }
  if (version >= 1) {
    stream.Serialize(targetSmooth_);
    stream.Serialize(positionYOffset_);
    stream.Serialize(positionDistance_);
    stream.Serialize(positionSmooth_);
  }
  if (version >= kFirstVersionWithTarget) stream.SerializeString(targetPath_);
  if (version >= kFirstVersionWithViewport) stream.Serialize(viewport_);
  if (!stream.IsWriting()) {
    viewport_ = std::min(viewport_, kLastViewport);
    if (version < kFirstVersionWithFreeFly && type_ == kCameraFreeFly) type_ = kCameraFixed;
  }
  return !stream.Failed();
}

void RegisterCameraCommands() {
  RegisterCommandTable<Camera>(BuildCommandRegistry(), kClassCamera, Camera::Commands());
  GetObjectFactory().RegisterType<Camera>(kClassCamera);
}

}  // namespace tge
