// Which keys are held, by set-1 key code, followed from the key events the
// pump hands over (so events a test pushes count like real ones).
#pragma once
#include <array>

#include "platform/input/ScanCodeTable.h"

union SDL_Event;

namespace tge::platform {

class KeyboardState {
 public:
  void HandleEvent(const SDL_Event& event);

  // False for codes outside 0..255.
  bool IsDown(int keyCode) const;
  // Every key up: a key released while the window had no focus never sends
  // its release here.
  void ReleaseAll() { down_.fill(false); }

 private:
  std::array<bool, kKeyCodeCount> down_{};
};

}  // namespace tge::platform
