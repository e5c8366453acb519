#include "platform/input/KeyboardState.h"

#include <SDL_events.h>

namespace tge::platform {

void KeyboardState::HandleEvent(const SDL_Event& event) {
  if (event.type != SDL_KEYDOWN && event.type != SDL_KEYUP) return;
  const std::uint8_t code = KeyCodeForScancode(event.key.keysym.scancode);
  if (code == 0) return;
  down_[code] = event.type == SDL_KEYDOWN;
  latch_.Change(code, down_[code]);
}

bool KeyboardState::IsDown(int keyCode) const {
  if (keyCode < 0 || keyCode >= kKeyCodeCount) return false;
  return down_[static_cast<std::size_t>(keyCode)];
}

bool KeyboardState::TakeDown(int keyCode) {
  if (keyCode < 0 || keyCode >= kKeyCodeCount) return false;
  return latch_.Read(static_cast<std::size_t>(keyCode), down_[static_cast<std::size_t>(keyCode)]);
}

void KeyboardState::ReleaseAll() {
  down_.fill(false);
  latch_.Clear();
}

}  // namespace tge::platform
