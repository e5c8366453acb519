// Timer (class 40): a time line of named keys. Started, it posts on its
// World's scheduler one delayed call per key, an optional repeating tick and
// an end call; each runs a script of the Timer. Keys are edited by index:
// select one, then set its time or name.
//
// Every key owns one script record, named as the key. The records of the
// "OnTimer" and "OnTimerEnd" events come first while their flags are on, so
// key i's record sits at i + the number of those flags that are on.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/CommandTable.h"
#include "core/Object.h"

namespace tge {

struct TimerKey {
  float time = 0;  // seconds from the start
  std::int32_t reserved[2] = {0, 0};
};

class Timer : public Object {
 public:
  static const CommandEntry<Timer> kCommands[];

  Timer();
  int ExecuteCommand(std::uint32_t id, void* args) override;
  void CopyFrom(const Object& source) override;
  bool Serialize(SerializeStream& stream) override;

  const std::vector<TimerKey>& GetKeys() const { return keys_; }
  bool IsRunning() const;
  // Seconds since the time line began; 0 when it never began.
  float GetTimerTime() const;

  int SetTimerLength(CommandArgs args);
  int GetTimerLength(CommandArgs args);
  int AddTimerKey(CommandArgs args);
  int SetTimerKeyList(CommandArgs args);
  int GetTimerKeyList(CommandArgs args);
  int DeleteTimerKey(CommandArgs args);
  int SetTimerKeyTime(CommandArgs args);
  int GetTimerKeyTime(CommandArgs args);
  int SetTimerKeyName(CommandArgs args);
  int GetTimerKeyName(CommandArgs args);
  int TimerStart(CommandArgs args);
  int TimerStop(CommandArgs args);
  int TimerKeyCallback(CommandArgs args);
  int TimerCallback(CommandArgs args);
  int TimerEndCallback(CommandArgs args);
  int SetTimerEvent(CommandArgs args);
  int GetTimerEvent(CommandArgs args);
  int SetTimerEndEvent(CommandArgs args);
  int GetTimerEndEvent(CommandArgs args);
  int SetTimerEventTime(CommandArgs args);
  int GetTimerEventTime(CommandArgs args);
  int AddTimerTime(CommandArgs args);
  int SetTimerTime(CommandArgs args);
  int GetTimerTimeCommand(CommandArgs args);
  int GetTimerInverseTime(CommandArgs args);

 private:
  static constexpr std::uint32_t kTimerEvent = 0x1;
  static constexpr std::uint32_t kTimerEndEvent = 0x2;
  static constexpr std::uint32_t kTimerRunning = 0x8;

  // Starts the time line as if elapsed seconds had passed: keys before that
  // are left out.
  void Begin(float elapsed);
  void Stop();
  void SetTime(float time);
  // Turns an event flag on or off, adding or removing its record only when
  // the flag changes.
  void SetEventFlag(std::uint32_t flag, const char* eventName, bool on);
  int RecordsBeforeKeys() const;
  // Key i's script record; null for an index with no key or no record.
  ObjectScript* KeyRecord(int index) const;
  TimerKey* SelectedKey();

  std::vector<TimerKey> keys_;
  float timerLength_ = 0;
  std::int32_t selectedKey_ = -1;
  float eventTime_ = 0;
  std::uint32_t timerFlags_ = 0;
  // The World time at which the running time line began; valid once started.
  double startTime_ = 0;
  bool started_ = false;
};

// Adds Timer's commands to the registry and Timer to the object factory.
void RegisterTimerCommands();

}  // namespace tge
