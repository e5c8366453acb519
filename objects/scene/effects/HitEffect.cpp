// HitEffect's command table, firing, fading, the sparks and puffs, and its
// file record.
#include "objects/scene/effects/HitEffect.h"

#include <algorithm>
#include <type_traits>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"
#include "core/math/Random.h"
#include "objects/scene/FrameStorage.h"
#include "services/EngineServices.h"
#include "services/render/ViewState.h"
#include "services/resources/ResourceSet.h"
#include "services/resources/ResourceType.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr std::uint32_t kTriangleList = 4;
constexpr float kFadeStep = 0.05f;
constexpr float kGravity = 9.8f;
constexpr float kAtlasCell = 0.25f;
const std::uint32_t kWhite = ColorToDword({1, 1, 1, 1});

constexpr int kPartTypes[] = {kMeshResource, kSoundResource, kMaterialResource,
                              kMaterialResource, kMaterialResource, kMaterialResource};

float Random01() { return static_cast<float>(Rand()) / 32767.0f; }

void SetColours(std::array<ColourVertex, 6>& quad, std::uint32_t colour) {
  for (ColourVertex& v : quad) v.colour = colour;
}

// The corners of a camera-facing quad as (right, up) steps, with their
// offsets in an atlas cell.
constexpr float kQuadCorners[6][2] = {{-1, 1}, {1, 1}, {-1, -1}, {-1, -1}, {1, 1}, {1, -1}};
constexpr float kCellCorners[6][2] = {{0, 0}, {1, 0}, {0, 1}, {0, 1}, {1, 0}, {1, 1}};

}  // namespace

// clang-format off
using H = HitEffect;
constexpr CommandEntry<HitEffect> HitEffect::kCommands[] = {
    {18500, "HitEffectMesh", P, 0, {kValueString}, Member<&H::SetNameCommand<kPartMesh>>, Member<&H::GetNameCommand<kPartMesh>>},
    {18502, "HitEffectSound", P, 0, {kValueString}, Member<&H::SetNameCommand<kPartSound>>, Member<&H::GetNameCommand<kPartSound>>},
    {18504, "HitEffectSoundMinRange", P, 0, {kValueFloat}, FieldSetter<&H::soundMinRange_>, FieldGetter<&H::soundMinRange_>},
    {18506, "HitEffectSoundMaxRange", P, 0, {kValueFloat}, FieldSetter<&H::soundMaxRange_>, FieldGetter<&H::soundMaxRange_>},
    {18508, "HitEffectParticleMaterial", P, 0, {kValueString}, Member<&H::SetNameCommand<kPartParticle>>, Member<&H::GetNameCommand<kPartParticle>>},
    {18510, "HitEffectParticleStartSize", P, 0, {kValueFloat}, FieldSetter<&H::particleStartSize_>, FieldGetter<&H::particleStartSize_>},
    {18512, "HitEffectParticleEndSize", P, 0, {kValueFloat}, FieldSetter<&H::particleEndSize_>, FieldGetter<&H::particleEndSize_>},
    {18514, "HitEffectParticleLifetime", P, 0, {kValueFloat}, FieldSetter<&H::particleLifetime_>, FieldGetter<&H::particleLifetime_>},
    {18516, "HitEffectParticleSpeed", P, 0, {kValueFloat}, FieldSetter<&H::particleSpeed_>, FieldGetter<&H::particleSpeed_>},
    {18518, "HitEffectParticleSpread", P, 0, {kValueFloat}, FieldSetter<&H::particleSpread_>, FieldGetter<&H::particleSpread_>},
    {18520, "HitEffectSmokeMaterial", P, 0, {kValueString}, Member<&H::SetNameCommand<kPartSmoke>>, Member<&H::GetNameCommand<kPartSmoke>>},
    {18522, "HitEffectSmokeStartSize", P, 0, {kValueFloat}, FieldSetter<&H::smokeStartSize_>, FieldGetter<&H::smokeStartSize_>},
    {18524, "HitEffectSmokeEndSize", P, 0, {kValueFloat}, FieldSetter<&H::smokeEndSize_>, FieldGetter<&H::smokeEndSize_>},
    {18526, "HitEffectSmokeLifetime", P, 0, {kValueFloat}, FieldSetter<&H::smokeLifetime_>, FieldGetter<&H::smokeLifetime_>},
    {18528, "HitEffectSmokeSpeed", P, 0, {kValueFloat}, FieldSetter<&H::smokeSpeed_>, FieldGetter<&H::smokeSpeed_>},
    {18530, "HitEffectSmokeSpread", P, 0, {kValueFloat}, FieldSetter<&H::smokeSpread_>, FieldGetter<&H::smokeSpread_>},
    {18532, "HitEffectTrailMaterial", P, 0, {kValueString}, Member<&H::SetNameCommand<kPartTrail>>, Member<&H::GetNameCommand<kPartTrail>>},
    {18534, "HitEffectTrailStartSize", P, 0, {kValueFloat}, FieldSetter<&H::trailStartSize_>, FieldGetter<&H::trailStartSize_>},
    {18536, "HitEffectTrailEndSize", P, 0, {kValueFloat}, FieldSetter<&H::trailEndSize_>, FieldGetter<&H::trailEndSize_>},
    {18538, "HitEffectTrailMaxLength", P, 0, {kValueFloat}, FieldSetter<&H::trailMaxLength_>, FieldGetter<&H::trailMaxLength_>},
    {18540, "HitEffectDecalMaterial", P, 0, {kValueString}, Member<&H::SetNameCommand<kPartDecal>>, Member<&H::GetNameCommand<kPartDecal>>},
    {18542, "HitEffectDecalSize", P, 0, {kValueFloat}, FieldSetter<&H::decalSize_>, FieldGetter<&H::decalSize_>},
};

std::span<const CommandEntry<HitEffect>> HitEffect::Commands() { return kCommands; }
// clang-format on

HitEffect::HitEffect() : Object(kClassHitEffect), buffers_(std::make_shared<HitEffectBuffers>()) {}

HitEffect::~HitEffect() { KeepUntilFrameEnds(std::move(buffers_)); }

void HitEffect::CopyFrom(const Object& source) {
  Object::CopyFrom(source);
  for (Slot& slot : parts_) slot.resource = ResourceRef();
  const HitEffectBuffers quads = *buffers_;
  buffers_ = std::make_shared<HitEffectBuffers>();
  buffers_->decal = quads.decal;
  buffers_->trail = quads.trail;
}

int HitEffect::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<HitEffect> handlers(kClassHitEffect, {kCommands});
  handlers.Run(*this, id, args);
  if (id == kCommandCollectResources && args != nullptr) {
    CollectResources(args);
  } else if (id == kCommandInitializeNewObject) {
    SetInheritOrientation(false);
  } else if (id == kCommandActionStartStep) {
    StartEffect();
  }
  return Object::ExecuteCommand(id, args);
}

// The resource waits for the next resource collection.
template <HitEffect::Part Which>
int HitEffect::SetNameCommand(CommandArgs args) {
  parts_[Which].name = args.AsString();
  parts_[Which].resource.Reset();
  return 1;
}

template <HitEffect::Part Which>
int HitEffect::GetNameCommand(CommandArgs args) {
  args.AsString() = parts_[Which].name;
  return 1;
}

void HitEffect::AcquireParts() {
  EngineServices* services = GetEngineServices();
  if (services == nullptr) return;
  for (int i = 0; i < kPartCount; ++i) {
    Slot& slot = parts_[i];
    if (!slot.resource && !slot.name.empty()) {
      slot.resource = services->GetResources().AcquireResource(slot.name, kPartTypes[i]);
    }
  }
}

void HitEffect::CollectResources(void* set) {
  AcquireParts();
  for (const Slot& slot : parts_) {
    if (slot.resource) static_cast<ResourceSet*>(set)->AddToResourceSet(slot.resource.Get());
  }
}

void HitEffect::Precalculate() {
  Object::Precalculate();
  const float h = decalSize_ * 0.5f;
  buffers_->decal = {{{-h, -h, 0.01f, kWhite, 0, 0},
                      {h, -h, 0.01f, kWhite, 1, 0},
                      {-h, h, 0.01f, kWhite, 0, 1},
                      {-h, h, 0.01f, kWhite, 0, 1},
                      {h, -h, 0.01f, kWhite, 1, 0},
                      {h, h, 0.01f, kWhite, 1, 1}}};
  buffers_->trail = buffers_->decal;
}

void HitEffect::StartAtPosition(const Vector3& end) {
  if (!parts_[kPartTrail].resource) return;
  const Vector3 p = GetPositionWS();
  const Vector3 points[6] = {{p.x, p.y + 0.03f, p.z}, {end.x, end.y + 0.03f, end.z}, p, p,
                             {end.x, end.y + 0.03f, end.z}, end};
  for (int i = 0; i < 6; ++i) {
    buffers_->trail[i].x = points[i].x;
    buffers_->trail[i].y = points[i].y;
    buffers_->trail[i].z = points[i].z;
  }
}

HitEffect::SprayStyle HitEffect::SparkStyle() const {
  return {kSparkCount, particleStartSize_, particleEndSize_, particleLifetime_, particleSpeed_, particleSpread_, false};
}

HitEffect::SprayStyle HitEffect::PuffStyle() const {
  return {kPuffCount, smokeStartSize_, smokeEndSize_, smokeLifetime_, smokeSpeed_, smokeSpread_, true};
}

// A pooled clone starts without resources: it takes them here at the latest.
void HitEffect::StartEffect() {
  AcquireParts();
  StartSound();
  if (parts_[kPartDecal].resource) {
    decalAlpha_ = intensity_;
    SetColours(buffers_->decal, ColorToDword({1, 1, 1, decalAlpha_}));
  }
  if (parts_[kPartTrail].resource) {
    trailAlpha_ = intensity_;
    SetColours(buffers_->trail, ColorToDword({1, 1, 1, trailAlpha_}));
  }
  fadeTimer_ = 0;
  const Vector3 position = GetPositionWS();
  const Vector3 axis = GetAxisZWS();
  if (parts_[kPartParticle].resource) StartSpray(buffers_->sparks, SparkStyle(), position, axis);
  if (parts_[kPartSmoke].resource) StartSpray(buffers_->puffs, PuffStyle(), position, axis);
}

void HitEffect::StartSound() {
  EngineServices* services = GetEngineServices();
  Resource* sound = parts_[kPartSound].resource.Get();
  if (services == nullptr || sound == nullptr) return;
  const Vector3 position = GetPositionWS();
  services->StartSound(sound, 0);
  services->SetSoundDistances(sound, soundMinRange_, soundMaxRange_);
  services->SetSoundConeOutsideVolume(sound, 1.0f);
  services->SetSoundPosition(sound, &position);
  services->UpdateSoundVolume(sound, intensity_);
}

// A lifetime of 0 or less would divide by it: such a spray starts empty.
void HitEffect::StartSpray(HitEffectSpray& spray, const SprayStyle& style, const Vector3& position,
                           const Vector3& axis) {
  if (spray.particles.empty()) {
    spray.particles.resize(style.count);
    spray.vertices.assign(style.count * 6u, ColourVertex{});
    for (HitEffectParticle& particle : spray.particles) {
      particle.cellU = static_cast<float>(Rand() % 4) * kAtlasCell;
      particle.cellV = static_cast<float>(Rand() % 4) * kAtlasCell;
    }
  }
  for (HitEffectParticle& particle : spray.particles) {
    particle.age = 0;
    particle.life = style.lifetime;
    if (style.lifetime <= 0) continue;
    particle.colour = {1, 1, 1, style.rises ? intensity_ : 1.0f};
    particle.size = style.startSize;
    particle.sizeChange = (style.endSize - style.startSize) / style.lifetime;
    particle.fade = 1.0f / style.lifetime;
    particle.position = position;
    Vector3 d = axis;
    d.x += (0.5f - Random01()) * style.spread;
    d.y += (0.5f - Random01()) * style.spread;
    d.z += (0.5f - Random01()) * style.spread;
    const float speed = style.rises ? style.speed * (Random01() + 0.3f) : style.speed * intensity_;
    Vector3Scale(particle.velocity, d, speed);
  }
}

void HitEffect::SimulateSpray(HitEffectSpray& spray, bool rises, float dt, const Vector3& right,
                              const Vector3& up) {
  spray.vertexCount = 0;
  for (HitEffectParticle& particle : spray.particles) {
    particle.age += dt;
    if (particle.age >= particle.life) continue;
    particle.colour.a -= dt * particle.fade;
    particle.size += dt * particle.sizeChange;
    if (rises) {
      particle.velocity.y += dt;
      Vector3Scale(particle.velocity, particle.velocity, 1.0f - 2.0f * dt);
    } else {
      particle.velocity.y -= dt * kGravity;
    }
    Vector3AddScaled(particle.position, particle.position, particle.velocity, dt);
    const float s = particle.size;
    const Vector3& p = particle.position;
    const std::uint32_t colour = ColorToDword(particle.colour);
    ColourVertex* out = &spray.vertices[spray.vertexCount];
    for (int c = 0; c < 6; ++c) {
      const float r = kQuadCorners[c][0] * s, u = kQuadCorners[c][1] * s;
      out[c] = {p.x + right.x * r + up.x * u, p.y + right.y * r + up.y * u, p.z + right.z * r + up.z * u, colour,
                particle.cellU + kCellCorners[c][0] * kAtlasCell, particle.cellV + kCellCorners[c][1] * kAtlasCell};
    }
    spray.vertexCount += 6;
  }
}

void HitEffect::QueueQuads(const ColourVertex* vertices, std::uint32_t triangles, const Matrix4& world,
                           Part material) {
  EngineServices* services = GetEngineServices();
  if (services == nullptr || triangles == 0) return;
  services->GetRenderQueue().QueuePrimitives(vertices, kColourVertexFormat, kTriangleList, triangles, world,
                                             parts_[material].resource.Get(), 1.0f, nullptr, nullptr, nullptr);
}

// The decal follows intensity x action value from the first frame; the
// trail loses 2 alpha units a second in steps of 0.05 s.
void HitEffect::Fade(float action) {
  if (parts_[kPartDecal].resource) SetColours(buffers_->decal, ColorToDword({1, 1, 1, action * decalAlpha_}));
  fadeTimer_ += GetFrameTime();
  if (fadeTimer_ <= kFadeStep) return;
  if (parts_[kPartTrail].resource) {
    trailAlpha_ = std::max(0.0f, trailAlpha_ - 2.0f * fadeTimer_);
    if (trailAlpha_ > 0) SetColours(buffers_->trail, ColorToDword({1, 1, 1, trailAlpha_}));
  }
  fadeTimer_ = 0;
}

void HitEffect::Draw() {
  if (!GetActive()) return;
  EngineServices* services = GetEngineServices();
  const float action = GetActionValue();
  if (services != nullptr && parts_[kPartMesh].resource) {
    services->GetRenderQueue().QueueMesh(parts_[kPartMesh].resource.Get(), GetWorldMatrix(), nullptr, nullptr,
                                         action, nullptr);
  }
  Fade(action);
  if (parts_[kPartDecal].resource && decalAlpha_ > 0) QueueQuads(buffers_->decal.data(), 2, GetWorldMatrix(), kPartDecal);
  if (parts_[kPartTrail].resource && trailAlpha_ > 0) QueueQuads(buffers_->trail.data(), 2, Matrix4{}, kPartTrail);
  if (services != nullptr && (parts_[kPartParticle].resource || parts_[kPartSmoke].resource)) {
    const ViewState& view = services->GetView();
    const float dt = GetFrameTime();
    SimulateSpray(buffers_->sparks, false, dt, view.GetCameraRight(), view.GetCameraUp());
    SimulateSpray(buffers_->puffs, true, dt, view.GetCameraRight(), view.GetCameraUp());
    QueueQuads(buffers_->sparks.vertices.data(), buffers_->sparks.vertexCount / 3, Matrix4{}, kPartParticle);
    QueueQuads(buffers_->puffs.vertices.data(), buffers_->puffs.vertexCount / 3, Matrix4{}, kPartSmoke);
  }
  Object::Draw();
}

bool HitEffect::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  const int version = stream.GetVersion();
  if (version < 1) return !stream.Failed();
  stream.Serialize(flags_);
  stream.SerializeString(parts_[kPartMesh].name);
  stream.SerializeString(parts_[kPartSound].name);
  for (float* value : {&soundMinRange_, &soundMaxRange_}) stream.Serialize(*value);
  stream.SerializeString(parts_[kPartParticle].name);
  for (float* value : {&particleStartSize_, &particleEndSize_}) stream.Serialize(*value);
  if (version > 54) {
    for (float* value : {&particleLifetime_, &particleSpeed_, &particleSpread_}) stream.Serialize(*value);
  }
  stream.SerializeString(parts_[kPartSmoke].name);
  for (float* value : {&smokeStartSize_, &smokeEndSize_}) stream.Serialize(*value);
  if (version > 54) {
    for (float* value : {&smokeLifetime_, &smokeSpeed_, &smokeSpread_}) stream.Serialize(*value);
  }
  stream.SerializeString(parts_[kPartTrail].name);
  for (float* value : {&trailStartSize_, &trailEndSize_, &trailMaxLength_}) stream.Serialize(*value);
  stream.SerializeString(parts_[kPartDecal].name);
  stream.Serialize(decalSize_);
  return !stream.Failed();
}

void RegisterHitEffectCommands() {
  RegisterCommandTable<HitEffect>(BuildCommandRegistry(), kClassHitEffect, HitEffect::Commands());
  GetObjectFactory().RegisterType<HitEffect>(kClassHitEffect);
}

}  // namespace tge
