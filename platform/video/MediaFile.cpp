#include "platform/video/MediaFile.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>

#include "platform/video/AvHandles.h"

namespace tge::video {
namespace {

struct FormatCloser {
  void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct ScalerFreer {
  void operator()(SwsContext* context) const { sws_freeContext(context); }
};
struct ResamplerFreer {
  void operator()(SwrContext* context) const { swr_free(&context); }
};

using FormatPtr = std::unique_ptr<AVFormatContext, FormatCloser>;

std::string Describe(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

// One decoder thread each: the player already decodes on a thread of its
// own, and a single thread is what it joins.
CodecPtr OpenDecoder(const AVStream& stream) {
  const AVCodec* codec = avcodec_find_decoder(stream.codecpar->codec_id);
  if (!codec) return nullptr;
  CodecPtr context(avcodec_alloc_context3(codec));
  if (!context || avcodec_parameters_to_context(context.get(), stream.codecpar) < 0) return nullptr;
  context->thread_count = 1;
  context->pkt_timebase = stream.time_base;
  if (avcodec_open2(context.get(), codec, nullptr) < 0) return nullptr;
  return context;
}

int FirstAudioStream(const AVFormatContext& format) {
  for (unsigned i = 0; i < format.nb_streams; ++i) {
    if (format.streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) return int(i);
  }
  return -1;
}

double Seconds(std::int64_t value, AVRational base) { return double(value) * av_q2d(base); }

}  // namespace

struct MediaFile::Streams {
  FormatPtr format;
  int videoIndex = -1;
  CodecPtr video;
  int audioIndex = -1;
  CodecPtr audio;
  FramePtr frame{av_frame_alloc()};
  PacketPtr packet{av_packet_alloc()};
  std::unique_ptr<SwsContext, ScalerFreer> scaler;
  std::unique_ptr<SwrContext, ResamplerFreer> resampler;
  bool draining = false;

  const AVStream& VideoStream() const { return *format->streams[videoIndex]; }
};

namespace {

bool OpenAudio(MediaFile::Streams& streams, audio::PcmFormat& out) {
  streams.audioIndex = FirstAudioStream(*streams.format);
  if (streams.audioIndex < 0) return false;
  streams.audio = OpenDecoder(*streams.format->streams[streams.audioIndex]);
  AVCodecContext* decoder = streams.audio.get();
  if (!decoder || decoder->sample_rate <= 0 || decoder->ch_layout.nb_channels <= 0) return false;
  AVChannelLayout layout;
  av_channel_layout_default(&layout, std::min(decoder->ch_layout.nb_channels, 2));
  SwrContext* resampler = nullptr;
  if (swr_alloc_set_opts2(&resampler, &layout, AV_SAMPLE_FMT_S16, decoder->sample_rate, &decoder->ch_layout,
                          decoder->sample_fmt, decoder->sample_rate, 0, nullptr) < 0) {
    return false;
  }
  streams.resampler.reset(resampler);
  if (swr_init(resampler) < 0) return false;
  out.channels = std::uint16_t(layout.nb_channels);
  out.sampleRate = std::uint32_t(decoder->sample_rate);
  out.bitsPerSample = 16;
  return true;
}

}  // namespace

std::unique_ptr<MediaFile> MediaFile::Open(const std::string& path, bool withAudio, std::string& error) {
  // Damaged data is still reported; the library's notes and warnings are not.
  av_log_set_level(AV_LOG_ERROR);
  auto streams = std::make_unique<Streams>();
  AVFormatContext* format = nullptr;
  // Local files only: a playlist in the data must not reach out to a network.
  AVDictionary* options = nullptr;
  av_dict_set(&options, "protocol_whitelist", "file", 0);
  const int code = avformat_open_input(&format, path.c_str(), nullptr, &options);
  av_dict_free(&options);
  if (code < 0) {
    error = path + ": " + Describe(code);
    return nullptr;
  }
  streams->format.reset(format);
  if (avformat_find_stream_info(format, nullptr) < 0 || !streams->frame || !streams->packet) {
    error = path + ": unreadable stream information";
    return nullptr;
  }
  streams->videoIndex = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  if (streams->videoIndex < 0) {
    error = path + ": no video stream";
    return nullptr;
  }
  streams->video = OpenDecoder(streams->VideoStream());
  if (!streams->video) {
    error = path + ": no decoder for the video stream";
    return nullptr;
  }
  std::unique_ptr<MediaFile> file(new MediaFile(std::move(streams)));
  if (withAudio && !OpenAudio(*file->streams_, file->info_.audioFormat)) {
    file->streams_->audioIndex = -1;
    file->streams_->audio.reset();
    file->info_.audioFormat = {};
  }
  return file;
}

MediaFile::MediaFile(std::unique_ptr<Streams> streams) : streams_(std::move(streams)) {
  const AVStream& stream = streams_->VideoStream();
  info_.width = std::max(0, streams_->video->width);
  info_.height = std::max(0, streams_->video->height);
  if (streams_->format->duration != AV_NOPTS_VALUE && streams_->format->duration > 0) {
    info_.duration = Seconds(streams_->format->duration, AVRational{1, AV_TIME_BASE});
  } else if (stream.duration != AV_NOPTS_VALUE && stream.duration > 0) {
    info_.duration = Seconds(stream.duration, stream.time_base);
  }
  const AVRational rate = av_guess_frame_rate(streams_->format.get(), const_cast<AVStream*>(&stream), nullptr);
  info_.frameInterval = rate.num > 0 && rate.den > 0 ? av_q2d(av_inv_q(rate)) : 1.0 / 25.0;
}

MediaFile::~MediaFile() = default;

bool MediaFile::NextFrame(VideoFrame& frame) {
  AVCodecContext* video = streams_->video.get();
  for (;;) {
    const int received = avcodec_receive_frame(video, streams_->frame.get());
    if (received == 0) return ConvertPicture(frame);
    if (received != AVERROR(EAGAIN) || !FeedDecoders()) return false;
  }
}

// One packet to the decoder it belongs to; at the end of the data the video
// decoder is told to give out what it still holds. False once there is
// nothing more to give.
bool MediaFile::FeedDecoders() {
  if (streams_->draining) return false;
  AVPacket* packet = streams_->packet.get();
  if (av_read_frame(streams_->format.get(), packet) < 0) {
    streams_->draining = true;
    return avcodec_send_packet(streams_->video.get(), nullptr) == 0;
  }
  // A damaged packet is skipped: the decoder picks up at the next one.
  if (packet->stream_index == streams_->videoIndex) {
    avcodec_send_packet(streams_->video.get(), packet);
  } else if (packet->stream_index == streams_->audioIndex && streams_->audio &&
             avcodec_send_packet(streams_->audio.get(), packet) == 0) {
    DecodeAudio();
  }
  av_packet_unref(packet);
  return true;
}

bool MediaFile::ConvertPicture(VideoFrame& out) {
  AVFrame* frame = streams_->frame.get();
  const AVStream& stream = streams_->VideoStream();
  const std::int64_t stamp = frame->best_effort_timestamp;
  if (stamp != AV_NOPTS_VALUE) {
    const std::int64_t start = stream.start_time != AV_NOPTS_VALUE ? stream.start_time : 0;
    out.time = std::max(0.0, Seconds(stamp - start, stream.time_base));
  } else {
    out.time = lastTime_ < 0 ? 0.0 : lastTime_ + info_.frameInterval;
  }
  lastTime_ = out.time;
  out.width = info_.width;
  out.height = info_.height;
  out.bgra.resize(std::size_t(info_.width) * std::size_t(info_.height) * 4);
  streams_->scaler.reset(sws_getCachedContext(streams_->scaler.release(), frame->width, frame->height,
                                              AVPixelFormat(frame->format), info_.width, info_.height,
                                              AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr));
  const bool ok = streams_->scaler && !out.bgra.empty();
  if (ok) {
    std::uint8_t* planes[4] = {out.bgra.data(), nullptr, nullptr, nullptr};
    const int pitches[4] = {info_.width * 4, 0, 0, 0};
    sws_scale(streams_->scaler.get(), frame->data, frame->linesize, 0, frame->height, planes, pitches);
  }
  av_frame_unref(frame);
  return ok;
}

void MediaFile::DecodeAudio() {
  AVFrame* frame = streams_->frame.get();
  SwrContext* resampler = streams_->resampler.get();
  const std::size_t frameBytes = info_.audioFormat.FrameBytes();
  while (avcodec_receive_frame(streams_->audio.get(), frame) == 0) {
    const int room = swr_get_out_samples(resampler, frame->nb_samples);
    if (room > 0) {
      const std::size_t old = audio_.size();
      audio_.resize(old + std::size_t(room) * frameBytes);
      std::uint8_t* target = audio_.data() + old;
      const int made = swr_convert(resampler, &target, room, const_cast<const std::uint8_t**>(frame->extended_data),
                                   frame->nb_samples);
      audio_.resize(old + std::size_t(std::max(made, 0)) * frameBytes);
    }
    av_frame_unref(frame);
  }
}

void MediaFile::TakeAudio(std::vector<std::uint8_t>& out) {
  out.insert(out.end(), audio_.begin(), audio_.end());
  audio_.clear();
}

bool MediaFile::Rewind() {
  AVFormatContext* format = streams_->format.get();
  const std::int64_t start = format->start_time != AV_NOPTS_VALUE ? format->start_time : 0;
  if (av_seek_frame(format, -1, start, AVSEEK_FLAG_BACKWARD) < 0 && av_seek_frame(format, -1, 0, AVSEEK_FLAG_BYTE) < 0) {
    return false;
  }
  avcodec_flush_buffers(streams_->video.get());
  if (streams_->audio) avcodec_flush_buffers(streams_->audio.get());
  streams_->draining = false;
  lastTime_ = -1;
  return true;
}

}  // namespace tge::video
