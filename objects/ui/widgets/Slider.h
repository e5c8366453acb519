// Slider (class 72): a widget holding a position between a minimum and a
// maximum, drawn as a knob along its width. A press on the knob drags it
// until the release, wherever that happens; a press beside the knob steps
// the position towards the pointer, and Left and Right step it down and up.
#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "core/math/Vector.h"
#include "objects/ui/widgets/Window.h"

namespace tge {

inline constexpr int kEventOnSliderSelectionChange = 18032;

class Slider : public Window {
 public:
  static std::span<const CommandEntry<Slider>> Commands();
  static const CommandEntry<Slider> kCommands[];

  Slider();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  bool Serialize(SerializeStream& stream) override;
  void Draw() override;
  void Precalculate() override;
  void OnPointerMove(const Vector3& pointer, const Vector3& delta) override;
  void OnPointerEnter(const Vector3& pointer) override;
  void OnPointerLeave(const Vector3& pointer) override;
  void OnNavigate(const Vector3& pointer, int code) override;
  void OnInput(const Vector3& pointer, int code) override;

  float GetPosition() const { return position_; }
  bool IsDragging() const { return (sliderFlags_ & kDragging) != 0; }

 private:
  static constexpr std::uint32_t kShowLabel = 0x1;
  static constexpr std::uint32_t kHiliteSound = 0x20;
  static constexpr std::uint32_t kActionSound = 0x40;
  static constexpr std::uint32_t kVertical = 0x80;
  static constexpr std::uint32_t kStandardSprite = 0x100;
  static constexpr std::uint32_t kPointerOver = 0x10000;
  static constexpr std::uint32_t kDragging = 0x20000;

  int SetPositionCommand(CommandArgs args);
  template <class T>
  int SetPositionUnlimited(CommandArgs args);
  template <class T>
  int GetPositionTruncated(CommandArgs args);
  template <int Scale>
  int GetPositionRatio(CommandArgs args);
  int SetStandardSpriteCommand(CommandArgs args);
  int SetPositionSpriteCommand(CommandArgs args);

  float KnobWidth() const { return positionDimension_.x * layoutScale_.x; }
  // Where the knob's left edge stands for the current position.
  float KnobLeft() const;
  // Sets the position, limited to the range, raising the change event when
  // it moved.
  void MoveTo(float value);

  float minimum_ = 0;
  float maximum_ = 100.0f;
  float position_ = 0;
  float stepSize_ = 10.0f;
  ScreenRect knobRect_;
  std::string positionSpriteName_;
  ResourceRef positionSprite_;
  Vector3 positionDimension_{16, 16, 1};
  std::uint32_t sliderFlags_ = kShowLabel | kHiliteSound | kActionSound;
};

void RegisterSliderCommands();

}  // namespace tge
