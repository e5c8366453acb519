// Waits until a looping static voice has come round to its start: its play
// position went back. False only when the voice hangs.
#pragma once
#include <cstdint>

#include "platform/audio/StaticVoice.h"
#include "tests/support/WaitFor.h"

namespace tge::test {

inline bool WaitForWrapAround(const audio::StaticVoice& voice) {
  std::uint32_t furthest = 0;
  return WaitFor([&] {
    const std::uint32_t position = voice.PlayPosition();
    if (position < furthest) return true;
    furthest = position;
    return false;
  });
}

}  // namespace tge::test
