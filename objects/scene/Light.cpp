// Light's command table, attenuation, drawing and file record.
#include "objects/scene/Light.h"

#include <type_traits>

#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"
#include "services/EngineServices.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr int kFirstVersionWithSpot = 33;
constexpr int kFirstVersionWithColourMul = 69;

Color Scaled(const Color& colour, float scale) {
  return {colour.r * scale, colour.g * scale, colour.b * scale, colour.a * scale};
}

}  // namespace

// clang-format off
constexpr CommandEntry<Light> Light::kCommands[] = {
    {750, "LightType", P, 0, {kValueDword}, FieldSetter<&Light::type_>, FieldGetter<&Light::type_>},
    {752, "LightColor", P, 0, {kValueColor}, FieldSetter<&Light::colour_>, FieldGetter<&Light::colour_>},
    {754, "LightAmbient", P, 0, {kValueColor}, FieldSetter<&Light::ambient_>, FieldGetter<&Light::ambient_>},
    {756, "LightColorMul", P, 0, {kValueFloat}, FieldSetter<&Light::colourMul_>, FieldGetter<&Light::colourMul_>},
    {758, "LightRadius", P, 0, {kValueFloat}, Member<&Light::SetRadiusCommand>, FieldGetter<&Light::radius_>},
    {760, "LightSpotFalloff", P, 0, {kValueFloat}, FieldSetter<&Light::spotFalloff_>, FieldGetter<&Light::spotFalloff_>},
    {762, "LightSpotTheta", P, 0, {kValueFloat}, FieldSetter<&Light::spotTheta_>, FieldGetter<&Light::spotTheta_>},
    {764, "LightSpotPhi", P, 0, {kValueFloat}, FieldSetter<&Light::spotPhi_>, FieldGetter<&Light::spotPhi_>},
    {766, "LightFalloff0", P, 0, {kValueFloat}, Member<&Light::SetFalloffCommand<&Light::falloff0_>>, FieldGetter<&Light::falloff0_>},
    {768, "LightFalloff1", P, 0, {kValueFloat}, Member<&Light::SetFalloffCommand<&Light::falloff1_>>, FieldGetter<&Light::falloff1_>},
    {770, "LightFalloff2", P, 0, {kValueFloat}, Member<&Light::SetFalloffCommand<&Light::falloff2_>>, FieldGetter<&Light::falloff2_>},
};

std::span<const CommandEntry<Light>> Light::Commands() { return kCommands; }
// clang-format on

Light::Light() : Object(kClassLight) {}

int Light::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<Light> handlers(kClassLight, {kCommands}, BlockRule::kEvery);
  handlers.Run(*this, id, args);
  return Object::ExecuteCommand(id, args);
}

template <auto Field>
int Light::SetFalloffCommand(CommandArgs args) {
  FieldSetter<Field>(*this, args);
  ComputeAttenuation();
  return 1;
}

// A spot light keeps its attenuation until a falloff setter or Precalculate.
int Light::SetRadiusCommand(CommandArgs args) {
  const float radius = args.Get<float>();
  radius_ = radius > 0 ? radius : 0;
  if (type_ == kLightPoint) ComputeAttenuation();
  return 1;
}

void Light::ComputeAttenuation() {
  if (type_ == kLightDirectional) return;
  attenuation_ = {falloff0_, falloff1_ * falloff2_, falloff1_ * (1 - falloff2_)};
  if (radius_ > 0) {
    attenuation_[1] /= radius_;
    attenuation_[2] /= radius_ * radius_;
  }
}

void Light::Draw() {
  if (!GetActive()) return;
  EngineServices* services = GetEngineServices();
  if (HasFlag(kFlagActionStarted) && services != nullptr) {
    const float value = GetActionValue();
    const Color diffuse = Scaled(colour_, colourMul_ * value);
    const Color ambient = Scaled(ambient_, value);
    RenderQueue& queue = services->GetRenderQueue();
    switch (type_) {
      case kLightDirectional:
        queue.QueueDirectionalLight(GetAxisZWS(), diffuse, ambient);
        break;
      case kLightPoint:
        queue.QueuePointLight(GetPositionWS(), radius_, attenuation_[0], attenuation_[1], attenuation_[2], diffuse,
                              ambient);
        break;
      case kLightSpot:
        queue.QueueSpotLight(GetPositionWS(), GetAxisZWS(), radius_, spotFalloff_, spotTheta_, spotPhi_,
                             attenuation_[0], attenuation_[1], attenuation_[2], diffuse, ambient);
        break;
      default:
        break;
    }
  }
  Object::Draw();
}

void Light::Precalculate() {
  ComputeAttenuation();
  Object::Precalculate();
}

// The attenuation is not stored: Precalculate derives it.
bool Light::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  const int version = stream.GetVersion();
  if (version >= 1) {
    stream.Serialize(reserved_);
    stream.Serialize(type_);
    stream.Serialize(colour_);
    stream.Serialize(ambient_);
    stream.Serialize(radius_);
    stream.Serialize(falloff0_);
    stream.Serialize(falloff1_);
    stream.Serialize(falloff2_);
  }
  if (version >= kFirstVersionWithSpot) {
    stream.Serialize(spotFalloff_);
    stream.Serialize(spotTheta_);
    stream.Serialize(spotPhi_);
  }
  if (version >= kFirstVersionWithColourMul) stream.Serialize(colourMul_);
  return !stream.Failed();
}

void RegisterLightCommands() {
  RegisterCommandTable<Light>(BuildCommandRegistry(), kClassLight, Light::Commands());
  GetObjectFactory().RegisterType<Light>(kClassLight);
}

}  // namespace tge
