// Timer's time line on its World's scheduler: starting posts one delayed
// call per key, the repeating tick and the end call (all in group 2, so
// stopping cancels exactly these); the calls come back as the callback
// commands, which run the Timer's scripts.
#include "core/World.h"
#include "core/script/Timer.h"

namespace tge {
namespace {

constexpr int kTimerCallGroup = 2;
constexpr int kTimerKeyCallback = 10012;
constexpr int kTimerCallback = 10013;
constexpr int kTimerEndCallback = 10014;
constexpr int kOnTimer = 10025;
constexpr int kOnTimerEnd = 10026;

}  // namespace

void Timer::Begin(float elapsed) {
  World* world = GetWorld();
  if (world == nullptr) return;
  for (std::size_t i = 0; i < keys_.size(); ++i) {
    if (elapsed > 0 && keys_[i].time < elapsed) continue;
    std::uint32_t index = static_cast<std::uint32_t>(i);
    world->DelayCommand(*this, kTimerKeyCallback, &index, keys_[i].time, kTimerCallGroup, elapsed);
  }
  if ((timerFlags_ & kTimerEvent) != 0) world->RepeatCommand(*this, kTimerCallback, nullptr, eventTime_, 0, elapsed);
  world->DelayCommand(*this, kTimerEndCallback, nullptr, timerLength_, kTimerCallGroup, elapsed);
  startTime_ = world->GetCurrentTime() - static_cast<double>(elapsed);
  started_ = true;
  timerFlags_ |= kTimerRunning;
}

void Timer::Stop() {
  if (!IsRunning()) return;
  for (int id : {kTimerKeyCallback, kTimerCallback, kTimerEndCallback}) World::CancelCommands(*this, id, kTimerCallGroup);
  timerFlags_ &= ~kTimerRunning;
}

void Timer::SetTime(float time) {
  Stop();
  if (time < timerLength_) Begin(time);
}

float Timer::GetTimerTime() const {
  const World* world = GetWorld();
  return started_ && world != nullptr ? static_cast<float>(world->GetCurrentTime() - startTime_) : 0.0f;
}

int Timer::TimerStart(CommandArgs) {
  if (GetActive() && !IsRunning()) Begin(0);
  return 1;
}

int Timer::TimerStop(CommandArgs) {
  Stop();
  return 1;
}

int Timer::AddTimerTime(CommandArgs args) {
  SetTime(GetTimerTime() + args.Get<float>());
  return 1;
}

int Timer::SetTimerTime(CommandArgs args) {
  SetTime(args.Get<float>());
  return 1;
}

int Timer::GetTimerTimeCommand(CommandArgs args) {
  args.Set(GetTimerTime());
  return 1;
}

int Timer::GetTimerInverseTime(CommandArgs args) {
  args.Set(timerLength_ - GetTimerTime());
  return 1;
}

// A key's script is found by the key record's name, as stored scenes expect.
// The name is only read while the record is looked for, before anything
// runs, so it needs no copy.
int Timer::TimerKeyCallback(CommandArgs args) {
  if (const ObjectScript* record = KeyRecord(args.Get<std::int32_t>())) RunScript(record->name, nullptr);
  return 1;
}

int Timer::TimerCallback(CommandArgs) {
  FireEvent(kOnTimer, nullptr);
  return 1;
}

int Timer::TimerEndCallback(CommandArgs) {
  Stop();
  FireEvent(kOnTimerEnd, nullptr);
  return 1;
}

}  // namespace tge
