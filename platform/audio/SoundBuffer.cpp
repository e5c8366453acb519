#include "platform/audio/SoundBuffer.h"

#include <AL/al.h>

#include "platform/audio/AudioContext.h"

namespace tge::audio {

SoundBuffer::SoundBuffer(std::shared_ptr<AudioContext> context, unsigned buffer,
                         const PcmFormat& format, std::uint32_t bytes)
    : context_(std::move(context)), buffer_(buffer), format_(format), bytes_(bytes) {}

SoundBuffer::~SoundBuffer() {
  if (!buffer_) return;
  auto lock = context_->Lock();
  alDeleteBuffers(1, &buffer_);
}

double SoundBuffer::LengthSeconds() const {
  const std::uint32_t perSecond = format_.BytesPerSecond();
  return perSecond == 0 ? 0.0 : static_cast<double>(bytes_) / perSecond;
}

}  // namespace tge::audio
