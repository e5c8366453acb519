#include "platform/input/GamePads.h"

#include <SDL.h>

#include <algorithm>

namespace tge::platform {
namespace {

static_assert(static_cast<int>(PadAxis::kCount) == SDL_CONTROLLER_AXIS_MAX);
static_assert(static_cast<int>(PadAxis::kTriggerRight) ==
              SDL_CONTROLLER_AXIS_TRIGGERRIGHT);
static_assert(static_cast<int>(PadButton::kCount) == SDL_CONTROLLER_BUTTON_MAX);
static_assert(static_cast<int>(PadButton::kDpadRight) ==
              SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
static_assert(static_cast<int>(PadButton::kTouchpad) ==
              SDL_CONTROLLER_BUTTON_TOUCHPAD);

SDL_JoystickID InstanceOf(SDL_GameController* controller) {
  return SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
}

}  // namespace

void GamePads::ControllerCloser::operator()(
    SDL_GameController* controller) const {
  SDL_GameControllerClose(controller);
}

GamePads::GamePads()
    : available_(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0) {}

GamePads::~GamePads() {
  slots_.clear();
  if (available_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

void GamePads::HandleEvent(const SDL_Event& event) {
  if (!available_) return;
  if (event.type == SDL_CONTROLLERDEVICEADDED) {
    Open(event.cdevice.which);
  } else if (event.type == SDL_CONTROLLERDEVICEREMOVED) {
    Close(event.cdevice.which);
  } else if (event.type == SDL_CONTROLLERBUTTONDOWN || event.type == SDL_CONTROLLERBUTTONUP) {
    const int slot = SlotOf(event.cbutton.which);
    if (slot >= 0)
      latches_[static_cast<std::size_t>(slot)].Change(event.cbutton.button,
                                                      event.type == SDL_CONTROLLERBUTTONDOWN);
  }
}

void GamePads::Open(int deviceIndex) {
  if (deviceIndex < 0 || deviceIndex >= SDL_NumJoysticks() ||
      !SDL_IsGameController(deviceIndex))
    return;
  const SDL_JoystickID instance = SDL_JoystickGetDeviceInstanceID(deviceIndex);
  if (SlotOf(instance) >= 0) return;
  Controller controller(SDL_GameControllerOpen(deviceIndex));
  if (!controller) return;
  const auto freeSlot = std::find(slots_.begin(), slots_.end(), nullptr);
  const ButtonLatch fresh(static_cast<std::size_t>(PadButton::kCount));
  if (freeSlot != slots_.end()) {
    latches_[static_cast<std::size_t>(freeSlot - slots_.begin())] = fresh;
    *freeSlot = std::move(controller);
  } else {
    slots_.push_back(std::move(controller));
    latches_.push_back(fresh);
  }
}

void GamePads::Close(int instanceId) {
  for (Controller& controller : slots_) {
    if (controller && InstanceOf(controller.get()) == instanceId)
      controller.reset();
  }
}

int GamePads::SlotOf(int instanceId) const {
  for (int slot = 0; slot < SlotCount(); ++slot) {
    if (At(slot) != nullptr && InstanceOf(At(slot)) == instanceId) return slot;
  }
  return -1;
}

SDL_GameController* GamePads::At(int slot) const {
  if (slot < 0 || slot >= SlotCount()) return nullptr;
  return slots_[static_cast<std::size_t>(slot)].get();
}

bool GamePads::IsConnected(int slot) const { return At(slot) != nullptr; }

int GamePads::ConnectedCount() const {
  return static_cast<int>(
      std::count_if(slots_.begin(), slots_.end(),
                    [](const Controller& c) { return c != nullptr; }));
}

std::optional<PadReading> GamePads::Read(int slot) const {
  SDL_GameController* controller = At(slot);
  if (controller == nullptr) return std::nullopt;
  PadReading reading;
  for (std::size_t a = 0; a < reading.axes.size(); ++a)
    reading.axes[a] = SDL_GameControllerGetAxis(
        controller, static_cast<SDL_GameControllerAxis>(a));
  for (std::size_t b = 0; b < reading.buttons.size(); ++b)
    reading.buttons[b] =
        SDL_GameControllerGetButton(
            controller, static_cast<SDL_GameControllerButton>(b)) != 0;
  return reading;
}

std::optional<PadInputs> GamePads::TakeInputs(int slot) {
  std::optional<PadReading> reading = Read(slot);
  if (!reading) return std::nullopt;
  ButtonLatch& latch = latches_[static_cast<std::size_t>(slot)];
  for (std::size_t b = 0; b < reading->buttons.size(); ++b)
    reading->buttons[b] = latch.Read(b, reading->buttons[b]);
  return MapPadReading(*reading);
}

std::string GamePads::Name(int slot) const {
  SDL_GameController* controller = At(slot);
  const char* name = controller ? SDL_GameControllerName(controller) : nullptr;
  return name ? name : "";
}

}  // namespace tge::platform
