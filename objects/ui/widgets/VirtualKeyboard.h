// VirtualKeyboard (class 51): an on-screen keyboard for typing with a game
// pad. A grid of keys in three sets (upper-case letters, lower-case letters,
// digits and signs) with a selection the navigation codes move, and special
// keys for a blank, switching the set, deleting and ending. The text typed
// so far shows under the grid with a blinking bar. It has no commands of
// its own; it registers with its window like a button, and keeps Up and
// Down for itself until one of the last keys is selected.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "objects/ui/widgets/Window.h"

namespace tge {

class VirtualKeyboard : public Window {
 public:
  static constexpr int kLastKey = 32;

  VirtualKeyboard();

  bool Serialize(SerializeStream& stream) override;
  void Draw() override;
  void Precalculate() override;
  void OnNavigate(const Vector3& pointer, int code) override;
  void OnInput(const Vector3& pointer, int code) override;
  int CanNavigate() override;

  const std::string& GetTypedText() const { return typedText_; }
  int GetKeySet() const { return keySet_; }
  int GetKeyIndex() const { return keyIndex_; }

 private:
  void PressKey();
  void DrawKeys(const Vector3& origin, float alpha);

  std::string typedText_;
  std::int32_t keySet_ = 0;
  std::int32_t keyIndex_ = 0;
  float blinkTimer_ = 0;
  std::uint32_t keyboardReserved_ = 0;
};

// VirtualKeyboard has no commands: this adds it to the object factory only.
void RegisterVirtualKeyboardType();

}  // namespace tge
