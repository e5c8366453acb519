#include "platform/audio/CaptureDevice.h"

#include <AL/alc.h>

#include <algorithm>

#include "platform/audio/OpenAlFormat.h"

namespace tge::audio {

CaptureDevice::~CaptureDevice() { Close(); }

bool CaptureDevice::Open(const PcmFormat& format, std::uint32_t bufferFrames) {
  Close();
  error_.clear();
  if (!format.IsPlayable() || bufferFrames == 0 || bufferFrames > INT32_MAX) {
    error_ = "Capture: format must be 8- or 16-bit mono or stereo PCM with a buffer";
    return false;
  }
  device_ = alcCaptureOpenDevice(nullptr, format.sampleRate, OpenAlFormat(format),
                                 static_cast<ALCsizei>(bufferFrames));
  if (!device_) {
    error_ = "Capture: no sound input device could be opened";
    return false;
  }
  format_ = format;
  return true;
}

void CaptureDevice::Close() {
  if (!device_) return;
  alcCaptureStop(device_);
  alcCaptureCloseDevice(device_);
  device_ = nullptr;
}

void CaptureDevice::Start() {
  if (device_) alcCaptureStart(device_);
}

void CaptureDevice::Stop() {
  if (device_) alcCaptureStop(device_);
}

std::uint32_t CaptureDevice::AvailableFrames() const {
  if (!device_) return 0;
  ALCint frames = 0;
  alcGetIntegerv(device_, ALC_CAPTURE_SAMPLES, 1, &frames);
  return static_cast<std::uint32_t>(std::max(frames, 0));
}

std::size_t CaptureDevice::Read(std::span<std::uint8_t> out) {
  if (!device_) return 0;
  const std::size_t frames =
      std::min<std::size_t>(AvailableFrames(), out.size() / format_.FrameBytes());
  if (frames > 0) alcCaptureSamples(device_, out.data(), static_cast<ALCsizei>(frames));
  return frames * format_.FrameBytes();
}

}  // namespace tge::audio
