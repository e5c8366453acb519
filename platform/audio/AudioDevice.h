// The audio device: OpenAL's default output, with the buffers, voices and
// listener made from it. A device that is not open (never opened, or no
// output to be had) is disabled: it still hands out buffers, voices and a
// listener, and every call on them does nothing, so the engine runs silent.
// Buffers and voices keep the OpenAL context alive, so they may outlive the
// device object. One open device per process: OpenAL's current context is
// process-wide.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "platform/audio/Listener.h"
#include "platform/audio/PcmFormat.h"
#include "platform/audio/SoundBuffer.h"
#include "platform/audio/StaticVoice.h"
#include "platform/audio/StreamVoice.h"

namespace tge::audio {

class AudioDevice {
 public:
  AudioDevice() = default;
  ~AudioDevice();
  AudioDevice(const AudioDevice&) = delete;
  AudioDevice& operator=(const AudioDevice&) = delete;

  // Opens the default output, mixing at `mixFrequency` Hz (0: the device's
  // choice). On failure the device stays disabled and Error() says why.
  bool Open(std::uint32_t mixFrequency = 0);
  void Close();
  bool IsOpen() const { return context_ != nullptr; }
  std::string DeviceName() const;
  const std::string& Error() const { return error_; }

  // Null with Error() set when the format is not playable, `pcm` is empty or
  // not whole frames, or OpenAL refuses the data.
  std::shared_ptr<SoundBuffer> CreateBuffer(const PcmFormat& format,
                                            std::span<const std::uint8_t> pcm);
  // Null with Error() set when `buffer` is null or no voice is to be had.
  std::unique_ptr<StaticVoice> CreateVoice(std::shared_ptr<const SoundBuffer> buffer,
                                           VoiceMode mode);
  std::unique_ptr<StreamVoice> CreateStreamVoice(const PcmFormat& format, VoiceMode mode,
                                                 std::size_t bufferCount = 2);

  Listener& GetListener() { return listener_; }
  // Applies the listener's and every positional voice's deferred settings at once.
  void CommitDeferredSettings();

 private:
  std::nullptr_t Fail(std::string message);
  template <typename VoiceType>
  std::unique_ptr<VoiceType> Checked(std::unique_ptr<VoiceType> voice);

  std::shared_ptr<AudioContext> context_;
  Listener listener_{nullptr};
  std::string error_;
};

}  // namespace tge::audio
