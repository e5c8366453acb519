// The input service: turns the keyboard, the mouse and the game pads into one
// array of input values per player, polled once a frame, and answers action
// queries through each player's maps. It is the services object's input
// subsystem, and the event listener to register with the window's pump (the
// devices follow the events from the moment the window exists; values only
// change when the frame polls).
//
// Players: player 0 owns the keyboard and the mouse. Game pad slot p belongs
// to player p: a pad plugged in while the game runs is attached at the next
// poll (the player record is added when it does not exist yet) and carries
// device flag 8 while it stays.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/input/InputDevices.h"
#include "platform/window/EventListener.h"
#include "services/ServiceSubsystem.h"
#include "services/input/InputNameTable.h"
#include "services/input/InputState.h"

namespace tge {

class InputService : public ServiceSubsystem, public platform::EventListener {
 public:
  // Mouse motion in pixels times this is the MouseX and MouseY value.
  static constexpr float kMouseMotionScale = 0.05f;

  const char* GetName() const override { return "Input"; }
  // One player with keyboard and mouse and the default maps; the mouse
  // switches to relative motion (where it can: a headless driver cannot).
  bool Start(EngineServices& services) override;
  void Stop() override;
  bool IsRunning() const { return running_; }

  // The window's events, handed over by the pump.
  void OnEvent(const SDL_Event& event) override;

  // Reads every device into the players' values: 1 when polled, 0 when the
  // service is not running or the window lacks focus (values stay).
  int PollInput(float timeStep);

  // Neutral answers (0, null) before Start, for players that do not exist
  // and for action ids outside 0..511.
  float GetInputActionValue(int player, int action) const;
  int IsInputActionPressed(int player, int action) const;
  int IsInputActionReleased(int player, int action) const;
  // An input read past the action maps (0 for ids outside 0..511).
  int IsInputPressed(int player, int input) const;
  std::uint32_t GetInputDeviceFlags(int player) const;
  const char* GetInputName(int input) const;
  // The oldest character typed and not yet taken; 0 when none.
  int GetTypedCharacter();

  int GetPlayerCount() const { return static_cast<int>(players_.size()); }
  const InputState* GetPlayer(int player) const;
  platform::InputDevices& Devices() { return devices_; }

 private:
  void PollMouse(InputState& player);
  void PollKeyboard(InputState& player);
  void FollowPads();
  void PollPad(InputState& player);

  platform::InputDevices devices_;
  InputNameTable names_;
  std::vector<InputState> players_;
  bool running_ = false;
};

}  // namespace tge
