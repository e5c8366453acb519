// One particle's birth and step, and the curves of table mode.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "core/math/Matrix4.h"
#include "core/math/Random.h"
#include "objects/scene/effects/ParticleSystem.h"

namespace tge {
namespace {

constexpr std::uint32_t kCurveEnd = 0x80000;  // 8.0 in 16.16
constexpr float kCurveSteps = 524288.0f;      // the eight curve steps in 16.16
constexpr float kGravityScale = 9.8f;
constexpr float kAtlasCell = 0.25f;
constexpr float kAtlasInset = 0.0078125f;
// Curve steps divide by at least the shortest life a particle gets.
constexpr float kShortestLife = 0.1f;
constexpr float kLongestLife = 120.0f;

enum InheritMode : std::uint32_t { kInheritNone = 0, kInheritReplace = 1, kInheritMultiply = 2, kInheritAdd = 3 };
constexpr int kInheritSpeedShift = 0;
constexpr int kInheritSizeShift = 4;

float Varied(float var, float start) { return (1.0f - RandomUnit() * var) * start; }

std::uint32_t CurveStep(float life, float variation) {
  return static_cast<std::uint32_t>(kCurveSteps / std::max(life, kShortestLife) * (1.0f - variation));
}

float AtlasCoordinate(std::uint32_t cell) { return static_cast<float>(cell) * kAtlasCell + kAtlasInset; }

}  // namespace

float ReadParticleCurve(const ParticleCurve& curve, std::uint32_t index) {
  const std::uint32_t j = std::min(index, kCurveEnd - 1);
  const std::uint32_t k = j >> 16;
  const float f = static_cast<float>(j & 0xFFFF) / 65536.0f;
  return curve[k] + (curve[k + 1] - curve[k]) * f;
}

std::uint32_t AdvanceCurveIndex(std::uint32_t index, std::uint32_t step, std::uint32_t dtFixed) {
  const std::uint64_t next = index + ((static_cast<std::uint64_t>(step) * dtFixed) >> 16);
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(next, kCurveEnd));
}

// Random draws run in the order of the particle's fields, as recorded
// effects depend on it.
void ParticleSystem::Spawn(const ParticleSystem& p, const Vector3& now, const Vector3& before,
                           const Vector3& direction, const Particle* parent) {
  auto free = std::find_if(pool_.begin(), pool_.end(), [](const Particle& x) { return x.source == nullptr; });
  if (free == pool_.end()) return;
  Particle& particle = *free;
  particle = Particle{};
  ++liveCount_;
  particle.source = &p;
  const std::uint32_t parentModes = parent != nullptr ? parent->source->inheritModes_ : 0;
  const std::uint32_t speedMode = (parentModes >> kInheritSpeedShift) & 15u;
  const std::uint32_t sizeMode = (parentModes >> kInheritSizeShift) & 15u;

  const float life = std::clamp(Varied(p.lifeVar_, p.life_), kShortestLife, kLongestLife);
  particle.life = life;
  const float shared = RandomUnit();
  const float startColour[3] = {p.colorStart_.r, p.colorStart_.g, p.colorStart_.b};
  const float addColour[3] = {p.colorAddVar_.r, p.colorAddVar_.g, p.colorAddVar_.b};
  const float endColour[3] = {p.colorEnd_.r, p.colorEnd_.g, p.colorEnd_.b};
  for (int c = 0; c < 3; ++c) {
    const float value = std::clamp(shared * addColour[c] + RandomUnit() * p.colorVar_ + startColour[c], 0.0f, 1.0f);
    particle.colour[c] = value;
    particle.colourChange[c] = (endColour[c] - value) / life;
  }
  particle.alpha = std::clamp(Varied(p.alphaVar_, p.alphaStart_), 0.0f, 1.0f);
  particle.alphaChange = (p.alphaEnd_ - particle.alpha) / life;

  if (parent == nullptr || sizeMode != kInheritReplace) particle.size = Varied(p.sizeVar_, p.sizeStart_);
  if (parent != nullptr && sizeMode != kInheritNone) {
    float inherited = parent->size;
    if ((p.particleFlags_ & kParticleUseTable) != 0) inherited *= ReadParticleCurve(p.sizeTable_, parent->sizeIndex);
    if (sizeMode == kInheritReplace) particle.size = inherited;
    if (sizeMode == kInheritMultiply) particle.size *= inherited;
    if (sizeMode == kInheritAdd) particle.size += inherited;
  }
  particle.sizeChange = p.sizeEnd_ >= 0 ? (p.sizeEnd_ - particle.size) / life : 0.0f;
  particle.gravity = Varied(p.gravityVar_, p.gravityStart_) * kGravityScale;
  particle.gravityChange = (p.gravityEnd_ * kGravityScale - particle.gravity) / life;

  Vector3 path;
  Vector3Subtract(path, now, before);
  Vector3AddScaled(particle.position, before, path, RandomUnit());
  if ((p.particleFlags_ & kParticleBoxEmission) != 0) {
    const Vector3 corner{RandomSigned() * p.boxSize_.x, RandomSigned() * p.boxSize_.y, RandomSigned() * p.boxSize_.z};
    Vector3 offset;
    Vector3TransformNormal(offset, corner, GetWorldMatrix());
    Vector3Add(particle.position, particle.position, offset);
  }
  for (float* axis : {&particle.position.x, &particle.position.y, &particle.position.z}) {
    *axis += (2.0f * RandomUnit() - 1.0f) * p.positionVar_;
  }
  particle.previous = particle.position;

  if (parent == nullptr || speedMode != kInheritReplace) {
    const float g = (RandomUnit() + 1.0f) * 0.5f;
    Vector3 v;
    for (auto [out, in] : {std::pair{&v.x, direction.x}, std::pair{&v.y, direction.y}, std::pair{&v.z, direction.z}}) {
      *out = (RandomUnit() + 1.2f) * 0.2f * in * g * 10.0f;
    }
    Vector3Normalize(v, v);
    Vector3Scale(v, v, std::clamp(Varied(p.speedVar_, p.speed_), 0.0f, 250.0f));
    for (float* axis : {&v.x, &v.y, &v.z}) *axis += (2.0f * RandomUnit() - 1.0f) * p.directionVar_;
    Vector3 moved;
    Vector3Subtract(moved, currentPosition_, previousPosition_);
    Vector3Add(particle.velocity, v, moved);
  }
  if (parent != nullptr) {
    if (speedMode == kInheritReplace) particle.velocity = direction;
    if (speedMode == kInheritMultiply) Vector3Scale(particle.velocity, particle.velocity, Vector3Length(direction));
    if (speedMode == kInheritAdd) Vector3Add(particle.velocity, particle.velocity, direction);
  }

  particle.rotation = RandomSigned() * p.rotVar_ + p.rotStart_ - 0.7853982f;
  particle.spin = RandomSigned() * p.spinVar_ + p.spinStart_;
  particle.spinChange = p.spinEnd_ >= 0 ? (p.spinEnd_ - particle.spin) / life : 0.0f;
  particle.speedMul = RandomSigned() * p.speedMulVar_ + p.speedMulStart_;
  particle.speedMulChange = (p.speedMulEnd_ - particle.speedMul) / life;

  particle.sizeIndex = static_cast<std::uint32_t>(RandomUnit() * p.tableSizeOffset_ * 65536.0f);
  particle.sizeStep = CurveStep(p.life_, RandomUnit() * p.tableSizeMul_);
  particle.speedIndex = static_cast<std::uint32_t>(RandomUnit() * p.tableSpeedOffset_ * 65536.0f);
  particle.speedStep = CurveStep(p.life_, RandomUnit() * p.tableSpeedMul_);
  particle.fadeStep = CurveStep(life, 0.0f);

  const bool animated = (particleFlags_ & kParticleAnimatedTexture) != 0;
  if (animated) particle.framesPerSecond = 16.0f / life;
  particle.u = particle.v = kAtlasInset;
  if (p.mapStyle_ == 1) {
    const std::uint32_t pick = p.mapCount_ != 0 ? static_cast<std::uint32_t>(Rand()) % p.mapCount_ : 0;
    const std::uint32_t cell = animated ? 0 : pick + p.mapOffset_;
    particle.u = AtlasCoordinate(cell & 3);
    particle.v = AtlasCoordinate(cell >> 2);
  }
  particle.trailCounter = RandomUnit();
  particle.trailRate = p.spawnTrailDelayStart_;
  particle.trailRateChange = (p.spawnTrailDelayEnd_ - particle.trailRate) / life;
}

void ParticleSystem::Step(const ParticleSystem& p, Particle& particle, float dt, std::uint32_t dtFixed) {
  particle.age += dt;
  particle.speedMul += dt * particle.speedMulChange;
  const float speedFactor = particle.speedMul * ReadParticleCurve(p.speedTable_, particle.speedIndex);
  particle.speedIndex = AdvanceCurveIndex(particle.speedIndex, particle.speedStep, dtFixed);
  particle.sizeIndex = AdvanceCurveIndex(particle.sizeIndex, particle.sizeStep, dtFixed);
  particle.fadeIndex = AdvanceCurveIndex(particle.fadeIndex, particle.fadeStep, dtFixed);
  particle.previous = particle.position;
  Vector3AddScaled(particle.position, particle.position, particle.velocity, speedFactor * dt);
  particle.velocity.y -= dt * particle.gravity * kGravityScale;
  if ((particleFlags_ & kParticleAnimatedTexture) != 0) {
    particle.frameCounter += dt * particle.framesPerSecond;
    if (std::trunc(particle.frameCounter) != std::trunc(particle.frameShown)) {
      const auto frame = static_cast<std::uint32_t>(particle.frameCounter);
      particle.u = AtlasCoordinate(frame & 3);
      particle.v = AtlasCoordinate(frame >> 2);
      particle.frameShown = particle.frameCounter;
    }
  }
  for (int c = 0; c < 3; ++c) particle.colour[c] += dt * particle.colourChange[c];
  particle.spin += dt * particle.spinChange;
  particle.rotation += particle.spin;
  particle.alpha += dt * particle.alphaChange;
  particle.size += dt * particle.sizeChange;
  particle.gravity += dt * particle.gravityChange;
  const ParticleSystem* trail = p.trailSystem_.Get();
  if (trail == nullptr || !Holds(trail)) return;
  particle.trailRate += dt * particle.trailRateChange;
  particle.trailCounter += particle.trailRate * dt;
  if (particle.trailCounter <= 1.0f) return;
  particle.trailCounter -= 1.0f;
  Vector3 velocity;
  Vector3Scale(velocity, particle.velocity, particle.speedMul);
  Spawn(*trail, particle.position, particle.previous, velocity, &particle);
}

}  // namespace tge
