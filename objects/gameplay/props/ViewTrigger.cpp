// ViewTrigger's command table, view test and file record.
#include "objects/gameplay/props/ViewTrigger.h"

#include <algorithm>
#include <cmath>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/CommandAccessors.h"
#include "core/ObjectFactory.h"
#include "core/ObjectHooks.h"
#include "core/files/SerializeStream.h"
#include "objects/gameplay/props/SensorSupport.h"
#include "services/EngineServices.h"
#include "services/render/ViewState.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr auto E = CommandKind::kEvent;
constexpr float kRadiansPerDegree = 0.0174533f;

}  // namespace

// clang-format off
constexpr CommandEntry<ViewTrigger> ViewTrigger::kCommands[] = {
    {6250, "ViewTriggerEnable", P, 0, {kValueBool}, FlagSetter<&ViewTrigger::viewFlags_, kEnable>, FlagGetter<&ViewTrigger::viewFlags_, kEnable>},
    {6252, "ViewTriggerRadius", P, 0, {kValueFloat}, FieldSetter<&ViewTrigger::radius_>, FieldGetter<&ViewTrigger::radius_>},
    {6254, "ViewTriggerEnableCone", P, 0, {kValueBool}, FlagSetter<&ViewTrigger::viewFlags_, kEnableCone>, FlagGetter<&ViewTrigger::viewFlags_, kEnableCone>},
    {6256, "ViewTriggerConeAngle", P, 0, {kValueFloat}, FieldSetter<&ViewTrigger::coneAngle_>, FieldGetter<&ViewTrigger::coneAngle_>},
    {6258, "ViewTriggerConeMinRange", P, 0, {kValueFloat}, FieldSetter<&ViewTrigger::coneMinRange_>, FieldGetter<&ViewTrigger::coneMinRange_>},
    {6260, "ViewTriggerConeMaxRange", P, 0, {kValueFloat}, FieldSetter<&ViewTrigger::coneMaxRange_>, FieldGetter<&ViewTrigger::coneMaxRange_>},
    {kEventEnter, "OnViewTriggerEnter", E, 0, {}},
    {kEventExit, "OnViewTriggerExit", E, 0, {}},
};

std::span<const CommandEntry<ViewTrigger>> ViewTrigger::Commands() { return kCommands; }
// clang-format on

ViewTrigger::ViewTrigger() : Object(kClassViewTrigger) {}

int ViewTrigger::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<ViewTrigger> handlers(kClassViewTrigger, {kCommands});
  handlers.Run(*this, id, args);
  switch (id) {
    case kCommandActionStartStep:
      viewFlags_ |= kEnable;
      viewTimer_ = 0;
      break;
    case kCommandActionStopStep:
      SwitchOff();
      viewTimer_ = 0;
      break;
    case kCommandActionKillStep: SwitchOff(); break;
    case kCommandInitializeNewObject:
      AddEmptyEventScript(*this, "OnViewTriggerEnter");
      SetInheritOrientation(false);
      break;
    default: break;
  }
  return Object::ExecuteCommand(id, args);
}

// The state stays: a later start in view raises no second enter.
void ViewTrigger::SwitchOff() {
  viewFlags_ &= ~kEnable;
  if (inView_ != 0) {
    const DeletionHold hold;
    FireEvent(kEventExit, nullptr);
  }
}

void ViewTrigger::Draw() {
  if (!GetActive()) return;
  if (HasFlag(kFlagKilled) || (viewFlags_ & kEnable) == 0) {
    Object::Draw();
    return;
  }
  viewTimer_ += GetFrameTime();
  if (viewTimer_ > viewInterval_) {
    viewTimer_ -= viewInterval_;
    const std::int32_t seen = SeenByCamera() ? 1 : 0;
    const DeletionHold hold;
    if (seen == 1 && inView_ == 0) FireEvent(kEventEnter, nullptr);
    if (seen == 0 && inView_ == 1) FireEvent(kEventExit, nullptr);
    inView_ = seen;
  }
  Object::Draw();
}

// A dot product rounded past -1 would make the angle NaN and count an object
// straight behind the camera as seen: it is clamped.
bool ViewTrigger::SeenByCamera() {
  EngineServices* services = GetEngineServices();
  if ((viewFlags_ & kEnableCone) == 0 || services == nullptr) return true;
  Vector3 camera;
  services->GetView().CopyCameraPosition(camera);
  const Vector3 forward = services->GetView().GetCameraForward();
  const Vector3 position = GetPositionWS();
  const Vector3 toObject{position.x - camera.x, position.y - camera.y, position.z - camera.z};
  const float distance = Vector3Length(toObject);
  if (distance < coneMinRange_ || distance > coneMaxRange_) return false;
  Vector3 direction;
  Vector3Normalize(direction, toObject);
  const float angle = std::fabs(std::acos(std::clamp(Vector3Dot(forward, direction), -1.0f, 1.0f)));
  return angle <= coneAngle_ * kRadiansPerDegree;
}

bool ViewTrigger::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  if (stream.GetVersion() < 1) return !stream.Failed();
  stream.Serialize(viewFlags_);
  for (float* value : {&radius_, &coneAngle_, &coneMinRange_, &coneMaxRange_}) stream.Serialize(*value);
  return !stream.Failed();
}

void RegisterViewTriggerCommands() {
  RegisterCommandTable<ViewTrigger>(BuildCommandRegistry(), kClassViewTrigger, ViewTrigger::Commands());
  GetObjectFactory().RegisterType<ViewTrigger>(kClassViewTrigger);
}

}  // namespace tge
