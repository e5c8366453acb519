// The high-resolution counter the engine's clock reads: a monotonic 64-bit
// tick count and its frequency in ticks per second.
#pragma once
#include <cstdint>

namespace tge::platform {

std::int64_t ReadCounter();
std::int64_t CounterFrequency();

}  // namespace tge::platform
