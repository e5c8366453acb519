#include "platform/audio/AudioDevice.h"

#include <AL/al.h>
#include <AL/alc.h>

#include "platform/audio/AudioContext.h"
#include "platform/audio/OpenAlFormat.h"

namespace tge::audio {

AudioDevice::~AudioDevice() { Close(); }

std::nullptr_t AudioDevice::Fail(std::string message) {
  error_ = "Audio: " + std::move(message);
  return nullptr;
}

bool AudioDevice::Open(std::uint32_t mixFrequency) {
  Close();
  error_.clear();
  ALCdevice* device = alcOpenDevice(nullptr);
  if (!device) {
    Fail("no audio output device could be opened");
    return false;
  }
  const ALCint attributes[] = {ALC_FREQUENCY, static_cast<ALCint>(mixFrequency), 0};
  ALCcontext* context = alcCreateContext(device, mixFrequency ? attributes : nullptr);
  if (!context) {
    alcCloseDevice(device);
    Fail("the audio output device refused a context");
    return false;
  }
  context_ = std::make_shared<AudioContext>(device, context);
  listener_ = Listener(context_);
  return true;
}

void AudioDevice::Close() {
  listener_ = Listener(nullptr);
  context_.reset();
}

std::string AudioDevice::DeviceName() const {
  if (!context_) return {};
  auto lock = context_->Lock();
  const ALCchar* name = alcGetString(alcGetContextsDevice(alcGetCurrentContext()),
                                     ALC_DEVICE_SPECIFIER);
  return name ? name : "";
}

std::shared_ptr<SoundBuffer> AudioDevice::CreateBuffer(const PcmFormat& format,
                                                       std::span<const std::uint8_t> pcm) {
  if (!format.IsPlayable()) return Fail("sound format is not 8- or 16-bit mono or stereo PCM");
  if (pcm.empty() || pcm.size() % format.FrameBytes() != 0 || pcm.size() > INT32_MAX)
    return Fail("sound data is empty or not whole sample frames");
  const auto bytes = static_cast<std::uint32_t>(pcm.size());
  if (!context_) return std::make_shared<SoundBuffer>(nullptr, 0, format, bytes);

  auto lock = context_->Lock();
  alGetError();
  ALuint buffer = 0;
  alGenBuffers(1, &buffer);
  if (alGetError() != AL_NO_ERROR) return Fail("no sound buffer could be made");
  alBufferData(buffer, OpenAlFormat(format), pcm.data(), static_cast<ALsizei>(bytes),
               static_cast<ALsizei>(format.sampleRate));
  if (alGetError() != AL_NO_ERROR) {
    alDeleteBuffers(1, &buffer);
    return Fail("the sound data was refused");
  }
  return std::make_shared<SoundBuffer>(context_, buffer, format, bytes);
}

template <typename VoiceType>
std::unique_ptr<VoiceType> AudioDevice::Checked(std::unique_ptr<VoiceType> voice) {
  if (context_ && !voice->IsReady()) return Fail("no more voices can be made");
  return voice;
}

std::unique_ptr<StaticVoice> AudioDevice::CreateVoice(std::shared_ptr<const SoundBuffer> buffer,
                                                      VoiceMode mode) {
  if (!buffer) return Fail("a voice needs a sound buffer");
  return Checked(std::make_unique<StaticVoice>(std::move(buffer), mode));
}

std::unique_ptr<StreamVoice> AudioDevice::CreateStreamVoice(const PcmFormat& format,
                                                            VoiceMode mode,
                                                            std::size_t bufferCount) {
  if (!format.IsPlayable()) return Fail("sound format is not 8- or 16-bit mono or stereo PCM");
  if (bufferCount < 2) return Fail("a stream needs at least two buffers");
  return Checked(std::make_unique<StreamVoice>(context_, format, mode, bufferCount));
}

void AudioDevice::CommitDeferredSettings() {
  if (!context_) return;
  auto lock = context_->Lock();
  context_->Commit();
}

}  // namespace tge::audio
