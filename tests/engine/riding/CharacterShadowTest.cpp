// The characters' shadows on the ground: over collected ground both draw
// the silhouette texture on the triangles under them; without the scene's
// Collector the player falls back to its shadow mesh and the horse draws
// none.
#include "objects/gameplay/characters/Horse.h"
#include "objects/gameplay/characters/PlayerTP.h"
#include "objects/gameplay/physics/PhysicsContact.h"
#include "tests/objects/scene/GroundFixture.h"

namespace tge::test {
namespace {

class CharacterShadowTest : public GroundFixture {
 protected:
  void SetUp() override {
    GroundFixture::SetUp();
    EngineServices& services = *GetEngineServices();
    services.SetSubsystem(ServiceSlot::kRenderDevice,
                          std::make_unique<RenderDevice>(RecordingRenderDevice::MakeBackend({})));
    StartupSettings startup = RecordingRenderDevice::Windowed();
    startup.renderDeviceEnabled = 1;
    ASSERT_EQ(services.Initialize(&startup), 1);
    View().SetProjection(1.5f, 4.0f / 3, 1, 100);
    View().SetCameraLookAt({3, 6, -8}, {0, 0, 0});
    yard = &AddGround(4, 2.0f, 40, true);
    plane = &AddCubeMesh("SimShadowPlane", 1);
  }

  template <class T>
  T& AddCharacter(int classId, const char* name, const Vector3& at) {
    T& character = Add<T>(*yard, classId, name);
    character.ExecuteCommand(kCommandInitializeNewObject, nullptr);
    character.SetPosition(at, false);
    return character;
  }

  // A contact from below with the ground, as the physics step reports it.
  static void Land(Object& character) {
    GeometryRecord ground;
    ContactParameters contact{};
    contact.geom.normal[1] = 1;
    character.HandleContact(character.GetPhysics()->geometries[0].get(), &ground, &contact, 1);
  }

  // What one character's draw queues: primitives and shadow-mesh parts.
  std::pair<int, std::vector<const MeshPartCommand*>> Drawn(Object& character) {
    Queue().Reset();
    Land(character);
    character.Draw();
    std::vector<const MeshPartCommand*> parts;
    for (std::size_t list = 0; list < kListCallbacks; ++list) {
      for (const MeshPartCommand* c : Queued<MeshPartCommand>(list)) {
        if (c->kind == RenderCommandKind::kMeshPart && c->mesh == plane) parts.push_back(c);
      }
    }
    return {static_cast<int>(QueuedPrimitives().size()), parts};
  }

  Space* yard = nullptr;
  MeshResource* plane = nullptr;
};

TEST_F(CharacterShadowTest, OverCollectedGroundBothCastTheirSilhouetteElseOnlyThePlayerItsMesh) {
  Horse& horse = AddCharacter<Horse>(kClassHorse, "Horse", {0, 0, 0});
  PlayerTP& player = AddCharacter<PlayerTP>(kClassPlayerTP, "Player", {3, 0, 1});
  yard->Precalculate();

  auto [horsePrimitives, horseMeshes] = Drawn(horse);
  EXPECT_EQ(horsePrimitives, 0);
  EXPECT_TRUE(horseMeshes.empty());
  auto [playerPrimitives, playerMeshes] = Drawn(player);
  EXPECT_EQ(playerPrimitives, 0);
  ASSERT_EQ(playerMeshes.size(), 1u);
  EXPECT_FLOAT_EQ(playerMeshes[0]->world.m[12], 3.0f);
  EXPECT_FLOAT_EQ(playerMeshes[0]->world.m[13], 0.05f);

  AddGlobalCollector(*yard);
  for (Object* character : {static_cast<Object*>(&horse), static_cast<Object*>(&player)}) {
    SCOPED_TRACE(character->GetName());
    character->Precalculate();
    auto [primitives, meshes] = Drawn(*character);
    EXPECT_EQ(primitives, 1);
    EXPECT_TRUE(meshes.empty());
  }
  Queue().Reset();
}

}  // namespace
}  // namespace tge::test
