// The deferred command calls of one World: calls that run every frame, once
// after a delay, repeatedly with a period, interpolated over a duration, and
// the per-frame update of registered objects. Each kind has its own list of
// ScheduleLinks; the owner of a link is the object the call is made on, and
// it holds the link's memory (Object::AddScheduleLink).
//
// Walking a list is safe against anything a fired call does: new calls go to
// the front of their list (and wait for the next tick), cancelled calls are
// only marked dead (the walk hands them back when it meets them), and
// deletions requested meanwhile are held by the object services until the
// walk is over. A call's last run hands its link back first, so the calls it
// posts (a Timer restarting from its end call) reuse that link.
#pragma once
#include <cstdint>

#include "core/ScheduleLink.h"

namespace tge {

class Object;

// Group bits of scheduler links.
inline constexpr std::int32_t kScheduleGeneral = 2;
inline constexpr std::int32_t kScheduleAction = 4;
inline constexpr std::int32_t kScheduleUpdate = 16;

class CommandScheduler {
 public:
  explicit CommandScheduler(Object& owner);
  // Detaches every link still in the lists; their owners free them.
  ~CommandScheduler();
  CommandScheduler(const CommandScheduler&) = delete;
  CommandScheduler& operator=(const CommandScheduler&) = delete;

  void Delay(Object& target, int commandId, void* args, float delay, int group, float initialElapsed);
  // A period of at most 0.001 s runs the call every frame.
  void Repeat(Object& target, int commandId, void* args, float period, float initialElapsed);
  // Runs the command every tick with the first float of its block (or a lone
  // float without one) going from `from` to `to`; the last call carries
  // exactly `to`, and a duration of zero or less makes the first call final.
  void Interpolate(Object& target, int commandId, void* args, float duration, float from, float to, int group,
                   float initialElapsed);
  // Cancels the target's calls in any group of groupMask, of one command id
  // or of all (-1); update registrations are left alone.
  static void Cancel(Object& target, int commandId, int groupMask);
  // Appends once, so updates run in registration order.
  void AddUpdate(Object& object);
  static void RemoveUpdate(Object& object);

  // Fires what is due after frameTime seconds, list after list.
  void Run(float frameTime);

 private:
  ScheduledCall& Post(ScheduleLink& list, Object& target, int commandId, void* args, int group);
  // What a fired call leaves of its link.
  enum class Fired { kKept, kHandedBack };

  template <class Fire>
  void Walk(ScheduleLink& list, Fire fire);
  // Hands a call's link back to its owner before its last run; a copy of
  // the call in lastCall_ is run.
  ScheduledCall& TakeLastCall(ScheduleLink& link);
  Fired FireDelay(ScheduleLink& link, float frameTime);
  Fired FireInterpolation(ScheduleLink& link, float frameTime);

  ScheduleLink everyFrame_;
  ScheduleLink delay_;
  ScheduleLink interpolation_;
  ScheduleLink repeat_;
  ScheduleLink update_;
  // The call of a last run. One is enough: a World's tick does not nest.
  ScheduledCall lastCall_;
};

}  // namespace tge
