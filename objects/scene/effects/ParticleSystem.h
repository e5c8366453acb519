// ParticleSystem (class 13): the general particle emitter. It spawns
// camera-facing textured quads at its own position, moves them with speed,
// gravity and per-second changes of colour, alpha, size, spin and speed, and
// queues them as one triangle list in view space.
//
// All per-frame work runs inside Draw: a system that is not drawn does not
// age, move or emit. Stopping or killing it while particles live holds the
// end of the action back until the last one dies; a frame in which it is not
// drawn at all completes the held end (Update watches for that while one is
// pending).
//
// Every particle of the pool may leave particles of its own, made with the
// parameters of the first particle system below this one (the trail
// system). Parameter sources are compared, never followed, unless they are
// this system or one of the trail chain it still holds; particles of a
// source let go of are freed at the next update.
//
// The implementation is split: ParticleSystem.cpp (commands, file record,
// life cycle), ParticleSpawn.cpp (one particle's birth), ParticleStep.cpp
// (the update: steps, deaths, emission) and ParticleDrawing.cpp (the
// quads, the node walk). The pool's storage is in ParticleRecords.h.
#pragma once
#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/ObjectRef.h"
#include "core/math/Color.h"
#include "core/math/Vector.h"
#include "objects/scene/ColourVertex.h"
#include "objects/scene/NamedMaterial.h"
#include "objects/scene/effects/ParticlePool.h"
#include "objects/scene/effects/ParticleRecords.h"
#include "services/resources/ResourceRef.h"

namespace tge {

class ParticleSystem;

// The flag bits of a system.
inline constexpr std::uint32_t kParticleUseTable = 0x1;
inline constexpr std::uint32_t kParticleStopPending = 0x2;
inline constexpr std::uint32_t kParticleKillPending = 0x4;
inline constexpr std::uint32_t kParticleUseSpawnTrail = 0x8;
inline constexpr std::uint32_t kParticleAnimatedTexture = 0x10;
inline constexpr std::uint32_t kParticleNodeAnimated = 0x20;
inline constexpr std::uint32_t kParticleNodeDescending = 0x40;
inline constexpr std::uint32_t kParticleLocalSpace = 0x80;
inline constexpr std::uint32_t kParticleDistanceFade = 0x100;
inline constexpr std::uint32_t kParticleBoxEmission = 0x200;
inline constexpr std::uint32_t kParticleSphereCull = 0x400;

// A curve of nine knots read by a 16.16 index (0 to 8). The curve helpers
// are inline: every particle runs them every frame.
using ParticleCurve = std::array<float, 9>;
inline constexpr std::uint32_t kParticleCurveEnd = 0x80000;  // 8.0 in 16.16

// The value at a 16.16 index; an index at or past 8.0 reads just below knot 8.
inline float ReadParticleCurve(const ParticleCurve& curve, std::uint32_t index) {
  const std::uint32_t j = std::min(index, kParticleCurveEnd - 1);
  const std::uint32_t k = j >> 16;
  const float f = static_cast<float>(j & 0xFFFF) / 65536.0f;
  return curve[k] + (curve[k + 1] - curve[k]) * f;
}

// index + step x dtFixed (16.16), stopping at 8.0.
inline std::uint32_t AdvanceCurveIndex(std::uint32_t index, std::uint32_t step, std::uint32_t dtFixed) {
  const std::uint64_t next = index + ((static_cast<std::uint64_t>(step) * dtFixed) >> 16);
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(next, kParticleCurveEnd));
}

// Gravity is kept in these units per second squared.
inline constexpr float kParticleGravityScale = 9.8f;
// Texture coordinate of column or row (0 to 3) of the 4 x 4 texture atlas.
inline float ParticleAtlasCoordinate(std::uint32_t cell) { return static_cast<float>(cell) * 0.25f + 0.0078125f; }

class ParticleSystem : public Object {
 public:
  // Bigger pools from a script or a file are cut to this, with a warning.
  static constexpr std::uint32_t kMaxPoolSize = kMaxParticlePool;
  // Particles per queued batch: 12,000 vertices is the most one draw takes.
  static constexpr std::uint32_t kBatchParticles = 2000;
  // With the distance fade, a system this far from the camera starts to
  // fade and emit less; from the end on it is neither drawn nor updated.
  static constexpr float kFadeStart = 36.0f, kFadeEnd = 40.0f;

  static std::span<const CommandEntry<ParticleSystem>> Commands();
  static const CommandEntry<ParticleSystem> kCommands[];
  static std::span<const CommandEntry<ParticleSystem>> CurveCommands();
  static const CommandEntry<ParticleSystem> kCurveCommands[];
  static std::span<const CommandEntry<ParticleSystem>> HiddenCommands();
  static const CommandEntry<ParticleSystem> kHiddenCommands[];

  ParticleSystem();
  ~ParticleSystem() override;

  int ExecuteCommand(std::uint32_t id, void* args) override;
  void CopyFrom(const Object& source) override;
  bool Serialize(SerializeStream& stream) override;
  void Update() override;
  void Draw() override;
  void Precalculate() override;

  // With count other than -1: the new pool size, dropping every particle.
  // Then a pool and buffer when there are none.
  void AllocateStorage(std::int64_t count);
  // False when the post sent for the last death ran a script that deleted
  // this system: it neither emits nor draws then.
  bool UpdateParticles(float dt, const Vector3& position, const Vector3& direction);
  // One particle into this pool with source's parameters; nothing when the
  // pool is full or empty.
  void Spawn(const ParticleSystem& source, const Vector3& now, const Vector3& before, const Vector3& direction,
             const Particle* parent);
  void MoveAlongNodes();

  std::uint32_t GetLiveCount() const { return liveCount_; }
  std::uint32_t GetMaxParticles() const { return maxParticles_; }
  std::uint32_t GetParticleFlags() const { return particleFlags_; }
  std::span<const Particle> GetParticles() const { return pool_; }
  ParticleSystem* GetTrailSystem() const { return trailSystem_.Get(); }
  const Vector3& GetBoundsCentre() const { return boundsCentre_; }
  float GetBoundsRadius() const { return boundsRadius_; }
  const ParticleCurve& GetSizeCurve() const { return sizeTable_; }
  const ParticleCurve& GetFadeCurve() const { return fadeTable_; }
  const ParticleCurve& GetSpeedCurve() const { return speedTable_; }

 private:
  template <int Shift>
  int SetInheritCommand(CommandArgs args);
  template <int Shift>
  int GetInheritCommand(CommandArgs args);
  template <ParticleCurve ParticleSystem::*Table>
  int SetCurveCommand(CommandArgs args);
  template <ParticleCurve ParticleSystem::*Table>
  int GetCurveCommand(CommandArgs args);
  template <int Register>
  int SetRegisterCommand(CommandArgs args);
  template <int Register>
  int GetRegisterCommand(CommandArgs args);
  template <float ParticleSystem::*Field, int Max100>
  int SetClampedCommand(CommandArgs args);
  int NothingCommand(CommandArgs args);
  int GetPresetCommand(CommandArgs args);
  int GetSavePresetCommand(CommandArgs args);
  int SetUseSpawnTrailCommand(CommandArgs args);
  int SetTableCommand(CommandArgs args);
  int SetMaxParticlesCommand(CommandArgs args);
  int SetColorVarCommand(CommandArgs args);
  int GetColorVarCommand(CommandArgs args);
  int SetMaterialCommand(CommandArgs args);
  int GetMaterialCommand(CommandArgs args);

  // ActionStart: the emitter's place and the particles emitted at once.
  void StartEmitting();
  // Precalculate of a node-animated system: the walk starts at the parent.
  void StartNodeWalk();
  void SerializeTables(SerializeStream& stream);
  // Result 1 and nothing more when the post is held back (particles live).
  bool HoldActionPost(std::uint32_t pendingBit);
  // Command 219: ends a pending post at once, or drops the pool.
  void EndDrawing();
  void FreeStorage();
  void FindTrailSystem();
  std::uint32_t ClampPoolSize(std::uint32_t count) const;
  // The last death's post, sent after the walk of the pool; false when its
  // script deleted this system.
  bool SendLastDeathPost();
  Vector3 EmitterPosition();
  Vector3 EmitterDirection();
  // The sources whose particles stay: this system and its trail chain.
  std::span<const ParticleSystem* const> HeldSources();
  bool Holds(const ParticleSystem* source) const;
  // Whether a held source leaves particles of a held trail system.
  bool HasTrails() const;
  // Steps every particle a block of four records at a time; only while no
  // trails are held.
  void StepBlocks(float dt, std::uint32_t dtFixed, ParticleBounds& bounds);
  // Steps every particle record by record; each may leave one trail
  // particle in this pool.
  void StepRecords(float dt, std::uint32_t dtFixed, ParticleBounds& bounds);
  // After the block walk: frees the records whose particles died or were
  // let go of, and moves the cells of animated ones.
  void SettleRecords(float dt);
  // The parts of a step of dt the pool's particles need (StepParts).
  unsigned StepPartsFor(float dt) const;
  // What the pool knew of its particles goes with the last of them.
  void ForgetParticles() {
    stepParts_ = 0;
    strangers_ = false;
  }
  // Frees the record of a particle that died or whose source was let go of.
  void Bury(std::size_t index);
  void Emit(float dt, const Vector3& direction);
  float EmissionFactor() const;
  // The lowest free record, taken; pool_.size() when none is free.
  std::size_t TakeFreeRecord();
  void FreeRecord(std::size_t index);
  // The frame state of a particle of this pool.
  ParticleLane ParentState(const Particle& parent) const;
  // visit(first, count, taken) for each block of the pool holding a live
  // particle: its count records from first, taken (bit k for record
  // first + k) the live ones. What the walk reads of the pool is read
  // before it, so that the visits' stores need not reload it.
  template <class Visit>
  void ForEachLiveBlock(Visit&& visit) const {
    const std::size_t records = pool_.size();
    const std::uint64_t* freeBits = freeRecords_.data();
    for (std::size_t first = 0; first < records; first += kParticleLanes) {
      const std::size_t count = std::min(kParticleLanes, records - first);
      const auto free = static_cast<unsigned>(freeBits[first / kRecordsPerWord] >> (first % kRecordsPerWord));
      const unsigned taken = ~free & ((1u << count) - 1);
      if (taken != 0) visit(first, count, taken);
    }
  }
  void MarkAllRecordsFree();
  void QueueParticles(float alphaScale);

  static constexpr std::size_t kRecordsPerWord = 64;

  std::vector<Particle> pool_;
  // One bit per record of the pool, set while it is free; every record
  // below firstFree_ is taken. Spawning takes the lowest free record, the
  // one a search from the pool's start would find, without the search.
  std::vector<std::uint64_t> freeRecords_;
  std::size_t firstFree_ = 0;
  // The frame state of the records, four to a block.
  std::vector<ParticleBlock> blocks_;
  std::vector<ParticleExtras> extras_;
  // The step parts (StepParts) some particle born since the pool was last
  // empty needs.
  unsigned stepParts_ = 0;
  // Set once a particle of another source (a trail system) is born here.
  bool strangers_ = false;
  std::vector<ColourVertex> vertices_;
  // The cell span the vertices' texture coordinates were last written
  // with, 0 once a particle was born, died or changed its cell since: till
  // then the quads leave them as they are.
  float writtenCellSpan_ = 0;
  NamedMaterial material_;
  Vector3 previousPosition_, currentPosition_;
  std::uint32_t maxParticles_ = 100;
  std::uint32_t liveCount_ = 0;
  float emissionResidue_ = 0;
  std::uint32_t emitOnActionStart_ = 0;
  float particlesPerSec_ = 20.0f;
  float spawnTrailDelayStart_ = 0, spawnTrailDelayEnd_ = 0;
  float gravityStart_ = 0, gravityVar_ = 0, gravityEnd_ = 0;
  float sizeStart_ = 0.2f, sizeVar_ = 0, sizeEnd_ = 0.5f;
  float speedMulStart_ = 1.0f, speedMulVar_ = 1.0f, speedMulEnd_ = 1.0f;
  float positionVar_ = 0;
  Vector3 boxSize_{1, 1, 1};
  float directionVar_ = 0;
  float alphaStart_ = 1.0f, alphaVar_ = 0, alphaEnd_ = 0;
  float rotStart_ = 0, rotVar_ = 0;
  float spinStart_ = 0, spinVar_ = 0, spinEnd_ = 0;
  Color colorStart_{1, 1, 1, 1}, colorAddVar_{1, 1, 1, 1}, colorEnd_{1, 1, 1, 1};
  float speed_ = 1.0f, speedVar_ = 0;
  float colorVar_ = 0;
  float life_ = 1.0f, lifeVar_ = 0;
  float theta_ = 0;
  std::uint32_t mapStyle_ = 1, mapOffset_ = 0, mapCount_ = 16;
  std::uint32_t reserved_ = 0;
  ObjectRef<ParticleSystem> trailSystem_;
  float cameraDistance_ = 0;
  std::array<float, 9> registers_{};
  ParticleCurve sizeTable_{1, 1, 1, 1, 1, 1, 1, 1, 1};
  ParticleCurve fadeTable_{0, 1, 1, 1, 1, 1, 1, 0, 0};
  ParticleCurve speedTable_;
  float tableSpeedOffset_ = 0, tableSpeedMul_ = 0, tableSizeOffset_ = 0, tableSizeMul_ = 0;
  ObjectRef<> nodeRoot_, previousNode_, targetNode_;
  float nodeProgress_ = 0;
  Vector3 boundsCentre_;
  float boundsRadius_ = 20.0f;
  std::uint32_t inheritModes_ = 0;
  std::uint32_t particleFlags_ = kParticleDistanceFade;
  // Set by each update; Update completes a pending post when a whole frame
  // went by without one.
  bool updatedSinceTick_ = false;
  // The post the last death asked for, sent once the pool walk is over.
  std::uint32_t deathPost_ = 0;
  std::array<const ParticleSystem*, 8> heldSources_{};
  std::size_t heldSourceCount_ = 0;
};

void RegisterParticleSystemCommands();

}  // namespace tge
