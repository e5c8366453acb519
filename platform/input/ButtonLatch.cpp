#include "platform/input/ButtonLatch.h"

#include <algorithm>

namespace tge::platform {

void ButtonLatch::Change(std::size_t button, bool down) {
  if (button < read_.size() && down != read_[button]) pending_[button] = true;
}

bool ButtonLatch::Read(std::size_t button, bool now) {
  if (button >= read_.size()) return now;
  const bool seen = pending_[button] ? !read_[button] : now;
  read_[button] = seen;
  pending_[button] = false;
  return seen;
}

void ButtonLatch::Clear() { std::fill(pending_.begin(), pending_.end(), false); }

}  // namespace tge::platform
