#include "platform/window/EventPump.h"

#include <SDL.h>

#include <algorithm>

#include "platform/window/Window.h"

namespace tge::platform {

void EventPump::AddListener(EventListener& listener) {
  if (std::find(listeners_.begin(), listeners_.end(), &listener) ==
      listeners_.end())
    listeners_.push_back(&listener);
}

void EventPump::RemoveListener(EventListener& listener) {
  std::erase(listeners_, &listener);
}

int EventPump::PumpEvents() {
  int count = 0;
  SDL_Event event;
  while (SDL_PollEvent(&event) == 1) {
    Dispatch(event);
    ++count;
  }
  return count;
}

int EventPump::WaitForEvents(int timeoutMs) {
  SDL_Event event;
  const int got = timeoutMs < 0 ? SDL_WaitEvent(&event)
                                : SDL_WaitEventTimeout(&event, timeoutMs);
  if (got != 1) return 0;
  Dispatch(event);
  return 1 + PumpEvents();
}

bool EventPump::QuitRequested() const {
  return quit_ || window_.CloseRequested();
}

void EventPump::PostQuit() {
  SDL_Event event{};
  event.type = SDL_QUIT;
  SDL_PushEvent(&event);
}

void EventPump::Dispatch(const SDL_Event& event) {
  if (event.type == SDL_QUIT) quit_ = true;
  window_.HandleEvent(event);
  // A listener may unregister itself or another while handling the event.
  const std::vector<EventListener*> listeners = listeners_;
  for (EventListener* listener : listeners) {
    if (std::find(listeners_.begin(), listeners_.end(), listener) !=
        listeners_.end())
      listener->OnEvent(event);
  }
}

}  // namespace tge::platform
