// LightFlare's command table, sight test, fading, sprite and file record.
#include "objects/scene/LightFlare.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

#include "core/ActiveCameraTable.h"
#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/WorldPhysicsHooks.h"
#include "core/files/SerializeStream.h"
#include "services/EngineServices.h"
#include "services/RenderDevice.h"
#include "services/resources/ResourceSet.h"
#include "services/resources/ResourceType.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
// The sight test looks through the level's own geometry only.
constexpr unsigned kLevelOnlyMask = 1;
constexpr float kFlickerRate = 10.0f;
constexpr float kFlickerDepth = 0.03f;
// Projected depth 1 is the far plane.
constexpr float kFarDepth = 1.0f;
// A run-time mark that Precalculate clears.
constexpr std::uint32_t kDrawnMark = 0x80;
constexpr int kFirstVersionWithFlags = 1;
constexpr int kFirstVersionWithSettings = 10;
constexpr int kFirstVersionWithConeMaterial = 63;

}  // namespace

// clang-format off
using L = LightFlare;
constexpr CommandEntry<LightFlare> LightFlare::kCommands[] = {
    {8250, "LightFlareTypeTriangle", P, 0, {kValueBool}, LowBitFlagSetter<&L::flareFlags_, kLightFlareTypeTriangle>, FlagGetter<&L::flareFlags_, kLightFlareTypeTriangle>},
    {8252, "LightFlareMaterial", P, 0, {kValueString}, Member<&L::SetMaterialCommand<&L::materialName_, &L::material_>>, FieldGetter<&L::materialName_>},
    {8254, "LightFlareConeMaterial", P, 0, {kValueString}, Member<&L::SetMaterialCommand<&L::coneMaterialName_, &L::coneMaterial_>>, FieldGetter<&L::coneMaterialName_>},
    {8256, "LightFlareFadeStartDistance", P, 0, {kValueFloat}, FieldSetter<&L::fadeStartDistance_>, FieldGetter<&L::fadeStartDistance_>},
    {8258, "LightFlareFadeDistance", P, 0, {kValueFloat}, FieldSetter<&L::fadeDistance_>, FieldGetter<&L::fadeDistance_>},
    {8260, "LightFlareHideFadeTime", P, 0, {kValueFloat}, FieldSetter<&L::hideFadeTime_>, FieldGetter<&L::hideFadeTime_>},
    {8262, "LightFlareSize", P, 0, {kValueFloat}, FieldSetter<&L::size_>, FieldGetter<&L::size_>},
    {8264, "LightFlareEnableDirection", P, 0, {kValueBool}, LowBitFlagSetter<&L::flareFlags_, kLightFlareEnableDirection>, FlagGetter<&L::flareFlags_, kLightFlareEnableDirection>},
    // Kept by no field: both ends do nothing.
    {8266, "LightFlareConeAngle", P, 0, {kValueFloat}, Member<&L::IgnoreCommand>, Member<&L::IgnoreCommand>},
};

std::span<const CommandEntry<LightFlare>> LightFlare::Commands() { return kCommands; }
// clang-format on

LightFlare::LightFlare() : Object(kClassLightFlare) {}

int LightFlare::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<LightFlare> handlers(kClassLightFlare, {kCommands});
  if (!handlers.Run(*this, id, args)) {
    if (id == kCommandCollectResources && args != nullptr) {
      CollectResources(*static_cast<ResourceSet*>(args));
    } else if (id == std::uint32_t(kEventOnStopDraw)) {
      fade_ = 0;  // seen again, it fades in anew
    }
  }
  return Object::ExecuteCommand(id, args);
}

template <auto Name, auto Material>
int LightFlare::SetMaterialCommand(CommandArgs args) {
  this->*Name = args.AsString();
  (this->*Material).Reset();
  this->*Material = AcquireServiceResource(this->*Name, kMaterialResource);
  return 1;
}

void LightFlare::CollectResources(ResourceSet& set) {
  for (auto [material, name] : {std::pair{&material_, &materialName_}, {&coneMaterial_, &coneMaterialName_}}) {
    if (!*material && !name->empty()) *material = AcquireServiceResource(*name, kMaterialResource);
    set.AddToResourceSet(material->Get());
  }
}

void LightFlare::Precalculate() {
  flareFlags_ &= ~kDrawnMark;
  Object::Precalculate();
}

float LightFlare::DistanceFactor(float distance) const {
  if (distance <= fadeStartDistance_) return 1.0f;
  // Only called nearer than the fade distance, so the span is not 0 here.
  return 1.0f - (distance - fadeStartDistance_) / (fadeDistance_ - fadeStartDistance_);
}

// Without a camera in the first viewport, or one in no Space, nothing can
// stand between: the flare counts as seen. The flare asks as itself, and
// its own geometry does not hide it.
bool LightFlare::IsInSight(const Vector3& camera, const Vector3& position) {
  const ViewCamera* viewer = GetActiveCameraTable().Get(0);
  WorldPhysicsHooks* hooks = GetWorldPhysicsHooks();
  if (viewer == nullptr || viewer->GetSpace() == nullptr || hooks == nullptr) return true;
  WorldRayHit hit;
  return !hooks->PickRay(*viewer->GetSpace(), this, camera, position, kLevelOnlyMask, hit, 0, true);
}

void LightFlare::UpdateFade(const Vector3& camera, const Vector3& position, float dt) {
  testTimer_ += dt;
  if (testTimer_ > kTestInterval) {
    testTimer_ = 0;
    visible_ = IsInSight(camera, position) ? 1 : 0;
  }
  const float longest = std::max(hideFadeTime_, 0.0f);
  fade_ = std::clamp(visible_ != 0 ? fade_ + dt : fade_ - dt, 0.0f, longest);
}

// A hide time of 0 or less shows and hides the flare at once.
float LightFlare::Strength(float distanceFactor, float dt) {
  const float shown = hideFadeTime_ > 0 ? fade_ / hideFadeTime_ : float(visible_);
  float strength = shown * distanceFactor;
  if (strength > 0) {
    flickerPhase_ += dt * kFlickerRate;
    strength = std::clamp(strength + std::sin(flickerPhase_) * kFlickerDepth, 0.0f, 1.0f);
  }
  return strength;
}

void LightFlare::QueueSprite(const Vector3& position, float strength) {
  EngineServices* services = GetEngineServices();
  const RenderDevice* device = GetRenderDevice();
  if (services == nullptr || device == nullptr || !device->IsOpen()) return;
  Vector3 screen;
  device->ProjectToScreen(screen, position);
  if (screen.z >= kFarDepth) return;
  float value = strength * GetActionValue();
  if ((flareFlags_ & kLightFlareEnableDirection) != 0) {
    const Vector3 forward = services->GetView().GetCameraForward();
    const float facing = -Vector3Dot(GetAxisZWS(), forward);
    if (facing < 0) return;
    value *= facing;
  }
  const float edge = size_ * kSpriteSize;
  services->GetRenderQueue().QueueSprite(material_.Get(), screen, services->GetScreenScaleX() * edge,
                                         services->GetScreenScaleY() * edge, Color{value, value, value, value},
                                         kAlignCentreX | kAlignCentreY);
}

void LightFlare::Draw() {
  if (!GetActive()) return;
  EngineServices* services = GetEngineServices();
  if (material_ && HasFlag(kFlagActionStarted) && services != nullptr) {
    const Vector3 position = GetPositionWS();
    const Vector3 camera = services->GetView().GetCameraPosition();
    Vector3 offset;
    const float distance = Vector3Length(Vector3Subtract(offset, camera, position));
    if (distance < fadeDistance_) {
      const float dt = GetFrameTime();
      UpdateFade(camera, position, dt);
      QueueSprite(position, Strength(DistanceFactor(distance), dt));
    }
  }
  Object::Draw();
}

bool LightFlare::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  const int version = stream.GetVersion();
  if (version >= kFirstVersionWithFlags) stream.Serialize(flareFlags_);
  if (version >= kFirstVersionWithSettings) stream.SerializeString(materialName_);
  if (version >= kFirstVersionWithConeMaterial) stream.SerializeString(coneMaterialName_);
  if (version >= kFirstVersionWithSettings) {
    stream.Serialize(fadeDistance_);
    stream.Serialize(size_);
    stream.Serialize(hideFadeTime_);
    stream.Serialize(fadeStartDistance_);
    std::uint32_t spare = 0;
    stream.Serialize(spare);
  }
  return !stream.Failed();
}

void RegisterLightFlareCommands() {
  RegisterCommandTable<LightFlare>(BuildCommandRegistry(), kClassLightFlare, LightFlare::Commands());
  GetObjectFactory().RegisterType<LightFlare>(kClassLightFlare);
}

}  // namespace tge
