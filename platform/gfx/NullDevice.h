// A device that draws nothing and keeps no record of what it was asked: it
// counts calls by type and holds the states, buffers and textures the
// engine expects to read back. For benchmarks, and for running the engine
// without drawing.
#pragma once
#include <array>
#include <cstdint>

#include "platform/gfx/DeviceBase.h"

namespace tge::gfx {

class NullDevice : public DeviceBase {
 public:
  explicit NullDevice(const PresentParameters& parameters);

  std::uint64_t CountCalls(CallType type) const { return counts_[std::size_t(type)]; }
  // Draws that passed their checks.
  std::uint64_t Draws() const { return draws_; }
  void ClearCounts();

 protected:
  Result OnCall(const DeviceCall& call) override;
  Result DoReset(const PresentParameters&) override { return Result::kOk; }
  Result DoPresent() override { return Result::kOk; }
  Result DoClear(std::uint32_t, std::uint32_t, float) override { return Result::kOk; }
  Result DoDraw(const DrawRequest&) override;

 private:
  std::array<std::uint64_t, std::size_t(CallType::kCount)> counts_{};
  std::uint64_t draws_ = 0;
};

}  // namespace tge::gfx
