// ViewTrigger (class 25): raises "OnViewTriggerEnter" when its position
// comes into the camera's view cone and "OnViewTriggerExit" when it leaves.
// It needs no physics: the test runs in Draw, so only while the draw walk
// reaches it, at most once every 0.2 s.
#pragma once
#include <cstdint>
#include <span>

#include "core/CommandTable.h"
#include "core/Object.h"

namespace tge {

class ViewTrigger : public Object {
 public:
  static constexpr std::uint32_t kEnable = 1;
  static constexpr std::uint32_t kEnableCone = 2;
  static constexpr int kEventEnter = 6262;
  static constexpr int kEventExit = 6263;

  static std::span<const CommandEntry<ViewTrigger>> Commands();
  static const CommandEntry<ViewTrigger> kCommands[];

  ViewTrigger();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  bool Serialize(SerializeStream& stream) override;
  void Draw() override;

  bool IsInView() const { return inView_ != 0; }

 private:

  // Off, with the exit raised when it was in view.
  void SwitchOff();
  bool SeenByCamera();

  float radius_ = 0;
  float coneAngle_ = 0;
  float coneMinRange_ = 0;
  float coneMaxRange_ = 0;
  std::int32_t inView_ = 0;
  float viewTimer_ = 0;
  float viewInterval_ = 0.2f;
  std::uint32_t viewFlags_ = kEnable | kEnableCone;
};

void RegisterViewTriggerCommands();

}  // namespace tge
