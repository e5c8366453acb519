// Light (class 3): a scene light. Every frame it is drawn it hands one light
// to the render queue, which lights the frame's geometry with it. Its
// brightness follows the Action value, so Action start and stop fade it.
//
// The attenuation a point or spot light is queued with is derived from the
// three falloff values: a constant term, a strength, and the share of that
// strength that is linear against quadratic in the distance, both measured
// in units of the radius.
#pragma once
#include <array>
#include <cstdint>
#include <span>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/math/Color.h"

namespace tge {

enum LightType : std::uint32_t { kLightDirectional = 0, kLightPoint = 1, kLightSpot = 2 };

class Light : public Object {
 public:
  static std::span<const CommandEntry<Light>> Commands();
  static const CommandEntry<Light> kCommands[];

  Light();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  bool Serialize(SerializeStream& stream) override;
  void Draw() override;
  void Precalculate() override;

  std::uint32_t GetType() const { return type_; }
  float GetRadius() const { return radius_; }
  const std::array<float, 3>& GetAttenuation() const { return attenuation_; }

 private:
  template <auto Field>
  int SetFalloffCommand(CommandArgs args);
  int SetRadiusCommand(CommandArgs args);
  // Nothing for a directional light.
  void ComputeAttenuation();

  std::uint32_t reserved_ = 0;
  std::uint32_t type_ = kLightDirectional;
  Color colour_{1, 1, 1, 1};
  Color ambient_{0, 0, 0, 0};
  float radius_ = 10.0f;
  std::array<float, 3> attenuation_{0, 0, 0};
  float spotFalloff_ = 1.0f;
  float spotTheta_ = 0.5f;
  float spotPhi_ = 1.0f;
  float colourMul_ = 1.0f;
  float falloff0_ = 0;
  float falloff1_ = 3.0f;
  float falloff2_ = 0;
};

void RegisterLightCommands();

}  // namespace tge
