// LEEmitter (class 63): a light particle emitter driven by nine built-in
// presets. Each particle is one point sprite; the texture comes from a
// run-wide table of ten preset materials ("ParticlePreset%02dMat") unless a
// custom material is chosen. Particles spawn along the path the emitter
// moved in its last frame and fly along its Z axis.
//
// The pool and its vertices are queued by reference: they live in one shared
// block the render queue keeps when the emitter goes or resizes its pool
// during a frame.
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
#include "objects/scene/NamedMaterial.h"

namespace tge {

// Free while its age is negative.
struct LEParticle {
  Vector3 previousPosition, position, velocity;
  Color colour;
  float colourChange[3] = {0, 0, 0};
  float age = -1, life = 0;
  float size = 0, sizeChange = 0;
  float alpha = 0, alphaChange = 0;
  float gravity = 0, gravityChange = 0;
};

// Flexible vertex format 0x62: position, point size, diffuse colour.
struct PointVertex {
  float x, y, z, size;
  std::uint32_t colour;
};
static_assert(sizeof(PointVertex) == 20);

struct LEPool {
  std::vector<LEParticle> particles;
  std::vector<PointVertex> vertices;
};

class LEEmitter : public Object {
 public:
  // Larger pools are refused: a file's count sizes the arrays.
  static constexpr std::uint32_t kMaxParticlesLimit = 100000;
  static constexpr std::uint32_t kPresetMaterialCount = 10;
  static constexpr std::uint32_t kHoldEmission = 0x4;
  static constexpr std::uint32_t kUseCustomMaterial = 0x10;

  static std::span<const CommandEntry<LEEmitter>> Commands();
  static const CommandEntry<LEEmitter> kCommands[];

  LEEmitter();
  ~LEEmitter() override;

  int ExecuteCommand(std::uint32_t id, void* args) override;
  void CopyFrom(const Object& source) override;
  bool Serialize(SerializeStream& stream) override;
  void Draw() override;
  void Precalculate() override;

  void ApplyPreset(std::uint32_t preset);
  // False (and nothing changes) for a count above the limit; 0 means 1.
  bool SetMaxParticles(std::uint32_t count);
  // One step of every particle, then the spawns of this step.
  void Step(float dt, const Vector3& position, const Vector3& direction);

  const LEPool* GetPool() const { return pool_.get(); }
  std::uint32_t GetLiveCount() const { return liveCount_; }
  float GetEmissionResidue() const { return emissionResidue_; }
  std::uint32_t GetMaxParticles() const { return maxParticles_; }
  // The material the particles are drawn with.
  Resource* GetDrawMaterial() const;

 private:
  int SetPresetCommand(CommandArgs args);
  int SetMaxParticlesCommand(CommandArgs args);
  int SetUseCustomMaterialCommand(CommandArgs args);
  int GetUseCustomMaterialCommand(CommandArgs args);
  int SetCustomMaterialCommand(CommandArgs args);
  int GetCustomMaterialCommand(CommandArgs args);

  void AcquireMaterials();
  void AllocatePool();
  void Spawn(LEParticle& particle, const Vector3& direction);
  void QueueParticles();

  std::shared_ptr<LEPool> pool_;
  NamedMaterial customMaterial_;
  std::uint32_t material_ = 0;
  std::uint32_t liveCount_ = 0;
  Vector3 previousPosition_, currentPosition_;
  bool hasPreviousPosition_ = false;
  float emissionResidue_ = 0;
  std::uint32_t preset_ = 0;
  std::uint32_t maxParticles_ = 100;
  std::uint32_t particlesPerSec_ = 20;
  float gravityStart_ = 0, gravityVariation_ = 0, gravityEnd_ = 0;
  float sizeStart_ = 0, sizeVariation_ = 0, sizeEnd_ = 0;
  float alphaStart_ = 0, alphaVariation_ = 0, alphaEnd_ = 0;
  Color colourStart_{1, 1, 1, 1}, colourVariation_{1, 1, 1, 1}, colourEnd_{1, 1, 1, 1};
  float speed_ = 0, speedVariation_ = 0, life_ = 0, lifeVariation_ = 0, theta_ = 0;
  std::uint32_t flags_ = 0;
};

void RegisterLEEmitterCommands();
// The run-wide preset materials go back; the engine calls it at shutdown,
// before the services close.
void ReleaseLEPresetMaterials();

}  // namespace tge
