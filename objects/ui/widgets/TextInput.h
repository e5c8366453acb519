// TextInput (class 66): a widget holding a line of text that the player
// types while it has the focus inside its window, shown with a blinking
// caret. Typed characters arrive as the engine's 8-bit characters and are
// kept as UTF-8 like every drawn text; control characters are not text.
// A text input that gains the focus drops what was typed before, so keys
// pressed for walking never land in the field.
#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "core/math/Color.h"
#include "objects/ui/widgets/Window.h"

namespace tge {

class TextInput : public Window {
 public:
  static std::span<const CommandEntry<TextInput>> Commands();
  static const CommandEntry<TextInput> kCommands[];

  TextInput();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  void CopyFrom(const Object& source) override;
  bool Serialize(SerializeStream& stream) override;
  void Draw() override;
  void Precalculate() override;

  const std::string& GetInputText() const { return inputText_; }
  // Applies one typed 8-bit character: Backspace erases the last whole
  // character, other control characters do nothing, the rest is appended
  // while the text is shorter than the letter limit.
  void TypeCharacter(int character);

 private:
  static constexpr std::uint32_t kNumbersOnly = 0x100;
  static constexpr std::uint32_t kHiliteSound = 0x200;
  static constexpr std::uint32_t kActionSound = 0x400;

  int SetFontCommand(CommandArgs args);
  void DrawInputText();
  void TakeTypedCharacter();

  std::string inputText_;
  std::uint32_t maxLetters_ = 64;
  Color inputColor_{1, 1, 1, 1};
  float inputLineSpace_ = 1.0f;
  float inputLetterSpace_ = 1.0f;
  std::string inputFontName_;
  ResourceRef inputFont_;
  float caretTimer_ = 0;
  std::uint32_t textInputFlags_ = 0;
  // Whether the widget had the focus at its last draw: run-time state.
  bool hadFocus_ = false;
};

void RegisterTextInputCommands();

}  // namespace tge
