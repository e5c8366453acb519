// A device that draws nothing: it keeps states, buffers and textures in
// memory so that locks and read-backs work, records every call in order,
// and can be told to refuse calls or to lose the device. Tests of state
// caches, render queues, materials and the reset path run on it.
#pragma once
#include <array>
#include <vector>

#include "platform/gfx/DeviceBase.h"

namespace tge::gfx {

class RecordingDevice : public DeviceBase {
 public:
  explicit RecordingDevice(const PresentParameters& parameters = DefaultParameters(),
                           const DeviceCaps& caps = DeviceCaps{});

  static PresentParameters DefaultParameters();

  const std::vector<DeviceCall>& Calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }
  std::size_t CountCalls(CallType type) const;
  // Calls of the type whose first argument (a state id, a stage) is a.
  std::size_t CountCalls(CallType type, std::uint32_t a) const;

  // Every call of the type returns the result (kOk lets it through again).
  void FailCalls(CallType type, Result result = Result::kFailed);
  // Loses the device: TestCooperativeLevel reports kDeviceLost, then after
  // AllowReset kDeviceNotReset until a Reset succeeds.
  void LoseDevice();
  void AllowReset();
  void ChangeCaps(const DeviceCaps& caps) { SetCaps(caps); }

  std::uint32_t Presents() const { return presents_; }
  std::uint32_t LastClearColor() const { return lastClearColor_; }
  // The request of the last draw that passed its checks.
  const DrawRequest& LastDraw() const { return lastDraw_; }

 protected:
  Result OnCall(const DeviceCall& call) override;
  Result DoTestCooperativeLevel() override { return cooperativeLevel_; }
  Result DoReset(const PresentParameters& parameters) override;
  Result DoPresent() override;
  Result DoClear(std::uint32_t flags, std::uint32_t color, float z) override;
  Result DoDraw(const DrawRequest& request) override;

 private:
  std::vector<DeviceCall> calls_;
  std::array<Result, std::size_t(CallType::kCount)> forced_{};
  Result cooperativeLevel_ = Result::kOk;
  std::uint32_t presents_ = 0;
  std::uint32_t lastClearColor_ = 0;
  DrawRequest lastDraw_;
};

}  // namespace tge::gfx
