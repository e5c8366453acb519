#include "platform/audio/WaveFile.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/platform/audio/WaveTestFiles.h"

namespace tge::audio {
namespace {

using test::Bytes;
using test::FormatBody;
using test::FormatFields;
using test::RiffWave;

std::vector<std::int16_t> Samples(const std::vector<std::uint8_t>& pcm) {
  std::vector<std::int16_t> out(pcm.size() / 2);
  for (std::size_t i = 0; i < out.size(); ++i)
    out[i] = static_cast<std::int16_t>(pcm[2 * i] | (pcm[2 * i + 1] << 8));
  return out;
}

// Mono block, predictor 1 (512, -256), step 16, history 100 then 50, codes
// 1, -1, -8, 7. Expected output worked by hand from the decoding rules.
const Bytes kMonoBlock = {1, 16, 0, 100, 0, 50, 0, 0x1F, 0x87};
const std::vector<std::int16_t> kMonoDecoded = {50, 100, 166, 216, 138, 396};

// Stereo block: the left channel saturates both ways (clamped to 16 bits);
// the right one has predictor index 9, clamped to 6 (392, -232), and negative
// predictions that divide towards zero.
const Bytes kStereoBlock = {0,    9, 0x20, 0x4E, 16, 0, 0x30, 0x75, 0x9C, 0xFF,
                            0,    0, 0xCE, 0xFF, 0x78, 0x8F};
const std::vector<std::int16_t> kStereoDecoded = {0,     -50,  30000,  -100,
                                                  32767, -235, -32768, -317};

Bytes AdpcmFile(unsigned channels, unsigned blockAlign, const Bytes& data) {
  return RiffWave({{"fmt ", FormatBody({2, channels, 22050, blockAlign, 4})}, {"data", data}});
}

TEST(AudioWaveFile, ReadsPcmAndHonoursChunkPadding) {
  const Bytes data = test::Pcm16({1, -2, 300, -400});
  // An odd-sized chunk before the data is followed by its pad byte.
  const Bytes file =
      RiffWave({{"fmt ", FormatBody({1, 2, 44100, 4, 16})}, {"LIST", {1, 2, 3}}, {"data", data}});
  WaveFile wave;
  ASSERT_TRUE(wave.Parse(file)) << wave.Error();
  EXPECT_EQ(wave.Encoding(), WaveEncoding::Pcm);
  EXPECT_EQ(wave.Format(), (PcmFormat{2, 44100, 16}));
  EXPECT_EQ(wave.DataBytes(), 8u);
  EXPECT_EQ(wave.DecodedBytes(), 8u);
  EXPECT_DOUBLE_EQ(wave.LengthSeconds(), 2.0 / 44100);
  EXPECT_EQ(wave.DecodeAll(file), data);

  // A part frame ends a stream's last piece: taken, but dropped.
  Bytes piece = data;
  piece.push_back(9);
  Bytes out(16);
  const WaveFile::DecodeResult r = wave.Decode(piece, out, true);
  EXPECT_EQ(r.consumed, 9u);
  EXPECT_EQ(r.produced, 8u);
  EXPECT_EQ(wave.Decode(piece, out).consumed, 8u);
}

TEST(AudioWaveFile, ParsesFromTheBeginningOfALargerFile) {
  const Bytes file = RiffWave({{"fmt ", FormatBody({1, 1, 8000, 1, 8})}, {"data", Bytes(1000, 0x80)}});
  WaveFile wave;
  ASSERT_TRUE(wave.Parse(std::span(file).first(44), file.size())) << wave.Error();
  EXPECT_EQ(wave.DataOffset(), 44u);
  EXPECT_EQ(wave.DataBytes(), 1000u);
  EXPECT_FALSE(wave.Parse(std::span(file).first(30), file.size()));
}

TEST(AudioWaveFile, DecodesMicrosoftAdpcmBlocks) {
  struct Case {
    unsigned channels;
    const Bytes& block;
    const std::vector<std::int16_t>& expected;
  };
  for (const Case& c : {Case{1, kMonoBlock, kMonoDecoded}, Case{2, kStereoBlock, kStereoDecoded}}) {
    SCOPED_TRACE(c.channels);
    const Bytes file = AdpcmFile(c.channels, static_cast<unsigned>(c.block.size()), c.block);
    WaveFile wave;
    ASSERT_TRUE(wave.Parse(file)) << wave.Error();
    EXPECT_EQ(wave.Format(), (PcmFormat{static_cast<std::uint16_t>(c.channels), 22050, 16}));
    EXPECT_EQ(wave.DecodedBlockBytes(), c.expected.size() * 2);
    EXPECT_EQ(Samples(wave.DecodeAll(file)), c.expected);
  }
}

TEST(AudioWaveFile, StreamsAdpcmInPiecesWithAShortFinalBlock) {
  // Three whole blocks and a final block cut after its first code byte.
  Bytes data;
  for (int i = 0; i < 3; ++i) data.insert(data.end(), kMonoBlock.begin(), kMonoBlock.end());
  data.insert(data.end(), kMonoBlock.begin(), kMonoBlock.begin() + 8);
  const Bytes file = AdpcmFile(1, 9, data);
  WaveFile wave;
  ASSERT_TRUE(wave.Parse(file)) << wave.Error();
  ASSERT_EQ(wave.DecodedBytes(), 3u * 12 + 8);
  const Bytes whole = wave.DecodeAll(file);
  ASSERT_EQ(whole.size(), wave.DecodedBytes());

  // One block per piece, as a streaming voice refills a buffer.
  Bytes streamed;
  std::span<const std::uint8_t> rest = std::span(file).subspan(wave.DataOffset(), wave.DataBytes());
  while (!rest.empty()) {
    Bytes piece(wave.DecodedBlockBytes());
    const WaveFile::DecodeResult r = wave.Decode(rest, piece, true);
    ASSERT_GT(r.consumed, 0u);
    streamed.insert(streamed.end(), piece.begin(), piece.begin() + static_cast<long>(r.produced));
    rest = rest.subspan(r.consumed);
  }
  EXPECT_EQ(streamed, whole);

  // Without `final` a short block is left for the next piece.
  Bytes out(100);
  EXPECT_EQ(wave.Decode(std::span(data).subspan(27), out).consumed, 0u);
  // An output too small for one block takes nothing.
  EXPECT_EQ(wave.Decode(data, std::span(out).first(11)).consumed, 0u);
}

TEST(AudioWaveFile, SurvivesRunawayAdpcmStepSizes) {
  // Code -8 triples the step size each time; a long run must neither overflow
  // nor leave the 16-bit range.
  Bytes block = {0, 0xFF, 0x7F, 0, 0, 0, 0};
  block.resize(7 + 200, 0x88);
  const Bytes file = AdpcmFile(1, static_cast<unsigned>(block.size()), block);
  WaveFile wave;
  ASSERT_TRUE(wave.Parse(file)) << wave.Error();
  EXPECT_EQ(wave.DecodeAll(file).size(), wave.DecodedBytes());
}

Bytes WithU32At(Bytes file, std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) file[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
  return file;
}

TEST(AudioWaveFile, RefusesBadFilesWithAMessage) {
  const Bytes pcm = test::Pcm16({1, 2, 3, 4});
  const Bytes good = RiffWave({{"fmt ", FormatBody({})}, {"data", pcm}});
  // In `good`: the format chunk's size at 16, the data chunk's size at 40.
  const Bytes truncatedData(good.begin(), good.end() - 1);
  struct Case {
    const char* name;
    Bytes file;
    const char* message;
  };
  const Case cases[] = {
      {"empty", {}, "too short"},
      {"not riff", Bytes{'R', 'I', 'F', 'X', 4, 0, 0, 0, 'W', 'A', 'V', 'E'}, "not a RIFF"},
      {"format size lies", WithU32At(good, 16, 1000), "past the end"},
      {"data size lies", truncatedData, "past the end"},
      {"huge data size", WithU32At(good, 40, 0xFFFFFFFF), "past the end"},
      {"format too short", RiffWave({{"fmt ", Bytes(14, 0)}, {"data", pcm}}), "format chunk too short"},
      {"no channels", RiffWave({{"fmt ", FormatBody({1, 0, 8000, 2, 16})}, {"data", pcm}}), "mono and stereo"},
      {"three channels", RiffWave({{"fmt ", FormatBody({1, 3, 8000, 6, 16})}, {"data", pcm}}), "mono and stereo"},
      {"no rate", RiffWave({{"fmt ", FormatBody({1, 1, 0, 2, 16})}, {"data", pcm}}), "rate is 0"},
      {"12 bits", RiffWave({{"fmt ", FormatBody({1, 1, 8000, 2, 12})}, {"data", pcm}}), "8 or 16 bits"},
      {"block lies", RiffWave({{"fmt ", FormatBody({1, 1, 8000, 4, 16})}, {"data", pcm}}), "block size"},
      {"adpcm block too small", AdpcmFile(2, 14, kStereoBlock), "too small"},
      {"adpcm bits", RiffWave({{"fmt ", FormatBody({2, 1, 8000, 9, 16})}, {"data", pcm}}), "4 bits"},
      {"other codec", RiffWave({{"fmt ", FormatBody({3, 1, 8000, 4, 32})}, {"data", pcm}}), "neither PCM"},
      {"data first", RiffWave({{"data", pcm}, {"fmt ", FormatBody({})}}), "before the format"},
      {"no data", RiffWave({{"fmt ", FormatBody({})}}), "no data chunk"},
      {"no whole sample", RiffWave({{"fmt ", FormatBody({})}, {"data", {7}}}), "no whole sample"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WaveFile wave;
    EXPECT_FALSE(wave.Parse(c.file));
    EXPECT_NE(wave.Error().find(c.message), std::string::npos) << wave.Error();
    EXPECT_EQ(wave.Error().rfind("WAVE: ", 0), 0u);
  }
}

}  // namespace
}  // namespace tge::audio
