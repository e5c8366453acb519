#include "services/input/InputService.h"

#include <utility>

#include "platform/input/PadMapping.h"
#include "platform/input/ScanCodeTable.h"

namespace tge {

bool InputService::Start(EngineServices&) {
  players_.assign(1, InputState{});
  players_[0].SetDeviceFlags(kInputDeviceKeyboardMouse);
  // Motion gathered before the game ran is not the player's.
  devices_.Mouse().TakeMotion();
  devices_.Mouse().TakeWheelSteps();
  platform::MouseState::SetRelativeMode(true);
  running_ = true;
  return true;
}

void InputService::Stop() {
  if (!running_) return;
  platform::MouseState::SetRelativeMode(false);
  players_.clear();
  running_ = false;
}

void InputService::OnEvent(const SDL_Event& event) { devices_.OnEvent(event); }

int InputService::PollInput(float) {
  if (!running_) return 0;
  if (!devices_.HasFocus()) {
    // Motion and wheel turns made over other windows are not this game's.
    devices_.Mouse().TakeMotion();
    devices_.Mouse().TakeWheelSteps();
    return 0;
  }
  PollMouse(players_[0]);
  PollKeyboard(players_[0]);
  FollowPads();
  for (InputState& player : players_) PollPad(player);
  return 1;
}

void InputService::PollMouse(InputState& player) {
  platform::MouseState& mouse = devices_.Mouse();
  const platform::MouseMotion motion = mouse.TakeMotion();
  player.Store(kInputMouseX, static_cast<float>(motion.dx) * kMouseMotionScale);
  player.Store(kInputMouseY, static_cast<float>(motion.dy) * kMouseMotionScale);
  player.SetCurrent(kInputMousePositionY, static_cast<float>(mouse.X()));
  player.SetCurrent(kInputMousePositionX, static_cast<float>(mouse.Y()));

  constexpr std::pair<int, platform::MouseButton> kButtons[] = {
      {kInputMouseLButton, platform::MouseButton::kLeft},
      {kInputMouseRButton, platform::MouseButton::kRight},
      {kInputMouseMButton, platform::MouseButton::kMiddle},
  };
  for (const auto& [input, button] : kButtons) player.Store(input, mouse.TakeDown(button) ? 1.0f : 0.0f);

  // Each polled frame with a turn reads as a press of its direction: the
  // previous values stay 0.
  const int steps = mouse.TakeWheelSteps();
  player.SetCurrent(kInputMouseWheelUp, steps > 0 ? 1.0f : 0.0f);
  player.SetCurrent(kInputMouseWheelDown, steps < 0 ? 1.0f : 0.0f);
}

void InputService::PollKeyboard(InputState& player) {
  platform::KeyboardState& keyboard = devices_.Keyboard();
  for (int code = 0; code < platform::kKeyCodeCount; ++code)
    player.Store(kInputFirstKey + code, keyboard.TakeDown(code) ? 1.0f : 0.0f);
}

void InputService::FollowPads() {
  platform::GamePads& pads = devices_.Pads();
  for (int slot = 0; slot < pads.SlotCount(); ++slot) {
    if (!pads.IsConnected(slot)) continue;
    if (slot >= GetPlayerCount()) players_.resize(static_cast<std::size_t>(slot) + 1);
    InputState& player = players_[static_cast<std::size_t>(slot)];
    player.SetPadSlot(slot);
    player.SetDeviceFlags(player.GetDeviceFlags() | kInputDeviceGamePad);
  }
}

void InputService::PollPad(InputState& player) {
  if (player.GetPadSlot() < 0) return;
  const auto inputs = devices_.Pads().TakeInputs(player.GetPadSlot());
  if (!inputs) {
    // Unplugged: the pad's inputs drop to 0 without a release edge, so a
    // button held while the cable came out fires nothing.
    for (int input = 0; input < platform::kPadInputCount; ++input) player.Clear(input);
    player.SetPadSlot(-1);
    player.SetDeviceFlags(player.GetDeviceFlags() & ~kInputDeviceGamePad);
    return;
  }
  for (int input = 0; input < platform::kPadInputCount; ++input)
    player.Store(input, (*inputs)[static_cast<std::size_t>(input)]);
}

const InputState* InputService::GetPlayer(int player) const {
  if (!running_ || player < 0 || player >= GetPlayerCount()) return nullptr;
  return &players_[static_cast<std::size_t>(player)];
}

float InputService::GetInputActionValue(int player, int action) const {
  const InputState* state = GetPlayer(player);
  return state ? state->GetActionValue(action) : 0.0f;
}

int InputService::IsInputActionPressed(int player, int action) const {
  const InputState* state = GetPlayer(player);
  return state && state->IsActionPressed(action) ? 1 : 0;
}

int InputService::IsInputActionReleased(int player, int action) const {
  const InputState* state = GetPlayer(player);
  return state && state->IsActionReleased(action) ? 1 : 0;
}

int InputService::IsInputPressed(int player, int input) const {
  const InputState* state = GetPlayer(player);
  return state && state->IsInputPressed(input) ? 1 : 0;
}

std::uint32_t InputService::GetInputDeviceFlags(int player) const {
  const InputState* state = GetPlayer(player);
  return state ? state->GetDeviceFlags() : 0;
}

const char* InputService::GetInputName(int input) const { return running_ ? names_.GetName(input) : nullptr; }

int InputService::GetTypedCharacter() { return devices_.Typed().Take(); }

}  // namespace tge
