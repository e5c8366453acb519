// Environment (class 80): the distance fog of the frame. While it is drawn
// and its Action runs it hands its fog range and colour to the view; the
// Action value pushes the fog outwards, so Action start and stop fade the
// fog in and out. Of two Environments drawn in one frame the last decides.
#pragma once
#include <cstdint>
#include <span>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/math/Color.h"

namespace tge {

inline constexpr std::uint32_t kEnvironmentFogEnable = 0x1;

class Environment : public Object {
 public:
  static std::span<const CommandEntry<Environment>> Commands();
  static const CommandEntry<Environment> kCommands[];

  Environment();
  // Switches the fog off.
  ~Environment() override;

  int ExecuteCommand(std::uint32_t id, void* args) override;
  bool Serialize(SerializeStream& stream) override;
  void Draw() override;

  bool IsFogEnabled() const { return (flags_ & kEnvironmentFogEnable) != 0; }

 private:
  template <auto Field>
  int SetFogFieldCommand(CommandArgs args);
  int SetFogEnableCommand(CommandArgs args);
  int GetFogEnableCommand(CommandArgs args);
  // Nothing while the fog is not enabled; off while the Action has not started.
  void ApplyFog();

  Color ambientColour_{0, 0, 0, 0};
  // Stored and saved; the fog is always linear.
  std::uint32_t fogType_ = 0;
  Color fogColour_{1, 1, 1, 1};
  float fogNear_ = 1.0f;
  float fogFar_ = 20.0f;
  std::uint32_t flags_ = 0;
};

void RegisterEnvironmentCommands();

}  // namespace tge
