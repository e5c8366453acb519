// Sprite (class 27): a widget that draws only its material, a quad of its
// width and height placed by the object's world transform, so it moves,
// scales and turns like any object. It draws no text, skin or highlight and
// takes no focus.
#pragma once
#include <cstdint>
#include <span>

#include "objects/ui/widgets/Window.h"

namespace tge {

class Sprite : public Window {
 public:
  static std::span<const CommandEntry<Sprite>> Commands();
  static const CommandEntry<Sprite> kCommands[];

  Sprite();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  bool Serialize(SerializeStream& stream) override;
  void Draw() override;

 private:
  int SetTypeCommand(CommandArgs args);

  float maxDistance3D_ = 0;
  float fadeDistance3D_ = 0;
  std::uint32_t spriteType_ = 0;
};

void RegisterSpriteCommands();

}  // namespace tge
