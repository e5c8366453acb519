#include "tests/support/VideoFixture.h"

extern "C" {
#include <libavutil/channel_layout.h>
}

#include <cmath>
#include <cstdint>
#include <memory>

#include "platform/video/AvHandles.h"

namespace tge::tools {
namespace {

struct OutputCloser {
  void operator()(AVFormatContext* context) const {
    if (context->pb) avio_closep(&context->pb);
    avformat_free_context(context);
  }
};

using video::CodecPtr;
using video::FramePtr;

constexpr int kSampleRate = 44100;
constexpr double kToneHz = 440.0;
// Small packs, so every picture starts a packet of its own and carries its
// time stamp, which the reader's duration estimate is made from.
constexpr int kPacketSize = 64;

// BT.601 studio-range Y, U, V of pure red and pure blue.
struct Yuv {
  std::uint8_t y, u, v;
};
constexpr Yuv kRed{81, 90, 240};
constexpr Yuv kBlue{41, 240, 110};

struct Track {
  CodecPtr codec;
  AVStream* stream = nullptr;
  FramePtr frame{av_frame_alloc()};
  std::int64_t next = 0;  // in the codec's time base
  std::int64_t end = 0;
};

class MovieWriter {
 public:
  MovieWriter(const TestMovie& movie, std::string& error) : movie_(movie), error_(error) {}
  bool Write(const std::string& path);

 private:
  bool Fail(const char* what) {
    error_ = what;
    return false;
  }
  bool AddVideo();
  bool AddAudio();
  bool OpenTrack(Track& track, const AVCodec* codec);
  bool WriteNextVideo();
  bool WriteNextAudio();
  bool Encode(Track& track, AVFrame* frame);

  const TestMovie& movie_;
  std::string& error_;
  std::unique_ptr<AVFormatContext, OutputCloser> output_;
  video::PacketPtr packet_{av_packet_alloc()};
  Track video_, audio_;
};

bool MovieWriter::OpenTrack(Track& track, const AVCodec* codec) {
  if (avcodec_open2(track.codec.get(), codec, nullptr) < 0) return Fail("cannot open an encoder");
  track.stream = avformat_new_stream(output_.get(), nullptr);
  if (!track.stream || !track.frame) return Fail("out of memory");
  track.stream->time_base = track.codec->time_base;
  if (avcodec_parameters_from_context(track.stream->codecpar, track.codec.get()) < 0) return Fail("codec parameters");
  return true;
}

bool MovieWriter::AddVideo() {
  const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MPEG1VIDEO);
  if (!codec) return Fail("no MPEG-1 video encoder");
  video_.codec.reset(avcodec_alloc_context3(codec));
  AVCodecContext* c = video_.codec.get();
  c->width = movie_.width;
  c->height = movie_.height;
  c->time_base = AVRational{1, movie_.framesPerSecond};
  c->framerate = AVRational{movie_.framesPerSecond, 1};
  c->pix_fmt = AV_PIX_FMT_YUV420P;
  c->gop_size = 12;
  c->max_b_frames = 0;
  c->bit_rate = 1'000'000;
  c->qmax = 4;
  video_.end = std::llround(movie_.seconds * movie_.framesPerSecond);
  if (!OpenTrack(video_, codec)) return false;
  AVFrame* f = video_.frame.get();
  f->format = c->pix_fmt;
  f->width = c->width;
  f->height = c->height;
  return av_frame_get_buffer(f, 0) == 0 || Fail("picture buffer");
}

bool MovieWriter::AddAudio() {
  const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MP2);
  if (!codec) return Fail("no MP2 encoder");
  audio_.codec.reset(avcodec_alloc_context3(codec));
  AVCodecContext* c = audio_.codec.get();
  c->sample_fmt = AV_SAMPLE_FMT_S16;
  c->sample_rate = kSampleRate;
  c->bit_rate = 128'000;
  c->time_base = AVRational{1, kSampleRate};
  const AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
  if (av_channel_layout_copy(&c->ch_layout, &stereo) < 0) return Fail("channel layout");
  audio_.end = std::llround(movie_.seconds * kSampleRate);
  if (!OpenTrack(audio_, codec)) return false;
  AVFrame* f = audio_.frame.get();
  f->format = c->sample_fmt;
  f->sample_rate = c->sample_rate;
  f->nb_samples = c->frame_size;
  if (av_channel_layout_copy(&f->ch_layout, &c->ch_layout) < 0) return Fail("channel layout");
  return av_frame_get_buffer(f, 0) == 0 || Fail("sound buffer");
}

bool MovieWriter::Encode(Track& track, AVFrame* frame) {
  if (avcodec_send_frame(track.codec.get(), frame) < 0) return Fail("encoding");
  AVPacket* packet = packet_.get();
  int result = 0;
  while ((result = avcodec_receive_packet(track.codec.get(), packet)) == 0) {
    av_packet_rescale_ts(packet, track.codec->time_base, track.stream->time_base);
    packet->stream_index = track.stream->index;
    if (av_interleaved_write_frame(output_.get(), packet) < 0) return Fail("writing a packet");
  }
  return result == AVERROR(EAGAIN) || result == AVERROR_EOF || Fail("encoding");
}

bool MovieWriter::WriteNextVideo() {
  AVFrame* f = video_.frame.get();
  if (av_frame_make_writable(f) < 0) return Fail("picture buffer");
  const bool swapped = video_.next * 2 >= video_.end;
  for (int y = 0; y < f->height; ++y) {
    const Yuv& colour = (y < f->height / 2) != swapped ? kRed : kBlue;
    std::fill_n(f->data[0] + y * f->linesize[0], f->width, colour.y);
    if (y % 2 == 0) {
      std::fill_n(f->data[1] + (y / 2) * f->linesize[1], f->width / 2, colour.u);
      std::fill_n(f->data[2] + (y / 2) * f->linesize[2], f->width / 2, colour.v);
    }
  }
  f->pts = video_.next++;
  return Encode(video_, f);
}

bool MovieWriter::WriteNextAudio() {
  AVFrame* f = audio_.frame.get();
  if (av_frame_make_writable(f) < 0) return Fail("sound buffer");
  auto* samples = reinterpret_cast<std::int16_t*>(f->data[0]);
  for (int i = 0; i < f->nb_samples; ++i) {
    const double t = double(audio_.next + i) / kSampleRate;
    const auto value = std::int16_t(8000.0 * std::sin(2.0 * M_PI * kToneHz * t));
    samples[2 * i] = samples[2 * i + 1] = value;
  }
  f->pts = audio_.next;
  audio_.next += f->nb_samples;
  return Encode(audio_, f);
}

bool MovieWriter::Write(const std::string& path) {
  AVFormatContext* output = nullptr;
  if (avformat_alloc_output_context2(&output, nullptr, "mpeg", path.c_str()) < 0) return Fail("no MPEG muxer");
  output_.reset(output);
  output->packet_size = kPacketSize;
  if (!packet_ || !AddVideo() || (movie_.withTone && !AddAudio())) return false;
  if (avio_open(&output->pb, path.c_str(), AVIO_FLAG_WRITE) < 0) return Fail("cannot create the file");
  if (avformat_write_header(output, nullptr) < 0) return Fail("writing the header");
  for (;;) {
    const bool videoLeft = video_.next < video_.end;
    const bool audioLeft = audio_.codec && audio_.next < audio_.end;
    if (!videoLeft && !audioLeft) break;
    const bool videoFirst =
        videoLeft && (!audioLeft || av_compare_ts(video_.next, video_.codec->time_base, audio_.next,
                                                  audio_.codec->time_base) <= 0);
    if (!(videoFirst ? WriteNextVideo() : WriteNextAudio())) return false;
  }
  if (!Encode(video_, nullptr) || (audio_.codec && !Encode(audio_, nullptr))) return false;
  return av_write_trailer(output) == 0 || Fail("writing the trailer");
}

}  // namespace

bool WriteTestMovie(const std::string& path, const TestMovie& movie, std::string& error) {
  // The muxer's advice on players' buffer sizes means nothing to the tests.
  av_log_set_level(AV_LOG_ERROR);
  return MovieWriter(movie, error).Write(path);
}

}  // namespace tge::tools
