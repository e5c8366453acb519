// Fuzz target for the WAVE reader: any bytes must be refused or parsed and
// decoded, whole and piece by piece, without reading or writing out of bounds.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/audio/WaveFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> file(data, size);
  tge::audio::WaveFile wave;
  if (!wave.Parse(file)) return 0;
  if (wave.DecodedBytes() > (std::uint64_t{64} << 20)) return 0;
  const std::vector<std::uint8_t> whole = wave.DecodeAll(file);

  // Pieces of one to three blocks into an output that fits two of them.
  std::vector<std::uint8_t> out(2 * std::size_t{wave.DecodedBlockBytes()});
  std::span<const std::uint8_t> rest = file.subspan(wave.DataOffset(), wave.DataBytes());
  std::size_t produced = 0;
  while (!rest.empty()) {
    const std::size_t piece = std::min<std::size_t>(
        rest.size(), (1 + produced % 3) * std::size_t{wave.EncodedBlockBytes()});
    const auto result = wave.Decode(rest.first(piece), out, piece == rest.size());
    if (result.consumed == 0) __builtin_trap();
    produced += result.produced;
    rest = rest.subspan(result.consumed);
  }
  if (produced != whole.size()) __builtin_trap();
  return 0;
}
