// ParticleSystem's update: the step that ages, moves and kills particles,
// four records at a time, and the emission after it.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <tuple>

#include "core/BaseCommandIds.h"
#include "core/ObjectHooks.h"
#include "objects/scene/effects/ParticleSystem.h"

namespace tge {
namespace {

constexpr std::uint32_t kCommandActionKillPost = 80;
constexpr float kIdleRadius = 20.0f;
// Below this frame time (16.16) a curve index advances in 32-bit lanes.
constexpr std::uint32_t kLaneFrameLimit = 0x10000;

// Lane-wise AdvanceCurveIndex. An index at or past 8.0 stays there, so it
// starts from at most 8.0. With dtFixed below 1.0, step x dtFixed >> 16 is
// high x dtFixed + (low x dtFixed >> 16) for the words high and low of the
// step, products of 16-bit words; the first is cut to 2^20, past which any
// index stops at 8.0 anyway. The sum stays below 2^31.
[[gnu::always_inline]] inline UInt4 AdvanceCurveIndices(UInt4 index, UInt4 step, std::uint32_t dtFixed) {
  if (dtFixed >= kLaneFrameLimit) {
    for (std::size_t k = 0; k < kParticleLanes; ++k) index[k] = AdvanceCurveIndex(index[k], step[k], dtFixed);
    return index;
  }
  const UInt4 end = SplatUInt(kParticleCurveEnd);
  const WordProducts products = MultiplyWords(step, static_cast<std::uint16_t>(dtFixed));
  const UInt4 part = products.upper & 0xFFFFu;
  const UInt4 whole = (products.upper & 0xFFFF0000u) | products.lower >> 16;
  const UInt4 next = (index < end ? index : end) + ((products.upper >> 20) != 0 ? SplatUInt(0x100000) : whole) + part;
  return reinterpret_cast<Int4>(next) < reinterpret_cast<Int4>(end) ? next : end;
}

// Lane-wise ReadParticleCurve.
[[gnu::always_inline]] inline Float4 ReadParticleCurves(const ParticleCurve& curve, UInt4 index) {
  const UInt4 last = SplatUInt(kParticleCurveEnd - 1);
  const UInt4 j = index < last ? index : last;
  const UInt4 knot = j >> 16;
  const Float4 f = __builtin_convertvector(reinterpret_cast<Int4>(j & 0xFFFFu), Float4) / 65536.0f;
  // Neighbouring records were mostly born together and share a knot.
  if (LaneBits(reinterpret_cast<Int4>(knot == knot[0])) == kAllLanes) {
    const float low = curve[knot[0]], high = curve[knot[0] + 1];
    return low + (high - low) * f;
  }
  const Float4 low{curve[knot[0]], curve[knot[1]], curve[knot[2]], curve[knot[3]]};
  const Float4 high{curve[knot[0] + 1], curve[knot[1] + 1], curve[knot[2] + 1], curve[knot[3] + 1]};
  return low + (high - low) * f;
}

// Four particles' step: their ramps, curve indices, moves and falls, the
// parts (StepParts) no particle of the pool needs left out. Inline, so that
// the walk of the pool calls nothing.
[[gnu::always_inline]] inline void StepLanes(ParticleBlock& block, ParticleRows& rows, const ParticleCurve& speedCurve,
                                             float dt, std::uint32_t dtFixed, unsigned parts) {
  const Float4 dtLanes = SplatFloat(dt);
  block.age += dtLanes;
  const Float4 gravity = block.ramp[kRampGravity];
  for (std::size_t r = 0; r < kRampCount; ++r) {
    if ((parts >> r & 1u) != 0) block.ramp[r] += dtLanes * block.rampRate[r];
  }
  const Float4 speedFactor = block.ramp[kRampSpeedMul] * ReadParticleCurves(speedCurve, block.speedIndex);
  block.speedIndex = AdvanceCurveIndices(block.speedIndex, block.speedStep, dtFixed);
  block.sizeIndex = AdvanceCurveIndices(block.sizeIndex, block.sizeStep, dtFixed);
  rows.fadeIndex = AdvanceCurveIndices(rows.fadeIndex, rows.fadeStep, dtFixed);
  const Float4 move = speedFactor * dtLanes;
  rows.x += block.velocityX * move;
  rows.y += block.velocityY * move;
  rows.z += block.velocityZ * move;
  if ((parts & kStepFalls) != 0) block.velocityY -= dtLanes * gravity * kParticleGravityScale;
  if ((parts & kStepTurns) != 0) block.rotation += block.ramp[kRampSpin];
}

// An animated particle shows the atlas cell of its frame counter; true
// when it takes another.
bool StepFrames(Particle& particle, ParticleExtras& extras, float dt) {
  extras.frameCounter += dt * extras.framesPerSecond;
  if (std::trunc(extras.frameCounter) == std::trunc(extras.frameShown)) return false;
  const auto frame = static_cast<std::uint32_t>(extras.frameCounter);
  particle.u = ParticleAtlasCoordinate(frame & 3);
  particle.v = ParticleAtlasCoordinate(frame >> 2);
  extras.frameShown = extras.frameCounter;
  return true;
}

// True when the particle is due to leave a trail particle.
bool StepTrail(ParticleExtras& extras, float dt) {
  extras.trailRate += dt * extras.trailRateChange;
  extras.trailCounter += extras.trailRate * dt;
  if (extras.trailCounter <= 1.0f) return false;
  extras.trailCounter -= 1.0f;
  return true;
}

}  // namespace

void ParticleBounds::Grow(const ParticleRows& rows) {
  lowX = MinLanes(lowX, rows.x);
  lowY = MinLanes(lowY, rows.y);
  lowZ = MinLanes(lowZ, rows.z);
  highX = MaxLanes(highX, rows.x);
  highY = MaxLanes(highY, rows.y);
  highZ = MaxLanes(highZ, rows.z);
}

void ParticleBounds::Grow(const ParticleRows& rows, Int4 lanes) {
  lowX = lanes != 0 ? MinLanes(lowX, rows.x) : lowX;
  lowY = lanes != 0 ? MinLanes(lowY, rows.y) : lowY;
  lowZ = lanes != 0 ? MinLanes(lowZ, rows.z) : lowZ;
  highX = lanes != 0 ? MaxLanes(highX, rows.x) : highX;
  highY = lanes != 0 ? MaxLanes(highY, rows.y) : highY;
  highZ = lanes != 0 ? MaxLanes(highZ, rows.z) : highZ;
}

std::span<const ParticleSystem* const> ParticleSystem::HeldSources() {
  heldSourceCount_ = 0;
  for (const ParticleSystem* source = this; source != nullptr && heldSourceCount_ < heldSources_.size();
       source = source->trailSystem_.Get()) {
    if (Holds(source)) break;
    heldSources_[heldSourceCount_++] = source;
  }
  return {heldSources_.data(), heldSourceCount_};
}

bool ParticleSystem::Holds(const ParticleSystem* source) const {
  const auto end = heldSources_.begin() + static_cast<std::ptrdiff_t>(heldSourceCount_);
  return std::find(heldSources_.begin(), end, source) != end;
}

bool ParticleSystem::HasTrails() const {
  for (const ParticleSystem* source : std::span(heldSources_.data(), heldSourceCount_)) {
    const ParticleSystem* trail = source->trailSystem_.Get();
    if (trail != nullptr && Holds(trail)) return true;
  }
  return false;
}

bool ParticleSystem::UpdateParticles(float dt, const Vector3& position, const Vector3& direction) {
  AllocateStorage(-1);
  updatedSinceTick_ = true;
  HeldSources();
  const float frameTime = std::max(dt, 0.0f);
  const auto dtFixed = static_cast<std::uint32_t>(std::min(frameTime * 65536.0f, 4.0e9f));
  currentPosition_ = position;
  const float big = std::numeric_limits<float>::max();
  ParticleBounds bounds{SplatFloat(big), SplatFloat(big), SplatFloat(big),
                        SplatFloat(-big), SplatFloat(-big), SplatFloat(-big)};
  if (HasTrails()) {
    StepRecords(frameTime, dtFixed, bounds);
  } else {
    StepBlocks(frameTime, dtFixed, bounds);
  }
  if (!SendLastDeathPost()) return false;
  if (liveCount_ == 0) {
    boundsCentre_ = position;
    boundsRadius_ = kIdleRadius;
  } else {
    Vector3 minimum = bounds.Low(), maximum = bounds.High();
    for (auto [low, high, at] : {std::tuple{&minimum.x, &maximum.x, position.x},
                                 std::tuple{&minimum.y, &maximum.y, position.y},
                                 std::tuple{&minimum.z, &maximum.z, position.z}}) {
      *low = std::min(*low, at);
      *high = std::max(*high, at);
    }
    Vector3Lerp(boundsCentre_, minimum, maximum, 0.5f);
    Vector3 half;
    Vector3Subtract(half, maximum, boundsCentre_);
    boundsRadius_ = Vector3Length(half) + 1.0f;
  }
  Emit(frameTime, direction);
  previousPosition_ = position;
  return true;
}

// Without trails every particle kept is this system's and none is born
// during the walk: four records step at once, and the deaths and texture
// cells are seen to after the walk, which calls nothing itself.
void ParticleSystem::StepBlocks(float dt, std::uint32_t dtFixed, ParticleBounds& bounds) {
  ParticleBounds box = bounds;
  bool settle = (particleFlags_ & kParticleAnimatedTexture) != 0;
  const unsigned parts = StepPartsFor(dt);
  const bool strangers = strangers_;
  Particle* pool = pool_.data();
  ParticleBlock* blocks = blocks_.data();
  const ParticleCurve& speedCurve = speedTable_;
  ForEachLiveBlock([&](std::size_t first, std::size_t count, unsigned taken) {
    Particle* records = pool + first;
    ParticleBlock& block = blocks[first / kParticleLanes];
    ParticleRows rows = LoadParticleRows(records, count);
    StepLanes(block, rows, speedCurve, dt, dtFixed, parts);
    StoreParticleRows(records, rows, taken);
    Int4 ours = LanesOf(taken);
    if (strangers) {
      for (std::size_t k = 0; k < count; ++k) ours[k] = records[k].source == this ? -1 : 0;
    }
    const Int4 kept = ours & (block.age < rows.life);
    const unsigned keptBits = LaneBits(kept);
    if (keptBits == kAllLanes) {
      box.Grow(rows);
    } else {
      box.Grow(rows, kept);
    }
    settle = settle || keptBits != taken;
  });
  bounds = box;
  if (settle) SettleRecords(dt);
}

// After the block walk: the records of particles that died or whose source
// was let go of are freed, and animated particles take their cells.
void ParticleSystem::SettleRecords(float dt) {
  const bool animated = (particleFlags_ & kParticleAnimatedTexture) != 0;
  for (std::size_t index = 0; index < pool_.size(); ++index) {
    Particle& particle = pool_[index];
    if (particle.source == nullptr) continue;
    const float age = blocks_[index / kParticleLanes].age[index % kParticleLanes];
    if (particle.source != this || !(age < particle.life)) {
      Bury(index);
    } else if (animated && StepFrames(particle, extras_[index], dt)) {
      writtenCellSpan_ = 0;
    }
  }
}

// Record by record, as a particle may leave a trail particle in any free
// record: one met later in the walk steps this frame too. Records of one
// source follow each other, so what the source decides (held or let go,
// its trail) is looked up once per run of them.
void ParticleSystem::StepRecords(float dt, std::uint32_t dtFixed, ParticleBounds& bounds) {
  const ParticleSystem* source = nullptr;
  const ParticleSystem* trail = nullptr;
  bool held = false;
  const bool animated = (particleFlags_ & kParticleAnimatedTexture) != 0;
  for (std::size_t index = 0; index < pool_.size(); ++index) {
    Particle& particle = pool_[index];
    if (particle.source == nullptr) continue;
    if (particle.source != source) {
      source = particle.source;
      held = Holds(source);
      trail = held ? source->trailSystem_.Get() : nullptr;
      if (trail != nullptr && !Holds(trail)) trail = nullptr;
    }
    const std::size_t first = index - index % kParticleLanes, lane = index % kParticleLanes;
    ParticleBlock& block = blocks_[first / kParticleLanes];
    if (!held || !(block.age[lane] + dt < particle.life)) {
      Bury(index);
      continue;
    }
    const Vector3 before = particle.position;
    ParticleBlock stepped = block;
    ParticleRows rows = LoadParticleRows(&pool_[first], std::min(kParticleLanes, pool_.size() - first));
    StepLanes(stepped, rows, source->speedTable_, dt, dtFixed, StepPartsFor(dt));
    block.Set(lane, stepped.Get(lane));
    StoreParticleRows(&pool_[first], rows, 1u << lane);
    Int4 only{};
    only[lane] = -1;
    bounds.Grow(rows, only);
    if (animated && StepFrames(particle, extras_[index], dt)) writtenCellSpan_ = 0;
    if (trail != nullptr && StepTrail(extras_[index], dt)) {
      const ParticleLane state = block.Get(lane);
      Vector3 velocity;
      Vector3Scale(velocity, state.velocity, state.ramp[kRampSpeedMul]);
      Spawn(*trail, particle.position, before, velocity, &particle);
    }
  }
}

// A frame time that is not finite turns even values that do not change
// into NaN: every part steps then.
unsigned ParticleSystem::StepPartsFor(float dt) const { return std::isfinite(dt) ? stepParts_ : kStepAllParts; }

void ParticleSystem::Bury(std::size_t index) {
  pool_[index].source = nullptr;
  FreeRecord(index);
  writtenCellSpan_ = 0;
  if (liveCount_ == 0 || --liveCount_ != 0) return;
  ForgetParticles();
  if ((particleFlags_ & kParticleKillPending) != 0) {
    particleFlags_ &= ~kParticleKillPending;
    deathPost_ = kCommandActionKillPost;
  } else if ((particleFlags_ & kParticleStopPending) != 0) {
    particleFlags_ &= ~kParticleStopPending;
    deathPost_ = kCommandActionStopPost;
  } else if (particlesPerSec_ == 0) {
    deathPost_ = kCommandActionStopPost;
  }
}

bool ParticleSystem::SendLastDeathPost() {
  const std::uint32_t post = deathPost_;
  deathPost_ = 0;
  if (post == 0) return true;
  const DeletionHold hold;
  ExecuteCommand(post, nullptr);
  return !IsRetired();
}

float ParticleSystem::EmissionFactor() const {
  if ((particleFlags_ & kParticleDistanceFade) == 0 || cameraDistance_ <= kFadeStart) return 1.0f;
  return cameraDistance_ >= kFadeEnd ? 0.0f : (kFadeEnd - cameraDistance_) * 0.25f;
}

// At most as many as the pool has room for: the rest could find no record.
void ParticleSystem::Emit(float dt, const Vector3& direction) {
  const float due = GetActionValue() * particlesPerSec_ * EmissionFactor() * dt + emissionResidue_;
  if (!std::isfinite(due)) {
    emissionResidue_ = 0;
    return;
  }
  const float whole = std::trunc(due);
  emissionResidue_ = due - whole;
  const std::uint32_t room = maxParticles_ - std::min(liveCount_, maxParticles_);
  const auto count = whole > 0 ? static_cast<std::uint32_t>(std::min(whole, static_cast<float>(room))) : 0u;
  for (std::uint32_t i = 0; i < count; ++i) Spawn(*this, currentPosition_, previousPosition_, direction, nullptr);
}

}  // namespace tge
