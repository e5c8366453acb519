#include "services/resources/CollisionGeometryResource.h"

#include <gtest/gtest.h>

#include "services/ErrorMessage.h"
#include "services/ResourceDatabase.h"
#include "tests/services/TestBytes.h"

namespace tge {
namespace {

using test::Bytes;
using test::TempDataFolder;

Bytes& Triangle(Bytes& bytes) {
  for (float v : {0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f, 0.f, 1.f}) bytes.F32(v);
  return bytes.U32(0).U32(1).U32(2);
}

Bytes Version2() {
  Bytes bytes;
  bytes.U32(2).U32(1).U32(1);
  bytes.U32(0).U32(3).U32(3).U32(0x30).U32(77);
  Triangle(bytes);
  bytes.U32(1).F32(1).F32(2).F32(3).F32(0).F32(0).F32(0).F32(1).F32(4).F32(5).F32(6).U32(2).U32(88);
  return bytes;
}

struct CollisionFixture {
  TempDataFolder folder;
  ResourceDatabase db;
  Resource* geometry = nullptr;

  explicit CollisionFixture(const Bytes& bytes) {
    folder.Write("Data/hull.col", bytes.data);
    db.SetDataFolder(folder.Folder());
    std::unique_ptr<Resource> created = db.CreateResource(kCollisionGeometryResource);
    created->SetFileName("hull.col");
    geometry = created.get();
    db.RegisterResource(std::move(created));
  }
};

TEST(CollisionGeometry, Version2HoldsMeshesAndShapes) {
  CollisionFixture f(Version2());
  ASSERT_EQ(GetCollisionMeshCount(f.geometry), 1u);
  EXPECT_EQ(GetCollisionMeshVertexCount(f.geometry, 0), 3u);
  EXPECT_EQ(GetCollisionMeshIndexCount(f.geometry, 0), 3u);
  EXPECT_FLOAT_EQ(GetCollisionMeshVertices(f.geometry, 0)[1].x, 1.0f);
  EXPECT_EQ(GetCollisionMeshIndices(f.geometry, 0)[2], 2u);
  EXPECT_EQ(GetCollisionMeshCollideBits(f.geometry, 0), 0x30u);
  EXPECT_EQ(GetCollisionMeshUserValue(f.geometry, 0), 77u);
  ASSERT_EQ(GetCollisionShapeCount(f.geometry), 1u);
  EXPECT_EQ(GetCollisionShapeKind(f.geometry, 0), kCollisionBox);
  Vector3 v;
  EXPECT_FLOAT_EQ(GetCollisionShapePosition(&v, f.geometry, 0)->z, 3.0f);
  EXPECT_FLOAT_EQ(GetCollisionShapeSize(&v, f.geometry, 0)->x, 4.0f);
  Quaternion q;
  EXPECT_FLOAT_EQ(GetCollisionShapeRotation(&q, f.geometry, 0)->w, 1.0f);
  EXPECT_EQ(GetCollisionShapeCollideBits(f.geometry, 0), 2u);
  EXPECT_EQ(GetCollisionShapeUserValue(f.geometry, 0), 88u);

  // Out of range and null give the neutral values.
  EXPECT_EQ(GetCollisionMeshVertices(f.geometry, 1), nullptr);
  EXPECT_EQ(GetCollisionShapeKind(f.geometry, 5), 0u);
  EXPECT_FLOAT_EQ(GetCollisionShapePosition(&v, nullptr, 0)->z, 0.0f);
  EXPECT_FLOAT_EQ(GetCollisionShapeRotation(&q, f.geometry, 9)->w, 1.0f);
  EXPECT_EQ(GetCollisionMeshCount(nullptr), 0u);
}

TEST(CollisionGeometry, Version1IsOneMeshWithCollideBitsOne) {
  Bytes bytes;
  bytes.U32(1).U32(42).U32(0).U32(3).U32(3);
  Triangle(bytes);
  CollisionFixture f(bytes);
  ASSERT_EQ(GetCollisionMeshCount(f.geometry), 1u);
  EXPECT_EQ(GetCollisionMeshCollideBits(f.geometry, 0), 1u);
  EXPECT_EQ(GetCollisionMeshUserValue(f.geometry, 0), 42u);
  EXPECT_EQ(GetCollisionShapeCount(f.geometry), 0u);
}

TEST(CollisionGeometry, LoadsTheFileOnceUntilUnloaded) {
  CollisionFixture f(Version2());
  ASSERT_EQ(f.geometry->Load(), 1);
  std::filesystem::remove(f.folder.Path("Data/hull.col"));
  EXPECT_EQ(f.geometry->Load(), 1);
  EXPECT_EQ(GetCollisionMeshCount(f.geometry), 1u);
  f.geometry->Unload();
  EXPECT_EQ(f.geometry->Load(), 0);
  EXPECT_EQ(GetCollisionMeshCount(f.geometry), 0u);
}

TEST(CollisionGeometry, BadMeshesAreRefused) {
  Bytes badIndex;
  badIndex.U32(1).U32(0).U32(0).U32(3).U32(3);
  for (float v : {0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f, 0.f, 1.f}) badIndex.F32(v);
  badIndex.U32(0).U32(1).U32(3);
  Bytes partialTriangle;
  partialTriangle.U32(1).U32(0).U32(0).U32(3).U32(2);
  for (float v : {0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f, 0.f, 1.f}) partialTriangle.F32(v);
  partialTriangle.U32(0).U32(1);
  Bytes hugeVertexCount;
  hugeVertexCount.U32(2).U32(1).U32(0).U32(0).U32(0xffffffff).U32(3).U32(0).U32(0);
  Bytes hugeShapeCount;
  hugeShapeCount.U32(2).U32(0).U32(100000);
  Bytes truncated = Version2();
  truncated.data.resize(truncated.data.size() - 4);
  const std::vector<std::pair<Bytes, const char*>> cases = {
      {badIndex, "index beyond"},         {partialTriangle, "whole number of triangles"},
      {hugeVertexCount, "larger than"},   {hugeShapeCount, "beyond the end"},
      {truncated, "truncated"},
  };
  for (const auto& [bytes, reason] : cases) {
    CollisionFixture f(bytes);
    EXPECT_EQ(f.geometry->Load(), 0) << reason;
    EXPECT_NE(std::string(GetErrorMessage()).find(reason), std::string::npos) << GetErrorMessage();
    EXPECT_EQ(GetCollisionMeshCount(f.geometry), 0u);
    EXPECT_EQ(GetCollisionShapeCount(f.geometry), 0u);
  }
}

}  // namespace
}  // namespace tge
