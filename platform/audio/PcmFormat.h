// The layout of linear PCM sample data as the audio layer plays it: what the
// WAVE reader produces and what sound buffers and streaming voices take.
#pragma once
#include <cstdint>

namespace tge::audio {

struct PcmFormat {
  std::uint16_t channels = 0;       // 1 or 2
  std::uint32_t sampleRate = 0;     // frames per second
  std::uint16_t bitsPerSample = 0;  // 8 (unsigned) or 16 (signed, little-endian)

  std::uint32_t FrameBytes() const { return channels * (bitsPerSample / 8u); }
  std::uint32_t BytesPerSecond() const { return FrameBytes() * sampleRate; }
  bool IsPlayable() const {
    return (channels == 1 || channels == 2) && sampleRate > 0 &&
           (bitsPerSample == 8 || bitsPerSample == 16);
  }
  bool operator==(const PcmFormat&) const = default;
};

}  // namespace tge::audio
