// What the event pump hands each event to: the input devices and anything
// else that follows the window's events registers one of these.
#pragma once

union SDL_Event;

namespace tge::platform {

class EventListener {
 public:
  virtual ~EventListener() = default;
  virtual void OnEvent(const SDL_Event& event) = 0;
};

}  // namespace tge::platform
