// SplineObject (class 88): places itself, and so its children, on the
// nearest enclosing Spline: at a distance (or a percentage of the length),
// or travelling along it while its Action runs, optionally turned along the
// curve and faded out by its distance from the camera. It writes the
// curve's world position as its own, so it keeps a world-space transform.
#pragma once
#include <cstdint>
#include <span>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/ObjectRef.h"
#include "objects/scene/animation/Spline.h"

namespace tge {

// Bits of the spline-object flags.
inline constexpr std::uint32_t kSplineObjectPercentage = 0x1;
inline constexpr std::uint32_t kSplineObjectOrient = 0x2;
inline constexpr std::uint32_t kSplineObjectCameraFade = 0x4;

class SplineObject : public Object {
 public:
  static constexpr int kEventSplineEnd = 22019;
  // Setters that are not registered: only code sends them (each getter is
  // at the id + 1).
  static constexpr std::uint32_t kSetPercentage = 22002;
  static constexpr std::uint32_t kSetSpareValue = 22004;
  static constexpr std::uint32_t kSetSpeed = 22006;
  static constexpr std::uint32_t kSetSpareFloat = 22008;
  static constexpr std::uint32_t kSetOrient = 22010;
  static constexpr std::uint32_t kSetCameraFade = 22012;
  static constexpr std::uint32_t kSetFadeStart = 22014;
  static constexpr std::uint32_t kSetFadeEnd = 22016;

  // The registered commands; Hidden() holds the ids only code sends.
  static std::span<const CommandEntry<SplineObject>> Commands();
  static const CommandEntry<SplineObject> kCommands[];
  static std::span<const CommandEntry<SplineObject>> Hidden();
  static const CommandEntry<SplineObject> kHidden[];

  SplineObject();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  // The copy finds its own spline at its Precalculate.
  void CopyFrom(const Object& source) override;
  bool Serialize(SerializeStream& stream) override;
  void Draw() override;
  void Precalculate() override;

  Spline* GetSpline() const { return spline_.Get(); }
  float GetStartPosition() const { return position_; }
  float GetDistance() const { return distance_; }
  std::uint32_t GetSplineObjectFlags() const { return flags_; }

 private:
  int SetPositionCommand(CommandArgs args);
  template <std::uint32_t Bit>
  int SetFlagCommand(CommandArgs args);

  // Puts the object at its start distance, clamped to the curve.
  void PlaceAtStart();
  void PlaceAt(float distance);
  // False when the camera fade hides the object this frame.
  bool ApplyCameraFade();
  // False when the end event's script deleted this object.
  bool Travel();

  ObjectRef<Spline> spline_;
  float position_ = 0;
  std::uint32_t spareValue_ = 1;
  float speed_ = 0;
  float distance_ = 0;
  float spareFloat_ = 0.5f;
  float fadeStart_ = 15.0f;
  float fadeEnd_ = 25.0f;
  std::uint32_t flags_ = 0;
};

void RegisterSplineObjectCommands();

}  // namespace tge
