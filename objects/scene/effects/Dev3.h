// Dev3 (class 54): a pool of particles placed at random points of its spawn
// box when it is precalculated, linked to the first plain object under its
// parent. Nothing moves or draws them afterwards: its attract radius and
// particle size are stored and saved only.
#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "core/ObjectRef.h"
#include "core/math/Color.h"
#include "objects/scene/effects/ParticleDevice.h"

namespace tge {

inline constexpr std::uint32_t kDev3SpawnVolumeBox = 0x1;

struct Dev3Particle {
  Vector3 velocity, position;
  Color colour{1, 1, 1, 1};
};

class Dev3 : public ParticleDevice {
 public:
  static std::span<const CommandEntry<Dev3>> Commands();
  static const CommandEntry<Dev3> kCommands[];

  Dev3();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  bool Serialize(SerializeStream& stream) override;
  void Update() override {}
  void Precalculate() override;

  std::span<const Dev3Particle> GetPool() const { return pool_; }
  Object* GetLink() const { return link_.Get(); }

 private:
  float particleSize_ = 0.1f;
  float attractRadius_ = 1.0f;
  ObjectRef<> link_;
  std::vector<Dev3Particle> pool_;
};

void RegisterDev3Commands();

}  // namespace tge
