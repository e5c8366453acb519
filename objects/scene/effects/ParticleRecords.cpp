#include "objects/scene/effects/ParticleRecords.h"

#include <algorithm>
#include <bit>

namespace tge {
namespace {

float LowestLane(Float4 lanes) { return std::min({lanes[0], lanes[1], lanes[2], lanes[3]}); }
float HighestLane(Float4 lanes) { return std::max({lanes[0], lanes[1], lanes[2], lanes[3]}); }

bool IsPositiveZero(float x) { return std::bit_cast<std::uint32_t>(x) == 0; }
bool IsNegativeZero(float x) { return std::bit_cast<std::uint32_t>(x) == 0x80000000u; }

}  // namespace

unsigned StepParts(const ParticleLane& state) {
  unsigned parts = 0;
  for (std::size_t r = 0; r < kRampCount; ++r) {
    if (!IsPositiveZero(state.rampRate[r]) || IsNegativeZero(state.ramp[r])) parts |= 1u << r;
  }
  if ((parts & 1u << kRampGravity) != 0 || !IsPositiveZero(state.ramp[kRampGravity])) parts |= kStepFalls;
  if ((parts & 1u << kRampSpin) != 0 || !IsPositiveZero(state.ramp[kRampSpin])) parts |= kStepTurns;
  return parts;
}

ParticleLane ParticleBlock::Get(std::size_t lane) const {
  ParticleLane state;
  state.age = age[lane];
  for (std::size_t r = 0; r < kRampCount; ++r) {
    state.ramp[r] = ramp[r][lane];
    state.rampRate[r] = rampRate[r][lane];
  }
  state.velocity = {velocityX[lane], velocityY[lane], velocityZ[lane]};
  state.rotation = rotation[lane];
  state.speedIndex = speedIndex[lane];
  state.speedStep = speedStep[lane];
  state.sizeIndex = sizeIndex[lane];
  state.sizeStep = sizeStep[lane];
  return state;
}

void ParticleBlock::Set(std::size_t lane, const ParticleLane& state) {
  age[lane] = state.age;
  for (std::size_t r = 0; r < kRampCount; ++r) {
    ramp[r][lane] = state.ramp[r];
    rampRate[r][lane] = state.rampRate[r];
  }
  velocityX[lane] = state.velocity.x;
  velocityY[lane] = state.velocity.y;
  velocityZ[lane] = state.velocity.z;
  rotation[lane] = state.rotation;
  speedIndex[lane] = state.speedIndex;
  speedStep[lane] = state.speedStep;
  sizeIndex[lane] = state.sizeIndex;
  sizeStep[lane] = state.sizeStep;
}

Vector3 ParticleBounds::Low() const { return {LowestLane(lowX), LowestLane(lowY), LowestLane(lowZ)}; }
Vector3 ParticleBounds::High() const { return {HighestLane(highX), HighestLane(highY), HighestLane(highZ)}; }

}  // namespace tge
