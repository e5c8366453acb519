// Microsoft ADPCM block decoding: each block holds, per channel, a predictor
// index, a step size and two history samples, then 4-bit codes (high nibble
// first, channels interleaved). Blocks decode on their own, which is what lets
// a stream decode its file piece by piece. The coefficient table a file may
// carry is not used: the seven standard pairs are.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>

namespace tge::audio {

class AdpcmDecoder {
 public:
  static constexpr std::uint32_t kHeaderBytesPerChannel = 7;

  // Frames (samples per channel) that a block of `blockBytes` bytes decodes to;
  // 0 when the block is too short to hold its header.
  static std::uint32_t FramesInBlock(std::uint32_t blockBytes, std::uint16_t channels);

  // Decodes one block (possibly a short final one) into 16-bit samples,
  // interleaved by channel. `out` must hold FramesInBlock x channels samples.
  // Returns the number of samples written.
  static std::size_t DecodeBlock(std::span<const std::uint8_t> block, std::uint16_t channels,
                                 std::span<std::int16_t> out);
};

}  // namespace tge::audio
