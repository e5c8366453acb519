// Sound's command table, entry list, playing by name and by chance, the
// sound update of its Draw pass and its file record.
#include "objects/ui/sound/Sound.h"

#include <algorithm>
#include <cstdio>
#include <type_traits>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/commands/InterfaceTypeRegistration.h"
#include "core/files/SerializeStream.h"
#include "core/math/Random.h"
#include "objects/ui/SerializeRecords.h"
#include "services/EngineServices.h"
#include "services/resources/ResourceSet.h"

namespace tge {
namespace {

constexpr auto C = CommandKind::kCommand;
constexpr auto P = CommandKind::kProperty;
constexpr int S = kCommandSetter;
constexpr int G = kCommandGetter;

constexpr float kUpdatePeriod = 0.066f;
constexpr float kAutoPlayStartMargin = 2.0f;
constexpr float kAutoPlayStopMargin = 4.0f;
constexpr int kMaxAlternatives = 20;
constexpr std::uint32_t kPrefixLengthMask = 0xFF00;
// Name length, flags, volume, pan and frequency.
constexpr std::uint64_t kMinEntryBytes = 5 * 4;

// Null for an index out of range, -1 included.
template <class Entries>
auto EntryAt(Entries& entries, int index) -> decltype(&entries[0]) {
  return index >= 0 && index < static_cast<int>(entries.size()) ? &entries[static_cast<std::size_t>(index)] : nullptr;
}

std::string AlternativeName(const std::string& name, int number) {
  char suffix[16];
  std::snprintf(suffix, sizeof(suffix), "_%02d", number);
  return name + suffix;
}

}  // namespace

// clang-format off
using Speaker = Sound;
constexpr CommandEntry<Sound> Sound::kCommands[] = {
    {1000, "SetSoundVolume", C, S, {kValueFloat}, Member<&Sound::SetEntryFieldCommand<&SoundEntry::volume, &EngineServices::UpdateSoundVolume>>},
    {1001, "GetSoundVolume", C, G, {kValueFloat}, Member<&Sound::GetEntryFieldCommand<&SoundEntry::volume>>},
    {1002, "SetSoundPan", C, S, {kValueFloat}, Member<&Sound::SetEntryFieldCommand<&SoundEntry::pan, &EngineServices::SetSoundPan>>},
    {1003, "GetSoundPan", C, G, {kValueFloat}, Member<&Sound::GetEntryFieldCommand<&SoundEntry::pan>>},
    {1004, "SetSoundFrequency", C, S, {kValueFloat}, Member<&Sound::SetEntryFieldCommand<&SoundEntry::frequency, &EngineServices::SetSoundFrequency>>},
    {1005, "GetSoundFrequency", C, G, {kValueFloat}, Member<&Sound::GetEntryFieldCommand<&SoundEntry::frequency>>},
    {1006, "SetSpeakerMinRange", C, S, {kValueFloat}, FieldSetter<&Speaker::minRange_>},
    {1007, "GetSpeakerMinRange", C, G, {kValueFloat}, FieldGetter<&Speaker::minRange_>},
    {1008, "SetSpeakerMaxRange", C, S, {kValueFloat}, FieldSetter<&Speaker::maxRange_>},
    {1009, "GetSpeakerMaxRange", C, G, {kValueFloat}, FieldGetter<&Speaker::maxRange_>},
    {1010, "SetSpeakerConeInsideAngle", C, S, {kValueFloat}, FieldSetter<&Speaker::coneInsideAngle_>},
    {1011, "GetSpeakerConeInsideAngle", C, G, {kValueFloat}, FieldGetter<&Speaker::coneInsideAngle_>},
    {1012, "SetSpeakerConeOutsideAngle", C, S, {kValueFloat}, FieldSetter<&Speaker::coneOutsideAngle_>},
    {1013, "GetSpeakerConeOutsideAngle", C, G, {kValueFloat}, FieldGetter<&Speaker::coneOutsideAngle_>},
    {1014, "SetSpeakerConeOutsideVolume", C, S, {kValueFloat}, FieldSetter<&Speaker::coneOutsideVolume_>},
    {1015, "GetSpeakerConeOutsideVolume", C, G, {kValueFloat}, FieldGetter<&Speaker::coneOutsideVolume_>},
    {1016, "SetSound", C, S, {kValueString}, Member<&Sound::SetSoundCommand>},
    {1017, "GetSound", C, G, {kValueString}, Member<&Sound::GetSoundCommand>},
    {1018, "SoundHasNamePrefix", P, 0, {kValueBool}, LowBitFlagSetter<&Sound::soundFlags_, kSoundHasNamePrefix>, FlagGetter<&Sound::soundFlags_, kSoundHasNamePrefix>},
    {1020, "SoundAutoPlay", P, 0, {kValueBool}, LowBitFlagSetter<&Sound::soundFlags_, kSoundAutoPlay>, FlagGetter<&Sound::soundFlags_, kSoundAutoPlay>},
    {1022, "SoundPlay", C, S, {kValueString}, Member<&Sound::SoundPlayCommand>},
    {1023, "SoundStop", C, S, {kValueString}, Member<&Sound::SoundStopCommand>},
    {1024, "AddSound", C, 0, {kValueString}, Member<&Sound::AddSoundCommand>},
    {1025, "SetSoundList", C, 0, {kValueDword}, Member<&Sound::SetSoundListCommand>},
    {1026, "GetSoundList", C, kCommandObjectBlock, {kValuePointer}, Member<&Sound::GetSoundListCommand>},
    {1027, "DeleteSound", C, 0, {}, Member<&Sound::DeleteSoundCommand>},
};

std::span<const CommandEntry<Sound>> Sound::Commands() { return kCommands; }
// clang-format on

Sound::Sound() : Object(kClassSound) {}

// The handles release the sounds, which stops them.
Sound::~Sound() { StopAllEntries(); }

int Sound::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<Sound> handlers(kClassSound, {kCommands});
  handlers.Run(*this, id, args);
  if (id == kCommandCollectResources && args != nullptr) {
    CollectResources(args);
  } else if (id == kCommandActionStartStep && (soundFlags_ & kSoundAutoPlay) == 0) {
    PlayRandomEntry(0);
  } else if (id == kCommandActionStopPost || id == kEventOnStopWorld) {
    StopAllEntries();
  } else if (id == kCommandSoundGroupsChanged) {
    ApplyGroupVolumes();
  } else if (id == kEventOnStopDraw && (soundFlags_ & (kSoundAutoPlay | kSoundAutoPlaying)) == (kSoundAutoPlay | kSoundAutoPlaying)) {
    StopAllEntries();
  }
  return Object::ExecuteCommand(id, args);
}

SoundEntry* Sound::Entry(int index) { return EntryAt(entries_, index); }

const SoundEntry* Sound::GetEntry(int index) const { return EntryAt(entries_, index); }

template <float SoundEntry::*Field, void (EngineServices::*Apply)(Resource*, float)>
int Sound::SetEntryFieldCommand(CommandArgs args) {
  SetEntryField(selectedEntry_, Field, Apply, args.Get<float>());
  return 1;
}

template <float SoundEntry::*Field>
int Sound::GetEntryFieldCommand(CommandArgs args) {
  const SoundEntry* entry = GetEntry(selectedEntry_);
  args.Set(entry != nullptr ? entry->*Field : 0.0f);
  return 1;
}

int Sound::SetSoundCommand(CommandArgs args) {
  SetEntrySound(selectedEntry_, args.AsString());
  return 1;
}

int Sound::GetSoundCommand(CommandArgs args) {
  args.AsString() = GetEntryName(selectedEntry_);
  return 1;
}

int Sound::SoundPlayCommand(CommandArgs args) {
  PlaySoundEntry(args.AsString());
  return 1;
}

int Sound::SoundStopCommand(CommandArgs args) {
  StopSoundEntry(args.AsString());
  return 1;
}

int Sound::AddSoundCommand(CommandArgs args) {
  AddSoundEntry(args.AsString());
  return 1;
}

int Sound::SetSoundListCommand(CommandArgs args) {
  selectedEntry_ = args.Get<std::int32_t>();
  return 1;
}

int Sound::GetSoundListCommand(CommandArgs args) {
  auto& names = *static_cast<std::vector<std::string>*>(args.Data());
  for (const SoundEntry& entry : entries_) names.push_back(entry.name);
  return 1;
}

int Sound::DeleteSoundCommand(CommandArgs) {
  DeleteEntry(selectedEntry_);
  selectedEntry_ = entries_.empty() ? -1 : 0;
  return 1;
}

void Sound::SetEntryField(int index, float SoundEntry::*field, void (EngineServices::*apply)(Resource*, float),
                          float value) {
  SoundEntry* entry = Entry(index);
  if (entry == nullptr) return;
  entry->*field = value;
  if (EngineServices* services = GetEngineServices()) (services->*apply)(entry->sound.Get(), value);
}

void Sound::SetEntryVolume(int index, float volume) {
  SetEntryField(index, &SoundEntry::volume, &EngineServices::UpdateSoundVolume, volume);
}

void Sound::SetEntryFrequency(int index, float frequency) {
  SetEntryField(index, &SoundEntry::frequency, &EngineServices::SetSoundFrequency, frequency);
}

bool Sound::IsEntryPlaying(int index) const {
  const SoundEntry* entry = GetEntry(index);
  return entry != nullptr && entry->IsPlaying();
}

std::string Sound::GetEntryName(int index) const {
  const SoundEntry* entry = GetEntry(index);
  return entry != nullptr ? entry->name : std::string();
}

// A prefix length beyond the name (loaded, or left from a longer name)
// skips the whole name.
int Sound::FindEntry(const std::string& name) const {
  const bool prefixed = (soundFlags_ & kSoundHasNamePrefix) != 0;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const std::string& own = entries_[i].name;
    const std::size_t skip = prefixed ? std::min(entries_[i].PrefixLength(), own.size()) : 0;
    if (own.compare(skip, std::string::npos, name) == 0) return static_cast<int>(i);
  }
  return -1;
}

void Sound::PlaySoundEntry(const std::string& name) { PlayEntry(FindEntry(name)); }

void Sound::PlaySoundEntryEx(const std::string& name, int loop) { PlayEntryEx(FindEntry(name), loop); }

void Sound::StopSoundEntry(const std::string& name) {
  SoundEntry* entry = Entry(FindEntry(name));
  if (entry == nullptr) return;
  if (SoundEntry* variant = Entry(entry->startedVariant)) StopEntry(*variant);
  StopEntry(*entry);
}

// Each of the entry and its n alternatives is chosen with chance 1 / (n + 1).
void Sound::PlayEntry(int index) {
  SoundEntry* entry = Entry(index);
  if (entry == nullptr) return;
  int chosen = index;
  if (!entry->alternatives.empty()) {
    const int r = Rand() % static_cast<int>(entry->alternatives.size() + 1);
    if (r > 0) chosen = entry->alternatives[static_cast<std::size_t>(r - 1)];
  }
  SoundEntry* played = Entry(chosen);
  if (played == nullptr) return;
  entry->startedVariant = chosen;
  if (!played->sound) LoadEntrySounds();
  StartEntry(*played, static_cast<int>(played->entryFlags & kSoundEntryLoop));
}

void Sound::PlayEntryEx(int index, int loop) {
  SoundEntry* entry = Entry(index);
  if (entry == nullptr) return;
  if (!entry->sound) LoadEntrySounds();
  StartEntry(*entry, loop);
}

void Sound::LoadEntrySounds() {
  for (SoundEntry& entry : entries_) {
    if (!entry.sound && !entry.name.empty()) entry.sound.Acquire(entry.name);
  }
}

// The pan is applied only when it is set.
void Sound::StartEntry(SoundEntry& entry, int loop) {
  if (EngineServices* services = GetEngineServices()) {
    services->StartSound(entry.sound.Get(), loop);
    services->SetSoundFrequency(entry.sound.Get(), entry.frequency);
    services->UpdateSoundVolume(entry.sound.Get(), entry.volume);
  }
  entry.stateFlags = kSoundEntryPlaying | (loop != 0 ? kSoundEntryLooping : 0);
}

void Sound::StopEntry(SoundEntry& entry) {
  if (EngineServices* services = GetEngineServices()) services->StopSound(entry.sound.Get());
  entry.stateFlags &= ~kSoundEntryPlaying;
}

void Sound::PlayRandomEntry(int loop) {
  if (entries_.empty()) return;
  if (!entries_[0].sound) LoadEntrySounds();
  const std::size_t choice = entries_.size() >= 2 ? static_cast<std::size_t>(Rand()) % entries_.size() : 0;
  SoundEntry& entry = entries_[choice];
  if (entry.IsPlaying()) StopEntry(entry);
  StartEntry(entry, loop);
}

void Sound::StopAllEntries() {
  for (SoundEntry& entry : entries_) {
    if (entry.sound && entry.IsPlaying()) StopEntry(entry);
  }
  soundFlags_ &= ~kSoundAutoPlaying;
}

int Sound::AddSoundEntry(const std::string& name) {
  if (std::any_of(entries_.begin(), entries_.end(), [&name](const SoundEntry& entry) { return entry.name == name; })) {
    return -1;
  }
  SoundEntry entry;
  entry.name = name;
  entries_.push_back(std::move(entry));
  if ((soundFlags_ & kSoundHasNamePrefix) != 0) ComputePrefixLengths();
  return static_cast<int>(entries_.size()) - 1;
}

// The sound is acquired again, under the new name, at the next play.
void Sound::SetEntrySound(int index, const std::string& name) {
  SoundEntry* entry = Entry(index);
  if (entry == nullptr || entry->name == name) return;
  entry->sound.Reset();
  entry->stateFlags &= ~kSoundEntryPlaying;
  entry->name = name;
}

// Every index above the deleted one moves down by one, in the other
// entries' alternatives and started variants, so none points past the list.
void Sound::DeleteEntry(int index) {
  if (Entry(index) == nullptr) return;
  entries_.erase(entries_.begin() + index);
  for (SoundEntry& entry : entries_) {
    std::erase(entry.alternatives, index);
    for (std::int32_t& alternative : entry.alternatives) alternative -= alternative > index ? 1 : 0;
    if (entry.startedVariant == index) entry.startedVariant = -1;
    entry.startedVariant -= entry.startedVariant > index ? 1 : 0;
  }
}

void Sound::ComputePrefixLengths() {
  for (SoundEntry& entry : entries_) {
    const std::size_t underscore = entry.name.find('_');
    if (underscore == std::string::npos) continue;
    const auto length = static_cast<std::uint32_t>(std::min<std::size_t>(underscore + 1, 0xFF));
    entry.entryFlags = (entry.entryFlags & ~kPrefixLengthMask) | (length << 8);
  }
}

void Sound::Precalculate() {
  for (SoundEntry& entry : entries_) {
    entry.alternatives.clear();
    for (int k = 1; k <= kMaxAlternatives; ++k) {
      const std::string wanted = AlternativeName(entry.name, k);
      const auto found = std::find_if(entries_.begin(), entries_.end(),
                                      [&wanted](const SoundEntry& other) { return other.name == wanted; });
      if (found == entries_.end()) break;
      entry.alternatives.push_back(static_cast<std::int32_t>(found - entries_.begin()));
    }
  }
  Object::Precalculate();
}

void Sound::CollectResources(void* set) {
  auto& resources = *static_cast<ResourceSet*>(set);
  for (SoundEntry& entry : entries_) {
    if (!entry.sound && !entry.name.empty()) entry.sound.Acquire(entry.name);
    resources.AddToResourceSet(entry.sound.Get());
  }
}

void Sound::ApplyGroupVolumes() {
  EngineServices* services = GetEngineServices();
  if (services == nullptr) return;
  for (SoundEntry& entry : entries_) {
    if (entry.IsPlaying()) services->UpdateSoundVolume(entry.sound.Get(), entry.volume);
  }
}

// A copy acquires its own sounds when it first plays.
void Sound::CopyFrom(const Object& source) {
  Object::CopyFrom(source);
  soundFlags_ &= ~kSoundAutoPlaying;
  for (SoundEntry& entry : entries_) {
    entry.stateFlags = 0;
    entry.startedVariant = -1;
  }
}

void Sound::Draw() {
  if (!GetActive()) return;
  updateTimer_ += GetFrameTime();
  if (updateTimer_ > kUpdatePeriod) {
    UpdateAutoPlay();
    UpdatePlayingEntries();
    updateTimer_ -= kUpdatePeriod;
  }
  Object::Draw();
}

// Between the two distances nothing changes, so a camera at the edge does
// not start and stop the sound every update.
void Sound::UpdateAutoPlay() {
  EngineServices* services = GetEngineServices();
  if ((soundFlags_ & kSoundAutoPlay) == 0 || !HasFlag(kFlagActionStarted) || services == nullptr) return;
  Vector3 offset;
  const float distance = Vector3Length(Vector3Subtract(offset, GetPositionWS(), services->GetView().GetCameraPosition()));
  const bool playing = (soundFlags_ & kSoundAutoPlaying) != 0;
  if (!playing && distance < maxRange_ + kAutoPlayStartMargin) {
    PlayRandomEntry(1);
    soundFlags_ |= kSoundAutoPlaying;
  } else if (playing && distance > maxRange_ + kAutoPlayStopMargin) {
    StopAllEntries();
  }
}

void Sound::UpdatePlayingEntries() {
  EngineServices* services = GetEngineServices();
  if (services == nullptr) return;
  const Vector3 position = GetPositionWS();
  const Vector3 axisZ = GetAxisZWS();
  for (SoundEntry& entry : entries_) {
    if (!entry.IsPlaying()) continue;
    Resource* sound = entry.sound.Get();
    if ((entry.stateFlags & kSoundEntryLooping) == 0 && services->IsSoundPlaying(sound) == 0) {
      entry.stateFlags &= ~kSoundEntryPlaying;
      continue;
    }
    services->SetSoundPosition(sound, &position);
    services->SetSoundDistances(sound, minRange_, maxRange_);
    if (coneOutsideAngle_ > 0) services->SetSoundConeOrientation(sound, &axisZ);
  }
}

// Layout: the base record; [version >= 1] the flags, the ranges and cone,
// then the entries (name, flags with the loop bit and prefix length,
// volume, pan, frequency). Sounds and play states are not stored.
bool Sound::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  if (stream.GetVersion() < 1) return !stream.Failed();
  std::uint32_t flags = soundFlags_ & ~kSoundAutoPlaying;
  stream.Serialize(flags);
  stream.Serialize(minRange_);
  stream.Serialize(maxRange_);
  stream.Serialize(coneInsideAngle_);
  stream.Serialize(coneOutsideAngle_);
  stream.Serialize(coneOutsideVolume_);
  if (!stream.IsWriting()) {
    StopAllEntries();
    soundFlags_ = flags & ~kSoundAutoPlaying;
  }
  const bool read = SerializeRecords(stream, entries_, kMinEntryBytes, [&stream](SoundEntry& entry) {
    stream.SerializeString(entry.name);
    stream.Serialize(entry.entryFlags);
    stream.Serialize(entry.volume);
    stream.Serialize(entry.pan);
    stream.Serialize(entry.frequency);
  });
  if (read && !stream.IsWriting() && (soundFlags_ & kSoundHasNamePrefix) != 0) ComputePrefixLengths();
  soundFlags_ &= ~kSoundAutoPlaying;
  return read;
}

void RegisterSoundCommands() {
  RegisterCommandTable<Sound>(BuildCommandRegistry(), kClassSound, Sound::Commands());
  GetObjectFactory().RegisterType<Sound>(kClassSound);
}

}  // namespace tge
