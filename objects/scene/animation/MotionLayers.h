// MotionLayers (class 14): moves its own local transform procedurally, so
// its children sway, bob or drift with it. A constant linear and angular
// velocity is summed with any number of layers, each adding sine waves and
// smooth value noise (ValueNoise1D) to the position, the rotation angles and
// the scale. Its commands carry no type prefix.
#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "core/CommandTable.h"
#include "core/Object.h"

namespace tge {

// The groups of a layer, in their stored order; each holds x, y and z.
enum MotionGroup : int {
  kRotSinOffs, kRotSinMul, kRotSinFreq, kRotRndMul, kRotRndFreq,
  kPosSinOffs, kPosSinMul, kPosSinFreq, kPosRndMul, kPosRndFreq,
  kScaleSinOffs, kScaleSinMul, kScaleSinFreq, kScaleRndMul, kScaleRndFreq,
  kMotionGroupCount
};

// Bits of a layer's flags: which of its terms count.
inline constexpr std::uint32_t kLayerPosSin = 0x1;
inline constexpr std::uint32_t kLayerPosNoise = 0x2;
inline constexpr std::uint32_t kLayerRotSin = 0x4;
inline constexpr std::uint32_t kLayerRotNoise = 0x8;
inline constexpr std::uint32_t kLayerScaleSin = 0x10;
inline constexpr std::uint32_t kLayerScaleNoise = 0x20;
inline constexpr std::uint32_t kLayerAllTerms = 0x3f;
inline constexpr std::uint32_t kLayerScaleTerms = kLayerScaleSin | kLayerScaleNoise;

struct MotionLayer {
  std::array<Vector3, kMotionGroupCount> groups{};
  std::uint32_t flags = kLayerAllTerms;
};

class MotionLayers : public Object {
 public:
  static std::span<const CommandEntry<MotionLayers>> Commands();
  static const CommandEntry<MotionLayers> kCommands[];

  MotionLayers();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  bool Serialize(SerializeStream& stream) override;
  void Draw() override;
  void Precalculate() override;

  // Advances the motion time by the frame and places the object.
  void UpdateMotion();

  const std::vector<MotionLayer>& GetLayers() const { return layers_; }
  float GetMotionTime() const { return time_; }

 private:
  template <int Group>
  int SetGroupCommand(CommandArgs args);
  template <int Group>
  int GetGroupCommand(CommandArgs args);
  int AddLayerCommand(CommandArgs args);
  int DeleteLayerCommand(CommandArgs args);
  int GetLayerListCommand(CommandArgs args);
  int SetLayerListCommand(CommandArgs args);
  template <Vector3 MotionLayers::*Field>
  int SetVelocityCommand(CommandArgs args);
  template <Vector3 MotionLayers::*Field>
  int GetVelocityCommand(CommandArgs args);

  MotionLayer* SelectedLayer();

  std::vector<MotionLayer> layers_;
  Vector3 positionVelocity_;
  Vector3 rotationVelocity_;
  float time_ = 0;
  std::uint32_t storedWord_ = 0;
  std::int32_t selected_ = -1;
};

void RegisterMotionLayersCommands();

}  // namespace tge
