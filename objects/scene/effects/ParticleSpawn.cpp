// One particle's birth.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "core/math/Matrix4.h"
#include "core/math/Random.h"
#include "objects/scene/effects/ParticleSystem.h"

namespace tge {
namespace {

constexpr float kCurveSteps = 524288.0f;  // the eight curve steps in 16.16
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

}  // namespace

ParticleLane ParticleSystem::ParentState(const Particle& parent) const {
  const auto index = static_cast<std::size_t>(&parent - pool_.data());
  return blocks_[index / kParticleLanes].Get(index % kParticleLanes);
}

// Random draws run in the order of the particle's fields, as recorded
// effects depend on it.
void ParticleSystem::Spawn(const ParticleSystem& p, const Vector3& now, const Vector3& before,
                           const Vector3& direction, const Particle* parent) {
  const std::size_t index = TakeFreeRecord();
  if (index == pool_.size()) return;
  writtenCellSpan_ = 0;
  Particle& particle = pool_[index];
  particle = Particle{};
  ParticleLane state;
  ParticleExtras& extras = extras_[index];
  extras = ParticleExtras{};
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
  for (std::size_t c = 0; c < 3; ++c) {
    const float value = std::clamp(shared * addColour[c] + RandomUnit() * p.colorVar_ + startColour[c], 0.0f, 1.0f);
    state.ramp[kRampRed + c] = value;
    state.rampRate[kRampRed + c] = (endColour[c] - value) / life;
  }
  float& alpha = state.ramp[kRampAlpha];
  alpha = std::clamp(Varied(p.alphaVar_, p.alphaStart_), 0.0f, 1.0f);
  state.rampRate[kRampAlpha] = (p.alphaEnd_ - alpha) / life;

  float& size = state.ramp[kRampSize];
  if (parent == nullptr || sizeMode != kInheritReplace) size = Varied(p.sizeVar_, p.sizeStart_);
  if (parent != nullptr && sizeMode != kInheritNone) {
    const ParticleLane from = ParentState(*parent);
    float inherited = from.ramp[kRampSize];
    if ((p.particleFlags_ & kParticleUseTable) != 0) inherited *= ReadParticleCurve(p.sizeTable_, from.sizeIndex);
    if (sizeMode == kInheritReplace) size = inherited;
    if (sizeMode == kInheritMultiply) size *= inherited;
    if (sizeMode == kInheritAdd) size += inherited;
  }
  state.rampRate[kRampSize] = p.sizeEnd_ >= 0 ? (p.sizeEnd_ - size) / life : 0.0f;
  float& gravity = state.ramp[kRampGravity];
  gravity = Varied(p.gravityVar_, p.gravityStart_) * kParticleGravityScale;
  state.rampRate[kRampGravity] = (p.gravityEnd_ * kParticleGravityScale - gravity) / life;

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
    Vector3Add(state.velocity, v, moved);
  }
  if (parent != nullptr) {
    if (speedMode == kInheritReplace) state.velocity = direction;
    if (speedMode == kInheritMultiply) Vector3Scale(state.velocity, state.velocity, Vector3Length(direction));
    if (speedMode == kInheritAdd) Vector3Add(state.velocity, state.velocity, direction);
  }

  state.rotation = RandomSigned() * p.rotVar_ + p.rotStart_ - 0.7853982f;
  const float spin = state.ramp[kRampSpin] = RandomSigned() * p.spinVar_ + p.spinStart_;
  state.rampRate[kRampSpin] = p.spinEnd_ >= 0 ? (p.spinEnd_ - spin) / life : 0.0f;
  const float speedMul = state.ramp[kRampSpeedMul] = RandomSigned() * p.speedMulVar_ + p.speedMulStart_;
  state.rampRate[kRampSpeedMul] = (p.speedMulEnd_ - speedMul) / life;

  state.sizeIndex = static_cast<std::uint32_t>(RandomUnit() * p.tableSizeOffset_ * 65536.0f);
  state.sizeStep = CurveStep(p.life_, RandomUnit() * p.tableSizeMul_);
  state.speedIndex = static_cast<std::uint32_t>(RandomUnit() * p.tableSpeedOffset_ * 65536.0f);
  state.speedStep = CurveStep(p.life_, RandomUnit() * p.tableSpeedMul_);
  particle.fadeStep = CurveStep(life, 0.0f);

  const bool animated = (particleFlags_ & kParticleAnimatedTexture) != 0;
  if (animated) extras.framesPerSecond = 16.0f / life;
  particle.u = particle.v = ParticleAtlasCoordinate(0);
  if (p.mapStyle_ == 1) {
    const std::uint32_t pick = p.mapCount_ != 0 ? static_cast<std::uint32_t>(Rand()) % p.mapCount_ : 0;
    const std::uint32_t cell = animated ? 0 : pick + p.mapOffset_;
    particle.u = ParticleAtlasCoordinate(cell & 3);
    particle.v = ParticleAtlasCoordinate(cell >> 2);
  }
  extras.trailCounter = RandomUnit();
  extras.trailRate = p.spawnTrailDelayStart_;
  extras.trailRateChange = (p.spawnTrailDelayEnd_ - extras.trailRate) / life;
  blocks_[index / kParticleLanes].Set(index % kParticleLanes, state);
  stepParts_ |= StepParts(state);
  strangers_ = strangers_ || &p != this;
}

}  // namespace tge
