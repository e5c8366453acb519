// OpenAL's buffer format for a playable PCM format. Internal to the audio layer.
#pragma once
#include <AL/al.h>

#include "platform/audio/PcmFormat.h"

namespace tge::audio {

inline ALenum OpenAlFormat(const PcmFormat& format) {
  if (format.channels == 1) return format.bitsPerSample == 8 ? AL_FORMAT_MONO8 : AL_FORMAT_MONO16;
  return format.bitsPerSample == 8 ? AL_FORMAT_STEREO8 : AL_FORMAT_STEREO16;
}

}  // namespace tge::audio
