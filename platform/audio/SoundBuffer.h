// PCM sound data uploaded to OpenAL once. Any number of voices may play one
// buffer at the same time (a sound and its duplicates); each voice holds the
// buffer, so it lives as long as the last voice that plays it.
#pragma once
#include <cstdint>
#include <memory>

#include "platform/audio/PcmFormat.h"

namespace tge::audio {

class AudioContext;

class SoundBuffer {
 public:
  // Made by AudioDevice::CreateBuffer; `context` null (a disabled device)
  // makes a buffer that holds nothing.
  SoundBuffer(std::shared_ptr<AudioContext> context, unsigned buffer, const PcmFormat& format,
              std::uint32_t bytes);
  ~SoundBuffer();
  SoundBuffer(const SoundBuffer&) = delete;
  SoundBuffer& operator=(const SoundBuffer&) = delete;

  const PcmFormat& Format() const { return format_; }
  std::uint32_t Bytes() const { return bytes_; }
  double LengthSeconds() const;

  unsigned Id() const { return buffer_; }
  const std::shared_ptr<AudioContext>& Context() const { return context_; }

 private:
  std::shared_ptr<AudioContext> context_;
  unsigned buffer_;
  PcmFormat format_;
  std::uint32_t bytes_;
};

}  // namespace tge::audio
