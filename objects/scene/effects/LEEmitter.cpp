// LEEmitter's command table, presets, particle steps, drawing and file
// record.
#include "objects/scene/effects/LEEmitter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <type_traits>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"
#include "core/math/Random.h"
#include "objects/scene/FrameStorage.h"
#include "services/EngineServices.h"
#include "services/ErrorMessage.h"
#include "services/resources/ResourceSet.h"
#include "services/resources/ResourceType.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr std::uint32_t kPointFormat = 0x62;
constexpr std::uint32_t kPointList = 32;
constexpr float kGravity = 9.8f;
// Preset flag bits nothing reads but the presets keep as they were.
constexpr std::uint32_t kPresetBits = 0x1 | 0x2 | 0x8;

struct Preset {
  std::uint32_t perSecond;
  float gravity[3], size[3], alpha[3];
  float colourStart[3], colourVariation[3], colourEnd[3];
  float speed, speedVariation, life, lifeVariation, theta;
  std::uint32_t bits;
};

// clang-format off
constexpr Preset kPresets[] = {
  {100, {-2, 0.3f, -2}, {2, 0, 20}, {1, 0, 0}, {1, 0.8f, 0.7f}, {0.2f, 0.2f, 0}, {0.5f, 0, 0}, 15, 5, 1, 0.5f, 180, 0},
  {59, {-0.59f, 0, 1.96f}, {3.76f, 0, 3.76f}, {1, 0, 1}, {1, 0.8f, 0.5f}, {0, 0, 0}, {0, 0, 1}, 14.71f, 0, 1.75f, 0.5f, 28.24f, 0},
  {100, {4, 0, 10}, {10, 0, 3}, {1, 0, 0}, {1, 1, 1}, {0, 0, 0}, {0, 0, 1}, 100, 10, 4, 0, 45, 0x8},
  {50, {0, 0, 0}, {20, 0, 10}, {1, 0, 1}, {0, 0, 1}, {0, 0, 0}, {1, 1, 1}, 50, 0, 4, 0, 180, 0x2},
  {100, {1.38f, 0, 3.65f}, {8, 0, 25}, {1, 0, 0}, {0.1f, 0, 0}, {0.2f, 0, 0}, {0.1f, 0, 0}, 50, 0, 1.5f, 0.2f, 0.01f, 0},
  {150, {0, 0, 0}, {1.5f, 0, 5}, {0.25f, 0, 1}, {1, 0, 0}, {0, 0, 0}, {1, 1, 1}, 100, 50, 3, 0, 45, 0},
  {441, {-0.69f, 1, -0.49f}, {2.74f, 2, 6.09f}, {0.96f, 1, 0.16f}, {1, 1, 0.3f}, {0, 0, 0}, {0, 1, 0}, 14.71f, 50, 0.97f, 0.5f, 74.12f, 0},
  {676, {-0.2f, 0, -0.2f}, {0.59f, 0, 9.35f}, {0.87f, 1, 0.89f}, {0, 0, 0}, {1, 1, 1}, {0, 0, 0}, 188.73f, 10, 0.78f, 0, 54.71f, 0},
  {59, {-0.29f, 0, 0.1f}, {0.5f, 0, 5.53f}, {0.78f, 0, 0.31f}, {0.4f, 0.4f, 0.35f}, {0, 0, 0}, {0.75f, 1, 1}, 30, 0, 3.21f, 0.5f, 90, 0},
  {80, {0, 0, 0}, {4, 0, 8}, {0.5f, 0, 0}, {1, 0.8f, 0.5f}, {0, 0, 0}, {0, 0, 1}, 15, 0, 1, 0.5f, 180, 0},
};
// clang-format on

struct PresetMaterials {
  std::array<ResourceRef, LEEmitter::kPresetMaterialCount> materials;
  bool filled = false;
};

PresetMaterials& Presets() {
  static PresetMaterials table;
  return table;
}

void FillPresetMaterials() {
  PresetMaterials& table = Presets();
  EngineServices* services = GetEngineServices();
  if (table.filled || services == nullptr) return;
  for (std::uint32_t i = 0; i < LEEmitter::kPresetMaterialCount; ++i) {
    char name[32];
    std::snprintf(name, sizeof(name), "ParticlePreset%02uMat", i);
    table.materials[i] = services->GetResources().AcquireResource(name, kMaterialResource);
  }
  table.filled = true;
}

// -1 to 1.
float RandomSymmetric() { return static_cast<float>(Rand() - Rand()) / 32767.0f; }
float Random01() { return static_cast<float>(Rand()) / 32767.0f; }

void SetColourRgb(Color& colour, const float (&rgb)[3]) {
  colour.r = rgb[0];
  colour.g = rgb[1];
  colour.b = rgb[2];
}

}  // namespace

void ReleaseLEPresetMaterials() { Presets() = PresetMaterials{}; }

// clang-format off
using E = LEEmitter;
constexpr CommandEntry<LEEmitter> LEEmitter::kCommands[] = {
    {15750, "LEPreset", P, 0, {kValueDword}, Member<&E::SetPresetCommand>, FieldGetter<&E::preset_>},
    {15752, "LEMaxParticles", P, 0, {kValueDword}, Member<&E::SetMaxParticlesCommand>, FieldGetter<&E::maxParticles_>},
    {15754, "LEParticlesPerSec", P, 0, {kValueDword}, FieldSetter<&E::particlesPerSec_>, FieldGetter<&E::particlesPerSec_>},
    {15756, "LEGravityStart", P, 0, {kValueFloat}, FieldSetter<&E::gravityStart_>, FieldGetter<&E::gravityStart_>},
    {15758, "LEGravityVariation", P, 0, {kValueFloat}, FieldSetter<&E::gravityVariation_>, FieldGetter<&E::gravityVariation_>},
    {15760, "LEGravityEnd", P, 0, {kValueFloat}, FieldSetter<&E::gravityEnd_>, FieldGetter<&E::gravityEnd_>},
    {15762, "LESizeStart", P, 0, {kValueFloat}, FieldSetter<&E::sizeStart_>, FieldGetter<&E::sizeStart_>},
    {15764, "LESizeVariation", P, 0, {kValueFloat}, FieldSetter<&E::sizeVariation_>, FieldGetter<&E::sizeVariation_>},
    {15766, "LESizeEnd", P, 0, {kValueFloat}, FieldSetter<&E::sizeEnd_>, FieldGetter<&E::sizeEnd_>},
    {15768, "LEAlphaStart", P, 0, {kValueFloat}, FieldSetter<&E::alphaStart_>, FieldGetter<&E::alphaStart_>},
    {15770, "LEAlphaVariation", P, 0, {kValueFloat}, FieldSetter<&E::alphaVariation_>, FieldGetter<&E::alphaVariation_>},
    {15772, "LEAlphaEnd", P, 0, {kValueFloat}, FieldSetter<&E::alphaEnd_>, FieldGetter<&E::alphaEnd_>},
    {15774, "LEColorStart", P, 0, {kValueColor}, FieldSetter<&E::colourStart_>, FieldGetter<&E::colourStart_>},
    {15776, "LEColorVariation", P, 0, {kValueColor}, FieldSetter<&E::colourVariation_>, FieldGetter<&E::colourVariation_>},
    {15778, "LEColorEnd", P, 0, {kValueColor}, FieldSetter<&E::colourEnd_>, FieldGetter<&E::colourEnd_>},
    {15780, "LESpeed", P, 0, {kValueFloat}, FieldSetter<&E::speed_>, FieldGetter<&E::speed_>},
    {15782, "LESpeedVariation", P, 0, {kValueFloat}, FieldSetter<&E::speedVariation_>, FieldGetter<&E::speedVariation_>},
    {15784, "LELife", P, 0, {kValueFloat}, FieldSetter<&E::life_>, FieldGetter<&E::life_>},
    {15786, "LELifeVariation", P, 0, {kValueFloat}, FieldSetter<&E::lifeVariation_>, FieldGetter<&E::lifeVariation_>},
    {15788, "LETheta", P, 0, {kValueFloat}, FieldSetter<&E::theta_>, FieldGetter<&E::theta_>},
    {15790, "LEMaterial", P, 0, {kValueDword}, FieldSetter<&E::material_>, FieldGetter<&E::material_>},
    {15792, "LEUseCustomMaterial", P, 0, {kValueBool}, Member<&E::SetUseCustomMaterialCommand>, Member<&E::GetUseCustomMaterialCommand>},
    {15794, "LECustomMaterial", P, 0, {kValueString}, Member<&E::SetCustomMaterialCommand>, Member<&E::GetCustomMaterialCommand>},
};

std::span<const CommandEntry<LEEmitter>> LEEmitter::Commands() { return kCommands; }
// clang-format on

LEEmitter::LEEmitter() : Object(kClassLEEmitter) {}

LEEmitter::~LEEmitter() { KeepUntilFrameEnds(std::move(pool_)); }

void LEEmitter::CopyFrom(const Object& source) {
  Object::CopyFrom(source);
  pool_.reset();
  liveCount_ = 0;
  hasPreviousPosition_ = false;
}

int LEEmitter::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<LEEmitter> handlers(kClassLEEmitter, {kCommands});
  handlers.Run(*this, id, args);
  if (id == kCommandInitializeNewObject) {
    ApplyPreset(0);
  } else if (id == kCommandCollectResources && args != nullptr) {
    AcquireMaterials();
    static_cast<ResourceSet*>(args)->AddToResourceSet(customMaterial_.Get());
  }
  return Object::ExecuteCommand(id, args);
}

int LEEmitter::SetPresetCommand(CommandArgs args) {
  ApplyPreset(args.Get<std::uint32_t>());
  return 1;
}

int LEEmitter::SetMaxParticlesCommand(CommandArgs args) { return SetMaxParticles(args.Get<std::uint32_t>()) ? 1 : 0; }

int LEEmitter::SetUseCustomMaterialCommand(CommandArgs args) {
  const bool on = (args.Get<std::uint32_t>() & 1) != 0;
  flags_ = on ? (flags_ | kUseCustomMaterial) : (flags_ & ~kUseCustomMaterial);
  if (!on) customMaterial_.SetName("");
  return 1;
}

int LEEmitter::GetUseCustomMaterialCommand(CommandArgs args) {
  args.Set<std::int32_t>((flags_ & kUseCustomMaterial) != 0 ? 1 : 0);
  return 1;
}

int LEEmitter::SetCustomMaterialCommand(CommandArgs args) {
  customMaterial_.SetName(args.AsString());
  return 1;
}

int LEEmitter::GetCustomMaterialCommand(CommandArgs args) {
  args.AsString() = customMaterial_.GetName();
  return 1;
}

void LEEmitter::AcquireMaterials() {
  if ((flags_ & kUseCustomMaterial) != 0) customMaterial_.Acquire();
  FillPresetMaterials();
}

void LEEmitter::Precalculate() {
  customMaterial_.Acquire();
  Object::Precalculate();
}

void LEEmitter::ApplyPreset(std::uint32_t preset) {
  preset_ = preset;
  const Preset& p = kPresets[std::min<std::size_t>(preset, std::size(kPresets) - 1)];
  particlesPerSec_ = p.perSecond;
  gravityStart_ = p.gravity[0], gravityVariation_ = p.gravity[1], gravityEnd_ = p.gravity[2];
  sizeStart_ = p.size[0], sizeVariation_ = p.size[1], sizeEnd_ = p.size[2];
  alphaStart_ = p.alpha[0], alphaVariation_ = p.alpha[1], alphaEnd_ = p.alpha[2];
  SetColourRgb(colourStart_, p.colourStart);
  SetColourRgb(colourVariation_, p.colourVariation);
  SetColourRgb(colourEnd_, p.colourEnd);
  speed_ = p.speed, speedVariation_ = p.speedVariation;
  life_ = p.life, lifeVariation_ = p.lifeVariation, theta_ = p.theta;
  flags_ = (flags_ & ~kPresetBits) | p.bits;
}

bool LEEmitter::SetMaxParticles(std::uint32_t count) {
  if (count > kMaxParticlesLimit) {
    return FormatErrorMessage("LEEmitter %s: %u particles is above %u", GetName().c_str(), count, kMaxParticlesLimit);
  }
  maxParticles_ = std::max(count, 1u);
  AllocatePool();
  return true;
}

// A pool queued this frame stays with the render queue until it has drawn.
void LEEmitter::AllocatePool() {
  KeepUntilFrameEnds(std::move(pool_));
  pool_ = std::make_shared<LEPool>();
  pool_->particles.assign(maxParticles_, LEParticle{});
  pool_->vertices.assign(maxParticles_, PointVertex{});
}

Resource* LEEmitter::GetDrawMaterial() const {
  if ((flags_ & kUseCustomMaterial) != 0) return customMaterial_.Get();
  return Presets().materials[material_ < kPresetMaterialCount ? material_ : 0].Get();
}

void LEEmitter::Step(float dt, const Vector3& position, const Vector3& direction) {
  if (pool_ == nullptr) return;
  if (!hasPreviousPosition_) previousPosition_ = position;
  hasPreviousPosition_ = true;
  currentPosition_ = position;
  liveCount_ = 0;
  for (LEParticle& p : pool_->particles) {
    if (p.age < 0) continue;
    if (p.age + dt >= p.life) {
      p.age = -1;
      continue;
    }
    p.age += dt;
    p.previousPosition = p.position;
    Vector3AddScaled(p.position, p.position, p.velocity, dt);
    p.velocity.y -= dt * p.gravity * kGravity;
    p.colour.r += dt * p.colourChange[0];
    p.colour.g += dt * p.colourChange[1];
    p.colour.b += dt * p.colourChange[2];
    p.alpha += dt * p.alphaChange;
    p.size += dt * p.sizeChange;
    p.gravity += dt * p.gravityChange;
    ++liveCount_;
  }
  const float accumulated = static_cast<float>(particlesPerSec_) * dt + emissionResidue_;
  int spawns = static_cast<int>(accumulated);
  if ((flags_ & kHoldEmission) != 0) {
    emissionResidue_ = accumulated;
  } else {
    emissionResidue_ = accumulated - static_cast<float>(spawns);
    for (LEParticle& p : pool_->particles) {
      if (spawns <= 0) break;
      if (p.age >= 0) continue;
      Spawn(p, direction);
      --spawns;
    }
  }
  previousPosition_ = currentPosition_;
}

void LEEmitter::Spawn(LEParticle& p, const Vector3& direction) {
  p.age = 0;
  p.life = std::clamp(RandomSymmetric() * lifeVariation_ + life_, 0.1f, 10.0f);
  const float start[3] = {colourStart_.r, colourStart_.g, colourStart_.b};
  const float variation[3] = {colourVariation_.r, colourVariation_.g, colourVariation_.b};
  const float end[3] = {colourEnd_.r, colourEnd_.g, colourEnd_.b};
  float rgb[3];
  for (int c = 0; c < 3; ++c) {
    rgb[c] = std::clamp(RandomSymmetric() * variation[c] + start[c], 0.0f, 1.0f);
    p.colourChange[c] = (end[c] - rgb[c]) / p.life;
  }
  p.colour = {rgb[0], rgb[1], rgb[2], 1.0f};
  p.alpha = std::clamp(RandomSymmetric() * alphaVariation_ + alphaStart_, 0.0f, 1.0f);
  p.alphaChange = (alphaEnd_ - p.alpha) / p.life;
  p.size = std::clamp(RandomSymmetric() * sizeVariation_ + sizeStart_, 0.5f, 10.0f);
  p.sizeChange = (sizeEnd_ - p.size) / p.life;
  p.gravity = std::clamp((RandomSymmetric() * gravityVariation_ + gravityStart_) * kGravity, -49.0f, 49.0f);
  p.gravityChange = (gravityEnd_ * kGravity - p.gravity) / p.life;
  Vector3 path;
  Vector3Subtract(path, currentPosition_, previousPosition_);
  Vector3AddScaled(p.position, previousPosition_, path, RandomSymmetric());
  p.previousPosition = currentPosition_;
  // Not normalised: a scaled emitter throws further. Each axis draws its own spread.
  const float g = (Random01() + 1.0f) * 0.5f;
  const float axes[3] = {direction.x, direction.y, direction.z};
  float velocity[3];
  for (int c = 0; c < 3; ++c) velocity[c] = (Random01() + 1.2f) * 0.2f * axes[c] * g * 10.0f;
  const float speed = std::clamp(RandomSymmetric() * speedVariation_ + speed_, 0.0f, 250.0f);
  p.velocity = {velocity[0] * speed, velocity[1] * speed, velocity[2] * speed};
}

void LEEmitter::QueueParticles() {
  const float a = GetActionValue();
  std::uint32_t written = 0;
  for (LEParticle& p : pool_->particles) {
    if (p.age <= 0) continue;
    p.colour.a = p.alpha;
    pool_->vertices[written++] = {p.position.x, p.position.y, p.position.z, p.size,
                                  ColorToDword({a * p.colour.r, a * p.colour.g, a * p.colour.b, a * p.alpha})};
  }
  EngineServices* services = GetEngineServices();
  if (written == 0 || services == nullptr) return;
  services->GetRenderQueue().QueuePrimitives(pool_->vertices.data(), kPointFormat, kPointList, written, Matrix4{},
                                             GetDrawMaterial(), 1.0f, nullptr, nullptr, nullptr);
}

void LEEmitter::Draw() {
  if (!GetActive()) return;
  if (HasFlag(kFlagActionStarted)) {
    AcquireMaterials();
    if (pool_ == nullptr) AllocatePool();
    Step(GetFrameTime(), GetPositionWS(), GetAxisZWS());
    QueueParticles();
  }
  Object::Draw();
}

bool LEEmitter::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  const int version = stream.GetVersion();
  if (version > 73) stream.Serialize(flags_);
  if (version >= 1) {
    stream.Serialize(preset_);
    std::uint32_t maxParticles = maxParticles_;
    stream.Serialize(maxParticles);
    if (!stream.IsWriting() && !stream.Failed()) {
      if (maxParticles > kMaxParticlesLimit) {
        return FormatErrorMessage("LEEmitter %s: %u particles is above %u", GetName().c_str(), maxParticles,
                                  kMaxParticlesLimit);
      }
      maxParticles_ = std::max(maxParticles, 1u);
    }
    stream.Serialize(particlesPerSec_);
    for (float* value : {&gravityStart_, &gravityVariation_, &gravityEnd_, &sizeStart_, &sizeVariation_, &sizeEnd_,
                         &alphaStart_, &alphaVariation_, &alphaEnd_}) {
      stream.Serialize(*value);
    }
    for (Color* value : {&colourStart_, &colourVariation_, &colourEnd_}) stream.Serialize(*value);
    for (float* value : {&speed_, &speedVariation_, &life_, &lifeVariation_, &theta_}) stream.Serialize(*value);
  }
  if (version > 72) customMaterial_.Serialize(stream);
  return !stream.Failed();
}

void RegisterLEEmitterCommands() {
  RegisterCommandTable<LEEmitter>(BuildCommandRegistry(), kClassLEEmitter, LEEmitter::Commands());
  GetObjectFactory().RegisterType<LEEmitter>(kClassLEEmitter);
}

}  // namespace tge
