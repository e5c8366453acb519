// Waits for what another thread brings about: a decoder's picture, a mixer
// playing a queue out, a stream thread's refill, a detached process's file.
// The deadline is one only a hang reaches, never a slow or busy machine, so
// a test asserts on what happened and never on how long it took.
#pragma once
#include <chrono>
#include <thread>

namespace tge::test {

inline constexpr std::chrono::seconds kHangDeadline{60};

// True once `condition` holds; false when the deadline passed first.
template <typename Condition>
bool WaitFor(Condition condition) {
  const auto deadline = std::chrono::steady_clock::now() + kHangDeadline;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

}  // namespace tge::test
