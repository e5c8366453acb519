// Mesh's command table, resources, drawing and file record.
#include "objects/scene/Mesh.h"

#include <algorithm>
#include <cstdio>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/WorldPhysicsHooks.h"
#include "core/files/SerializeStream.h"
#include "services/EngineServices.h"
#include "services/resources/ResourceSet.h"
#include "services/resources/ResourceType.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr auto C = CommandKind::kCommand;
constexpr int kFirstVersionWithMaterialName = 58;
// A frame material's name ends in two digits and "Mat".
constexpr std::size_t kFrameSuffixLength = 5;
// A stored entry: its name's length, then four words.
constexpr std::int64_t kEntryBytes = 4 + 4 * 4;
const char* const kUvwModifierName = "Modifier_UVW";

}  // namespace

// clang-format off
constexpr CommandEntry<Mesh> Mesh::kCommands[] = {
    {500, "AddMesh", C, 0, {kValueString}, Member<&Mesh::AddMeshCommand>},
    {501, "DeleteMesh", C, 0, {}, Member<&Mesh::DeleteMeshCommand>},
    {502, "GetMeshList", C, kCommandObjectBlock, {kValuePointer}, Member<&Mesh::GetMeshListCommand>},
    {503, "SetMeshList", C, 0, {kValueDword}, Member<&Mesh::SetMeshListCommand>},
    {504, "MeshCollectable", P, 0, {kValueBool}, Member<&Mesh::SetCollectableCommand>, Member<&Mesh::GetCollectableCommand>},
    {506, "MeshMaterial", P, 0, {kValueString}, Member<&Mesh::SetMaterialCommand>, Member<&Mesh::GetMaterialCommand>},
    {508, "MeshAnimatedMaterial", P, 0, {kValueBool}, Member<&Mesh::SetAnimatedMaterialCommand>, Member<&Mesh::GetAnimatedMaterialCommand>},
    {510, "MeshAnimatedMaterialSpeed", P, 0, {kValueFloat}, Member<&Mesh::SetFrameDurationCommand>, Member<&Mesh::GetFrameDurationCommand>},
};

std::span<const CommandEntry<Mesh>> Mesh::Commands() { return kCommands; }
// clang-format on

Mesh::Mesh() : Object(kClassMesh) {}

void Mesh::CopyFrom(const Object& source) {
  Object::CopyFrom(source);
  uvwModifier_.Reset();
}

// Every id goes on to the base handler, whose result is the answer.
int Mesh::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<Mesh> handlers(kClassMesh, {kCommands});
  handlers.Run(*this, id, args);
  if (id == kCommandCollectResources && args != nullptr) {
    CollectResources(args);
  } else if ((id == kCommandChildDeleted || id == kCommandChildMoved) && uvwModifier_ == static_cast<Object*>(args)) {
    uvwModifier_.Reset();
  }
  return Object::ExecuteCommand(id, args);
}

int Mesh::AddMesh(const std::string& name) {
  const bool taken = std::any_of(entries_.begin(), entries_.end(),
                                 [&name](const MeshListEntry& entry) { return entry.name == name; });
  if (taken) return -1;
  entries_.push_back(MeshListEntry{ResourceRef(), name});
  return GetMeshCount() - 1;
}

Resource* Mesh::GetMeshResource(int index) {
  LoadMeshes();
  if (index < 0 || index >= GetMeshCount()) return nullptr;
  return entries_[static_cast<std::size_t>(index)].resource.Get();
}

// A name that finds nothing is tried again the next time.
void Mesh::LoadMeshes() {
  for (MeshListEntry& entry : entries_) {
    if (!entry.resource && !entry.name.empty()) entry.resource = AcquireServiceResource(entry.name, kMeshResource);
  }
}

void Mesh::LoadMaterialFrames() {
  if ((meshFlags_ & kMeshAnimatedMaterial) == 0 || materialName_.size() < kFrameSuffixLength || !frames_.empty()) {
    return;
  }
  const std::string base = materialName_.substr(0, materialName_.size() - kFrameSuffixLength);
  for (int i = 0; i < kMaxMaterialFrames; ++i) {
    char number[8];
    std::snprintf(number, sizeof number, "%02d", i);
    ResourceRef frame = AcquireServiceResource(base + number + "Mat", kMaterialResource);
    if (!frame) break;
    frames_.push_back(std::move(frame));
  }
}

// The frame shown restarts with the new list, so it always indexes into it.
void Mesh::ReloadMaterialFrames() {
  frames_.clear();
  frameIndex_ = 0;
  frameTime_ = 0;
  LoadMaterialFrames();
}

void Mesh::CollectResources(void* block) {
  auto* set = static_cast<ResourceSet*>(block);
  LoadMeshes();
  for (const MeshListEntry& entry : entries_) set->AddToResourceSet(entry.resource.Get());
  LoadMaterialFrames();
  for (const ResourceRef& frame : frames_) set->AddToResourceSet(frame.Get());
}

void Mesh::AdvanceMaterialFrame() {
  frameTime_ += GetFrameTime();
  if (frameTime_ <= frameDuration_) return;
  ++frameIndex_;
  if (frameIndex_ >= frames_.size() - 1) frameIndex_ = 0;
  frameTime_ -= frameDuration_;
}

// The modifier's translation moves into the third row, where two-component
// texture coordinates take theirs.
const Matrix4* Mesh::UpdateTextureMatrix() {
  Object* modifier = uvwModifier_.Get();
  if (modifier == nullptr) return nullptr;
  textureMatrix_ = modifier->GetWorldMatrix();
  for (int i = 0; i < 3; ++i) textureMatrix_.m[8 + i] = textureMatrix_.m[12 + i];
  return &textureMatrix_;
}

void Mesh::Draw() {
  if (!GetActive()) return;
  EngineServices* services = GetEngineServices();
  if (HasFlag(kFlagActionStarted) && services != nullptr) {
    Resource* material = material_.Get();
    if ((meshFlags_ & kMeshAnimatedMaterial) != 0 && !frames_.empty()) {
      AdvanceMaterialFrame();
      material = frames_[frameIndex_].Get();
    }
    LoadMeshes();
    const Matrix4* textureMatrix = UpdateTextureMatrix();
    const Matrix4& world = GetWorldMatrix();
    for (const MeshListEntry& entry : entries_) {
      services->GetRenderQueue().QueueMesh(entry.resource.Get(), world, material, nullptr, GetActionValue(),
                                           textureMatrix);
    }
  }
  Object::Draw();
}

void Mesh::Precalculate() {
  WorldPhysicsHooks* hooks = GetWorldPhysicsHooks();
  if (GetSpace() != nullptr && hooks != nullptr) hooks->LinkMesh(*GetSpace(), *this);
  uvwModifier_.Set(FindChildByName(kUvwModifierName, -1));
  Object::Precalculate();
}

// The material is not acquired on load: a loaded mesh draws with its parts'
// own materials until the material setter runs again.
bool Mesh::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  const int version = stream.GetVersion();
  if (version < 1) return !stream.Failed();
  stream.Serialize(meshFlags_);
  stream.Serialize(frameDuration_);
  if (version >= kFirstVersionWithMaterialName) stream.SerializeString(materialName_);
  auto count = static_cast<std::uint32_t>(entries_.size());
  stream.Serialize(count);
  if (!stream.IsWriting()) {
    if (stream.Failed() || static_cast<std::int64_t>(count) * kEntryBytes > stream.GetSize() - stream.Tell()) {
      stream.MarkFailed();
      return false;
    }
    entries_.clear();
    entries_.resize(count);
    selected_ = -1;
  }
  for (MeshListEntry& entry : entries_) {
    stream.SerializeString(entry.name);
    stream.Serialize(entry.second);
    stream.Serialize(entry.first);
    std::uint32_t unused[2] = {0, 0};
    stream.Serialize(unused);
  }
  return !stream.Failed();
}

int Mesh::AddMeshCommand(CommandArgs args) {
  AddMesh(args.AsString());
  return 1;
}

int Mesh::DeleteMeshCommand(CommandArgs) {
  const auto at = static_cast<std::uint32_t>(selected_);
  if (at < entries_.size()) entries_.erase(entries_.begin() + at);
  selected_ = entries_.empty() ? -1 : 0;
  return 1;
}

int Mesh::GetMeshListCommand(CommandArgs args) {
  auto& names = *static_cast<std::vector<std::string>*>(args.Data());
  for (const MeshListEntry& entry : entries_) names.push_back(entry.name);
  return 1;
}

int Mesh::SetMeshListCommand(CommandArgs args) {
  selected_ = args.Get<std::int32_t>();
  return 1;
}

int Mesh::SetCollectableCommand(CommandArgs args) {
  meshFlags_ = args.Get<std::int32_t>() != 0 ? (meshFlags_ | kMeshCollectable) : (meshFlags_ & ~kMeshCollectable);
  return 1;
}

int Mesh::GetCollectableCommand(CommandArgs args) {
  args.Set<std::int32_t>(IsCollectable() ? 1 : 0);
  return 1;
}

// The material in hand is given back only once the new one is held.
int Mesh::SetMaterialCommand(CommandArgs args) {
  materialName_ = args.AsString();
  material_ = AcquireServiceResource(materialName_, kMaterialResource);
  ReloadMaterialFrames();
  return 1;
}

int Mesh::GetMaterialCommand(CommandArgs args) {
  args.AsString() = materialName_;
  return 1;
}

int Mesh::SetAnimatedMaterialCommand(CommandArgs args) {
  const bool on = args.Get<std::int32_t>() != 0;
  meshFlags_ = on ? (meshFlags_ | kMeshAnimatedMaterial) : (meshFlags_ & ~kMeshAnimatedMaterial);
  ReloadMaterialFrames();
  return 1;
}

int Mesh::GetAnimatedMaterialCommand(CommandArgs args) {
  args.Set<std::int32_t>((meshFlags_ & kMeshAnimatedMaterial) != 0 ? 1 : 0);
  return 1;
}

int Mesh::SetFrameDurationCommand(CommandArgs args) {
  frameDuration_ = args.Get<float>();
  return 1;
}

int Mesh::GetFrameDurationCommand(CommandArgs args) {
  args.Set(frameDuration_);
  return 1;
}

void RegisterMeshCommands() {
  RegisterCommandTable<Mesh>(BuildCommandRegistry(), kClassMesh, Mesh::Commands());
  GetObjectFactory().RegisterType<Mesh>(kClassMesh);
}

}  // namespace tge
