// Reader of RIFF/WAVE sound files held in memory: 8- and 16-bit PCM and
// Microsoft ADPCM, mono or stereo. Parse() checks the chunk walk, every chunk
// size and the format record against the bytes present and refuses anything
// else with a message in Error(); Decode() turns pieces of the data chunk into
// 16-bit (or unchanged 8-bit) PCM one block at a time, so a long sound can be
// streamed from its file without being decoded whole.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/audio/PcmFormat.h"

namespace tge::audio {

enum class WaveEncoding : std::uint16_t { Pcm = 1, MsAdpcm = 2 };

class WaveFile {
 public:
  struct DecodeResult {
    std::size_t consumed = 0;  // encoded bytes used
    std::size_t produced = 0;  // PCM bytes written
  };

  // Reads the header. `bytes` is the file or its beginning up to at least the
  // data chunk's header; `fileSize` is the size of the whole file, against
  // which the data chunk is checked. Returns false with Error() set.
  bool Parse(std::span<const std::uint8_t> bytes, std::uint64_t fileSize);
  bool Parse(std::span<const std::uint8_t> file) { return Parse(file, file.size()); }
  const std::string& Error() const { return error_; }

  WaveEncoding Encoding() const { return encoding_; }
  const PcmFormat& Format() const { return format_; }  // the decoded format
  std::uint64_t DataOffset() const { return dataOffset_; }
  std::uint32_t DataBytes() const { return dataBytes_; }  // encoded
  // Units in which the data chunk is read and decoded.
  std::uint32_t EncodedBlockBytes() const { return encodedBlockBytes_; }
  std::uint32_t DecodedBlockBytes() const { return decodedBlockBytes_; }
  std::uint64_t DecodedBytes() const;
  double LengthSeconds() const;

  // Decodes whole blocks from `encoded` (a piece of the data chunk starting on
  // a block boundary) while they fit into `out`. A short block at the end of
  // `encoded` is taken only when `final` says it ends the data: ADPCM decodes
  // what it holds, a part PCM frame is dropped.
  DecodeResult Decode(std::span<const std::uint8_t> encoded, std::span<std::uint8_t> out,
                      bool final = false) const;

  // The whole data chunk decoded; `file` is the whole file given to Parse.
  std::vector<std::uint8_t> DecodeAll(std::span<const std::uint8_t> file) const;

 private:
  bool Fail(std::string message);
  bool ReadFormat(std::span<const std::uint8_t> chunk);
  std::size_t DecodedSizeOfBlock(std::size_t encodedBytes) const;

  std::string error_;
  WaveEncoding encoding_ = WaveEncoding::Pcm;
  PcmFormat format_;
  std::uint64_t dataOffset_ = 0;
  std::uint32_t dataBytes_ = 0;
  std::uint32_t encodedBlockBytes_ = 0;
  std::uint32_t decodedBlockBytes_ = 0;
};

}  // namespace tge::audio
