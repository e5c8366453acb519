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

// Random draws run in the order of the particle's fields, as recorded
// effects depend on it.
void ParticleSystem::Spawn(const ParticleSystem& p, const Vector3& now, const Vector3& before,
                           const Vector3& direction, const Particle* parent) {
  const std::size_t index = TakeFreeRecord();
  if (index == pool_.size()) return;
  Particle& particle = pool_[index];
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
  particle.gravity = Varied(p.gravityVar_, p.gravityStart_) * kParticleGravityScale;
  particle.gravityChange = (p.gravityEnd_ * kParticleGravityScale - particle.gravity) / life;

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
  particle.u = particle.v = ParticleAtlasCoordinate(0);
  if (p.mapStyle_ == 1) {
    const std::uint32_t pick = p.mapCount_ != 0 ? static_cast<std::uint32_t>(Rand()) % p.mapCount_ : 0;
    const std::uint32_t cell = animated ? 0 : pick + p.mapOffset_;
    particle.u = ParticleAtlasCoordinate(cell & 3);
    particle.v = ParticleAtlasCoordinate(cell >> 2);
  }
  particle.trailCounter = RandomUnit();
  particle.trailRate = p.spawnTrailDelayStart_;
  particle.trailRateChange = (p.spawnTrailDelayEnd_ - particle.trailRate) / life;
}

}  // namespace tge
