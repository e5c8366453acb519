#include "platform/audio/AdpcmDecoder.h"

#include <algorithm>
#include <array>
#include <limits>

namespace tge::audio {
namespace {

constexpr std::array<int, 16> kAdaptation = {230, 230, 230, 230, 307, 409, 512, 614,
                                             768, 614, 512, 409, 307, 230, 230, 230};

struct CoefficientPair {
  int first;
  int second;
};
constexpr std::array<CoefficientPair, 7> kCoefficients = {
    {{256, 0}, {512, -256}, {0, 0}, {192, 64}, {240, 0}, {460, -208}, {392, -232}}};

constexpr int kMinDelta = 16;
// Keeps the step size's growth (x3 per code at worst) inside 32-bit arithmetic
// on hostile data; real files never come near it.
constexpr int kMaxDelta = std::numeric_limits<int>::max() / 768;

struct ChannelState {
  CoefficientPair coefficients;
  int delta;
  int sample1;  // most recent
  int sample2;
};

std::int16_t ReadInt16(const std::uint8_t* p) {
  return static_cast<std::int16_t>(p[0] | (p[1] << 8));
}

std::int16_t Clamp16(long long value) {
  return static_cast<std::int16_t>(std::clamp<long long>(value, -32768, 32767));
}

std::int16_t DecodeNibble(ChannelState& state, unsigned nibble) {
  const int code = nibble >= 8 ? static_cast<int>(nibble) - 16 : static_cast<int>(nibble);
  const long long predicted =
      (static_cast<long long>(state.sample1) * state.coefficients.first +
       static_cast<long long>(state.sample2) * state.coefficients.second) / 256;
  const std::int16_t sample = Clamp16(predicted + static_cast<long long>(code) * state.delta);
  state.delta = std::clamp(kAdaptation[nibble] * state.delta / 256, kMinDelta, kMaxDelta);
  state.sample2 = state.sample1;
  state.sample1 = sample;
  return sample;
}

}  // namespace

std::uint32_t AdpcmDecoder::FramesInBlock(std::uint32_t blockBytes, std::uint16_t channels) {
  if (channels == 0 || blockBytes < kHeaderBytesPerChannel * channels) return 0;
  return 2 + (blockBytes - kHeaderBytesPerChannel * channels) * 2 / channels;
}

std::size_t AdpcmDecoder::DecodeBlock(std::span<const std::uint8_t> block,
                                      std::uint16_t channels, std::span<std::int16_t> out) {
  if (channels < 1 || channels > 2) return 0;
  const std::uint32_t frames = FramesInBlock(static_cast<std::uint32_t>(block.size()), channels);
  const std::size_t samples = std::size_t{frames} * channels;
  if (frames == 0 || out.size() < samples) return 0;

  std::array<ChannelState, 2> states{};
  const std::uint8_t* p = block.data();
  for (unsigned c = 0; c < channels; ++c) {
    const unsigned index = std::min<unsigned>(p[c], kCoefficients.size() - 1);
    states[c].coefficients = kCoefficients[index];
  }
  p += channels;
  for (unsigned c = 0; c < channels; ++c, p += 2) states[c].delta = ReadInt16(p);
  for (unsigned c = 0; c < channels; ++c, p += 2) states[c].sample1 = ReadInt16(p);
  for (unsigned c = 0; c < channels; ++c, p += 2) states[c].sample2 = ReadInt16(p);

  std::size_t written = 0;
  for (unsigned c = 0; c < channels; ++c) out[written++] = static_cast<std::int16_t>(states[c].sample2);
  for (unsigned c = 0; c < channels; ++c) out[written++] = static_cast<std::int16_t>(states[c].sample1);

  // Each code byte holds two codes; with two channels they alternate left,
  // right, so the channel of a code is its position modulo the channel count.
  const std::uint8_t* end = block.data() + block.size();
  for (unsigned code = 0; written < samples && p < end; ++p) {
    for (unsigned nibble : {static_cast<unsigned>(*p >> 4), static_cast<unsigned>(*p & 0x0F)}) {
      if (written == samples) break;
      out[written++] = DecodeNibble(states[code++ % channels], nibble);
    }
  }
  return written;
}

}  // namespace tge::audio
