// The storage of a particle pool. Each record of the pool is a Particle,
// what spawning, death and the quads read by record. The state a frame
// steps lives beside it in ParticleBlocks, four records to a block, one
// lane each, so that the update and the quads work on four particles at
// once; what only trailing or texture-animated particles need is kept
// apart again (ParticleExtras).
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/math/Lanes.h"
#include "core/math/Vector.h"

namespace tge {

class ParticleSystem;

inline constexpr std::size_t kParticleLanes = 4;

// One record of the pool; free when source is null. The place and the fade
// index, then the life, fade step and texture cell, are four words each so
// that four records load as two rows of four lanes.
struct Particle {
  const ParticleSystem* source = nullptr;
  Vector3 position;
  std::uint32_t fadeIndex = 0;
  float life = 0;
  std::uint32_t fadeStep = 0;
  float u = 0, v = 0;
};

// The quantities of a particle that change at a constant rate a second,
// side by side so that a step moves them all at once.
enum ParticleRamp : std::size_t {
  kRampSpeedMul,
  kRampAlpha,
  kRampSize,
  kRampGravity,
  kRampSpin,
  kRampRed,
  kRampGreen,
  kRampBlue,
  kRampCount
};

// One particle's frame state.
struct ParticleLane {
  float age = 0;
  std::array<float, kRampCount> ramp{}, rampRate{};
  Vector3 velocity;
  float rotation = 0;
  std::uint32_t speedIndex = 0, speedStep = 0, sizeIndex = 0, sizeStep = 0;
};

// The parts of a step that can change a particle: bit r for a ramp whose
// rate is not +0 (or whose value is -0, which adding +0 turns to +0), and
// the two below for a gravity or a spin that is not +0. A pool's step does
// only the parts some particle of it needs.
inline constexpr unsigned kStepFalls = 1u << kRampCount;
inline constexpr unsigned kStepTurns = 2u << kRampCount;
inline constexpr unsigned kStepAllParts = (4u << kRampCount) - 1;
unsigned StepParts(const ParticleLane& state);

// The frame state of four records, lane k holding record 4 x block + k.
struct ParticleBlock {
  Float4 age{};
  std::array<Float4, kRampCount> ramp{}, rampRate{};
  Float4 velocityX{}, velocityY{}, velocityZ{};
  Float4 rotation{};
  UInt4 speedIndex{}, speedStep{}, sizeIndex{}, sizeStep{};

  ParticleLane Get(std::size_t lane) const;
  void Set(std::size_t lane, const ParticleLane& state);
};

// What only trailing or texture-animated particles read.
struct ParticleExtras {
  float trailCounter = 0, trailRate = 0, trailRateChange = 0;
  float frameShown = 0, frameCounter = 0, framesPerSecond = 0;
};

// The two rows of four consecutive records, turned into lanes (the
// texture cells left out).
struct ParticleRows {
  Float4 x, y, z;
  UInt4 fadeIndex;
  Float4 life;
  UInt4 fadeStep;
};

// The box round the places of the particles stepped, lane by lane.
struct ParticleBounds {
  Float4 lowX, lowY, lowZ, highX, highY, highZ;

  void Grow(const ParticleRows& rows);
  // Takes in the places of the lanes set in lanes.
  void Grow(const ParticleRows& rows, Int4 lanes);
  Vector3 Low() const;
  Vector3 High() const;
};

// The four words of a record from the member at offset on.
inline Float4 LoadParticleRow(const Particle& record, std::size_t offset) {
  return LoadLanes(reinterpret_cast<const std::byte*>(&record) + offset);
}

static_assert(offsetof(Particle, fadeIndex) == offsetof(Particle, position) + 12 &&
              offsetof(Particle, life) == offsetof(Particle, position) + 16 &&
              offsetof(Particle, v) == offsetof(Particle, life) + 12);

// Records first to first + count (at most four) as lanes; missing lanes
// read as zero.
inline ParticleRows LoadParticleRows(const Particle* first, std::size_t count) {
  std::array<Float4, kParticleLanes> place{}, cell{};
  for (std::size_t k = 0; k < kParticleLanes; ++k) {
    if (k >= count) break;
    place[k] = LoadParticleRow(first[k], offsetof(Particle, position));
    cell[k] = LoadParticleRow(first[k], offsetof(Particle, life));
  }
  TransposeLanes(place[0], place[1], place[2], place[3]);
  TransposeLanes(cell[0], cell[1], cell[2], cell[3]);
  return {place[0], place[1], place[2], reinterpret_cast<UInt4>(place[3]), cell[0], reinterpret_cast<UInt4>(cell[1])};
}

// Writes back the place and fade index of the lanes set in mask.
inline void StoreParticleRows(Particle* first, const ParticleRows& rows, unsigned mask) {
  std::array<Float4, kParticleLanes> place{rows.x, rows.y, rows.z, reinterpret_cast<Float4>(rows.fadeIndex)};
  TransposeLanes(place[0], place[1], place[2], place[3]);
  for (std::size_t k = 0; k < kParticleLanes; ++k) {
    if ((mask >> k & 1u) == 0) continue;
    std::memcpy(reinterpret_cast<std::byte*>(&first[k]) + offsetof(Particle, position), &place[k], sizeof place[k]);
  }
}

}  // namespace tge
