// FilmGrain's command table, grain, specks, scratches and file record.
#include "objects/scene/FilmGrain.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"
#include "core/math/Random.h"
#include "services/EngineServices.h"
#include "services/resources/MaterialResource.h"
#include "services/resources/Resource.h"
#include "services/resources/ResourceSet.h"
#include "services/resources/ResourceType.h"
#include "services/resources/TextureResource.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr auto C = CommandKind::kCommand;
constexpr float kQuadDepth = 0.99f;
constexpr float kGrainQueueDepth = 2000.0f;
constexpr float kGrainShade = 0.8f;
// The grain's window is three quarters as tall as it is wide.
constexpr float kGrainAspect = 0.75f;
constexpr float kSpeckDepth = 100.0f;
constexpr float kLitSpeck = 0.7f;
constexpr float kScratchWidth = 16.0f;
constexpr float kScratchWobbleRate = 20.0f;
constexpr float kScratchWobble = 20.0f;
constexpr float kScratchLight = 0.9f;
constexpr float kScratchLightAlpha = 0.6f;
constexpr std::uint32_t kOverlayFlags = 0x12;
constexpr int kFirstVersionWithEntrySize = 30;
// A stored entry: its name's length and a spare word, then its size.
constexpr std::uint64_t kMinEntryBytes = 8;
constexpr std::uint64_t kEntrySizeBytes = 8;

float RandomFraction() { return float(Rand() % 1000) * 0.001f; }

}  // namespace

// clang-format off
using F = FilmGrain;
constexpr CommandEntry<FilmGrain> FilmGrain::kCommands[] = {
    {2750, "FilmGrainMaterial", P, 0, {kValueString}, Member<&F::SetMaterialCommand>, Member<&F::GetMaterialCommand>},
    {2752, "AddFilmGrainLineMaterial", C, 0, {kValueString}, Member<&F::AddEntryCommand<&F::lines_, &F::currentLine_>>},
    {2753, "SetFilmGrainLineMaterialList", C, 0, {kValueDword}, Member<&F::SetCurrentCommand<&F::currentLine_>>},
    {2754, "GetFilmGrainLineMaterialList", C, kCommandObjectBlock, {kValuePointer}, Member<&F::GetNamesCommand<&F::lines_>>},
    {2755, "DeleteFilmGrainLineMaterial", C, 0, {}, Member<&F::DeleteEntryCommand<&F::lines_, &F::currentLine_>>},
    {2756, "AddFilmGrainDetailMaterial", C, 0, {kValueString}, Member<&F::AddEntryCommand<&F::details_, &F::currentDetail_>>},
    {2757, "SetFilmGrainDetailMaterialList", C, 0, {kValueDword}, Member<&F::SetCurrentCommand<&F::currentDetail_>>},
    {2758, "GetFilmGrainDetailMaterialList", C, kCommandObjectBlock, {kValuePointer}, Member<&F::GetNamesCommand<&F::details_>>},
    {2759, "DeleteFilmGrainDetailMaterial", C, 0, {}, Member<&F::DeleteEntryCommand<&F::details_, &F::currentDetail_>>},
    {2760, "FilmGrainDetailWidth", P, 0, {kValueFloat}, Member<&F::SetDetailField<&FilmGrainEntry::width>>, Member<&F::GetDetailField<&FilmGrainEntry::width>>},
    {2762, "FilmGrainDetailHeight", P, 0, {kValueFloat}, Member<&F::SetDetailField<&FilmGrainEntry::height>>, Member<&F::GetDetailField<&FilmGrainEntry::height>>},
};

std::span<const CommandEntry<FilmGrain>> FilmGrain::Commands() { return kCommands; }
// clang-format on

FilmGrain::FilmGrain() : Object(kClassFilmGrain) {}

int FilmGrain::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<FilmGrain> handlers(kClassFilmGrain, {kCommands});
  if (!handlers.Run(*this, id, args) && id == kCommandCollectResources && args != nullptr) {
    CollectResources(*static_cast<ResourceSet*>(args));
  }
  return Object::ExecuteCommand(id, args);
}

// The material in hand goes, so the next draw takes the one now named.
int FilmGrain::SetMaterialCommand(CommandArgs args) {
  materialName_ = args.AsString();
  material_.Reset();
  return 1;
}

int FilmGrain::GetMaterialCommand(CommandArgs args) {
  args.AsString() = materialName_;
  return 1;
}

template <FilmGrain::List Entries, FilmGrain::Index Current>
int FilmGrain::AddEntryCommand(CommandArgs args) {
  (this->*Entries).push_back(FilmGrainEntry{args.AsString(), {}});
  this->*Current = std::int32_t((this->*Entries).size()) - 1;
  return 1;
}

template <FilmGrain::Index Current>
int FilmGrain::SetCurrentCommand(CommandArgs args) {
  this->*Current = args.Get<std::int32_t>();
  return 1;
}

template <FilmGrain::List Entries>
int FilmGrain::GetNamesCommand(CommandArgs args) {
  auto& names = *static_cast<std::vector<std::string>*>(args.Data());
  for (const FilmGrainEntry& entry : this->*Entries) names.push_back(entry.name);
  return 1;
}

template <FilmGrain::List Entries, FilmGrain::Index Current>
int FilmGrain::DeleteEntryCommand(CommandArgs) {
  auto& entries = this->*Entries;
  const auto at = std::uint32_t(this->*Current);
  if (at < entries.size()) {
    entries.erase(entries.begin() + at);
    this->*Current = -1;
  }
  return 1;
}

FilmGrainEntry* FilmGrain::SelectedDetail() {
  const auto at = std::uint32_t(currentDetail_);
  return at < details_.size() ? &details_[at] : nullptr;
}

template <auto Field>
int FilmGrain::SetDetailField(CommandArgs args) {
  if (FilmGrainEntry* entry = SelectedDetail()) entry->*Field = args.Get<float>();
  return 1;
}

template <auto Field>
int FilmGrain::GetDetailField(CommandArgs args) {
  if (FilmGrainEntry* entry = SelectedDetail()) args.Set(entry->*Field);
  return 1;
}

void FilmGrain::AcquireGrainMaterial() {
  if (material_ || materialName_.empty()) return;
  material_ = AcquireServiceResource(materialName_, kMaterialResource);
  int width = 0;
  GetTextureInfo(GetMaterialTexture(material_.Get(), 0), &width, nullptr, nullptr, nullptr);
  if (width != 0) grainTextureWidth_ = float(width);
}

void FilmGrain::CollectResources(ResourceSet& set) {
  AcquireGrainMaterial();
  set.AddToResourceSet(material_.Get());
  for (auto* list : {&lines_, &details_}) {
    for (FilmGrainEntry& entry : *list) {
      if (!entry.material) entry.material = AcquireServiceResource(entry.name, kMaterialResource);
      set.AddToResourceSet(entry.material.Get());
    }
  }
}

void FilmGrain::Precalculate() {
  EngineServices* services = GetEngineServices();
  screenWidth_ = services != nullptr ? std::uint32_t(std::max(services->GetScreenWidth(), 0)) : 0;
  screenHeight_ = services != nullptr ? std::uint32_t(std::max(services->GetScreenHeight(), 0)) : 0;
  const float w = float(screenWidth_), h = float(screenHeight_);
  const std::uint32_t colour = ColorToDword(Color{kGrainShade, kGrainShade, kGrainShade, kGrainShade});
  const float corners[4][2] = {{0, 0}, {w, 0}, {0, h}, {w, h}};
  for (std::size_t i = 0; i < quad_.size(); ++i) {
    quad_[i] = {corners[i][0], corners[i][1], kQuadDepth, 1.0f, colour, quad_[i].u, quad_[i].v};
  }
  Object::Precalculate();
}

// A grain texture of unknown width counts as one as wide as the screen.
void FilmGrain::JumpGrain() {
  const float textureWidth = grainTextureWidth_ != 0 ? grainTextureWidth_ : float(screenWidth_);
  const float r = float(screenWidth_) / textureWidth;
  const float gu = RandomFraction(), gv = RandomFraction();
  const float uv[4][2] = {{gu, gv}, {gu + r, gv}, {gu, gv + kGrainAspect * r}, {gu + r, gv + kGrainAspect * r}};
  for (std::size_t i = 0; i < quad_.size(); ++i) {
    quad_[i].u = uv[i][0];
    quad_[i].v = uv[i][1];
  }
}

void FilmGrain::MakeSpecks(float strength) {
  if (details_.empty()) return;
  specks_.resize(kSpecks);
  for (FilmGrainSpeck& speck : specks_) {
    const FilmGrainEntry& entry = details_[std::size_t(Rand()) % details_.size()];
    speck.material = entry.material;
    const float x = float(std::uint32_t(Rand()) % screenWidth_);
    const float y = float(std::uint32_t(Rand()) % screenHeight_);
    speck.position = {x, y, kSpeckDepth};
    speck.width = entry.width + float(Rand() % 32);
    speck.height = entry.height + float(Rand() % 32);
    const float grey = Rand() % 4 == 0 ? kLitSpeck : 0.0f;
    speck.colour = {grey, grey, grey, strength};
  }
}

void FilmGrain::DrawGrain(float strength, float dt) {
  if (!material_ || strength <= 0) return;
  grainTimer_ += dt;
  if (grainTimer_ > kGrainInterval) {
    grainTimer_ = 0;
    JumpGrain();
    MakeSpecks(strength);
  }
  GetEngineServices()->GetRenderQueue().QueueScreenQuad(material_.Get(), quad_, kGrainQueueDepth);
}

// The scratch's line entry is checked at every draw: the list may have
// shrunk since the scratch began.
void FilmGrain::DrawScratch(float strength, float dt) {
  if (lines_.empty()) return;
  scratchGap_ -= dt;
  if (scratchGap_ < 0) {
    scratchTime_ = float(1 + Rand() % 3);
    scratchGap_ = scratchTime_ + float(Rand() % 2);
    scratchColour_ = Rand() % 2 == 0 ? Color{0, 0, 0, strength}
                                     : Color{kScratchLight, kScratchLight, kScratchLight, kScratchLightAlpha * strength};
    scratchX_ = float(std::uint32_t(Rand()) % screenWidth_);
    scratchIndex_ = std::uint32_t(Rand()) % std::uint32_t(lines_.size());
  }
  if (scratchTime_ <= 0) return;
  scratchTime_ -= dt;
  if (scratchIndex_ >= lines_.size()) return;
  const float x = std::sin(scratchTime_ * kScratchWobbleRate) * kScratchWobble + scratchX_;
  GetEngineServices()->GetRenderQueue().QueueSprite(lines_[scratchIndex_].material.Get(), {x, 0, kSpeckDepth},
                                                    kScratchWidth, float(screenHeight_), scratchColour_,
                                                    kOverlayFlags);
}

void FilmGrain::Draw() {
  if (!GetActive()) return;
  if (HasFlag(kFlagActionStarted) && GetEngineServices() != nullptr && screenWidth_ != 0 && screenHeight_ != 0) {
    AcquireGrainMaterial();
    const float strength = GetActionValue();
    const float dt = GetFrameTime();
    DrawGrain(strength, dt);
    RenderQueue& queue = GetEngineServices()->GetRenderQueue();
    for (const FilmGrainSpeck& speck : specks_) {
      queue.QueueSprite(speck.material.Get(), speck.position, speck.width, speck.height, speck.colour, kOverlayFlags);
    }
    DrawScratch(strength, dt);
  }
  Object::Draw();
}

bool FilmGrain::SerializeEntries(SerializeStream& stream, std::vector<FilmGrainEntry>& entries) {
  const bool sized = stream.GetVersion() >= kFirstVersionWithEntrySize;
  auto count = std::uint32_t(entries.size());
  stream.Serialize(count);
  if (!stream.IsWriting()) {
    if (stream.Failed() || !CountFitsStream(stream, count, kMinEntryBytes + (sized ? kEntrySizeBytes : 0))) {
      stream.MarkFailed();
      return false;
    }
    entries.clear();
    entries.resize(count);
  }
  for (FilmGrainEntry& entry : entries) {
    stream.SerializeString(entry.name);
    std::uint32_t spare = 0;
    stream.Serialize(spare);
    if (sized) {
      stream.Serialize(entry.width);
      stream.Serialize(entry.height);
    }
  }
  return !stream.Failed();
}

bool FilmGrain::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  if (stream.GetVersion() < 1) return !stream.Failed();
  stream.Serialize(spare_);
  stream.SerializeString(materialName_);
  if (!stream.IsWriting()) material_.Reset();
  return SerializeEntries(stream, lines_) && SerializeEntries(stream, details_);
}

void RegisterFilmGrainCommands() {
  RegisterCommandTable<FilmGrain>(BuildCommandRegistry(), kClassFilmGrain, FilmGrain::Commands());
  GetObjectFactory().RegisterType<FilmGrain>(kClassFilmGrain);
}

}  // namespace tge
