// Sound capture from the default input device, as PCM of a chosen format
// into a ring of a chosen length that Read() drains. Without an input device
// Open() fails with a message and the other calls do nothing.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "platform/audio/PcmFormat.h"

using ALCdevice = struct ALCdevice_struct;

namespace tge::audio {

class CaptureDevice {
 public:
  CaptureDevice() = default;
  ~CaptureDevice();
  CaptureDevice(const CaptureDevice&) = delete;
  CaptureDevice& operator=(const CaptureDevice&) = delete;

  bool Open(const PcmFormat& format, std::uint32_t bufferFrames);
  void Close();
  bool IsOpen() const { return device_ != nullptr; }
  const PcmFormat& Format() const { return format_; }
  const std::string& Error() const { return error_; }

  void Start();
  void Stop();
  std::uint32_t AvailableFrames() const;
  // Reads as many whole frames as are captured and fit; returns the bytes written.
  std::size_t Read(std::span<std::uint8_t> out);

 private:
  ALCdevice* device_ = nullptr;
  PcmFormat format_;
  std::string error_;
};

}  // namespace tge::audio
