// Events pushed into SDL's queue as the devices would deliver them, for the
// window, input and frame-step suites.
#pragma once
#include <SDL.h>
#include <gtest/gtest.h>

namespace tge::platform {

inline void PushSdlEvent(SDL_Event event) { ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError(); }

inline void PushKey(SDL_Scancode scancode, bool down, bool repeat = false) {
  SDL_Event event{};
  event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  event.key.keysym.scancode = scancode;
  event.key.repeat = repeat ? 1 : 0;
  PushSdlEvent(event);
}

inline void PushButton(Uint8 button, bool down) {
  SDL_Event event{};
  event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  event.button.button = button;
  PushSdlEvent(event);
}

inline void PushWheel(int steps, Uint32 direction = SDL_MOUSEWHEEL_NORMAL) {
  SDL_Event event{};
  event.type = SDL_MOUSEWHEEL;
  event.wheel.y = steps;
  event.wheel.direction = direction;
  PushSdlEvent(event);
}

inline void PushMotion(int x, int y, int dx, int dy) {
  SDL_Event event{};
  event.type = SDL_MOUSEMOTION;
  event.motion.x = x;
  event.motion.y = y;
  event.motion.xrel = dx;
  event.motion.yrel = dy;
  PushSdlEvent(event);
}

inline SDL_Event WindowEvent(Uint32 windowId, Uint8 what) {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.windowID = windowId;
  event.window.event = what;
  return event;
}

inline void PushFocus(Uint32 windowId, bool gained) {
  PushSdlEvent(WindowEvent(windowId, gained ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST));
}

}  // namespace tge::platform
