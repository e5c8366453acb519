// A skinned mesh: a plain mesh whose vertices follow a skeleton. The skin
// file holds, for every vertex of every part of the mesh, its rest position
// and normal and up to four (bone, weight) influences, then the skeleton's
// bones with their rest pose and bind matrix. SkinPart poses one part into
// the mesh's own vertex buffer from one matrix per bone.
//
// The file is checked whole against the mesh it skins before anything is
// kept: a part or vertex count that differs from the mesh's, an influence
// count outside 1 to 4, a bone index past the skeleton, more than 255 bones
// or a bone id above 255 refuse it, naming the file and the record.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/math/Matrix4.h"
#include "core/math/Quaternion.h"
#include "core/math/Vector.h"
#include "services/resources/Resource.h"

namespace tge {

class SerializeStream;

// The 56-byte record of the file, kept as it is read.
struct SkinVertex {
  Vector3 position;
  Vector3 normal;
  std::uint8_t influences = 1;
  std::uint8_t unused[3] = {0, 0, 0};
  float weights[4] = {1, 0, 0, 0};
  std::uint8_t bones[4] = {0, 0, 0, 0};
  std::uint8_t spare[8] = {};
};
static_assert(sizeof(SkinVertex) == 56);

struct SkinPartData {
  std::vector<SkinVertex> vertices;
  // Set by SetSkinMeshSubsetActive; a disabled part is neither posed nor drawn.
  std::uint32_t enabled = 1;
};

struct SkinBone {
  std::string name;
  Vector3 position{};
  Vector3 scale{1, 1, 1};
  Quaternion rotation{};
  Matrix4 bind{};
  std::uint32_t boneId = 0;
};

// The whole content of a skin file.
struct SkinMeshFile {
  static constexpr std::uint32_t kLatestVersion = 3;
  static constexpr std::uint32_t kMaxBones = 255;
  static constexpr std::uint32_t kMaxBoneId = 255;

  std::uint32_t version = kLatestVersion;
  std::vector<SkinPartData> parts;
  std::vector<SkinBone> bones;
};

// Reads or writes a skin file. On reading, partVertexCounts gives the mesh's
// parts; false, with the reason and the record in error, when the file is
// bad, and the file is then left as it was.
bool SerializeSkinMeshFile(SerializeStream& stream, SkinMeshFile& file,
                           std::span<const std::uint32_t> partVertexCounts, std::string& error);
// Writes the file at path (a native path); false when it cannot be written.
bool WriteSkinMeshFile(const std::string& path, SkinMeshFile& file);

class SkinMeshResource : public Resource {
 public:
  static constexpr int kType = kSkinMeshResource;

  SkinMeshResource() : Resource(kType) {}

  // 1 at once when the parts are there; else loads the mesh and reads the
  // skin file; 0, with the reason in the last-error text, when either fails.
  int Load() override;
  int Unload() override;
  void ForEachDependency(const Visitor& visit) override;

  bool IsLoaded() const { return loaded_; }
  const SkinMeshFile& GetFile() const { return file_; }

  // The mesh it skins, from the library.
  Resource* mesh = nullptr;

 protected:
  bool SerializeFields(SerializeStream& stream, const ResourceDatabase& database) override;

 private:
  friend void SetSkinMeshSubsetActive(Resource*, const std::string&, std::uint32_t);
  bool loaded_ = false;
  SkinMeshFile file_;
};

// Null for a null resource or another type.
Resource* GetSkinMesh(Resource* skin);
// The skeleton; empty for a null resource or while unloaded.
const std::vector<SkinBone>& GetSkinBones(Resource* skin);
// Every mesh part named name (any case) becomes active or not, in the mesh
// and in the skin's parts.
void SetSkinMeshSubsetActive(Resource* skin, const std::string& name, std::uint32_t active);
// 0 for a part out of range.
std::uint32_t GetSkinMeshPartActive(Resource* skin, std::size_t part);

// Poses part into the mesh part's vertices (positions, and normals when the
// vertices have them) at the vertices' own stride and offsets. Nothing
// happens for a missing or disabled part or fewer matrices than bones.
void SkinPart(Resource* skin, std::uint32_t part, const Matrix4* matrices, std::size_t matrixCount);

}  // namespace tge
