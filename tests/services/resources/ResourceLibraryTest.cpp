#include "services/resources/ResourceLibrary.h"

#include <gtest/gtest.h>

#include "services/EngineServices.h"
#include "services/ErrorMessage.h"
#include "services/render/TerrainResource.h"
#include "services/resources/AnimationResource.h"
#include "services/resources/MaterialResource.h"
#include "services/resources/MeshResource.h"
#include "services/resources/MorphMeshResource.h"
#include "services/resources/RawFileResource.h"
#include "services/resources/SkinMeshResource.h"
#include "tests/services/TestBytes.h"

namespace tge {
namespace {

using test::Bytes;
using test::TempDataFolder;

template <class T>
T* Add(EngineServices& services, int type, const std::string& name) {
  std::unique_ptr<Resource> resource = services.GetResources().CreateResource(type);
  resource->SetName(name);
  resource->SetFileName(name + ".dat");
  auto* typed = static_cast<T*>(resource.get());
  services.GetResources().RegisterResource(std::move(resource));
  return typed;
}

// The shared fields of a record, as a file of version 1 and later holds them.
Bytes& Record(Bytes& bytes, int type, const std::string& name) {
  return bytes.I32(type).I32(0).U32(0).Str(name).Str(name + ".dat").Str("");
}

Bytes Header(std::uint32_t version, std::uint32_t count, float value = 1.0f) {
  Bytes bytes;
  bytes.U32(version).U32(count).F32(value).U32(0).U32(0);
  return bytes;
}

TEST(ResourceLibrary, WrittenLibraryReadsBackInTypeOrderWithItsFields) {
  TempDataFolder folder;
  const std::string path = folder.Folder() + "Data\\Library.sli";
  {
    EngineServices services;
    services.SetLibraryValue(3.5f);
    auto* raw = Add<RawFileResource>(services, kRawFileResource, "Blob");
    raw->values[0] = 7;
    raw->values[1] = 9;
    auto* morph = Add<MorphMeshResource>(services, kMorphMeshResource, "Face");
    morph->targets = {{5, nullptr}, {6, nullptr}};
    auto* material = Add<MaterialResource>(services, kMaterialResource, "Rock");
    material->flags = kMaterialFog;
    material->colors.diffuse = {0.5f, 0.25f, 0.125f, 0.5f};
    material->colors.power = 8;
    material->materialType = 4;
    material->values[1] = 11;
    material->textures = {nullptr, nullptr};
    Add<Resource>(services, kCollisionGeometryResource, "Hull");
    Add<AnimationResource>(services, kAnimationResource, "Walk")->length = 2.5f;
    ASSERT_EQ(services.SerializeLibrary(path, 0), 1) << GetErrorMessage();
  }
  folder.Write("Data/Library.qbw", Bytes().U32(1).U32(1).I32(-1).I32(3).Str("Title").Str("Tarn").data);

  EngineServices services;
  services.SetDataFolder(folder.Folder());
  ASSERT_EQ(services.SerializeLibrary(path, 1), 1) << GetErrorMessage();
  const ResourceDatabase& db = services.GetResources();
  const std::vector<std::pair<int, std::string>> expected = {{kAnimationResource, "Walk"},
                                                             {kMaterialResource, "Rock"},
                                                             {kMorphMeshResource, "Face"},
                                                             {kCollisionGeometryResource, "Hull"},
                                                             {kRawFileResource, "Blob"}};
  for (std::size_t slot = 0; slot < expected.size(); ++slot) {
    Resource* resource = db.GetResourceBySlot(static_cast<int>(slot));
    ASSERT_NE(resource, nullptr) << slot;
    EXPECT_EQ(resource->GetType(), expected[slot].first);
    EXPECT_EQ(resource->GetName(), expected[slot].second);
    EXPECT_EQ(resource->GetFileName(), expected[slot].second + ".dat");
  }
  EXPECT_EQ(db.GetResourceBySlot(5), nullptr);
  EXPECT_FLOAT_EQ(services.GetLibraryValue(), 3.5f);
  EXPECT_FLOAT_EQ(GetAnimationLength(db.LookupResource("walk", kAnimationResource)), 2.5f);

  auto* material = ResourceCast<MaterialResource>(db.LookupResource("Rock", kMaterialResource));
  ASSERT_NE(material, nullptr);
  EXPECT_FLOAT_EQ(material->colors.diffuse.r, 0.5f);
  EXPECT_FLOAT_EQ(material->colors.diffuse.a, 1.0f);  // forced without flag 0x02
  EXPECT_FLOAT_EQ(material->colors.power, 8.0f);
  EXPECT_EQ(material->materialType, 4u);
  EXPECT_EQ(material->values[1], 11u);
  EXPECT_EQ(material->textures.size(), 2u);
  EXPECT_EQ(material->flags, 0xc0u);

  Resource* morph = db.LookupResource("Face", kMorphMeshResource);
  EXPECT_EQ(GetMorphTargetCount(morph), 2u);
  EXPECT_EQ(ResourceCast<MorphMeshResource>(morph)->targets[1].value, 6u);
  auto* raw = ResourceCast<RawFileResource>(db.LookupResource("Blob", kRawFileResource));
  EXPECT_EQ(raw->values[0], 7u);
  EXPECT_EQ(raw->values[1], 9u);

  ASSERT_NE(services.FindTextEntry("Title"), nullptr);
  EXPECT_EQ(services.GetText("Title"), "Tarn");
}

TEST(ResourceLibrary, SkinnedMeshAndTerrainRecordsSaveLoadSaveToTheSameBytes) {
  TempDataFolder folder;
  const std::string first = folder.Folder() + "Data\\First.sli";
  const std::string second = folder.Folder() + "Data\\Second.sli";
  {
    EngineServices services;
    auto* material = Add<MaterialResource>(services, kMaterialResource, "Grass");
    auto* mesh = Add<MeshResource>(services, kMeshResource, "Body");
    mesh->parts.resize(1);
    Add<SkinMeshResource>(services, kSkinMeshResource, "BodySkin")->mesh = mesh;
    auto* terrain = Add<TerrainResource>(services, kTerrainResource, "Hills");
    terrain->tileCount = 2;
    terrain->secondTileCount = 1;
    terrain->tiles.resize(2);
    TerrainTile& tile = terrain->tiles[1];
    tile.first = {1, 2, 3};
    tile.second = {4, 5, 6};
    tile.x = 1;
    tile.value = 9;
    tile.material = material;
    ASSERT_EQ(services.SerializeLibrary(first, 0), 1) << GetErrorMessage();
  }
  EngineServices services;
  ASSERT_EQ(services.SerializeLibrary(first, 1), 1) << GetErrorMessage();
  ResourceDatabase& db = services.GetResources();
  EXPECT_EQ(GetSkinMesh(db.LookupResource("BodySkin", kSkinMeshResource)), db.LookupResource("Body", kMeshResource));
  auto* terrain = ResourceCast<TerrainResource>(db.LookupResource("Hills", kTerrainResource));
  ASSERT_NE(terrain, nullptr);
  ASSERT_EQ(terrain->tiles.size(), 2u);
  EXPECT_EQ(terrain->tiles[1].x, 1u);
  EXPECT_EQ(terrain->tiles[1].value, 9u);
  EXPECT_EQ(terrain->tiles[1].second.z, 6.0f);
  EXPECT_EQ(terrain->tiles[1].material, db.LookupResource("Grass", kMaterialResource));
  EXPECT_EQ(terrain->tiles[0].material, nullptr);
  ASSERT_EQ(services.SerializeLibrary(second, 0), 1) << GetErrorMessage();
  EXPECT_EQ(folder.Read("Data/First.sli"), folder.Read("Data/Second.sli"));
}

TEST(ResourceLibrary, OldVersionsFollowTheirGates) {
  // Version 4: the stored value gives way to 100; version 5 materials have
  // no pair of values; a material with flag 0x01 stores no colours.
  Bytes v4 = Header(4, 1, 5.0f);
  Record(v4, kAnimationResource, "Walk").F32(2.5f);
  Bytes v5 = Header(5, 1, 5.0f);
  Record(v5, kMaterialResource, "Plain").U32(0x01).U32(2).U32(1).Str("No Texture");

  TempDataFolder folder;
  folder.Write("Data/v4.sli", v4.data);
  folder.Write("Data/v5.sli", v5.data);
  EngineServices services;
  ASSERT_EQ(services.SerializeLibrary(folder.Folder() + "Data/v4.sli", 1), 1) << GetErrorMessage();
  EXPECT_FLOAT_EQ(services.GetLibraryValue(), 100.0f);
  ASSERT_EQ(services.SerializeLibrary(folder.Folder() + "Data/v5.sli", 1), 1) << GetErrorMessage();
  EXPECT_FLOAT_EQ(services.GetLibraryValue(), 5.0f);
  auto* material = ResourceCast<MaterialResource>(services.GetResources().LookupResource("plain", kMaterialResource));
  ASSERT_NE(material, nullptr);
  EXPECT_EQ(material->materialType, 2u);
  EXPECT_FLOAT_EQ(material->colors.diffuse.g, 1.0f);
  EXPECT_FLOAT_EQ(material->colors.ambient.b, 1.0f);
  EXPECT_EQ(material->flags, 0x81u);
  ASSERT_EQ(material->textures.size(), 1u);
  EXPECT_EQ(material->textures[0], nullptr);
}

TEST(ResourceLibrary, BadLibrariesAreRefusedWholeWithAReason) {
  struct Case {
    const char* name;
    Bytes bytes;
    const char* reason;
  };
  Bytes goodThenBadType = Header(7, 2);
  Record(goodThenBadType, kAnimationResource, "Walk").F32(1.0f);
  Record(goodThenBadType, 12, "Odd");
  Bytes hugeTileCount = Header(7, 1);
  Record(hugeTileCount, kTerrainResource, "Hills").F32(2).F32(1).U32(0x10000).U32(0x10000);
  Bytes hugeTextureCount = Header(7, 1);
  Record(hugeTextureCount, kMaterialResource, "M").U32(1).U32(0).U32(0).U32(0).U32(0x40000000);
  Bytes hugeTargetCount = Header(7, 1);
  Record(hugeTargetCount, kMorphMeshResource, "F").Str("").U32(1000);
  Bytes truncated = Header(7, 1);
  Record(truncated, kRawFileResource, "R").U32(1);
  std::vector<Case> cases = {
      {"bad type", goodThenBadType, "unknown resource type 12"},
      {"tile count", hugeTileCount, "counts beyond the file"},
      {"texture count", hugeTextureCount, "counts beyond the file"},
      {"target count", hugeTargetCount, "counts beyond the file"},
      {"truncated", truncated, "truncated"},
      {"record count", Header(7, 1000), "cannot fit"},
      {"future version", Header(8, 0), "unknown version 8"},
      {"short header", Bytes().U32(7).U32(0), "header is truncated"},
  };
  TempDataFolder folder;
  for (const Case& c : cases) {
    folder.Write("Data/bad.sli", c.bytes.data);
    EngineServices services;
    EXPECT_EQ(services.SerializeLibrary(folder.Folder() + "Data/bad.sli", 1), 0) << c.name;
    EXPECT_NE(std::string(GetErrorMessage()).find(c.reason), std::string::npos) << c.name << ": " << GetErrorMessage();
    EXPECT_EQ(services.GetResources().GetResourceBySlot(0), nullptr) << c.name;
    EXPECT_EQ(services.GetTextDatabase(), nullptr) << c.name;
  }
  EngineServices services;
  EXPECT_EQ(services.SerializeLibrary(folder.Folder() + "Data/missing.sli", 1), 0);
  EXPECT_EQ(std::string(GetErrorMessage()), "Error Opening File: " + folder.Folder() + "Data/missing.sli");
}

TEST(ResourceLibrary, TextDatabaseNameComesFromTheLibraryFileName) {
  EXPECT_EQ(GetTextDatabasePath("root/", "root/Data\\Library.sli"), "root/Data\\Library.qbw");
  EXPECT_EQ(GetTextDatabasePath("", "game/levels/One.sli"), "Data\\One.qbw");
  EXPECT_EQ(GetTextDatabasePath("", "Data\\ab"), "Data\\.qbw");
  EXPECT_EQ(GetTextDatabasePath("", "Data\\"), "Data\\.qbw");
}

}  // namespace
}  // namespace tge
