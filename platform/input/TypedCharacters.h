// Characters the player types, oldest first, as the engine's 8-bit
// characters: text from SDL's text events, plus Backspace (8), Tab (9),
// Return (13) and Escape (27) from key presses that are not repeats, as the
// engine's text widgets expect them. The queue is short and drops the oldest
// character when full, so nothing grows while no widget reads it.
#pragma once
#include <cstdint>
#include <deque>

union SDL_Event;

namespace tge::platform {

class TypedCharacters {
 public:
  static constexpr std::size_t kCapacity = 32;

  void HandleEvent(const SDL_Event& event);
  // The oldest waiting character, removed; 0 when none waits.
  std::uint8_t Take();
  void Clear() { waiting_.clear(); }

 private:
  void Add(std::uint8_t character);

  std::deque<std::uint8_t> waiting_;
};

}  // namespace tge::platform
