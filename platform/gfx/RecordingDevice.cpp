#include "platform/gfx/RecordingDevice.h"

#include <algorithm>

namespace tge::gfx {

RecordingDevice::RecordingDevice(const PresentParameters& parameters, const DeviceCaps& caps)
    : DeviceBase(parameters, caps) {}

PresentParameters RecordingDevice::DefaultParameters() {
  PresentParameters parameters;
  parameters.backBufferWidth = 640;
  parameters.backBufferHeight = 480;
  parameters.backBufferFormat = kFormatX8R8G8B8;
  parameters.depthStencilFormat = kFormatD24S8;
  return parameters;
}

std::size_t RecordingDevice::CountCalls(CallType type) const {
  return std::size_t(std::count_if(calls_.begin(), calls_.end(),
                                   [type](const DeviceCall& call) { return call.type == type; }));
}

std::size_t RecordingDevice::CountCalls(CallType type, std::uint32_t a) const {
  return std::size_t(std::count_if(calls_.begin(), calls_.end(), [type, a](const DeviceCall& call) {
    return call.type == type && call.a == a;
  }));
}

void RecordingDevice::FailCalls(CallType type, Result result) {
  forced_.at(std::size_t(type)) = result;
}

void RecordingDevice::LoseDevice() { cooperativeLevel_ = Result::kDeviceLost; }

void RecordingDevice::AllowReset() {
  if (cooperativeLevel_ == Result::kDeviceLost) cooperativeLevel_ = Result::kDeviceNotReset;
}

Result RecordingDevice::OnCall(const DeviceCall& call) {
  calls_.push_back(call);
  return forced_.at(std::size_t(call.type));
}

Result RecordingDevice::DoReset(const PresentParameters&) {
  if (cooperativeLevel_ == Result::kDeviceLost) return Result::kDeviceLost;
  cooperativeLevel_ = Result::kOk;
  return Result::kOk;
}

Result RecordingDevice::DoPresent() {
  if (cooperativeLevel_ != Result::kOk) return Result::kDeviceLost;
  ++presents_;
  return Result::kOk;
}

Result RecordingDevice::DoClear(std::uint32_t flags, std::uint32_t color, float) {
  if (flags & kClearTarget) lastClearColor_ = color;
  return Result::kOk;
}

Result RecordingDevice::DoDraw(const DrawRequest& request) {
  lastDraw_ = request;
  lastDraw_.userVertices = {};  // the caller's memory lives only for the call
  lastDraw_.layout = nullptr;    // so does the decoded format
  return Result::kOk;
}

}  // namespace tge::gfx
