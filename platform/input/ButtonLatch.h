// Buttons whose events come faster than the frames that read them. A read
// sees the first change the events made since the read before it, so a
// press and release between two reads shows as down in one read and up in
// the next; with no change pending it sees the state the device holds now.
#pragma once
#include <cstddef>
#include <vector>

namespace tge::platform {

class ButtonLatch {
 public:
  explicit ButtonLatch(std::size_t count) : read_(count, false), pending_(count, false) {}

  // A button event; indices out of range are ignored.
  void Change(std::size_t button, bool down);
  // The frame's read of the button, given its state now.
  bool Read(std::size_t button, bool now);
  // Forgets the changes not yet read.
  void Clear();

 private:
  std::vector<bool> read_;
  std::vector<bool> pending_;
};

}  // namespace tge::platform
