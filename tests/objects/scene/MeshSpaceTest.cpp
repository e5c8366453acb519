// Mesh objects in their Space: a collectable mesh's triangles join the
// Space's triangle queries, and Mesh objects below a Space widen its box.
#include "objects/scene/Mesh.h"
#include "tests/objects/scene/SceneFixture.h"

namespace tge::test {
namespace {

class MeshSpaceTest : public SceneFixture {
 protected:
  void SetUp() override {
    SceneFixture::SetUp();
    AddCubeMesh("Cube");
    room = &AddSpace(*engine, "Room", {}, 20);
  }

  Mesh& AddMeshAt(Object& parent, const Vector3& at, bool collectable) {
    Mesh& mesh = Add<Mesh>(parent, kClassMesh, "Box");
    mesh.SetPosition(at, false);
    mesh.AddMesh("Cube");
    std::int32_t on = collectable ? 1 : 0;
    mesh.ExecuteCommand(504, &on);
    return mesh;
  }

  // Triangles of the room within the sphere, with their lowest x.
  int Collect(const Vector3& centre, float radius, float* lowestX = nullptr) {
    Vector3 points[96];
    const int n = room->CollectTriangles(centre, radius, points, nullptr, nullptr, nullptr, nullptr, nullptr, 32, 0);
    if (lowestX != nullptr && n > 0) {
      *lowestX = points[0].x;
      for (int i = 0; i < n * 3; ++i) *lowestX = std::min(*lowestX, points[i].x);
    }
    return n;
  }

  Space* room = nullptr;
};

TEST_F(MeshSpaceTest, CollectableMeshTrianglesAreCollectedInWorldSpace) {
  Mesh& near = AddMeshAt(*room, {5, 0, 0}, true);
  AddMeshAt(*room, {-5, 0, 0}, false);
  room->Precalculate();
  room->Precalculate();  // linking again changes nothing
  EXPECT_EQ(room->GetLinkedMeshCount(), 1);
  float lowestX = 0;
  EXPECT_EQ(Collect({5, 0, 0}, 3, &lowestX), 12);
  EXPECT_FLOAT_EQ(lowestX, 4.0f);
  EXPECT_EQ(Collect({-5, 0, 0}, 3), 0);

  // Gone, or moved to another cell, a mesh's triangles leave the queries.
  Space& other = AddSpace(*engine, "Other", {100, 0, 0}, 5);
  other.Precalculate();
  ASSERT_TRUE(engine->GetServices().MoveObject(near, other));
  EXPECT_EQ(Collect({5, 0, 0}, 3), 0);
  DestroyObjectTree(other.DetachChild(near));
  EXPECT_EQ(Collect({5, 0, 0}, 3), 0);
}

TEST_F(MeshSpaceTest, MeshObjectsBelowTheSpaceButNotBelowInnerSpacesWidenItsBox) {
  AddMeshAt(*room, {5, 0, 0}, false);
  Space& inner = AddSpace(*room, "Closet", {0, 0, 0}, 1);
  AddMeshAt(inner, {0, 30, 0}, false);
  room->CalculateSpaceBox();
  const AABox& box = room->GetLocalBox();
  EXPECT_FLOAT_EQ(box.min.x, 4 - 0.025f);
  EXPECT_FLOAT_EQ(box.max.x, 6 + 0.025f);
  EXPECT_FLOAT_EQ(box.max.y, 1 + 0.025f);
}

}  // namespace
}  // namespace tge::test
