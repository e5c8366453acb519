#include "platform/gfx/NullDevice.h"

namespace tge::gfx {

NullDevice::NullDevice(const PresentParameters& parameters) : DeviceBase(parameters, DeviceCaps{}) {}

void NullDevice::ClearCounts() {
  counts_ = {};
  draws_ = 0;
}

Result NullDevice::OnCall(const DeviceCall& call) {
  ++counts_[std::size_t(call.type)];
  return Result::kOk;
}

Result NullDevice::DoDraw(const DrawRequest&) {
  ++draws_;
  return Result::kOk;
}

}  // namespace tge::gfx
