// Mesh: the entry list, lazy and balanced resource references, the
// animated material, drawing, the UVW modifier and the file record.
#include "core/BaseCommandIds.h"
#include "objects/scene/Mesh.h"
#include "services/render/RenderQueue.h"
#include "tests/objects/scene/SceneFixture.h"

namespace tge::test {
namespace {

constexpr std::uint32_t kAddMesh = 500, kDeleteMesh = 501, kSetMeshList = 503, kSetMeshMaterial = 506,
                        kSetAnimated = 508, kSetFrameDuration = 510;

class MeshTest : public SceneFixture {
 protected:
  Mesh& NewMesh() {
    Mesh& mesh = Add<Mesh>(kClassMesh, "Mesh");
    mesh.SetPosition({0, 0, 10}, false);
    return mesh;
  }
  static void Send(Object& object, std::uint32_t id, std::string text) { object.ExecuteCommand(id, &text); }
  template <class T>
  static void Send(Object& object, std::uint32_t id, T value) {
    object.ExecuteCommand(id, &value);
  }
  // Frame materials "<base>00Mat" ... for the given numbers.
  void AddFrames(const std::string& base, std::initializer_list<int> numbers) {
    for (int n : numbers) AddMaterial(base + (n < 10 ? "0" : "") + std::to_string(n) + "Mat");
  }
};

TEST_F(MeshTest, EntriesAreUniqueByExactNameAndDeletingMovesTheSelectionToTheFirst) {
  Mesh& mesh = NewMesh();
  EXPECT_EQ(mesh.AddMesh("Rock"), 0);
  EXPECT_EQ(mesh.AddMesh("Rock"), -1);
  EXPECT_EQ(mesh.AddMesh("rock"), 1);
  Send(mesh, kAddMesh, std::string("Tree"));
  EXPECT_EQ(mesh.GetMeshCount(), 3);

  Send(mesh, kSetMeshList, std::int32_t{1});
  mesh.ExecuteCommand(kDeleteMesh, nullptr);
  ASSERT_EQ(mesh.GetMeshCount(), 2);
  EXPECT_EQ(mesh.GetEntries()[1].name, "Tree");
  EXPECT_EQ(mesh.GetSelectedIndex(), 0);
  // A selection past the list removes nothing.
  Send(mesh, kSetMeshList, std::int32_t{5});
  mesh.ExecuteCommand(kDeleteMesh, nullptr);
  EXPECT_EQ(mesh.GetMeshCount(), 2);
  for (int i = 0; i < 3; ++i) mesh.ExecuteCommand(kDeleteMesh, nullptr);
  EXPECT_EQ(mesh.GetMeshCount(), 0);
  EXPECT_EQ(mesh.GetSelectedIndex(), -1);
}

TEST_F(MeshTest, MeshesAreAcquiredWhenFirstNeededAndGivenBackWithTheObject) {
  MeshResource& cube = AddCubeMesh("Cube");
  Mesh& mesh = NewMesh();
  mesh.AddMesh("Cube");
  mesh.AddMesh("Missing");
  EXPECT_EQ(cube.GetReferenceCount(), 0);
  EXPECT_EQ(mesh.GetMeshResource(0), &cube);
  EXPECT_EQ(mesh.GetMeshResource(1), nullptr);
  EXPECT_EQ(mesh.GetMeshResource(2), nullptr);  // the count itself addresses nothing
  EXPECT_EQ(mesh.GetMeshResource(-1), nullptr);
  EXPECT_EQ(cube.GetReferenceCount(), 1);
  {
    std::unique_ptr<Object> copy = CreateObject(kClassMesh, &mesh, nullptr);
    EXPECT_EQ(cube.GetReferenceCount(), 2);
  }
  EXPECT_EQ(cube.GetReferenceCount(), 1);
  DestroyObjectTree(engine->DetachChild(mesh));
  EXPECT_EQ(cube.GetReferenceCount(), 0);
}

TEST_F(MeshTest, OverrideMaterialIsHeldFromItsSetterUntilReplacedOrDestroyed) {
  MaterialResource& stone = AddMaterial("Stone");
  MaterialResource& moss = AddMaterial("Moss");
  Mesh& mesh = NewMesh();
  Send(mesh, kSetMeshMaterial, std::string("Stone"));
  EXPECT_EQ(mesh.GetMaterial(), &stone);
  EXPECT_EQ(stone.GetReferenceCount(), 1);
  {
    std::unique_ptr<Object> copy = CreateObject(kClassMesh, &mesh, nullptr);
    EXPECT_EQ(stone.GetReferenceCount(), 2);
  }
  Send(mesh, kSetMeshMaterial, std::string("Moss"));
  EXPECT_EQ(stone.GetReferenceCount(), 0);
  EXPECT_EQ(moss.GetReferenceCount(), 1);
  Send(mesh, kSetMeshMaterial, std::string("Nothing"));
  EXPECT_EQ(mesh.GetMaterial(), nullptr);
  EXPECT_EQ(moss.GetReferenceCount(), 0);
  std::string name;
  mesh.ExecuteCommand(kSetMeshMaterial + 1, &name);
  EXPECT_EQ(name, "Nothing");
}

TEST_F(MeshTest, AnimatedMaterialLoadsNumberedFramesUpToTheFirstGap) {
  AddFrames("Fire", {0, 1, 2, 3});
  AddFrames("Smoke", {0, 1, 3});
  struct Case {
    const char* material;
    int frames;
  };
  for (const Case& c : {Case{"Fire00Mat", 4}, Case{"Smoke00Mat", 2}, Case{"Mat", 0}, Case{"", 0}}) {
    Mesh& mesh = NewMesh();
    Send(mesh, kSetAnimated, std::int32_t{1});
    Send(mesh, kSetMeshMaterial, std::string(c.material));
    EXPECT_EQ(mesh.GetMaterialFrameCount(), c.frames) << c.material;
  }
  // Turned off, the frames go; on again, they come back.
  Mesh& mesh = NewMesh();
  Send(mesh, kSetMeshMaterial, std::string("Fire00Mat"));
  EXPECT_EQ(mesh.GetMaterialFrameCount(), 0);
  Send(mesh, kSetAnimated, std::int32_t{1});
  EXPECT_EQ(mesh.GetMaterialFrameCount(), 4);
}

// The World's frame time is 1/60 s before its first tick.
TEST_F(MeshTest, DrawStepsAtMostOneFrameAndNeverShowsTheLast) {
  AddFrames("Fire", {0, 1, 2, 3});
  struct Case {
    float duration;
    std::vector<std::uint32_t> frames;
  };
  const Case cases[] = {
      {0.001f, {1, 2, 0, 1, 2, 0}},
      {0.04f, {0, 0, 1, 1, 2, 2, 2, 0}},  // 1/60 s a draw: a step every 2.4 draws
  };
  for (const Case& c : cases) {
    Mesh& mesh = NewMesh();
    Send(mesh, kSetAnimated, std::int32_t{1});
    Send(mesh, kSetMeshMaterial, std::string("Fire00Mat"));
    Send(mesh, kSetFrameDuration, c.duration);
    std::vector<std::uint32_t> shown;
    for (std::size_t i = 0; i < c.frames.size(); ++i) {
      mesh.Draw();
      shown.push_back(mesh.GetFrameIndex());
    }
    EXPECT_EQ(shown, c.frames) << c.duration;
  }
}

TEST_F(MeshTest, ShorterFrameListRestartsTheCycleInsteadOfIndexingPastIt) {
  AddFrames("Fire", {0, 1, 2, 3});
  AddFrames("Ash", {0});
  Mesh& mesh = NewMesh();
  mesh.AddMesh("Cube");
  AddCubeMesh("Cube");
  Send(mesh, kSetAnimated, std::int32_t{1});
  Send(mesh, kSetMeshMaterial, std::string("Fire00Mat"));
  Send(mesh, kSetFrameDuration, 0.001f);
  mesh.Draw();
  mesh.Draw();
  ASSERT_EQ(mesh.GetFrameIndex(), 2u);
  Send(mesh, kSetFrameDuration, 10.0f);
  Send(mesh, kSetMeshMaterial, std::string("Ash00Mat"));
  Queue().Reset();
  mesh.Draw();
  auto queued = Queued<MeshPartCommand>(kListOpaque);
  ASSERT_EQ(queued.size(), 1u);
  EXPECT_EQ(queued[0]->material, Resources().LookupResource("Ash00Mat", kMaterialResource));
}

TEST_F(MeshTest, DrawQueuesEveryEntryWithTheActionValueAndTheModifiersTextureMatrix) {
  AddCubeMesh("Cube");
  AddCubeMesh("Small", 1);
  Mesh& mesh = NewMesh();
  mesh.AddMesh("Cube");
  mesh.AddMesh("Small");
  Object& modifier = Add<Object>(mesh, kClassObject, "Modifier_UVW");
  modifier.SetPosition({0.5f, 0.25f, 0}, false);
  mesh.Precalculate();
  ASSERT_EQ(mesh.GetUvwModifier(), &modifier);
  mesh.SetUseAction(true);
  mesh.GetAction()->value = 0.5f;
  Queue().Reset();
  mesh.Draw();
  auto queued = Queued<MeshPartCommand>(kListBlended);
  ASSERT_EQ(queued.size(), 2u);
  for (const MeshPartCommand* command : queued) {
    EXPECT_FLOAT_EQ(command->alpha, 0.5f);
    EXPECT_FLOAT_EQ(command->world.m[14], 10.0f);
    ASSERT_NE(command->textureMatrix, nullptr);
    // The modifier's world translation (it sits under the mesh) in the third row.
    EXPECT_FLOAT_EQ(command->textureMatrix->m[8], 0.5f);
    EXPECT_FLOAT_EQ(command->textureMatrix->m[9], 0.25f);
    EXPECT_FLOAT_EQ(command->textureMatrix->m[10], 10.0f);
    EXPECT_FLOAT_EQ(command->textureMatrix->m[0], 1.0f);
  }
  // A modifier moved away is forgotten; a copy finds its own.
  std::unique_ptr<Object> copy = CreateObject(kClassMesh, &mesh, nullptr);
  EXPECT_EQ(static_cast<Mesh&>(*copy).GetUvwModifier(), nullptr);
  ASSERT_TRUE(engine->GetServices().MoveObject(modifier, *engine));
  EXPECT_EQ(mesh.GetUvwModifier(), nullptr);
}

TEST_F(MeshTest, WithoutActionStartedOnlyTheChildrenAreDrawn) {
  AddCubeMesh("Cube");
  Mesh& parent = NewMesh();
  parent.AddMesh("Cube");
  Mesh& child = Add<Mesh>(parent, kClassMesh, "Child");
  child.SetPosition({0, 0, 10}, false);
  child.AddMesh("Cube");
  parent.SetFlag(kFlagActionStarted, false);
  Queue().Reset();
  parent.Draw();
  auto queued = Queued<MeshPartCommand>(kListOpaque);
  ASSERT_EQ(queued.size(), 1u);
  EXPECT_EQ(queued[0]->alpha, 1.0f);
  parent.SetActive(false);
  Queue().Reset();
  parent.Draw();
  EXPECT_TRUE(Queued<MeshPartCommand>(kListOpaque).empty());
}

TEST_F(MeshTest, FileRecordKeepsEntriesAndMaterialNameButLoadsNoMaterial) {
  AddMaterial("Stone");
  Mesh& mesh = NewMesh();
  mesh.AddMesh("Rock");
  mesh.AddMesh("Tree");
  Send(mesh, kSetMeshMaterial, std::string("Stone"));
  Send(mesh, kSetFrameDuration, 0.5f);
  Send(mesh, 504, std::int32_t{1});
  std::unique_ptr<Mesh> loaded = RoundTrip(mesh);
  ASSERT_NE(loaded, nullptr);
  ASSERT_EQ(loaded->GetMeshCount(), 2);
  EXPECT_EQ(loaded->GetEntries()[1].name, "Tree");
  EXPECT_EQ(loaded->GetMaterialName(), "Stone");
  EXPECT_EQ(loaded->GetMaterial(), nullptr);
  EXPECT_TRUE(loaded->IsCollectable());
  EXPECT_EQ(Save(*loaded), Save(mesh));

  // Before version 58 there is no material name.
  std::unique_ptr<Mesh> old = RoundTrip(mesh, 57);
  ASSERT_NE(old, nullptr);
  EXPECT_EQ(old->GetMaterialName(), "");
  EXPECT_EQ(old->GetMeshCount(), 2);
}

TEST_F(MeshTest, EntryCountBeyondTheFileIsRefused) {
  Mesh& mesh = NewMesh();
  mesh.AddMesh("Rock");
  std::vector<std::uint8_t> bytes = Save(mesh);
  // The count stands right before the one entry: its name (4 + 4 bytes) and four words.
  const std::size_t countAt = bytes.size() - (4 + 4 + 16) - 4;
  bytes[countAt + 3] = 0x7F;
  EXPECT_EQ(Load<Mesh>(kClassMesh, bytes, SerializeStream::kLatestVersion), nullptr);
}

}  // namespace
}  // namespace tge::test
