// Cursor's command table, pick ray, group events, edge navigation and file
// record.
#include "objects/ui/Cursor.h"

#include <algorithm>
#include <string>

#include "core/ActiveCameraTable.h"
#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/ObjectFlags.h"
#include "core/ObjectRecords.h"
#include "core/WorldPhysicsHooks.h"
#include "core/files/SerializeStream.h"
#include "core/math/Matrix4.h"
#include "objects/scene/Camera.h"
#include "core/CommandAccessors.h"
#include "objects/ui/UiHooks.h"
#include "services/EngineServices.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr auto C = CommandKind::kCommand;
constexpr auto E = CommandKind::kEvent;

constexpr int kFirstEnterEvent = 20277;
constexpr int kFirstExitEvent = 20309;
constexpr int kConfirmAction = 46;
constexpr int kClickAction = 128;
constexpr std::uint32_t kClickBit = 1u << 31;
constexpr float kHitNormalScale = 400.0f;
constexpr int kFileVersionNavigation = 68;

// One step of v toward 0 by at most step.
float Decelerated(float v, float step) {
  if (v > step) return v - step;
  if (v < -step) return v + step;
  return 0.0f;
}

// The group of an event id in [first, first + 32), else -1.
int GroupOf(int eventId, int first) {
  return eventId >= first && eventId < first + kCursorGroupCount ? eventId - first : -1;
}

}  // namespace

// clang-format off
constexpr CommandEntry<Cursor> Cursor::kCommands[] = {
    {20252, "CursorEnable", P, 0, {kValueBool}, LowBitFlagSetter<&Cursor::cursorFlags_, kCursorEnable>, FlagGetter<&Cursor::cursorFlags_, kCursorEnable>},
    {20254, "CursorRayCategoryBits", P, 0, {kValueDword}, FieldSetter<&Cursor::rayCategoryBits_>, FieldGetter<&Cursor::rayCategoryBits_>},
    {20256, "CursorRayGroupBits", P, 0, {kValueDword}, FieldSetter<&Cursor::rayGroupBits_>, FieldGetter<&Cursor::rayGroupBits_>},
    {20258, "CursorRayLength", P, 0, {kValueFloat}, FieldSetter<&Cursor::rayLength_>, FieldGetter<&Cursor::rayLength_>},
    {20260, "GetCursorRayHitPosition", C, 0, {kValueVector3}, Member<&Cursor::GetHitPositionCommand>},
    {20261, "GetCursorRayHitNormal", C, 0, {kValueVector3}, Member<&Cursor::GetHitNormalCommand>},
    {20262, "CursorEnableCameraNavigation", P, 0, {kValueBool}, LowBitFlagSetter<&Cursor::cursorFlags_, kCursorCameraNavigation>, FlagGetter<&Cursor::cursorFlags_, kCursorCameraNavigation>},
    {20264, "CursorCameraControlPosition", P, 0, {kValueBool}, LowBitFlagSetter<&Cursor::cursorFlags_, kCursorCameraControlPosition>, FlagGetter<&Cursor::cursorFlags_, kCursorCameraControlPosition>},
    {20266, "CursorCameraNavigationBorder", P, 0, {kValueFloat}, FieldSetter<&Cursor::navigationBorder_>, FieldGetter<&Cursor::navigationBorder_>},
    {20268, "CursorCameraMaxSpeed", P, 0, {kValueVector3}, FieldSetter<&Cursor::cameraMaxSpeed_>, FieldGetter<&Cursor::cameraMaxSpeed_>},
    {20270, "CursorCameraAccSpeed", P, 0, {kValueVector3}, FieldSetter<&Cursor::cameraAccSpeed_>, FieldGetter<&Cursor::cameraAccSpeed_>},
    {20272, "CursorCameraDecSpeed", P, 0, {kValueVector3}, FieldSetter<&Cursor::cameraDecSpeed_>, FieldGetter<&Cursor::cameraDecSpeed_>},
    {20274, "OnCursorEnter", E, 0, {}},
    {20275, "OnCursorExit", E, 0, {}},
    {20276, "OnCursorCollision", E, 0, {}},
};

std::span<const CommandEntry<Cursor>> Cursor::Commands() { return kCommands; }
// clang-format on

Cursor::Cursor() : Object(kClassCursor) {}

int Cursor::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<Cursor> handlers(kClassCursor, {kCommands});
  handlers.Run(*this, id, args);
  if (id == kCommandActionStartStep) cursorFlags_ |= kCursorEnable;
  if (id == kCommandActionStopStep) cursorFlags_ &= ~kCursorEnable;
  if (id == kCommandInitializeNewObject) {
    SetInheritOrientation(false);
    SetWSOrientation(true);
  }
  return Object::ExecuteCommand(id, args);
}

// The copy finds its own slave and over objects at Precalculate.
void Cursor::CopyFrom(const Object& source) {
  Object::CopyFrom(source);
  groups_ = {};
  hitSlave_.Reset();
}

int Cursor::GetHitPositionCommand(CommandArgs args) {
  args.Set(hitPosition_);
  return 1;
}

int Cursor::GetHitNormalCommand(CommandArgs args) {
  Vector3 scaled;
  args.Set(Vector3Scale(scaled, hitNormal_, kHitNormalScale));
  return 1;
}

void Cursor::Precalculate() {
  EnableUpdate();
  hitSlave_.Set(FindChildByName("RayHitPositionSlave"));
  if (const auto* scripts = GetScripts()) {
    for (const ObjectScript& script : *scripts) {
      for (int first : {kFirstEnterEvent, kFirstExitEvent}) {
        const int group = GroupOf(script.eventId, first);
        if (group >= 0) groups_[static_cast<std::size_t>(group)].hasScript = 1;
      }
    }
  }
  for (int n = 1; n <= kCursorGroupCount; ++n) {
    groups_[static_cast<std::size_t>(n - 1)].overObject.Set(FindChildByName("OnCursorOver" + std::to_string(n)));
  }
  Object::Precalculate();
}

Vector3 Cursor::ScreenPoint() const {
  const UiHooks* hooks = GetUiHooks();
  if (hooks == nullptr) return {};
  const Vector3 cursor = hooks->GetCursorPosition();
  return {cursor.x * hooks->GetScreenScaleX(), cursor.y * hooks->GetScreenScaleY(), cursor.z};
}

void Cursor::Update() {
  if (!GetActive() || (cursorFlags_ & kCursorEnable) == 0 || HasFlag(kFlagKilled)) return;
  const Vector3 point = ScreenPoint();
  SetPosition(point, true);
  if ((cursorFlags_ & kCursorCameraNavigation) != 0) CameraNavigate();
  std::uint32_t click = 0;
  if (const EngineServices* services = GetEngineServices()) {
    if (services->IsInputActionReleased(0, kConfirmAction) || services->IsInputActionReleased(0, kClickAction)) {
      click = kClickBit;
    }
  }
  UpdateGroups(CastRay(point, click));
}

// A cursor in no Space, a screen or projection without size, or an engine
// without Spaces casts no ray: no group sees a hit.
Cursor::Pick Cursor::CastRay(const Vector3& point, std::uint32_t clickBit) {
  EngineServices* services = GetEngineServices();
  WorldPhysicsHooks* hooks = GetWorldPhysicsHooks();
  if (services == nullptr || hooks == nullptr || GetSpace() == nullptr) return {};
  const auto width = static_cast<float>(static_cast<unsigned>(services->GetScreenWidth()));
  const auto height = static_cast<float>(static_cast<unsigned>(services->GetScreenHeight()));
  const Matrix4& projection = services->GetView().GetProjectionMatrix();
  if (width <= 0 || height <= 0 || projection.m[0] == 0 || projection.m[5] == 0) return {};
  const float sx = (2 * point.x / width - 1) / projection.m[0];
  const float sy = -((2 * point.y / height - 1) / projection.m[5]);
  Matrix4 inverse;
  Matrix4Inverse(inverse, nullptr, services->GetView().GetViewMatrix());
  const float* I = inverse.m;
  Vector3 direction{sx * I[0] + sy * I[4] + I[8], sx * I[1] + sy * I[5] + I[9], sx * I[2] + sy * I[6] + I[10]};
  Vector3Normalize(direction, direction);
  const Vector3 origin{I[12], I[13], I[14]};
  Vector3 end;
  Vector3AddScaled(end, origin, direction, rayLength_);
  const std::uint32_t mask = rayCategoryBits_ | clickBit;
  WorldRayHit hit;
  if (!hooks->PickRay(*GetSpace(), this, origin, end, mask, hit, 1, false) || hit.record == nullptr) return {};
  hitPosition_ = hit.position;
  hitNormal_ = hit.normal;
  if (Object* slave = hitSlave_.Get()) slave->SetPosition(hit.position, true);
  return {hit.record->owner, mask & hit.record->collisionBits};
}

void Cursor::UpdateGroups(const Pick& pick) {
  for (int i = 0; i < kCursorGroupCount; ++i) {
    CursorGroup& group = groups_[static_cast<std::size_t>(i)];
    Object* current = (pick.groupBits & (1u << i)) != 0 ? pick.owner : nullptr;
    if (current != nullptr && !group.previousSeen) {
      group.enteredObject.Set(current);
      if (Object* over = group.overObject.Get()) over->Start();
      if (group.hasScript != 0) FireEvent(kFirstEnterEvent + i, current);
    } else if (current == nullptr && group.previousSeen) {
      if (Object* over = group.overObject.Get()) over->Stop();
      if (group.hasScript != 0) FireEvent(kFirstExitEvent + i, group.enteredObject.Get());
      group.enteredObject.Reset();
    }
    group.previousObject.Set(current);
    group.previousSeen = current != nullptr;
  }
}

// Acts on the camera of viewport 0: moves it, or turns it about its pivot
// and raises or lowers it within its limits.
void Cursor::CameraNavigate() {
  ViewCamera* view = GetActiveCameraTable().Get(0);
  const EngineServices* services = GetEngineServices();
  if (view == nullptr || services == nullptr) return;
  const Vector3 p = GetPosition();
  const float dt = GetFrameTime();
  const auto width = static_cast<float>(static_cast<unsigned>(services->GetScreenWidth()));
  const auto height = static_cast<float>(static_cast<unsigned>(services->GetScreenHeight()));
  const float border = navigationBorder_;
  Vector3& v = cameraVelocity_;
  if (p.x <= border) {
    v.x -= dt * cameraAccSpeed_.x;
  } else if (p.x >= width - border) {
    v.x += dt * cameraAccSpeed_.x;
  } else {
    v.x = Decelerated(v.x, dt * cameraDecSpeed_.x);
  }
  if (p.y <= border) {
    v.z += dt * cameraAccSpeed_.z;
  } else if (p.y >= height - border) {
    v.z -= dt * cameraAccSpeed_.z;
  } else {
    v.z = Decelerated(v.z, dt * cameraDecSpeed_.z);
  }
  v.x = std::clamp(v.x, -cameraMaxSpeed_.x, cameraMaxSpeed_.x);
  v.z = std::clamp(v.z, -cameraMaxSpeed_.z, cameraMaxSpeed_.z);
  if ((cursorFlags_ & kCursorCameraControlPosition) != 0) {
    view->AddPosition({v.x * dt, v.y * dt, v.z * dt});
  } else if (view->GetClassId() == kClassCamera) {
    auto& camera = static_cast<Camera&>(*view);
    camera.RotateAroundTarget({0, v.x * dt * 0.1f, 0});
    camera.AddPositionLimited({0, v.z * dt * 0.5f, 0});
  }
}

bool Cursor::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  if (stream.GetVersion() < 1) return !stream.Failed();
  stream.Serialize(cursorFlags_);
  stream.Serialize(rayCategoryBits_);
  stream.Serialize(rayGroupBits_);
  stream.Serialize(rayLength_);
  if (stream.GetVersion() < kFileVersionNavigation) return !stream.Failed();
  stream.Serialize(cameraMaxSpeed_);
  stream.Serialize(cameraAccSpeed_);
  stream.Serialize(cameraDecSpeed_);
  stream.Serialize(navigationBorder_);
  return !stream.Failed();
}

// The 64 group events are named at registration, enter and exit of one
// group together.
void RegisterCursorCommands() {
  CommandRegistry& registry = BuildCommandRegistry();
  RegisterCommandTable<Cursor>(registry, kClassCursor, Cursor::Commands());
  for (int n = 1; n <= kCursorGroupCount; ++n) {
    registry.RegisterEvent(kFirstEnterEvent + n - 1, "OnCursorEnter" + std::to_string(n), kClassCursor, 0, {});
    registry.RegisterEvent(kFirstExitEvent + n - 1, "OnCursorExit" + std::to_string(n), kClassCursor, 0, {});
  }
  GetObjectFactory().RegisterType<Cursor>(kClassCursor);
}

}  // namespace tge
