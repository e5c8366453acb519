// The mouse as the input service reads it once a frame: motion gathered
// since the last read (relative mouse mode keeps it coming at the screen's
// edges, where the engine once re-centred the system pointer), the three
// buttons, wheel steps and the pointer's position in the window.
#pragma once
#include "platform/input/ButtonLatch.h"

union SDL_Event;

namespace tge::platform {

enum class MouseButton { kLeft, kRight, kMiddle, kCount };

struct MouseMotion {
  int dx = 0;
  int dy = 0;
};

class MouseState {
 public:
  void HandleEvent(const SDL_Event& event);

  // Motion since the previous call, in window pixels; right and down are
  // positive.
  MouseMotion TakeMotion();
  // Wheel steps since the previous call: positive turned away from the
  // user, negative towards.
  int TakeWheelSteps();

  bool IsDown(MouseButton button) const;
  // The frame's read of a button (see ButtonLatch): a click between two
  // reads is down in one and up in the next.
  bool TakeDown(MouseButton button);
  int X() const { return x_; }
  int Y() const { return y_; }
  void ReleaseAll();

  // On for play; off for menus, where the pointer moves freely. False when
  // the video driver cannot do it.
  static bool SetRelativeMode(bool on);

 private:
  MouseMotion motion_;
  int wheelSteps_ = 0;
  bool buttons_[static_cast<int>(MouseButton::kCount)] = {};
  ButtonLatch latch_{static_cast<std::size_t>(MouseButton::kCount)};
  int x_ = 0;
  int y_ = 0;
};

}  // namespace tge::platform
