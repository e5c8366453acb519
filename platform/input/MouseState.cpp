#include "platform/input/MouseState.h"

#include <SDL.h>

#include <algorithm>
#include <cstdint>
#include <limits>

namespace tge::platform {
namespace {

int ButtonIndex(Uint8 sdlButton) {
  switch (sdlButton) {
    case SDL_BUTTON_LEFT:
      return static_cast<int>(MouseButton::kLeft);
    case SDL_BUTTON_RIGHT:
      return static_cast<int>(MouseButton::kRight);
    case SDL_BUTTON_MIDDLE:
      return static_cast<int>(MouseButton::kMiddle);
    default:
      return -1;
  }
}

// Sums saturate: pushed or broken events must not overflow them.
void Accumulate(int& sum, std::int64_t amount) {
  const std::int64_t total = sum + amount;
  sum = static_cast<int>(std::clamp<std::int64_t>(
      total, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

}  // namespace

void MouseState::HandleEvent(const SDL_Event& event) {
  switch (event.type) {
    case SDL_MOUSEMOTION:
      Accumulate(motion_.dx, event.motion.xrel);
      Accumulate(motion_.dy, event.motion.yrel);
      x_ = event.motion.x;
      y_ = event.motion.y;
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      if (const int index = ButtonIndex(event.button.button); index >= 0) {
        buttons_[index] = event.type == SDL_MOUSEBUTTONDOWN;
        latch_.Change(static_cast<std::size_t>(index), buttons_[index]);
      }
      break;
    case SDL_MOUSEWHEEL:
      Accumulate(wheelSteps_, event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED
                                  ? -std::int64_t{event.wheel.y}
                                  : event.wheel.y);
      break;
    default:
      break;
  }
}

MouseMotion MouseState::TakeMotion() {
  const MouseMotion motion = motion_;
  motion_ = {};
  return motion;
}

int MouseState::TakeWheelSteps() {
  const int steps = wheelSteps_;
  wheelSteps_ = 0;
  return steps;
}

bool MouseState::IsDown(MouseButton button) const {
  const int index = static_cast<int>(button);
  return index >= 0 && index < static_cast<int>(MouseButton::kCount) &&
         buttons_[index];
}

bool MouseState::TakeDown(MouseButton button) {
  return latch_.Read(static_cast<std::size_t>(button), IsDown(button));
}

void MouseState::ReleaseAll() {
  for (bool& down : buttons_) down = false;
  latch_.Clear();
}

bool MouseState::SetRelativeMode(bool on) {
  return SDL_SetRelativeMouseMode(on ? SDL_TRUE : SDL_FALSE) == 0;
}

}  // namespace tge::platform
