// SoundMixer's command tables, channel operations, fade pass and file
// record.
#include "objects/ui/sound/SoundMixer.h"

#include <algorithm>
#include <cstdio>
#include <type_traits>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/ObjectHooks.h"
#include "core/commands/InterfaceTypeRegistration.h"
#include "core/files/SerializeStream.h"
#include "core/math/Random.h"
#include "objects/ui/SerializeRecords.h"
#include "services/EngineServices.h"
#include "services/resources/ResourceType.h"

namespace tge {
namespace {

constexpr auto C = CommandKind::kCommand;
constexpr auto E = CommandKind::kEvent;
constexpr int S = kCommandSetter;
constexpr std::int32_t kText = kValueString128;
constexpr std::int32_t kDword = kValueDword;
constexpr std::int32_t kFloat = kValueFloat;

constexpr float kUpdatePeriod = 0.066f;
constexpr float kCrossFadeBias = 0.0001f;
constexpr int kFirstVersionWithChannels = 24;
// Volume, pan, frequency and the refcount switch.
constexpr std::uint64_t kChannelBytes = 4 * 4;
// The first channels have an end event, "OnSoundMixerChannelEnd1" on.
constexpr int kFirstEndEvent = 9529;
constexpr std::size_t kEndEventCount = 8;
// The argument offsets of the play commands (String128 name, channel, fade
// time, variant count) and of the channel commands (channel, value, time).
constexpr std::size_t kPlayChannelOffset = 128;
constexpr std::size_t kPlayFadeOffset = 132;
constexpr std::size_t kPlayCountOffset = 136;

// A negative fade time would never end its fade.
float FadeTime(CommandArgs args, std::size_t offset) { return std::max(0.0f, args.Get<float>(offset)); }

bool HasSound(const MixerChannel& record) { return static_cast<bool>(record.sound); }

template <class Call>
void WithServices(Call call) {
  if (EngineServices* services = GetEngineServices()) call(*services);
}

}  // namespace

// clang-format off
constexpr CommandEntry<SoundMixer> SoundMixer::kCommands[] = {
    {9500, "SoundMixerPlay", C, S, {kText, kDword, kFloat}, Member<&SoundMixer::PlayCommand>},
    {9501, "SoundMixerPlayLooping", C, S, {kText, kDword, kFloat}, Member<&SoundMixer::PlayLoopingCommand>},
    {9502, "SoundMixerPlayRandom", C, S, {kText, kDword, kFloat, kDword}, Member<&SoundMixer::PlayRandomCommand>},
    {9503, "SoundMixerPlayRandomLooping", C, S, {kText, kDword, kFloat, kDword}, Member<&SoundMixer::PlayRandomLoopingCommand>},
    {9504, "SoundMixerStop", C, S, {kDword, kFloat}, Member<&SoundMixer::StopCommand>},
    {9505, "SoundMixerPause", C, S, {kDword, kFloat}, Member<&SoundMixer::PauseCommand>},
    {9506, "SoundMixerResume", C, S, {kDword, kFloat}, Member<&SoundMixer::ResumeCommand>},
    {9507, "SetSoundMixerVolume", C, S, {kDword, kFloat, kFloat}, Member<&SoundMixer::SetVolumeCommand>},
    {9508, "SetSoundMixerPan", C, S, {kDword, kFloat, kFloat}, Member<&SoundMixer::SetPanCommand>},
    {9509, "SetSoundMixerFrequency", C, S, {kDword, kFloat, kFloat}, Member<&SoundMixer::SetFrequencyCommand>},
    {9515, "SetSoundMixerChannelCount", C, 0, {kDword}, Member<&SoundMixer::SetChannelCountCommand>},
    {9517, "SetSoundMixerChannelList", C, 0, {kDword}, Member<&SoundMixer::SetChannelListCommand>},
    {9519, "SetSoundMixerChannelVolume", C, 0, {kFloat}, Member<&SoundMixer::SetSelectedFieldCommand<&MixerChannel::volume>>},
    {9521, "SetSoundMixerChannelPan", C, 0, {kFloat}, Member<&SoundMixer::SetSelectedFieldCommand<&MixerChannel::pan>>},
    {9523, "SetSoundMixerChannelFrequency", C, 0, {kFloat}, Member<&SoundMixer::SetSelectedFieldCommand<&MixerChannel::frequency>>},
    {9525, "SetSoundMixerChannelUseRefcount", C, 0, {kValueBool}, Member<&SoundMixer::SetSelectedFieldCommand<&MixerChannel::useRefcount>>},
    {9527, "SetSoundMixerChannelEnable", C, 0, {kValueBool}, Member<&SoundMixer::SetSelectedFieldCommand<&MixerChannel::enabled>>},
    {9529, "OnSoundMixerChannelEnd1", E, 0, {}},
    {9530, "OnSoundMixerChannelEnd2", E, 0, {}},
    {9531, "OnSoundMixerChannelEnd3", E, 0, {}},
    {9532, "OnSoundMixerChannelEnd4", E, 0, {}},
    {9533, "OnSoundMixerChannelEnd5", E, 0, {}},
    {9534, "OnSoundMixerChannelEnd6", E, 0, {}},
    {9535, "OnSoundMixerChannelEnd7", E, 0, {}},
    {9536, "OnSoundMixerChannelEnd8", E, 0, {}},
};

std::span<const CommandEntry<SoundMixer>> SoundMixer::Commands() { return kCommands; }

constexpr CommandEntry<SoundMixer> SoundMixer::kInternalCommands[] = {
    {9516, "GetSoundMixerChannelCount", C, 0, {kDword}, Member<&SoundMixer::GetChannelCountCommand>},
    {9518, "GetSoundMixerChannelList", C, 0, {kValuePointer}, Member<&SoundMixer::GetChannelListCommand>},
    {9520, "GetSoundMixerChannelVolume", C, 0, {kFloat}, Member<&SoundMixer::GetSelectedFieldCommand<&MixerChannel::volume>>},
    {9522, "GetSoundMixerChannelPan", C, 0, {kFloat}, Member<&SoundMixer::GetSelectedFieldCommand<&MixerChannel::pan>>},
    {9524, "GetSoundMixerChannelFrequency", C, 0, {kFloat}, Member<&SoundMixer::GetSelectedFieldCommand<&MixerChannel::frequency>>},
    {9526, "GetSoundMixerChannelUseRefcount", C, 0, {kValueBool}, Member<&SoundMixer::GetSelectedFieldCommand<&MixerChannel::useRefcount>>},
    {9528, "GetSoundMixerChannelEnable", C, 0, {kValueBool}, Member<&SoundMixer::GetSelectedFieldCommand<&MixerChannel::enabled>>},
};

std::span<const CommandEntry<SoundMixer>> SoundMixer::InternalCommands() { return kInternalCommands; }
// clang-format on

SoundMixer::SoundMixer() : Object(kClassSoundMixer), channels_(kDefaultChannelCount) {}

SoundMixer::~SoundMixer() {
  for (MixerChannel& record : channels_) FreeRecord(record);
}

// Every id of both tables reads its block; the internal ones are answered
// only with one.
int SoundMixer::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<SoundMixer> commands(kClassSoundMixer, {kCommands});
  static constexpr CommandHandlers<SoundMixer> internal(kClassSoundMixer, {kInternalCommands}, BlockRule::kEvery);
  if (!commands.Run(*this, id, args)) internal.Run(*this, id, args);
  if (id == kCommandSoundGroupsChanged) {
    ApplyGroupVolumes();
  }
  return Object::ExecuteCommand(id, args);
}

MixerChannel* SoundMixer::Channel(std::uint32_t channel) {
  return channel >= 1 && channel <= channelCount_ && channel <= channels_.size() ? &channels_[channel - 1] : nullptr;
}

std::uint32_t SoundMixer::RealChannelCount() const {
  return std::min(channelCount_, static_cast<std::uint32_t>(channels_.size()));
}

MixerChannel* SoundMixer::SelectedRecord() {
  return selectedChannel_ < channels_.size() ? &channels_[selectedChannel_] : nullptr;
}

int SoundMixer::PlayCommand(CommandArgs args) {
  PlayOnChannel(args.GetText128(), args.Get<std::uint32_t>(kPlayChannelOffset), args.Get<float>(kPlayFadeOffset), false);
  return 1;
}

int SoundMixer::PlayLoopingCommand(CommandArgs args) {
  PlayOnChannel(args.GetText128(), args.Get<std::uint32_t>(kPlayChannelOffset), args.Get<float>(kPlayFadeOffset), true);
  return 1;
}

int SoundMixer::PlayRandomCommand(CommandArgs args) {
  PlayRandom(args, false);
  return 1;
}

int SoundMixer::PlayRandomLoopingCommand(CommandArgs args) {
  PlayRandom(args, true);
  return 1;
}

// Variant r of N is the name itself for r = 0, else name_02 to name_N; with
// N = 0 there is only the name.
void SoundMixer::PlayRandom(CommandArgs args, bool loop) {
  const std::string name = args.GetText128();
  const std::uint32_t count = args.Get<std::uint32_t>(kPlayCountOffset);
  const std::uint32_t r = count > 0 ? static_cast<std::uint32_t>(Rand()) % count : 0;
  std::string chosen = name;
  if (r > 0) {
    char suffix[16];
    std::snprintf(suffix, sizeof(suffix), "_%02u", r + 1);
    chosen += suffix;
  }
  PlayOnChannel(chosen, args.Get<std::uint32_t>(kPlayChannelOffset), args.Get<float>(kPlayFadeOffset), loop);
}

int SoundMixer::StopCommand(CommandArgs args) {
  StopChannel(args.Get<std::uint32_t>(0), FadeTime(args, 4));
  return 1;
}

int SoundMixer::PauseCommand(CommandArgs args) {
  PauseChannel(args.Get<std::uint32_t>(0), FadeTime(args, 4));
  return 1;
}

int SoundMixer::ResumeCommand(CommandArgs args) {
  ResumeChannel(args.Get<std::uint32_t>(0), FadeTime(args, 4));
  return 1;
}

// The three channel settings change only at once (a time of 0); there is
// no timed change.
int SoundMixer::SetVolumeCommand(CommandArgs args) {
  MixerChannel* channel = Channel(args.Get<std::uint32_t>(0));
  if (channel == nullptr || args.Get<float>(8) != 0) return 1;
  channel->volume = args.Get<float>(4);
  UpdateVolume(*channel);
  return 1;
}

int SoundMixer::SetPanCommand(CommandArgs args) {
  MixerChannel* channel = Channel(args.Get<std::uint32_t>(0));
  if (channel == nullptr || args.Get<float>(8) != 0) return 1;
  channel->pan = args.Get<float>(4);
  WithServices([channel](EngineServices& services) { services.SetSoundPan(channel->sound.Get(), channel->pan); });
  return 1;
}

int SoundMixer::SetFrequencyCommand(CommandArgs args) {
  MixerChannel* channel = Channel(args.Get<std::uint32_t>(0));
  if (channel == nullptr || args.Get<float>(8) != 0) return 1;
  channel->frequency = args.Get<float>(4);
  WithServices([channel](EngineServices& services) {
    services.SetSoundFrequency(channel->sound.Get(), channel->frequency);
  });
  return 1;
}

int SoundMixer::SetChannelCountCommand(CommandArgs args) {
  SetChannelCount(args.Get<std::uint32_t>());
  return 1;
}

int SoundMixer::GetChannelCountCommand(CommandArgs args) {
  args.Set(channelCount_);
  return 1;
}

int SoundMixer::SetChannelListCommand(CommandArgs args) {
  selectedChannel_ = args.Get<std::uint32_t>();
  return 1;
}

int SoundMixer::GetChannelListCommand(CommandArgs args) {
  auto& names = *static_cast<std::vector<std::string>*>(args.Data());
  for (std::size_t i = 1; i <= channels_.size(); ++i) names.push_back("Channel " + std::to_string(i));
  return 1;
}

template <auto Field>
int SoundMixer::SetSelectedFieldCommand(CommandArgs args) {
  if (MixerChannel* record = SelectedRecord()) {
    record->*Field = args.Get<std::remove_reference_t<decltype(record->*Field)>>();
  }
  return 1;
}

template <auto Field>
int SoundMixer::GetSelectedFieldCommand(CommandArgs args) {
  if (MixerChannel* record = SelectedRecord()) args.Set(record->*Field);
  return 1;
}

// The fade-out records end first, so none of them becomes a channel; the
// channels dropped stop their sounds.
void SoundMixer::SetChannelCount(std::uint32_t count) {
  if (count > kMaxChannelCount) return;
  EndFadeOutRecords();
  for (std::size_t i = count; i < channels_.size(); ++i) FreeRecord(channels_[i]);
  channels_.resize(count);
  channelCount_ = count;
}

void SoundMixer::EndFadeOutRecords() {
  for (std::size_t i = channelCount_; i < channels_.size(); ++i) FreeRecord(channels_[i]);
  channels_.resize(RealChannelCount());
}

bool SoundMixer::FadeOutRecordHolds(const Resource* sound) const {
  return std::any_of(channels_.begin() + RealChannelCount(), channels_.end(),
                     [sound](const MixerChannel& record) { return record.sound.Registered() == sound; });
}

void SoundMixer::MoveToFadeOutRecord(MixerChannel& channel, float fadeTime) {
  MixerChannel record;
  record.loop = channel.loop;
  record.name = channel.name;
  record.volume = channel.volume;
  record.state = MixerState::kFadingOutToStop;
  const bool fadingOut = channel.state == MixerState::kFadingOutToStop;
  record.fade = fadingOut ? channel.fade : 1.0f;
  record.fadeRate = fadingOut ? channel.fadeRate : 1.0f / (fadeTime + kCrossFadeBias);
  record.sound = std::move(channel.sound);
  channels_.push_back(std::move(record));
}

void SoundMixer::PlayOnChannel(const std::string& name, std::uint32_t number, float fadeTime, bool loop) {
  EngineServices* services = GetEngineServices();
  MixerChannel* channel = Channel(number);
  if (services == nullptr || channel == nullptr || channel->enabled == 0) return;
  Resource* sound = services->GetResources().LookupResource(name, kSoundResource);
  if (sound == nullptr) return;
  services->GetResources().LoadResource(sound);
  if (FadeOutRecordHolds(sound)) return;
  if (channel->useRefcount != 0) ++channel->refCount;
  if (channel->sound.Registered() == sound) return;
  if (channel->sound) {
    channel->channelIndex = static_cast<std::int32_t>(number - 1);
    if (fadeTime > 0) {
      MoveToFadeOutRecord(*channel, fadeTime);
      channel = &channels_[number - 1];
    } else {
      FreeRecord(*channel);
    }
  }
  channel->sound.Acquire(sound->GetName());
  channel->name = name;
  channel->fade = fadeTime > 0 ? 0.0f : 1.0f;
  channel->fadeRate = fadeTime > 0 ? 1.0f / fadeTime : channel->fadeRate;
  channel->state = fadeTime > 0 ? MixerState::kFadingIn : MixerState::kPlaying;
  services->StartSound(channel->sound.Get(), loop ? 1 : 0);
  channel->loop = loop ? 1 : 0;
  Apply(*channel);
}

void SoundMixer::StopChannel(std::uint32_t number, float fadeTime) {
  MixerChannel* channel = Channel(number);
  if (channel == nullptr || !HasSound(*channel)) return;
  if (channel->useRefcount != 0 && --channel->refCount > 0) return;
  if (fadeTime != 0) {
    channel->fadeRate = 1.0f / fadeTime;
    channel->state = MixerState::kFadingOutToStop;
    return;
  }
  EndRecord(number - 1);
}

void SoundMixer::PauseChannel(std::uint32_t number, float fadeTime) {
  MixerChannel* channel = Channel(number);
  if (channel == nullptr || !HasSound(*channel) || channel->state == MixerState::kPaused) return;
  if (fadeTime != 0) {
    channel->fadeRate = 1.0f / fadeTime;
    channel->state = MixerState::kFadingOutToPause;
    return;
  }
  WithServices([channel](EngineServices& services) { services.PauseSound(channel->sound.Get()); });
  channel->state = MixerState::kPaused;
}

// A disabled channel lets its sound go. The new volume reaches the sound at
// the next fade pass.
void SoundMixer::ResumeChannel(std::uint32_t number, float fadeTime) {
  MixerChannel* channel = Channel(number);
  if (channel == nullptr) return;
  if (channel->enabled == 0) {
    FreeRecord(*channel);
    return;
  }
  if (!HasSound(*channel)) return;
  WithServices([channel](EngineServices& services) { services.ResumeSound(channel->sound.Get()); });
  channel->fade = fadeTime != 0 ? 0.0f : 1.0f;
  if (fadeTime != 0) channel->fadeRate = 1.0f / fadeTime;
  channel->state = fadeTime != 0 ? MixerState::kFadingIn : MixerState::kPlaying;
}

void SoundMixer::Apply(MixerChannel& channel) {
  WithServices([&channel](EngineServices& services) {
    services.UpdateSoundVolume(channel.sound.Get(), channel.volume * channel.fade);
    services.SetSoundFrequency(channel.sound.Get(), channel.frequency);
    services.SetSoundPan(channel.sound.Get(), channel.pan);
  });
}

void SoundMixer::UpdateVolume(MixerChannel& channel) {
  WithServices([&channel](EngineServices& services) {
    services.UpdateSoundVolume(channel.sound.Get(), channel.volume * channel.fade);
  });
}

void SoundMixer::ApplyGroupVolumes() {
  for (MixerChannel& record : channels_) {
    if (HasSound(record)) UpdateVolume(record);
  }
}

void SoundMixer::FreeRecord(MixerChannel& record) {
  if (HasSound(record)) {
    WithServices([&record](EngineServices& services) { services.StopSound(record.sound.Get()); });
  }
  record.sound.Reset();
  record.name.clear();
  record.state = MixerState::kFree;
}

// A fade-out record is erased (true); a real channel is freed and raises
// its end event, which may run a script that changes the channels.
bool SoundMixer::EndRecord(std::size_t index) {
  FreeRecord(channels_[index]);
  if (index >= channelCount_) {
    channels_.erase(channels_.begin() + static_cast<std::ptrdiff_t>(index));
    return true;
  }
  if (channels_[index].hasScript != 0 && index < kEndEventCount) {
    FireEvent(kFirstEndEvent + static_cast<int>(index), nullptr);
  }
  return false;
}

// The end events may run scripts that change the channels or delete the
// mixer: the pass goes by index against the current count, and deletions
// wait until it has returned.
void SoundMixer::Update() {
  if (!GetActive()) return;
  updateTimer_ += GetFrameTime();
  if (updateTimer_ <= kUpdatePeriod) return;
  DeletionHold hold;
  const float elapsed = updateTimer_;
  for (std::size_t i = 0; i < channels_.size() && !HasFlag(kFlagDeleting);) {
    if (!FadeRecord(i, elapsed)) ++i;
  }
  updateTimer_ -= kUpdatePeriod;
}

bool SoundMixer::FadeRecord(std::size_t index, float elapsed) {
  EngineServices* services = GetEngineServices();
  MixerChannel& record = channels_[index];
  if (services == nullptr || !HasSound(record)) return false;
  switch (record.state) {
    case MixerState::kPlaying:
      return record.loop == 0 && services->IsSoundPlaying(record.sound.Get()) == 0 && EndRecord(index);
    case MixerState::kFadingIn:
      record.fade += record.fadeRate * elapsed;
      if (record.fade > 1) {
        record.fade = 1;
        record.state = MixerState::kPlaying;
      }
      UpdateVolume(record);
      break;
    case MixerState::kFadingOutToStop:
    case MixerState::kFadingOutToPause:
      record.fade -= record.fadeRate * elapsed;
      UpdateVolume(record);
      if (record.fade >= 0) break;
      if (record.state == MixerState::kFadingOutToPause) {
        services->PauseSound(record.sound.Get());
        record.state = MixerState::kPaused;
        break;
      }
      return EndRecord(index);
    case MixerState::kFree:
    case MixerState::kPaused:
      break;
  }
  return false;
}

void SoundMixer::Precalculate() {
  EnableUpdate();
  const std::vector<ObjectScript>* scripts = GetScripts();
  for (std::size_t i = 0; i < channels_.size(); ++i) {
    const int event = kFirstEndEvent + static_cast<int>(i);
    channels_[i].hasScript =
        i < kEndEventCount && scripts != nullptr &&
        std::any_of(scripts->begin(), scripts->end(), [event](const ObjectScript& script) { return script.eventId == event; });
  }
  Object::Precalculate();
}

void SoundMixer::Draw() {
  if (GetActive()) Object::Draw();
}

// Settings copied, channels free: the copy plays nothing of the source's.
void SoundMixer::CopyFrom(const Object& source) {
  Object::CopyFrom(source);
  channels_.resize(RealChannelCount());
  for (MixerChannel& channel : channels_) {
    FreeRecord(channel);
    channel.fade = 0;
    channel.refCount = 0;
  }
}

// Layout: the base record; [version >= 1] the reserved word; [version >=
// 24] the channel count and per channel its volume, pan, frequency and
// refcount switch. Only the real channels are written, and the live mixer
// stays as it is; a loaded mixer is silent.
bool SoundMixer::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  const int version = stream.GetVersion();
  if (version >= 1) stream.Serialize(reserved_);
  const auto fields = [&stream](MixerChannel& channel) {
    stream.Serialize(channel.volume);
    stream.Serialize(channel.pan);
    stream.Serialize(channel.frequency);
    stream.Serialize(channel.useRefcount);
  };
  if (stream.IsWriting()) {
    if (version < kFirstVersionWithChannels) return !stream.Failed();
    std::uint32_t count = RealChannelCount();
    stream.Serialize(count);
    for (std::size_t i = 0; i < count; ++i) fields(channels_[i]);
    return !stream.Failed();
  }
  std::vector<MixerChannel> loaded(kDefaultChannelCount);
  if (version >= kFirstVersionWithChannels && !SerializeRecords(stream, loaded, kChannelBytes, fields)) return false;
  for (MixerChannel& record : channels_) FreeRecord(record);
  channels_ = std::move(loaded);
  channelCount_ = static_cast<std::uint32_t>(channels_.size());
  return !stream.Failed();
}

void RegisterSoundMixerCommands() {
  RegisterCommandTable<SoundMixer>(BuildCommandRegistry(), kClassSoundMixer, SoundMixer::Commands());
  GetObjectFactory().RegisterType<SoundMixer>(kClassSoundMixer);
}

}  // namespace tge
