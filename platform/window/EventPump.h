// The message pump: drains SDL's event queue, lets the window follow its own
// state first, then hands each event to the registered listeners in the order
// they registered. The shell runs a frame whenever the queue is empty and the
// window is not minimised, and blocks in WaitForEvents while it is.
#pragma once
#include <vector>

#include "platform/window/EventListener.h"

namespace tge::platform {

class Window;

class EventPump {
 public:
  explicit EventPump(Window& window) : window_(window) {}

  // A listener stays registered until removed; it must outlive that.
  void AddListener(EventListener& listener);
  void RemoveListener(EventListener& listener);

  // Handles every waiting event; returns how many there were.
  int PumpEvents();
  // Sleeps until an event arrives or `timeoutMs` passes (negative: no limit),
  // then handles everything waiting. Returns how many events were handled.
  int WaitForEvents(int timeoutMs = -1);

  // A quit event arrived or the window was asked to close.
  bool QuitRequested() const;
  // The engine's quit callback: queues a quit event, which also wakes a
  // pump blocked in WaitForEvents.
  static void PostQuit();

 private:
  void Dispatch(const SDL_Event& event);

  Window& window_;
  std::vector<EventListener*> listeners_;
  bool quit_ = false;
};

}  // namespace tge::platform
