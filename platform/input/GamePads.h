// The game pads plugged in, through SDL's game-controller layer, which gives
// every known pad the same stick and button layout. Pads come and go with
// the device events the pump hands over (SDL also announces the pads present
// at start that way). Each pad keeps its slot while plugged in, so a player
// record can hold a slot number; a slot freed by unplugging is reused.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/input/ButtonLatch.h"
#include "platform/input/PadMapping.h"

union SDL_Event;
struct _SDL_GameController;

namespace tge::platform {

class GamePads {
 public:
  // Starts SDL's game-controller subsystem; without it there are no pads
  // and Available() is false.
  GamePads();
  ~GamePads();
  GamePads(const GamePads&) = delete;
  GamePads& operator=(const GamePads&) = delete;

  bool Available() const { return available_; }
  void HandleEvent(const SDL_Event& event);

  // Slots 0 .. SlotCount() - 1; some may be empty.
  int SlotCount() const { return static_cast<int>(slots_.size()); }
  bool IsConnected(int slot) const;
  int ConnectedCount() const;
  // The pad's current axes and buttons; none for an empty or unknown slot.
  std::optional<PadReading> Read(int slot) const;
  // The frame's read as input values, its buttons through the slot's latch
  // (see ButtonLatch): a press between two reads is down in one and up in
  // the next.
  std::optional<PadInputs> TakeInputs(int slot);
  std::string Name(int slot) const;

 private:
  struct ControllerCloser {
    void operator()(_SDL_GameController* controller) const;
  };
  using Controller = std::unique_ptr<_SDL_GameController, ControllerCloser>;

  void Open(int deviceIndex);
  void Close(int instanceId);
  int SlotOf(int instanceId) const;
  _SDL_GameController* At(int slot) const;

  bool available_ = false;
  std::vector<Controller> slots_;
  // One per slot: the button changes the pad's events made.
  std::vector<ButtonLatch> latches_;
};

}  // namespace tge::platform
