// MorphMesh's command table, resources, drawing and file record.
#include "objects/scene/animation/MorphMesh.h"

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"
#include "services/EngineServices.h"
#include "services/resources/MorphMeshResource.h"
#include "services/resources/ResourceSet.h"
#include "services/resources/ResourceType.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr auto C = CommandKind::kCommand;

// The next target, wrapping at or beyond the count (0 without targets).
std::uint32_t NextTarget(std::uint32_t target, std::uint32_t count) { return target + 1 < count ? target + 1 : 0; }

}  // namespace

// clang-format off
constexpr CommandEntry<MorphMesh> MorphMesh::kCommands[] = {
    {19250, "MorphMesh", P, 0, {kValueString}, Member<&MorphMesh::SetMorphMeshCommand>, Member<&MorphMesh::GetMorphMeshCommand>},
    {19252, "MorphMeshDestinationMesh", P, 0, {kValueString}, Member<&MorphMesh::SetDestinationCommand>, Member<&MorphMesh::GetDestinationCommand>},
    {19254, "SetMorphMeshMaterial", C, kCommandSetter, {kValueString}, Member<&MorphMesh::SetMaterialCommand>},
    {19255, "MorphMeshSpeed", P, 0, {kValueFloat}, Member<&MorphMesh::SetSpeedCommand>, Member<&MorphMesh::GetSpeedCommand>},
};

std::span<const CommandEntry<MorphMesh>> MorphMesh::Commands() { return kCommands; }
// clang-format on

MorphMesh::MorphMesh() : Object(kClassMorphMesh) {}

// The copy holds nothing until it acquires again.
void MorphMesh::CopyFrom(const Object& source) {
  Object::CopyFrom(source);
  morph_.Reset();
  destination_.Reset();
  material_.Reset();
}

int MorphMesh::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<MorphMesh> handlers(kClassMorphMesh, {kCommands});
  handlers.Run(*this, id, args);
  if (id == kCommandCollectResources && args != nullptr) {
    CollectResources(args);
  } else if (id == kCommandInitializeNewObject) {
    SetInheritOrientation(false);
  }
  return Object::ExecuteCommand(id, args);
}

void MorphMesh::AcquireMorphMesh() {
  morph_ = AcquireServiceResource(morphName_, kMorphMeshResource);
  targetCount_ = static_cast<std::uint32_t>(GetMorphTargetCount(morph_.Get()));
  targetA_ = targetCount_ != 0 ? targetA_ % targetCount_ : 0;
  targetB_ = targetCount_ != 0 ? targetB_ % targetCount_ : 0;
}

// A name that finds nothing is tried again the next time.
void MorphMesh::AcquireMissing() {
  if (!morph_ && !morphName_.empty()) AcquireMorphMesh();
  if (!destination_ && !destinationName_.empty()) destination_ = AcquireServiceResource(destinationName_, kMeshResource);
}

void MorphMesh::CollectResources(void* block) {
  auto* set = static_cast<ResourceSet*>(block);
  AcquireMissing();
  set->AddToResourceSet(morph_.Get());
  set->AddToResourceSet(destination_.Get());
}

void MorphMesh::Advance() {
  weight_ -= GetFrameTime() * speed_;
  if (weight_ < 0) {
    targetA_ = NextTarget(targetA_, targetCount_);
    targetB_ = NextTarget(targetB_, targetCount_);
    weight_ = 1.0f;
  }
  blendIndices_[0] = targetA_;
  blendIndices_[1] = targetB_;
  blendWeights_[0] = weight_;
  blendWeights_[1] = 1.0f - weight_;
}

void MorphMesh::Draw() {
  if (!GetActive()) return;
  EngineServices* services = GetEngineServices();
  const float action = GetActionValue();
  AcquireMissing();
  if (services != nullptr && morph_ && action > 0 && blendCount_ != 0) {
    Advance();
    RenderQueue& queue = services->GetRenderQueue();
    queue.QueueLinkedMesh(morph_.Get(), GetWorldMatrix(), blendCount_, blendIndices_, blendWeights_,
                          destination_.Get(), material_.Get(), nullptr, action);
    for (int i = 0; i < GetChildCount(); ++i) {
      queue.QueueMesh(destination_.Get(), GetChild(i)->GetWorldMatrix(), material_.Get(), nullptr, action, nullptr);
    }
  }
  Object::Draw();
}

bool MorphMesh::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  if (stream.GetVersion() < 1) return !stream.Failed();
  stream.SerializeDword(&storedWord_);
  stream.SerializeString(morphName_);
  stream.SerializeString(destinationName_);
  return !stream.Failed();
}

int MorphMesh::SetMorphMeshCommand(CommandArgs args) {
  morphName_ = args.AsString();
  AcquireMorphMesh();
  return 1;
}

int MorphMesh::GetMorphMeshCommand(CommandArgs args) {
  args.AsString() = morphName_;
  return 1;
}

int MorphMesh::SetDestinationCommand(CommandArgs args) {
  destinationName_ = args.AsString();
  destination_ = AcquireServiceResource(destinationName_, kMeshResource);
  return 1;
}

int MorphMesh::GetDestinationCommand(CommandArgs args) {
  args.AsString() = destinationName_;
  return 1;
}

int MorphMesh::SetMaterialCommand(CommandArgs args) {
  material_ = AcquireServiceResource(args.AsString(), kMaterialResource);
  return 1;
}

int MorphMesh::SetSpeedCommand(CommandArgs args) {
  speed_ = args.Get<float>();
  return 1;
}

int MorphMesh::GetSpeedCommand(CommandArgs args) {
  args.Set(speed_);
  return 1;
}

void RegisterMorphMeshCommands() {
  RegisterCommandTable<MorphMesh>(BuildCommandRegistry(), kClassMorphMesh, MorphMesh::Commands());
  GetObjectFactory().RegisterType<MorphMesh>(kClassMorphMesh);
}

}  // namespace tge
