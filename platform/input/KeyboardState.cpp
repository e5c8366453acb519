#include "platform/input/KeyboardState.h"

#include <SDL_events.h>

namespace tge::platform {

void KeyboardState::HandleEvent(const SDL_Event& event) {
  if (event.type != SDL_KEYDOWN && event.type != SDL_KEYUP) return;
  const std::uint8_t code = KeyCodeForScancode(event.key.keysym.scancode);
  if (code != 0) down_[code] = event.type == SDL_KEYDOWN;
}

bool KeyboardState::IsDown(int keyCode) const {
  if (keyCode < 0 || keyCode >= kKeyCodeCount) return false;
  return down_[static_cast<std::size_t>(keyCode)];
}

}  // namespace tge::platform
