// SDL's virtual game controller standing in for a pad. The headless window
// never has the focus, so background pad events are let through.
#pragma once
#include <SDL.h>

namespace tge::test {

class VirtualPad {
 public:
  VirtualPad() {
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    device_ = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                        SDL_CONTROLLER_BUTTON_MAX, 0);
  }
  ~VirtualPad() {
    if (device_ >= 0) SDL_JoystickDetachVirtual(device_);
  }
  VirtualPad(const VirtualPad&) = delete;
  VirtualPad& operator=(const VirtualPad&) = delete;

  // After the pump has seen the device arrive.
  bool Open() {
    stick_ = device_ < 0 ? nullptr : SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(device_));
    return stick_ != nullptr;
  }
  void Set(SDL_GameControllerButton button, bool down) { SDL_JoystickSetVirtualButton(stick_, button, down ? 1 : 0); }
  // The id its events carry.
  SDL_JoystickID Instance() const { return SDL_JoystickGetDeviceInstanceID(device_); }

 private:
  int device_ = -1;
  SDL_Joystick* stick_ = nullptr;
};

}  // namespace tge::test
