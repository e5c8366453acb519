// The root of every scriptable object: all that scripts, object files, the
// scheduler and other types do to an object arrives through ExecuteCommand
// as a command id and a packed argument block (see CommandArgs.h).
#pragma once
#include <cstdint>

namespace tge {

class CommandTarget {
 public:
  virtual ~CommandTarget() = default;
  // 1 for every id the target accepts (also when it does nothing), 0 when the
  // command fails.
  virtual int ExecuteCommand(std::uint32_t id, void* args) = 0;
};

}  // namespace tge
