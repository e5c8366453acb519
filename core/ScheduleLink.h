// A link between an object and one list of its World's scheduler, with the
// command call it carries. The owning object allocates and frees its links
// (Object::AddScheduleLink / RemoveScheduleLink); the World walks them. A
// list head is a sentinel link whose prev is null.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

namespace tge {

class Object;

// Bytes of a call's header (command id, elapsed, limit, from, to, argument
// pointer) in the payload sizes the scheduler counts.
inline constexpr std::int32_t kScheduledCallHeaderBytes = 24;

struct ScheduledCall {
  std::int32_t commandId = 0;
  float elapsed = 0;
  float limit = 0;
  float from = 0;
  float to = 0;
  std::vector<std::uint8_t> argumentBytes;

  void* Args() { return argumentBytes.empty() ? nullptr : argumentBytes.data(); }
};

struct ScheduleLink {
  std::int32_t group = 0;
  std::unique_ptr<ScheduledCall> payload;
  std::int32_t payloadSize = 0;
  Object* owner = nullptr;
  ScheduleLink* prev = nullptr;
  ScheduleLink* next = nullptr;

  void InsertAfter(ScheduleLink& at) {
    prev = &at;
    next = at.next;
    if (at.next != nullptr) at.next->prev = this;
    at.next = this;
  }

  void Unlink() {
    if (prev != nullptr) prev->next = next;
    if (next != nullptr) next->prev = prev;
    prev = next = nullptr;
  }
};

}  // namespace tge
