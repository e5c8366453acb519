// Footstep (class 39): an invisible object under a moving part of a
// character or vehicle (a foot bone, a hoof, a wheel). It watches its own
// speed each frame; when a fast movement stops (the foot lands) it casts a
// short ray down and spawns the engine's global hit effects at the ground,
// with an intensity that grows with the speed of the step.
#pragma once
#include <cstdint>
#include <span>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/math/Matrix4.h"

namespace tge {

class Footstep : public Object {
 public:
  static std::span<const CommandEntry<Footstep>> Commands();
  static const CommandEntry<Footstep> kCommands[];
  static std::span<const CommandEntry<Footstep>> HiddenCommands();
  static const CommandEntry<Footstep> kHiddenCommands[];

  Footstep();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  void CopyFrom(const Object& source) override;
  bool Serialize(SerializeStream& stream) override;
  // The step detection, once per frame while active.
  void Draw() override;

  float GetIntensity() const { return intensity_; }
  float GetPeakSpeed() const { return peakSpeed_; }

 private:

  void DetectStep(const Vector3& position);
  // True when effects were spawned; a ray that finds no ground leaves the
  // step pending.
  bool SpawnEffects(const Vector3& position);

  float repeatTime_ = 0;
  float setting1_ = 1.0f;
  float setting2_ = 4.0f;
  float setting3_ = 20.0f;
  float setting4_ = 0;
  std::uint32_t effectMask_ = 1;
  std::uint32_t rayMask_ = 1;
  float stepTimer_ = 0;
  Vector3 lastPosition_;
  float peakSpeed_ = 0;
  float minSpeed_ = 15.0f;
  float maxSpeed_ = 20.0f;
  float intensity_ = 0;
  std::uint32_t footstepFlags_ = 1;
  // The first pass after making or loading only records the position, so
  // the distance from the origin is never taken for a step.
  bool tracking_ = false;
};

void RegisterFootstepCommands();

}  // namespace tge
