// The input devices the input service polls once a frame: keyboard, mouse,
// typed characters and game pads, all fed by the window's event pump (this
// is an EventListener to register there). It also follows the window's
// focus: losing it lets go of every key and button, since their releases
// then go to another window.
#pragma once
#include "platform/input/GamePads.h"
#include "platform/input/KeyboardState.h"
#include "platform/input/MouseState.h"
#include "platform/input/TypedCharacters.h"
#include "platform/window/EventListener.h"

namespace tge::platform {

class InputDevices : public EventListener {
 public:
  void OnEvent(const SDL_Event& event) override;

  bool HasFocus() const { return focused_; }

  KeyboardState& Keyboard() { return keyboard_; }
  MouseState& Mouse() { return mouse_; }
  TypedCharacters& Typed() { return typed_; }
  GamePads& Pads() { return pads_; }

 private:
  void FollowFocus(const SDL_Event& event);

  // The window is created focused and raised; focus events correct this.
  bool focused_ = true;
  KeyboardState keyboard_;
  MouseState mouse_;
  TypedCharacters typed_;
  GamePads pads_;
};

}  // namespace tge::platform
