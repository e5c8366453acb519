// CheckBox (class 73): a widget with a checked state that flips on each
// release of Ok over it, raising OnCheckBoxChecked or OnCheckBoxUnchecked,
// and that draws a check mark in its top-left corner while checked. Its
// window text is a label left of the box.
#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "core/math/Vector.h"
#include "objects/ui/widgets/Window.h"

namespace tge {

inline constexpr int kEventOnCheckBoxChecked = 18266;
inline constexpr int kEventOnCheckBoxUnchecked = 18267;

class CheckBox : public Window {
 public:
  static std::span<const CommandEntry<CheckBox>> Commands();
  static const CommandEntry<CheckBox> kCommands[];

  CheckBox();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  bool Serialize(SerializeStream& stream) override;
  void Draw() override;
  void Precalculate() override;
  void OnPointerEnter(const Vector3& pointer) override;
  void OnPointerLeave(const Vector3& pointer) override;
  void OnNavigate(const Vector3& pointer, int code) override;
  void OnInput(const Vector3& pointer, int code) override;

  bool IsChecked() const { return (checkBoxFlags_ & kChecked) != 0; }

 private:
  static constexpr std::uint32_t kStandardSprite = 0x1;
  static constexpr std::uint32_t kHiliteSound = 0x10;
  static constexpr std::uint32_t kActionSound = 0x20;
  static constexpr std::uint32_t kChecked = 0x100;
  static constexpr std::uint32_t kPointerOver = 0x10000;

  int SetStandardSpriteCommand(CommandArgs args);
  int SetCheckedSpriteCommand(CommandArgs args);

  std::string checkedSpriteName_;
  ResourceRef checkedSprite_;
  Vector3 checkedDimension_{32, 32, 1};
  std::uint32_t checkBoxFlags_ = kStandardSprite | kHiliteSound | kActionSound;
};

void RegisterCheckBoxCommands();

}  // namespace tge
