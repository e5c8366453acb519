#include "services/resources/MeshResource.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/files/SerializeStream.h"
#include "services/ErrorMessage.h"
#include "services/ResourceDatabase.h"
#include "services/render/MeshDrawing.h"
#include "services/render/PrimitivePools.h"
#include "services/resources/MaterialResource.h"
#include "services/resources/MeshFile.h"
#include "services/resources/ResourceLibrary.h"
#include "tests/services/TestBytes.h"
#include "tests/services/render/RecordingRenderDevice.h"

namespace tge {
namespace {

using gfx::CallType;
using test::Bytes;
using test::RecordingRenderDevice;
using test::TempDataFolder;

constexpr std::uint32_t kPositionColour = 0x42;  // 16 bytes

struct Part {
  std::uint32_t hasBytes = 0, format = kPositionColour, stride = 16, sets = 1;
  std::vector<std::uint16_t> indices = {0, 1, 2, 2, 1, 3};
  std::uint32_t vertices = 4;
  std::uint32_t triangles() const { return std::uint32_t(indices.size() / 3); }
};

Bytes MeshFile(const std::vector<Part>& parts, std::uint32_t count = ~0u) {
  Bytes b;
  b.U32(3).U32(0).U32(0).U32(0).U32(0).U32(count == ~0u ? std::uint32_t(parts.size()) : count);
  for (const Part& p : parts) {
    b.U32(p.hasBytes).U32(0).U32(p.format).U32(p.stride).U32(p.sets).U32(p.triangles()).U32(p.vertices);
    for (std::uint16_t i : p.indices) b.U16(i);
    for (std::uint32_t v = 0; v < p.vertices * p.sets; ++v) {
      b.F32(float(v)).F32(0).F32(1).U32(0xFF00FF00);
      for (std::uint32_t pad = 16; pad < p.stride; ++pad) b.Raw("\0", 1);
    }
    for (std::uint32_t t = 0; p.hasBytes && t < p.triangles(); ++t) b.Raw("\x07", 1);
  }
  return b;
}

struct MeshFixture {
  RecordingRenderDevice r;
  TempDataFolder folder;
  ResourceDatabase db;
  MeshResource* mesh = nullptr;

  explicit MeshFixture(const Bytes& file, std::size_t libraryParts = 1) {
    folder.Write("Data/crate.msh", file.data);
    db.SetDataFolder(folder.Folder());
    std::unique_ptr<Resource> created = db.CreateResource(kMeshResource);
    created->SetFileName("crate.msh");
    mesh = ResourceCast<MeshResource>(created.get());
    mesh->parts.resize(libraryParts);
    mesh->parts[0].name = "lid";
    db.RegisterResource(std::move(created));
  }
};

TEST(MeshFile, PartsGetTheirBuffersCountsAndTriangleBytes) {
  Part indexed;
  indexed.hasBytes = 1;
  indexed.stride = 20;
  indexed.sets = 2;
  Part unindexed;
  unindexed.indices.clear();
  MeshFixture f(MeshFile({indexed, unindexed}));
  ASSERT_EQ(f.mesh->Load(), 1) << GetErrorMessage();
  ASSERT_EQ(f.mesh->parts.size(), 2u);
  EXPECT_EQ(f.mesh->parts[0].name, "lid");  // library data kept
  const MeshGeometry& g = *f.mesh->parts[0].geometry;
  EXPECT_EQ(g.vertexCount, 4u);
  EXPECT_EQ(g.triangleCount, 2u);
  EXPECT_EQ(g.vertexSize, 20u);
  EXPECT_EQ(g.vertexBuffer->Size(), 4u * 20 * 2);
  EXPECT_EQ(g.indexBuffer->IndexAt(5), 3u);
  EXPECT_EQ(g.triangleBytes, (std::vector<std::uint8_t>{7, 7}));
  float x = 0;
  std::memcpy(&x, g.vertexBuffer->Bytes().data() + 20 * 3, 4);
  EXPECT_EQ(x, 3.0f);
  EXPECT_EQ(f.mesh->parts[1].geometry->indexBuffer, nullptr);
  EXPECT_EQ(f.mesh->Load(), 1);  // already there
  EXPECT_EQ(f.mesh->Unload(), 1);
  EXPECT_EQ(f.mesh->parts[0].geometry, nullptr);
}

TEST(MeshFile, BadFilesAreRefusedAndChangeNothing) {
  Part shortStride;
  shortStride.stride = 12;
  Part badIndex;
  badIndex.indices = {0, 1, 4};
  Part unknownFormat;
  unknownFormat.format = 0x1;
  Part noVertices;
  noVertices.vertices = 0;
  Part noSets;
  noSets.sets = 0;
  Part huge;
  huge.sets = 0x40000000;
  Bytes truncated = MeshFile({Part{}});
  truncated.data.resize(truncated.data.size() - 1);
  struct Case {
    const char* name;
    Bytes file;
    const char* reason;
  };
  const Case cases[] = {
      {"short header", Bytes().U32(3).U32(0), "header is truncated"},
      {"part count", MeshFile({Part{}}, 1000), "1000 parts cannot fit"},
      {"stride", MeshFile({Part{}, shortStride}), "part 1 has a stride smaller"},
      {"index", MeshFile({badIndex}), "index beyond its vertices"},
      {"format", MeshFile({unknownFormat}), "unknown vertex format"},
      {"triangles without vertices", MeshFile({noVertices}), "triangles but no vertices"},
      {"no vertex set", MeshFile({noSets}), "no vertex set"},
      {"sizes past 32 bits", MeshFile({huge}), "larger than the rest of the file"},
      {"truncated data", truncated, "larger than the rest of the file"},
  };
  for (const Case& c : cases) {
    MeshFixture f(c.file, 3);
    EXPECT_EQ(f.mesh->Load(), 0) << c.name;
    EXPECT_NE(std::string(GetErrorMessage()).find(c.reason), std::string::npos) << c.name << ": " << GetErrorMessage();
    EXPECT_EQ(f.mesh->parts.size(), 3u) << c.name;
    EXPECT_EQ(f.mesh->parts[0].geometry, nullptr) << c.name;
  }
  MeshFixture missing(MeshFile({Part{}}));
  missing.mesh->SetFileName("gone.msh");
  EXPECT_EQ(missing.mesh->Load(), 0);
  EXPECT_STREQ(GetErrorMessage(), "Error Opening File");
}

// The writer's file reads back into the same buffers, part by part.
TEST(MeshFile, WrittenFileReadsBackTheMeshData) {
  const gfx::MeshData parts[] = {gfx::CreateBoxMesh(1, 2, 3), gfx::CreateSphereMesh(1, 4, 3)};
  const std::vector<std::uint8_t> file = EncodeMeshFile(parts);
  Bytes bytes;
  bytes.Raw(file.data(), file.size());
  MeshFixture f(bytes);
  ASSERT_EQ(f.mesh->Load(), 1) << GetErrorMessage();
  ASSERT_EQ(f.mesh->parts.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    const MeshGeometry& g = *f.mesh->parts[i].geometry;
    EXPECT_EQ(g.vertexFormat, parts[i].vertexFormat);
    EXPECT_EQ(g.vertexCount, parts[i].vertexCount);
    EXPECT_EQ(g.triangleCount, parts[i].TriangleCount());
    const auto vertices = g.vertexBuffer->Bytes();
    ASSERT_EQ(vertices.size(), parts[i].vertices.size() * sizeof(float));
    EXPECT_EQ(std::memcmp(vertices.data(), parts[i].vertices.data(), vertices.size()), 0);
    EXPECT_EQ(g.indexBuffer->IndexAt(g.triangleCount * 3 - 1), parts[i].indices.back());
  }
}

TEST(MeshFile, LoadNeedsParts) {
  MeshFixture f(MeshFile({Part{}}), 1);
  f.mesh->parts.clear();
  EXPECT_EQ(f.mesh->Load(), 0);
}

TEST(MeshDrawing, PartsDrawIndexedWithLightingByNormals) {
  RecordingRenderDevice r;
  MeshResource* sphere = r.device.GetSphereMesh();
  ASSERT_EQ(DrawMeshPart(r.device, sphere, 0), 1);
  const gfx::DrawRequest& draw = r.recording->LastDraw();
  EXPECT_EQ(draw.indexCount, sphere->parts[0].geometry->triangleCount * 3);
  EXPECT_EQ(r.recording->GetRenderState(gfx::kRsLighting), 1u);
  EXPECT_EQ(DrawMeshPart(r.device, sphere, 1), 0);
  EXPECT_EQ(DrawMeshPart(r.device, nullptr, 0), 0);
  sphere->parts[0].active = 0;
  EXPECT_EQ(DrawMeshPart(r.device, sphere, 0), 0);
  EXPECT_NEAR(GetMeshPartBox(sphere, 0).max.x, 100.0f, 1e-3);
  EXPECT_EQ(GetMeshPartSphere(sphere, 0).radius, 100.0f);
}

TEST(MeshDrawing, PointListPartsDrawAsSizedSprites) {
  RecordingRenderDevice r;
  Part points;
  points.indices.clear();
  std::unique_ptr<MeshGeometry> g =
      CreateGeometryBuffers(r.device.Device(), 4, 0, kPositionColour, 16, 0, gfx::kPoolManaged);
  ASSERT_TRUE(g);
  g->primitiveType = gfx::kPrimPointList;
  g->primitiveCount = 10;
  g->secondCount = 3;
  g->pointSize = 4.0f;
  MeshResource mesh;
  mesh.parts.emplace_back().geometry = std::move(g);
  ASSERT_EQ(DrawMeshPart(r.device, &mesh, 0), 1);
  EXPECT_EQ(r.recording->LastDraw().vertexCount, 3u);
  EXPECT_EQ(r.recording->GetRenderState(gfx::kRsPointSpriteEnable), 0u);  // off again
  EXPECT_EQ(r.recording->GetRenderState(gfx::kRsPointSize), std::bit_cast<std::uint32_t>(4.0f));
  EXPECT_EQ(r.recording->GetRenderState(gfx::kRsLighting), 0u);
}

TEST(PrimitivePools, QuadsExpandToTrianglesAndOnlyKnownBatchesAreDrawn) {
  RecordingRenderDevice r;
  PrimitivePools& pools = r.device.GetPrimitivePools();
  struct Vertex {  // 0x142
    float x, y, z;
    std::uint32_t colour;
    float u, v;
  };
  std::vector<Vertex> quads(400);
  for (std::size_t i = 0; i < quads.size(); ++i) quads[i].x = float(i);
  ASSERT_EQ(pools.Draw(r.device, quads.data(), 0x142, kEngineQuadList, 100, 0), 1);
  const gfx::DrawRequest& draw = r.recording->LastDraw();
  EXPECT_EQ(draw.type, gfx::kPrimTriangleList);
  EXPECT_EQ(draw.primitiveCount, 200u);
  EXPECT_EQ(draw.vertexCount, 600u);
  const auto bytes = pools.GetRing(0x142)->vertexBuffer->Bytes();
  const float expected[6] = {4, 5, 6, 6, 7, 4};  // second quad: A B C, C D A
  for (int i = 0; i < 6; ++i) {
    float x = 0;
    std::memcpy(&x, bytes.data() + (6 + i) * sizeof(Vertex), 4);
    EXPECT_EQ(x, expected[i]) << i;
  }
  EXPECT_EQ(r.recording->GetRenderState(gfx::kRsLighting), 1u);

  std::vector<Vertex> many(12003);
  EXPECT_EQ(pools.Draw(r.device, many.data(), 0x142, gfx::kPrimTriangleList, 4001, 0), 0);
  EXPECT_EQ(pools.Draw(r.device, many.data(), 0x102, gfx::kPrimTriangleList, 1, 0), 0);
  EXPECT_EQ(pools.Draw(r.device, many.data(), 0x142, 3, 1, 0), 0);
  EXPECT_EQ(pools.Draw(r.device, nullptr, 0x142, gfx::kPrimTriangleList, 1, 0), 0);

  // 600 used; 11,403 more do not fit behind them: the ring starts again.
  ASSERT_EQ(pools.Draw(r.device, many.data(), 0x142, gfx::kPrimTriangleList, 3801, 0), 1);
  EXPECT_EQ(r.recording->LastDraw().firstVertex, 0u);
  ASSERT_EQ(pools.Draw(r.device, many.data(), 0x142, gfx::kPrimLineList, 1, 0), 1);
  EXPECT_EQ(r.recording->LastDraw().firstVertex, 11403u);
}

TEST(PrimitivePools, PointSpritesTakeTheDrawValueAsSize) {
  RecordingRenderDevice r;
  const float points[2 * 4] = {};
  ASSERT_EQ(r.device.GetPrimitivePools().Draw(r.device, points, 0x42, kEnginePointSprites, 2, 2.5f), 1);
  EXPECT_EQ(r.recording->LastDraw().type, gfx::kPrimPointList);
  EXPECT_EQ(r.recording->GetRenderState(gfx::kRsPointSize), std::bit_cast<std::uint32_t>(2.5f));
  EXPECT_EQ(r.recording->GetRenderState(gfx::kRsPointSpriteEnable), 0u);
}

TEST(MeshResource, LibraryRecordRoundTripsAndTakesCollectableFromTheMaterial) {
  TempDataFolder folder;
  float value = 1.0f;
  {
    ResourceDatabase db;
    auto material = db.CreateResource(kMaterialResource);
    material->SetName("Wood");
    ResourceCast<MaterialResource>(material.get())->flags |= kMaterialCollectable;
    Resource* wood = material.get();
    db.RegisterResource(std::move(material));
    auto texture = db.CreateResource(kTextureResource);
    texture->SetName("Grain");
    Resource* grain = texture.get();
    db.RegisterResource(std::move(texture));
    auto created = db.CreateResource(kMeshResource);
    created->SetName("Crate");
    auto* mesh = ResourceCast<MeshResource>(created.get());
    mesh->parts.resize(2);
    mesh->parts[0] = MeshPart{"lid", nullptr, wood, grain, {1, 2, 3}, 4, {{-1, -1, -1}, {1, 1, 1}}, 1, 0};
    mesh->parts[1].name = "base";
    db.RegisterResource(std::move(created));
    ASSERT_EQ(WriteResourceLibrary(folder.Folder() + "Data/lib.sli", db, value), 1);
  }
  ResourceDatabase db;
  ASSERT_EQ(ReadResourceLibrary(folder.Folder() + "Data/lib.sli", db, value), 1) << GetErrorMessage();
  auto* mesh = ResourceCast<MeshResource>(db.LookupResource("crate", kMeshResource));
  ASSERT_NE(mesh, nullptr);
  ASSERT_EQ(mesh->parts.size(), 2u);
  const MeshPart& lid = mesh->parts[0];
  EXPECT_EQ(lid.name, "lid");
  EXPECT_EQ(lid.material, db.LookupResource("Wood", kMaterialResource));
  EXPECT_EQ(lid.secondTexture, db.LookupResource("Grain", kTextureResource));
  EXPECT_EQ(lid.centre.z, 3.0f);
  EXPECT_EQ(lid.radius, 4.0f);
  EXPECT_EQ(lid.box.max.y, 1.0f);
  EXPECT_EQ(lid.flags, std::uint32_t{kMeshPartCollectable});
  EXPECT_EQ(mesh->parts[1].material, nullptr);  // "ReferenceMat" names nothing here

  ResourceRef held = db.AcquireResource("Crate", kMeshResource);
  EXPECT_EQ(lid.material->GetReferenceCount(), 1);
  EXPECT_EQ(GetMeshPartMaterial(mesh, 0), lid.material);
  EXPECT_EQ(GetMeshPartCount(mesh), 2u);
  EXPECT_EQ(GetMeshPartCount(nullptr), 0u);
  EXPECT_EQ(GetMeshBoundingBox(mesh).min.x, -1.0f);
}

TEST(MeshResource, CollectsTrianglesNearASphereFromCollectableParts) {
  RecordingRenderDevice r;
  std::unique_ptr<MeshResource> box = CreateBoxMesh(r.device.Device(), 2, 2, 2);
  ResourceDatabase db;
  ResourceRef material = db.CreateMaterial();
  ResourceCast<MaterialResource>(material.Get())->values[1] = 9;
  box->parts[0].material = material.Get();
  std::vector<float> vertices(12 * 9);
  std::vector<CollectedTriangle> records(12);
  const Vector3 nearCorner{1.2f, 1.2f, 1.2f};
  EXPECT_EQ(CollectMeshTriangles(box.get(), Matrix4{}, nearCorner, 0.5f, vertices.data(), records.data(), 12), 0);
  box->parts[0].flags = kMeshPartCollectable;
  box->parts[0].radius = 2;
  // The corner (1, 1, 1) touches three faces, each with two triangles, of
  // which one or both use the corner.
  const int found = CollectMeshTriangles(box.get(), Matrix4{}, nearCorner, 0.5f, vertices.data(), records.data(), 12);
  EXPECT_GE(found, 3);
  EXPECT_LE(found, 6);
  EXPECT_EQ(records[0].materialValues[1], 9u);
  EXPECT_EQ(CollectMeshTriangles(box.get(), Matrix4{}, nearCorner, 0.5f, vertices.data(), nullptr, 2), 2);
  Matrix4 moved;
  Matrix4Translation(moved, -10, 0, 0);
  EXPECT_EQ(CollectMeshTriangles(box.get(), moved, nearCorner, 0.5f, vertices.data(), nullptr, 12), 0);
}

}  // namespace
}  // namespace tge
