// Mesh (class 2): the plain static-geometry object. It draws its list of
// mesh resources with its own world matrix, optionally with one material in
// place of the parts' own, optionally cycling that material through numbered
// frames, and optionally scrolling texture coordinates by a child named
// "Modifier_UVW". A collectable mesh is linked into its Space, whose
// triangle queries then collect its triangles. Other types (Animation,
// HitEffect, ObjectPool) create meshes and fill them through AddMesh.
//
// Every resource is held by a counted handle: the entries' meshes are
// acquired when first needed (a draw, a resource pass, GetMeshResource),
// the material when its setter runs, and a copy holds references of its own.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/ObjectRef.h"
#include "core/math/Matrix4.h"
#include "services/resources/ResourceRef.h"

namespace tge {

// Bits of the mesh flags.
inline constexpr std::uint32_t kMeshCollectable = 0x1;
inline constexpr std::uint32_t kMeshAnimatedMaterial = 0x4;

struct MeshListEntry {
  ResourceRef resource;  // null until first needed
  std::string name;
  // Stored and loaded with the object, nothing else.
  std::uint32_t first = 0;
  std::uint32_t second = 0;
};

class Mesh : public Object {
 public:
  static constexpr float kDefaultFrameDuration = 0.033f;
  static constexpr int kMaxMaterialFrames = 64;

  static std::span<const CommandEntry<Mesh>> Commands();
  static const CommandEntry<Mesh> kCommands[];

  Mesh();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  // The copy finds its own modifier at its Precalculate.
  void CopyFrom(const Object& source) override;
  bool Serialize(SerializeStream& stream) override;
  void Draw() override;
  void Precalculate() override;

  // The new entry's index; -1 when an entry has exactly that name.
  int AddMesh(const std::string& name);
  int GetMeshCount() const { return static_cast<int>(entries_.size()); }
  // Entry index's mesh after every named entry was looked up; null for an
  // index outside the list and for a name that finds no mesh.
  Resource* GetMeshResource(int index);
  bool IsCollectable() const { return (meshFlags_ & kMeshCollectable) != 0; }
  const std::vector<MeshListEntry>& GetEntries() const { return entries_; }
  std::int32_t GetSelectedIndex() const { return selected_; }
  Resource* GetMaterial() const { return material_.Get(); }
  const std::string& GetMaterialName() const { return materialName_; }
  int GetMaterialFrameCount() const { return static_cast<int>(frames_.size()); }
  std::uint32_t GetFrameIndex() const { return frameIndex_; }
  Object* GetUvwModifier() const { return uvwModifier_.Get(); }

 private:
  int AddMeshCommand(CommandArgs args);
  int DeleteMeshCommand(CommandArgs args);
  int GetMeshListCommand(CommandArgs args);
  int SetMeshListCommand(CommandArgs args);
  int SetCollectableCommand(CommandArgs args);
  int GetCollectableCommand(CommandArgs args);
  int SetMaterialCommand(CommandArgs args);
  int GetMaterialCommand(CommandArgs args);
  int SetAnimatedMaterialCommand(CommandArgs args);
  int GetAnimatedMaterialCommand(CommandArgs args);
  int SetFrameDurationCommand(CommandArgs args);
  int GetFrameDurationCommand(CommandArgs args);

  void LoadMeshes();
  // The numbered frames "<base>00Mat", "<base>01Mat" ... of the material,
  // whose name is its first frame's; stops at the first missing number.
  void LoadMaterialFrames();
  void ReloadMaterialFrames();
  void CollectResources(void* set);
  // At most one frame step per draw.
  void AdvanceMaterialFrame();
  const Matrix4* UpdateTextureMatrix();

  std::vector<MeshListEntry> entries_;
  std::int32_t selected_ = -1;
  ResourceRef material_;
  ObjectRef<Object> uvwModifier_;
  // Handed to the render queue, which keeps the pointer until the frame is drawn.
  Matrix4 textureMatrix_;
  std::vector<ResourceRef> frames_;
  std::string materialName_;
  float frameDuration_ = kDefaultFrameDuration;
  float frameTime_ = 0;
  std::uint32_t frameIndex_ = 0;
  std::uint32_t meshFlags_ = 0;
};

void RegisterMeshCommands();

}  // namespace tge
