// A material: how a surface is lit and which textures it draws with. This
// holds the material's data and its library record; the drawing rules of
// the material types live with the renderer.
#pragma once
#include <cstdint>
#include <vector>

#include "core/math/Color.h"
#include "services/resources/Resource.h"

namespace tge {

enum MaterialFlags : std::uint32_t {
  kMaterialNoColors = 0x01,        // no colour block stored; drawn with the shared record
  kMaterialKeepAlpha = 0x02,       // keep the stored diffuse alpha; a "Standard" one blends
  kMaterialSpecular = 0x04,        // specular highlights
  kMaterialDefaultType = 0x10,     // cleared by a non-zero material type
  kMaterialTwoSided = 0x20,
  kMaterialFog = 0x40,
  kMaterialRecordDone = 0x80,      // set once the record was read or written
  kMaterialSortBack = 0x100,       // sorted 1000 units further back
  kMaterialCollectable = 0x1000,   // copied into the parts of meshes using it
};

struct MaterialColors {
  Color diffuse{1, 1, 1, 1};
  Color ambient{1, 1, 1, 1};
  Color specular;
  Color emissive;
  float power = 0;
};

class MaterialResource : public Resource {
 public:
  static constexpr int kType = kMaterialResource;

  MaterialResource() : Resource(kType) {}
  // The render device forgets it when it was the current material.
  ~MaterialResource() override;

  // Loads every texture of the list; 0 when one of them fails.
  int Load() override;
  void ForEachCountedReference(const Visitor& visit) override;
  void ForEachDependency(const Visitor& visit) override;

  std::uint32_t materialType = 0;
  MaterialColors colors;
  std::vector<Resource*> textures;
  std::uint32_t values[2] = {0, 0};
  std::uint32_t flags = 0xd9;

 protected:
  bool SerializeFields(SerializeStream& stream, const ResourceDatabase& database) override;
};

// Null for a null material, another type or an index past the list.
Resource* GetMaterialTexture(Resource* material, std::size_t index);
// Grows the list to index + 1 first.
void SetMaterialTexture(Resource* material, std::size_t index, Resource* texture);
void SetMaterialFog(Resource* material, bool fog);
void SetMaterialType(Resource* material, std::uint32_t type);

}  // namespace tge
