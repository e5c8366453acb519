#include "services/resources/MorphMeshResource.h"

#include "core/files/SerializeStream.h"

namespace tge {
namespace {

// A stored target: its value and an empty name's length word.
constexpr std::uint64_t kMinTargetBytes = 8;

}  // namespace

int MorphMeshResource::Load() {
  int result = 1;
  for (const MorphTarget& target : targets) {
    if (target.mesh && !target.mesh->Load()) result = 0;
  }
  return result;
}

int MorphMeshResource::Unload() {
  for (const MorphTarget& target : targets) {
    if (target.mesh) target.mesh->Unload();
  }
  return 1;
}

void MorphMeshResource::ForEachDependency(const Visitor& visit) {
  for (const MorphTarget& target : targets) {
    if (target.mesh) visit(*target.mesh);
  }
}

bool MorphMeshResource::SerializeFields(SerializeStream& stream, const ResourceDatabase& database) {
  SerializeResourceName(stream, database, baseMesh, kMeshResource);
  auto count = static_cast<std::uint32_t>(targets.size());
  stream.SerializeDword(&count);
  if (!CountFitsStream(stream, count, kMinTargetBytes)) return false;
  targets.resize(count);
  for (MorphTarget& target : targets) {
    stream.SerializeDword(&target.value);
    SerializeResourceName(stream, database, target.mesh, kMeshResource);
  }
  return true;
}

Resource* GetMorphBaseMesh(Resource* morph) {
  auto* m = ResourceCast<MorphMeshResource>(morph);
  return m ? m->baseMesh : nullptr;
}

std::size_t GetMorphTargetCount(Resource* morph) {
  auto* m = ResourceCast<MorphMeshResource>(morph);
  return m ? m->targets.size() : 0;
}

}  // namespace tge
