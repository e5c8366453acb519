// A morph mesh: a base mesh and the target meshes it blends towards, each
// with a value. The blending itself belongs to the MorphMesh object type.
#pragma once
#include <cstdint>
#include <vector>

#include "services/resources/Resource.h"

namespace tge {

struct MorphTarget {
  std::uint32_t value = 0;
  Resource* mesh = nullptr;
};

class MorphMeshResource : public Resource {
 public:
  static constexpr int kType = kMorphMeshResource;

  MorphMeshResource() : Resource(kType) {}

  // Load and unload the mesh of every target.
  int Load() override;
  int Unload() override;
  void ForEachDependency(const Visitor& visit) override;

  Resource* baseMesh = nullptr;
  std::vector<MorphTarget> targets;

 protected:
  bool SerializeFields(SerializeStream& stream, const ResourceDatabase& database) override;
};

Resource* GetMorphBaseMesh(Resource* morph);
std::size_t GetMorphTargetCount(Resource* morph);

}  // namespace tge
