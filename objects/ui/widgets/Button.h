// Button (class 29): a widget that turns pointer and Ok input into the base
// events OnInputOver, OnInputOut, OnInputDown and OnInputUp, with the skin's
// highlight and action sounds. It registers with the nearest top-level
// window at start and draws like a plain window, its text inside it.
#pragma once
#include <cstdint>
#include <span>

#include "objects/ui/widgets/Window.h"

namespace tge {

// Base events a button raises.
inline constexpr int kEventOnInputOver = 212;
inline constexpr int kEventOnInputOut = 213;
inline constexpr int kEventOnInputDown = 214;
inline constexpr int kEventOnInputUp = 215;

class Button : public Window {
 public:
  static std::span<const CommandEntry<Button>> Commands();
  static const CommandEntry<Button> kCommands[];

  Button();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  bool Serialize(SerializeStream& stream) override;
  void Draw() override;
  void Precalculate() override;
  void OnPointerEnter(const Vector3& pointer) override;
  void OnPointerLeave(const Vector3& pointer) override;
  void OnNavigate(const Vector3& pointer, int code) override;
  void OnInput(const Vector3& pointer, int code) override;

  bool IsPointerOver() const { return (buttonFlags_ & kPointerOver) != 0; }

 private:
  static constexpr std::uint32_t kHiliteSound = 0x10;
  static constexpr std::uint32_t kActionSound = 0x20;
  static constexpr std::uint32_t kPointerOver = 0x10000;


  std::uint32_t buttonFlags_ = kHiliteSound | kActionSound;
};

void RegisterButtonCommands();

}  // namespace tge
