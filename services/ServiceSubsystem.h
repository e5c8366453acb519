// A platform subsystem the services object starts and stops: sound, the
// render device, input. Each lands in its own module and is handed to the
// services object before Initialize; a subsystem that is not there is not
// started and counts as disabled.
#pragma once

namespace tge {

class EngineServices;

// In the order Initialize starts them.
enum class ServiceSlot : int { kSound = 0, kRenderDevice = 1, kInput = 2 };
constexpr int kServiceSlotCount = 3;

class ServiceSubsystem {
 public:
  virtual ~ServiceSubsystem() = default;
  virtual const char* GetName() const = 0;
  // False on failure, with the reason put through FormatErrorMessage.
  virtual bool Start(EngineServices& services) = 0;
  virtual void Stop() = 0;
};

}  // namespace tge
