#include "platform/input/InputDevices.h"

#include <SDL_events.h>

namespace tge::platform {

void InputDevices::OnEvent(const SDL_Event& event) {
  FollowFocus(event);
  keyboard_.HandleEvent(event);
  mouse_.HandleEvent(event);
  typed_.HandleEvent(event);
  pads_.HandleEvent(event);
}

void InputDevices::FollowFocus(const SDL_Event& event) {
  if (event.type != SDL_WINDOWEVENT) return;
  if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
    focused_ = true;
  } else if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
    focused_ = false;
    keyboard_.ReleaseAll();
    mouse_.ReleaseAll();
  }
}

}  // namespace tge::platform
