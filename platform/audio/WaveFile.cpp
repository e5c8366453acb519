#include "platform/audio/WaveFile.h"

#include <algorithm>
#include <cstring>

#include "platform/audio/AdpcmDecoder.h"

namespace tge::audio {
namespace {

constexpr std::size_t kChunkHeaderBytes = 8;
constexpr std::size_t kRiffHeaderBytes = 12;
constexpr std::size_t kMinFormatBytes = 16;

std::uint16_t ReadU16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t ReadU32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

bool TagIs(const std::uint8_t* p, const char (&tag)[5]) { return std::memcmp(p, tag, 4) == 0; }

}  // namespace

bool WaveFile::Fail(std::string message) {
  error_ = "WAVE: " + std::move(message);
  return false;
}

bool WaveFile::Parse(std::span<const std::uint8_t> bytes, std::uint64_t fileSize) {
  *this = WaveFile{};
  if (fileSize < bytes.size()) return Fail("file size is smaller than the bytes given");
  if (bytes.size() < kRiffHeaderBytes) return Fail("file too short for a RIFF header");
  if (!TagIs(bytes.data(), "RIFF") || !TagIs(bytes.data() + 8, "WAVE"))
    return Fail("not a RIFF/WAVE file");

  bool haveFormat = false;
  std::size_t pos = kRiffHeaderBytes;
  while (pos + kChunkHeaderBytes <= bytes.size()) {
    const std::uint8_t* header = bytes.data() + pos;
    const std::uint32_t size = ReadU32(header + 4);
    pos += kChunkHeaderBytes;
    if (TagIs(header, "data")) {
      if (!haveFormat) return Fail("data chunk before the format chunk");
      if (size > fileSize - pos) return Fail("data chunk runs past the end of the file");
      dataOffset_ = pos;
      dataBytes_ = size;
      if (DecodedBytes() == 0) return Fail("data chunk holds no whole sample");
      return true;
    }
    if (size > fileSize - pos) return Fail("chunk runs past the end of the file");
    if (TagIs(header, "fmt ")) {
      if (size > bytes.size() - pos) return Fail("format chunk lies beyond the bytes read");
      if (!ReadFormat(bytes.subspan(pos, size))) return false;
      haveFormat = true;
    }
    // Chunks are padded to an even size; a missing pad at the very end is harmless.
    pos += std::size_t{size} + (size & 1u);
  }
  return Fail(fileSize > bytes.size() ? "no data chunk in the bytes read"
                                      : "no data chunk in the file");
}

bool WaveFile::ReadFormat(std::span<const std::uint8_t> chunk) {
  if (chunk.size() < kMinFormatBytes) return Fail("format chunk too short");
  const std::uint8_t* p = chunk.data();
  const std::uint16_t tag = ReadU16(p);
  const std::uint16_t channels = ReadU16(p + 2);
  const std::uint32_t rate = ReadU32(p + 4);
  const std::uint16_t blockAlign = ReadU16(p + 12);
  const std::uint16_t bits = ReadU16(p + 14);
  if (channels != 1 && channels != 2) return Fail("only mono and stereo are supported");
  if (rate == 0) return Fail("sample rate is 0");

  if (tag == static_cast<std::uint16_t>(WaveEncoding::Pcm)) {
    if (bits != 8 && bits != 16) return Fail("PCM must have 8 or 16 bits per sample");
    if (blockAlign != channels * bits / 8) return Fail("PCM block size does not match its format");
    encoding_ = WaveEncoding::Pcm;
    format_ = {channels, rate, bits};
    encodedBlockBytes_ = decodedBlockBytes_ = blockAlign;
    return true;
  }
  if (tag == static_cast<std::uint16_t>(WaveEncoding::MsAdpcm)) {
    if (bits != 4) return Fail("ADPCM must have 4 bits per sample");
    if (blockAlign <= AdpcmDecoder::kHeaderBytesPerChannel * channels)
      return Fail("ADPCM block too small for its header");
    encoding_ = WaveEncoding::MsAdpcm;
    format_ = {channels, rate, 16};
    encodedBlockBytes_ = blockAlign;
    decodedBlockBytes_ = AdpcmDecoder::FramesInBlock(blockAlign, channels) * format_.FrameBytes();
    return true;
  }
  return Fail("format " + std::to_string(tag) + " is neither PCM nor Microsoft ADPCM");
}

std::size_t WaveFile::DecodedSizeOfBlock(std::size_t encodedBytes) const {
  if (encoding_ == WaveEncoding::Pcm) return encodedBytes - encodedBytes % encodedBlockBytes_;
  return std::size_t{AdpcmDecoder::FramesInBlock(static_cast<std::uint32_t>(encodedBytes),
                                                 format_.channels)} *
         format_.FrameBytes();
}

std::uint64_t WaveFile::DecodedBytes() const {
  if (encodedBlockBytes_ == 0) return 0;
  const std::uint64_t blocks = dataBytes_ / encodedBlockBytes_;
  return blocks * decodedBlockBytes_ + DecodedSizeOfBlock(dataBytes_ % encodedBlockBytes_);
}

double WaveFile::LengthSeconds() const {
  const std::uint32_t perSecond = format_.BytesPerSecond();
  return perSecond == 0 ? 0.0 : static_cast<double>(DecodedBytes()) / perSecond;
}

WaveFile::DecodeResult WaveFile::Decode(std::span<const std::uint8_t> encoded,
                                        std::span<std::uint8_t> out, bool final) const {
  DecodeResult result;
  if (encodedBlockBytes_ == 0) return result;
  if (encoding_ == WaveEncoding::Pcm) {
    const std::size_t bytes = std::min(encoded.size(), out.size());
    result.consumed = result.produced = bytes - bytes % encodedBlockBytes_;
    std::copy_n(encoded.begin(), result.produced, out.begin());
    // A part frame that ends the data is dropped, as DecodedBytes counts it.
    if (final && encoded.size() - result.consumed < encodedBlockBytes_)
      result.consumed = encoded.size();
    return result;
  }
  while (result.consumed < encoded.size()) {
    const std::size_t left = encoded.size() - result.consumed;
    if (left < encodedBlockBytes_ && !final) break;
    const std::size_t blockBytes = std::min<std::size_t>(left, encodedBlockBytes_);
    const std::size_t decoded = DecodedSizeOfBlock(blockBytes);
    if (decoded > out.size() - result.produced) break;
    // 16-bit output is written little-endian through a sample buffer so that
    // `out` needs no particular alignment.
    std::vector<std::int16_t> samples(decoded / 2);
    AdpcmDecoder::DecodeBlock(encoded.subspan(result.consumed, blockBytes), format_.channels,
                              samples);
    for (std::int16_t s : samples) {
      out[result.produced++] = static_cast<std::uint8_t>(s & 0xFF);
      out[result.produced++] = static_cast<std::uint8_t>((s >> 8) & 0xFF);
    }
    result.consumed += blockBytes;
  }
  return result;
}

std::vector<std::uint8_t> WaveFile::DecodeAll(std::span<const std::uint8_t> file) const {
  if (dataOffset_ + dataBytes_ > file.size()) return {};
  std::vector<std::uint8_t> pcm(DecodedBytes());
  Decode(file.subspan(dataOffset_, dataBytes_), pcm, true);
  return pcm;
}

}  // namespace tge::audio
