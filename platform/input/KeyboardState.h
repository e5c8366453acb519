// Which keys are held, by set-1 key code, followed from the key events the
// pump hands over (so events a test pushes count like real ones).
#pragma once
#include <array>

#include "platform/input/ButtonLatch.h"
#include "platform/input/ScanCodeTable.h"

union SDL_Event;

namespace tge::platform {

class KeyboardState {
 public:
  void HandleEvent(const SDL_Event& event);

  // False for codes outside 0..255.
  bool IsDown(int keyCode) const;
  // The frame's read of a key (see ButtonLatch): a tap between two reads is
  // down in one and up in the next. False for codes outside 0..255.
  bool TakeDown(int keyCode);
  // Every key up: a key released while the window had no focus never sends
  // its release here.
  void ReleaseAll();

 private:
  std::array<bool, kKeyCodeCount> down_{};
  ButtonLatch latch_{kKeyCodeCount};
};

}  // namespace tge::platform
