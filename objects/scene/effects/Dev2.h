// Dev2 (class 36): a fixed pool of particles, each drawn as one textured
// triangle. Type 0 spawns motes above the object every tenth of a second and
// draws them in towards it, facing the camera, until they arrive; type 1
// keeps a swarm of flat triangles drifting inside its spawn box, turning
// back at the walls once a second.
//
// The pool is made at the first Precalculate and never resized; the live
// and free lists are chains of pool indices. The attract position and
// volume, the opacity range and the minimum size are stored and saved only.
#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "core/math/Color.h"
#include "objects/scene/effects/ParticleDevice.h"

namespace tge {

inline constexpr std::uint32_t kDev2SpawnVolumeBox = 0x1;
inline constexpr std::uint32_t kDev2AttractVolumeBox = 0x2;

struct Dev2Particle {
  Vector3 velocity, position;
  float referenceDistance = 0;
  Color colour;
  std::int32_t next = -1;
};

class Dev2 : public ParticleDevice {
 public:
  enum Type : std::uint32_t { kAttract = 0, kSwarm = 1 };
  // Triangles per queued batch: 12,000 vertices is the most one draw takes.
  static constexpr std::uint32_t kBatchParticles = 4000;

  static std::span<const CommandEntry<Dev2>> Commands();
  static const CommandEntry<Dev2> kCommands[];

  Dev2();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  void CopyFrom(const Object& source) override;
  bool Serialize(SerializeStream& stream) override;
  void Update() override {}
  void Draw() override;
  void Precalculate() override;

  std::span<const Dev2Particle> GetPool() const { return pool_; }
  // Live particles, newest first.
  std::vector<const Dev2Particle*> GetLiveParticles() const;
  // The sphere the last draw was culled by.
  const Sphere& GetBounds() const { return bounds_; }

 private:
  // One particle from the free list onto the live list; null when none is free.
  Dev2Particle* TakeFreeParticle();
  // Every tenth of a second, one particle made by place.
  template <class Place>
  void SpawnEvery(float dt, Place place);
  void DrawAttract(float dt, const Vector3& origin);
  void DrawSwarm(float dt, const Vector3& origin);
  // Moves every live particle one step; step returns false for a particle
  // that goes back to the free list.
  template <class Step>
  void StepLive(Step step);
  // The live particles' triangles, corners given by corners(position, a, b,
  // c), queued in batches. The cull sphere holds the object with at least
  // minimumRadius and every triangle, whose corners lie within reach of
  // their particle.
  template <class Corners>
  void QueueTriangles(const Vector3& origin, float minimumRadius, float reach, Corners corners);

  std::uint32_t type_ = kAttract;
  float spare_ = 20.0f;
  Vector3 attractPosition_, attractVolume_;
  float minOpacity_ = 0, maxOpacity_ = 1.0f;
  float minSize_ = 0, maxSize_ = 6.0f;
  float spawnTimer_ = 0, boxTimer_ = 0;
  std::vector<Dev2Particle> pool_;
  std::int32_t live_ = -1;
  std::int32_t free_ = -1;
  Sphere bounds_;
};

void RegisterDev2Commands();

}  // namespace tge
