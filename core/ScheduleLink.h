// A link between an object and one list of its World's scheduler, with the
// command call it carries. The owning object holds its links
// (Object::AddScheduleLink / RemoveScheduleLink) and keeps the ones it is
// done with, memory and all, for its next calls; the World walks them. A
// list head is a sentinel link whose prev is null.
//
// A cancelled link is only marked dead: the World hands it back when its
// walk next meets it, so no walk ever holds a link taken away under it.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
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
  // A String command's block is a text-string object: the call keeps a copy
  // of the text rather than the bytes of the caller's string.
  std::string text;
  bool hasText = false;

  void* Args() {
    if (hasText) return &text;
    return argumentBytes.empty() ? nullptr : argumentBytes.data();
  }

  // A new call with argumentSize zero bytes, in the memory of the last one.
  void Reset(std::size_t argumentSize) {
    commandId = 0;
    elapsed = limit = from = to = 0;
    argumentBytes.assign(argumentSize, 0);
    text.clear();
    hasText = false;
  }
};

struct ScheduleLink {
  std::int32_t group = 0;
  std::unique_ptr<ScheduledCall> payload;
  std::int32_t payloadSize = 0;
  Object* owner = nullptr;
  ScheduleLink* prev = nullptr;
  ScheduleLink* next = nullptr;
  bool dead = false;

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
