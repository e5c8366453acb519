#include "services/Clock.h"

#include <cstdint>

#include "platform/Clock.h"

namespace tge {
namespace {

struct ClockState {
  bool started = false;
  std::int64_t frequency = 1;
  std::int64_t startReading = 0;
  std::int64_t currentReading = 0;
};

ClockState& State() {
  static ClockState state;
  return state;
}

}  // namespace

void StartClock() {
  ClockState& s = State();
  s.frequency = platform::CounterFrequency();
  s.started = true;
  ReadClock();
  s.startReading = s.currentReading;
}

void ReadClock() {
  ClockState& s = State();
  if (!s.started) {
    StartClock();
    return;
  }
  s.currentReading = platform::ReadCounter();
}

double GetElapsedSeconds() {
  ReadClock();
  const ClockState& s = State();
  return static_cast<double>(s.currentReading - s.startReading) /
         static_cast<double>(s.frequency);
}

}  // namespace tge
