// HitEffect (class 74): the one-shot effect where a shot, a footstep or a
// collision meets a surface. Up to six parts, each switched on by naming its
// resource: a mesh, a sound, ten falling sparks, five rising smoke puffs, a
// trail quad towards a given end and a decal quad at the hit. Effects are
// templates kept in object pools, which clone one, place it at the hit, call
// StartAtPosition and SetIntensity; it fires on ActionStart and follows its
// action value while it fades.
//
// The vertices are queued by reference, so they live in one shared block
// that the render queue keeps when the object goes during a frame.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/math/Color.h"
#include "core/math/Vector.h"
#include "objects/scene/ColourVertex.h"
#include "services/resources/ResourceRef.h"

namespace tge {

struct HitEffectParticle {
  Vector3 position, velocity;
  Color colour;
  float age = 0, life = 0, size = 0, sizeChange = 0, fade = 0;
  // Its atlas cell, chosen once for the object's life.
  float cellU = 0, cellV = 0;
};

// One group of camera-facing quads: sparks or puffs.
struct HitEffectSpray {
  std::vector<HitEffectParticle> particles;
  std::vector<ColourVertex> vertices;
  std::uint32_t vertexCount = 0;
};

struct HitEffectBuffers {
  HitEffectSpray sparks, puffs;
  std::array<ColourVertex, 6> decal{};
  std::array<ColourVertex, 6> trail{};
};

class HitEffect : public Object {
 public:
  static constexpr std::uint32_t kSparkCount = 10;
  static constexpr std::uint32_t kPuffCount = 5;

  static std::span<const CommandEntry<HitEffect>> Commands();
  static const CommandEntry<HitEffect> kCommands[];

  HitEffect();
  ~HitEffect() override;

  int ExecuteCommand(std::uint32_t id, void* args) override;
  void CopyFrom(const Object& source) override;
  bool Serialize(SerializeStream& stream) override;
  void Draw() override;
  void Precalculate() override;

  // A thin ribbon from the effect to end, when it has a trail material.
  void StartAtPosition(const Vector3& end);
  // 0 to 1: scales the sound, the spark speed, the smoke alpha and the
  // starting alpha of trail and decal.
  void SetIntensity(float intensity) { intensity_ = intensity; }
  float GetIntensity() const { return intensity_; }
  // Fires the effect (ActionStart): sound, sparks, smoke, trail and decal.
  void StartEffect();

  const HitEffectBuffers& GetBuffers() const { return *buffers_; }
  float GetDecalAlpha() const { return decalAlpha_; }
  float GetTrailAlpha() const { return trailAlpha_; }

 private:
  enum Part : int { kPartMesh, kPartSound, kPartParticle, kPartSmoke, kPartTrail, kPartDecal, kPartCount };
  struct Slot {
    std::string name;
    ResourceRef resource;
  };
  // How one spray starts and moves.
  struct SprayStyle {
    std::uint32_t count;
    float startSize, endSize, lifetime, speed, spread;
    bool rises;
  };

  template <Part Which>
  int SetNameCommand(CommandArgs args);
  template <Part Which>
  int GetNameCommand(CommandArgs args);

  void AcquireParts();
  void CollectResources(void* set);
  SprayStyle SparkStyle() const;
  SprayStyle PuffStyle() const;
  void StartSpray(HitEffectSpray& spray, const SprayStyle& style, const Vector3& position, const Vector3& axis);
  void SimulateSpray(HitEffectSpray& spray, bool rises, float dt, const Vector3& right, const Vector3& up);
  void QueueQuads(const ColourVertex* vertices, std::uint32_t triangles, const Matrix4& world, Part material);
  void Fade(float action);
  void StartSound();

  std::array<Slot, kPartCount> parts_;
  float soundMinRange_ = 2.0f, soundMaxRange_ = 20.0f;
  float particleStartSize_ = 0.05f, particleEndSize_ = 0.2f, particleLifetime_ = 2.2f, particleSpeed_ = 4.0f,
        particleSpread_ = 1.0f;
  float smokeStartSize_ = 0.05f, smokeEndSize_ = 0.4f, smokeLifetime_ = 2.2f, smokeSpeed_ = 2.0f,
        smokeSpread_ = 0.2f;
  float trailStartSize_ = 0.1f, trailEndSize_ = 0.4f, trailMaxLength_ = 4.0f;
  float trailAlpha_ = 1.0f;
  float decalSize_ = 0.08f;
  float decalAlpha_ = 1.0f;
  float fadeTimer_ = 0;
  float intensity_ = 1.0f;
  std::uint32_t flags_ = 0;
  std::shared_ptr<HitEffectBuffers> buffers_;
};

void RegisterHitEffectCommands();

}  // namespace tge
