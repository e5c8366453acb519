// SkinMesh's command table, animation entries, resources and file record.
#include "objects/scene/animation/SkinMesh.h"

#include <strings.h>

#include <algorithm>
#include <cstdio>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"
#include "objects/scene/animation/Bone.h"
#include "services/EngineServices.h"
#include "services/resources/AnimationResource.h"
#include "services/resources/ResourceSet.h"
#include "services/resources/ResourceType.h"
#include "services/resources/SkinMeshResource.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr auto C = CommandKind::kCommand;
// Internal: skin flag 8 (pose the parent), set and read; never registered.
constexpr std::uint32_t kCommandSetPoseParent = 2541;
constexpr std::uint32_t kCommandGetPoseParent = 2542;
constexpr int kFirstVersionWithFadeOut = 29;
constexpr int kLastVersionWithoutAlternativeFlag = 40;
// A stored entry at least: its name's length word and four words.
constexpr std::int64_t kMinEntryBytes = 4 + 4 * 4;
constexpr float kStartRagDollTime = 5.0f;

}  // namespace

void SkinMeshChannelState::ClearCursors() {
  std::fill(rotationCursors.begin(), rotationCursors.end(), 0);
  std::fill(positionCursors.begin(), positionCursors.end(), 0);
}

template <std::uint32_t Bit>
int SkinMesh::SetSkinFlagCommand(CommandArgs args) {
  SetSkinFlag(Bit, args.Get<std::int32_t>() != 0);
  return 1;
}

template <auto Field>
int SkinMesh::SetEntryFieldCommand(CommandArgs args) {
  if (SkinMeshAnimationEntry* entry = SelectedEntry()) {
    entry->*Field = args.Get<std::remove_reference_t<decltype(entry->*Field)>>();
  }
  return 1;
}

template <auto Field>
int SkinMesh::GetEntryFieldCommand(CommandArgs args) {
  if (SkinMeshAnimationEntry* entry = SelectedEntry()) args.Set(entry->*Field);
  return 1;
}

template <std::uint32_t Bit>
int SkinMesh::SetEntryFlagCommand(CommandArgs args) {
  if (SkinMeshAnimationEntry* entry = SelectedEntry()) {
    entry->flags = args.Get<std::int32_t>() != 0 ? (entry->flags | Bit) : (entry->flags & ~Bit);
  }
  return 1;
}

template <std::uint32_t Bit>
int SkinMesh::GetEntryFlagCommand(CommandArgs args) {
  if (SkinMeshAnimationEntry* entry = SelectedEntry()) args.Set<std::int32_t>((entry->flags & Bit) != 0 ? 1 : 0);
  return 1;
}

// clang-format off
using S = SkinMesh;
using E = SkinMeshAnimationEntry;
constexpr int Set = kCommandSetter;
constexpr CommandEntry<SkinMesh> SkinMesh::kCommands[] = {
    {2500, "SkinMesh", P, 0, {kValueString}, Member<&S::SetSkinMeshCommand>, Member<&S::GetSkinMeshCommand>},
    {2502, "SetSkinMeshMaterial", C, Set, {kValueString}, Member<&S::SetMaterialCommand>},
    {2503, "ExposeBones", P, 0, {kValueBool}, Member<&S::SetExposeBonesCommand>, Member<&S::GetExposeBonesCommand>},
    {2505, "SkinMeshEnablePositionKeys", P, 0, {kValueBool}, Member<&S::SetSkinFlagCommand<kSkinMeshEnablePositionKeys>>, FlagGetter<&S::skinFlags_, kSkinMeshEnablePositionKeys>},
    {2507, "SkinMeshAnimationSpeed", P, 0, {kValueFloat}, Member<&S::SetAnimationSpeedCommand>, Member<&S::GetAnimationSpeedCommand>},
    {2509, "AddSkinMeshAnimation", C, Set, {kValueString}, Member<&S::AddAnimationCommand>},
    {2510, "SetSkinMeshAnimationList", C, 0, {kValueDword}, Member<&S::SetAnimationListCommand>},
    {2511, "GetSkinMeshAnimationList", C, 0, {kValuePointer}, Member<&S::GetAnimationListCommand>},
    {2512, "DeleteSkinMeshAnimation", C, Set, {}, Member<&S::DeleteAnimationCommand>},
    {2513, "SkinMeshAnimationFadeIn", P, 0, {kValueFloat}, Member<&S::SetEntryFieldCommand<&E::fadeIn>>, Member<&S::GetEntryFieldCommand<&E::fadeIn>>},
    {2515, "SkinMeshAnimationFadeOut", P, 0, {kValueFloat}, Member<&S::SetEntryFieldCommand<&E::fadeOut>>, Member<&S::GetEntryFieldCommand<&E::fadeOut>>},
    {2517, "SkinMeshAnimationChannel", P, 0, {kValueDword}, Member<&S::SetEntryFieldCommand<&E::channel>>, Member<&S::GetEntryFieldCommand<&E::channel>>},
    {2519, "SkinMeshAnimationBreakCurrent", P, 0, {kValueBool}, Member<&S::SetEntryFlagCommand<kSkinEntryBreakCurrent>>, Member<&S::GetEntryFlagCommand<kSkinEntryBreakCurrent>>},
    {2521, "SkinMeshAnimationUseAlternative", P, 0, {kValueBool}, Member<&S::SetEntryFlagCommand<kSkinEntryUseAlternative>>, Member<&S::GetEntryFlagCommand<kSkinEntryUseAlternative>>},
    {2523, "SkinMeshAnimationNoAITurning", P, 0, {kValueBool}, Member<&S::SetEntryFlagCommand<kSkinEntryNoAITurning>>, Member<&S::GetEntryFlagCommand<kSkinEntryNoAITurning>>},
    {2525, "SkinMeshAnimationAttackLeftHand", P, 0, {kValueBool}, Member<&S::SetEntryFlagCommand<kSkinEntryAttackLeftHand>>, Member<&S::GetEntryFlagCommand<kSkinEntryAttackLeftHand>>},
    {2527, "SkinMeshAnimationAttackRightHand", P, 0, {kValueBool}, Member<&S::SetEntryFlagCommand<kSkinEntryAttackRightHand>>, Member<&S::GetEntryFlagCommand<kSkinEntryAttackRightHand>>},
    {2529, "SkinMeshAnimationAttackLeftFoot", P, 0, {kValueBool}, Member<&S::SetEntryFlagCommand<kSkinEntryAttackLeftFoot>>, Member<&S::GetEntryFlagCommand<kSkinEntryAttackLeftFoot>>},
    {2531, "SkinMeshAnimationAttackRightFoot", P, 0, {kValueBool}, Member<&S::SetEntryFlagCommand<kSkinEntryAttackRightFoot>>, Member<&S::GetEntryFlagCommand<kSkinEntryAttackRightFoot>>},
    {2533, "SkinMeshAnimationAttackHead", P, 0, {kValueBool}, Member<&S::SetEntryFlagCommand<kSkinEntryAttackHead>>, Member<&S::GetEntryFlagCommand<kSkinEntryAttackHead>>},
    {2535, "ApplyRootMotion", P, 0, {kValueBool}, Member<&S::SetApplyRootMotionCommand>, Member<&S::GetApplyRootMotionCommand>},
    {2537, "HasNamePrefix", P, 0, {kValueBool}, Member<&S::SetHasNamePrefixCommand>, Member<&S::GetHasNamePrefixCommand>},
    {2539, "SkinMeshShowKeyPosition", P, 0, {kValueBool}, Member<&S::SetSkinFlagCommand<kSkinMeshShowKeyPosition>>, FlagGetter<&S::skinFlags_, kSkinMeshShowKeyPosition>},
    {2543, "SetSkinMeshAnimation", C, Set, {kValueString}, Member<&S::SetAnimationCommand>},
    {2544, "SetSkinMeshNextAnimation", C, Set, {kValueString}, Member<&S::SetNextAnimationCommand>},
    {2545, "SkinMeshAnimate", P, 0, {kValueBool}, Member<&S::SetSkinFlagCommand<kSkinMeshAnimate>>, FlagGetter<&S::skinFlags_, kSkinMeshAnimate>},
    {2547, "SetSkinMeshSubsetActive", C, Set, {kValueString128, kValueBool}, Member<&S::SetSubsetActiveCommand>},
    {2549, "StartSkinMeshRagDoll", C, Set, {}, Member<&S::StartRagDollCommand>},
    {2550, "StopSkinMeshRagDoll", C, Set, {}, Member<&S::StopRagDollCommand>},
    {2551, "SetDefaultRagDollValues", C, 0, {}, Member<&S::SetDefaultRagDollValuesCommand>},
};

std::span<const CommandEntry<SkinMesh>> SkinMesh::Commands() { return kCommands; }
// clang-format on

SkinMesh::SkinMesh() : Object(kClassSkinMesh) {
  boneMap_.fill(kNoBone);
  ResetStates();
}

void SkinMesh::ResetStates() {
  states_.assign(2, SkinMeshChannelState{});
}

// The copy keeps its handles (acquired by the member-wise copy) and drops
// what ties it to the source's skeleton, bones and listener.
void SkinMesh::CopyFrom(const Object& source) {
  Object::CopyFrom(source);
  SetSkinFlag(kSkinMeshRagDoll, false);
  ragDollTime_ = 0;
  listener_.Reset();
  boneMapBuilt_ = false;
  boneObjects_.clear();
  ResetStates();
  AcquireSkinMesh();
  for (SkinMeshAnimationEntry& entry : entries_) AcquireAnimation(entry);
}

int SkinMesh::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<SkinMesh> handlers(kClassSkinMesh, {kCommands});
  handlers.Run(*this, id, args);
  if (id == kCommandCollectResources && args != nullptr) {
    CollectResources(args);
  } else if (id == kCommandInitializeNewObject) {
    SetInheritOrientation(false);
  } else if (id == kCommandSetPoseParent && args != nullptr) {
    SetSkinFlag(kSkinMeshPoseParent, CommandArgs(args).Get<std::int32_t>() != 0);
  } else if (id == kCommandGetPoseParent && args != nullptr) {
    CommandArgs(args).Set<std::int32_t>((skinFlags_ & kSkinMeshPoseParent) != 0 ? 1 : 0);
  }
  return Object::ExecuteCommand(id, args);
}

SkinMeshAnimationEntry* SkinMesh::SelectedEntry() {
  const auto at = static_cast<std::size_t>(selected_);
  return selected_ >= 0 && at < entries_.size() ? &entries_[at] : nullptr;
}

// A prefix measured on the first entry is skipped only as far as each name goes.
std::size_t SkinMesh::PrefixSkip(const std::string& name) const {
  return hasNamePrefix_ != 0 ? std::min(prefixLength_, name.size()) : 0;
}

int SkinMesh::FindEntry(const std::string& name) const {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const std::string& full = entries_[i].name;
    if (strcasecmp(full.c_str() + PrefixSkip(full), name.c_str()) == 0) return static_cast<int>(i);
  }
  return -1;
}

int SkinMesh::HasAnimation(const std::string& name) const { return FindEntry(name) >= 0 ? 1 : 0; }

int SkinMesh::AddAnimation(const std::string& name) {
  const bool taken = std::any_of(entries_.begin(), entries_.end(),
                                 [&name](const SkinMeshAnimationEntry& entry) { return entry.name == name; });
  if (taken) return -1;
  SkinMeshAnimationEntry entry;
  entry.name = name;
  entry.ownIndex = static_cast<std::int32_t>(entries_.size());
  entries_.push_back(std::move(entry));
  return GetAnimationCount() - 1;
}

const SkinMeshAnimationEntry* SkinMesh::GetAnimationEntry(int index) const {
  return index >= 0 && index < GetAnimationCount() ? &entries_[static_cast<std::size_t>(index)] : nullptr;
}

std::string SkinMesh::GetAnimationName(int index) const {
  const SkinMeshAnimationEntry* entry = GetAnimationEntry(index);
  return entry ? entry->name.substr(PrefixSkip(entry->name)) : std::string();
}

std::string SkinMesh::GetAlternativeAnimationName(int index) const {
  const SkinMeshAnimationEntry* entry = GetAnimationEntry(index);
  if (entry && GetAnimationEntry(entry->baseIndex)) return GetAnimationName(entry->baseIndex);
  return GetAnimationName(index);
}

float SkinMesh::GetAnimationLength(int index) const {
  const SkinMeshAnimationEntry* entry = GetAnimationEntry(index);
  return entry ? tge::GetAnimationLength(entry->animation.Get()) : 0.0f;
}

int SkinMesh::SetSkinMeshNextAnimation(const std::string& name) {
  if (name != nextName_) nextName_ = name;
  return 1;
}

void SkinMesh::AcquireSkinMesh() {
  if (!skin_ && !skinName_.empty()) skin_ = AcquireServiceResource(skinName_, kSkinMeshResource);
  innerMesh_ = GetSkinMesh(skin_.Get());
}

Resource* SkinMesh::AcquireAnimation(SkinMeshAnimationEntry& entry) {
  if (!entry.animation) entry.animation = AcquireServiceResource(entry.name, kAnimationResource);
  if (entry.animation) entry.animation->Load();
  return entry.animation.Get();
}

void SkinMesh::CollectResources(void* block) {
  auto* set = static_cast<ResourceSet*>(block);
  AcquireSkinMesh();
  set->AddToResourceSet(skin_.Get());
  for (SkinMeshAnimationEntry& entry : entries_) {
    if (!entry.animation) entry.animation = AcquireServiceResource(entry.name, kAnimationResource);
    set->AddToResourceSet(entry.animation.Get());
  }
}

void SkinMesh::RebuildAlternatives() {
  for (std::size_t j = 0; j < entries_.size(); ++j) {
    SkinMeshAnimationEntry& entry = entries_[j];
    entry.alternatives.clear();
    entry.ownIndex = static_cast<std::int32_t>(j);
    for (int d = 1; d <= kMaxAlternatives; ++d) {
      char suffix[8];
      std::snprintf(suffix, sizeof suffix, "_%02d", d);
      const std::string wanted = entry.name + suffix;
      const auto found = std::find_if(entries_.begin(), entries_.end(),
                                       [&](const SkinMeshAnimationEntry& e) { return e.name == wanted; });
      if (found == entries_.end()) break;
      entry.alternatives.push_back(static_cast<std::int32_t>(found - entries_.begin()));
      found->baseIndex = static_cast<std::int32_t>(j);
    }
  }
}

void SkinMesh::Precalculate() {
  if (hasNamePrefix_ != 0 && !entries_.empty()) {
    const std::size_t underscore = entries_[0].name.find('_');
    prefixLength_ = underscore == std::string::npos ? 0 : underscore + 1;
  }
  RebuildAlternatives();
  Object::Precalculate();
}

bool SkinMesh::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  const int version = stream.GetVersion();
  if (version < 1) return !stream.Failed();
  stream.SerializeDword(&skinFlags_);
  stream.SerializeString(skinName_);
  stream.SerializeDword(&exposeBones_);
  stream.SerializeDword(&applyRootMotion_);
  stream.SerializeDword(&hasNamePrefix_);
  stream.SerializeString(neutralName_);
  auto count = static_cast<std::uint32_t>(entries_.size());
  stream.SerializeDword(&count);
  if (!stream.IsWriting()) {
    if (stream.Failed() || static_cast<std::int64_t>(count) * kMinEntryBytes > stream.GetSize() - stream.Tell()) {
      stream.MarkFailed();
      return false;
    }
    entries_.clear();
    entries_.resize(count);
    selected_ = -1;
    currentEntry_ = -1;
    ResetStates();
  }
  for (SkinMeshAnimationEntry& entry : entries_) {
    stream.SerializeString(entry.name);
    stream.SerializeDword(&entry.flags);
    stream.SerializeDword(&entry.fadeIn);
    if (version >= kFirstVersionWithFadeOut) stream.SerializeDword(&entry.fadeOut);
    stream.SerializeDword(&entry.channel);
    if (!stream.IsWriting() && version <= kLastVersionWithoutAlternativeFlag) entry.flags |= kSkinEntryUseAlternative;
  }
  SetSkinFlag(kSkinMeshShowKeyPosition, false);
  return !stream.Failed();
}

// The handle in hand is given back only once the new one is held.
int SkinMesh::SetSkinMeshCommand(CommandArgs args) {
  skinName_ = args.AsString();
  skin_.Reset();
  innerMesh_ = nullptr;
  boneMapBuilt_ = false;
  BuildBoneMap();
  return 1;
}

int SkinMesh::GetSkinMeshCommand(CommandArgs args) {
  args.AsString() = skinName_;
  return 1;
}

int SkinMesh::SetMaterialCommand(CommandArgs args) {
  material_ = AcquireServiceResource(args.AsString(), kMaterialResource);
  return 1;
}

int SkinMesh::SetExposeBonesCommand(CommandArgs args) {
  ExposeBones(args.Get<std::int32_t>() != 0);
  return 1;
}

int SkinMesh::GetExposeBonesCommand(CommandArgs args) {
  args.Set<std::int32_t>(exposeBones_);
  return 1;
}

int SkinMesh::SetAnimationSpeedCommand(CommandArgs args) {
  animationSpeed_ = args.Get<float>();
  return 1;
}

int SkinMesh::GetAnimationSpeedCommand(CommandArgs args) {
  args.Set(animationSpeed_);
  return 1;
}

int SkinMesh::AddAnimationCommand(CommandArgs args) {
  AddAnimation(args.AsString());
  return 1;
}

// An index outside the list plays nothing.
int SkinMesh::SetAnimationListCommand(CommandArgs args) {
  selected_ = args.Get<std::int32_t>();
  SkinMeshAnimationEntry* entry = SelectedEntry();
  if (!entry) return 1;
  AcquireAnimation(*entry);
  const std::string name = GetAnimationName(selected_);
  SetSkinMeshAnimation(name, 0);
  SetSkinMeshNextAnimation(name);
  return 1;
}

int SkinMesh::GetAnimationListCommand(CommandArgs args) {
  auto& names = *static_cast<std::vector<std::string>*>(args.Data());
  for (const SkinMeshAnimationEntry& entry : entries_) names.push_back(entry.name);
  return 1;
}

// States playing the erased entry fall idle; the others follow their
// entry's new index.
int SkinMesh::DeleteAnimationCommand(CommandArgs) {
  if (!SelectedEntry()) return 1;
  const std::int32_t erased = selected_;
  entries_.erase(entries_.begin() + erased);
  for (SkinMeshChannelState& state : states_) {
    if (state.entry == erased) state.Idle();
    if (state.entry > erased) --state.entry;
  }
  if (currentEntry_ == erased) currentEntry_ = -1;
  if (currentEntry_ > erased) --currentEntry_;
  for (SkinMeshAnimationEntry& entry : entries_) entry.baseIndex = -1;
  RebuildAlternatives();
  selected_ = entries_.empty() ? -1 : 0;
  return 1;
}

int SkinMesh::SetApplyRootMotionCommand(CommandArgs args) {
  applyRootMotion_ = args.Get<std::int32_t>();
  return 1;
}

int SkinMesh::GetApplyRootMotionCommand(CommandArgs args) {
  args.Set(applyRootMotion_);
  return 1;
}

int SkinMesh::SetHasNamePrefixCommand(CommandArgs args) {
  hasNamePrefix_ = args.Get<std::int32_t>();
  return 1;
}

int SkinMesh::GetHasNamePrefixCommand(CommandArgs args) {
  args.Set(hasNamePrefix_);
  return 1;
}

int SkinMesh::SetAnimationCommand(CommandArgs args) {
  SetSkinMeshAnimation(args.AsString(), 0);
  return 1;
}

int SkinMesh::SetNextAnimationCommand(CommandArgs args) {
  SetSkinMeshNextAnimation(args.AsString());
  return 1;
}

int SkinMesh::SetSubsetActiveCommand(CommandArgs args) {
  if (skin_) SetSkinMeshSubsetActive(skin_.Get(), args.GetText128(), args.Get<std::int32_t>(128) != 0 ? 1 : 0);
  return 1;
}

int SkinMesh::StartRagDollCommand(CommandArgs) {
  StartRagDoll(kStartRagDollTime);
  return 1;
}

int SkinMesh::StopRagDollCommand(CommandArgs) {
  StopRagDoll();
  return 1;
}

int SkinMesh::SetDefaultRagDollValuesCommand(CommandArgs) {
  SetDefaultRagDollValues();
  return 1;
}

void RegisterSkinMeshCommands() {
  RegisterCommandTable<SkinMesh>(BuildCommandRegistry(), kClassSkinMesh, SkinMesh::Commands());
  GetObjectFactory().RegisterType<SkinMesh>(kClassSkinMesh);
}

}  // namespace tge
