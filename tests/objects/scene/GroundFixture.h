// A level of flat collectable tiles in one Space, for the types that work on
// collected triangles: the tiles lie on a grid at y = 0, each a thin box
// whose top faces upwards.
#pragma once
#include <string>

#include "core/ActiveCameraTable.h"
#include "core/BaseCommandIds.h"
#include "objects/scene/Camera.h"
#include "objects/scene/Mesh.h"
#include "objects/scene/effects/Collector.h"
#include "tests/objects/scene/SceneFixture.h"

namespace tge::test {

inline constexpr std::uint32_t kSetSpaceExterior = 2028;
inline constexpr std::uint32_t kSetCollectorTriangle = 7510, kSetCollectorRadius = 7512, kSetCollectorHot = 7500;
inline constexpr std::uint32_t kSetCollectorCapacity = 7516, kSetCollectorGlobal = 7502;

class GroundFixture : public SceneFixture {
 protected:
  MeshResource& AddTileMesh(const std::string& name, float size) {
    std::unique_ptr<MeshResource> mesh = CreateBoxMesh(device.device.Device(), size, 0.1f, size);
    mesh->parts[0].flags = kMeshPartCollectable;
    mesh->parts[0].radius = size;
    mesh->parts[0].box = {{-size / 2, -0.05f, -size / 2}, {size / 2, 0.05f, size / 2}};
    mesh->SetName(name);
    MeshResource& kept = *mesh;
    Resources().RegisterResource(std::move(mesh));
    return kept;
  }

  // tiles x tiles tiles of the given size centred on the origin, in a Space
  // of half-size half.
  Space& AddGround(int tiles, float size, float half, bool exterior) {
    AddTileMesh("Tile", size);
    Space& space = AddSpace(*engine, "Yard", {}, half);
    Send<std::int32_t>(space, kSetSpaceExterior, exterior ? 1 : 0);
    for (int i = 0; i < tiles; ++i) {
      for (int j = 0; j < tiles; ++j) {
        Mesh& tile = Add<Mesh>(space, kClassMesh, "Tile");
        tile.SetPosition({(static_cast<float>(i) - (tiles - 1) * 0.5f) * size, -0.05f,
                          (static_cast<float>(j) - (tiles - 1) * 0.5f) * size},
                         false);
        tile.AddMesh("Tile");
        Send<std::int32_t>(tile, 504, 1);
      }
    }
    return space;
  }

  Collector& AddCollector(Object& parent, float radius, float hot, std::uint32_t capacity) {
    Collector& collector = Add<Collector>(parent, kClassCollector, "Collector");
    collector.ExecuteCommand(kCommandInitializeNewObject, nullptr);
    Send<std::int32_t>(collector, kSetCollectorTriangle, 1);
    Send(collector, kSetCollectorRadius, radius);
    Send(collector, kSetCollectorHot, hot);
    Send(collector, kSetCollectorCapacity, capacity);
    return collector;
  }

  // A global collector as a file makes it, in the Space of the camera of
  // viewport 0.
  void AddGlobalCollector(Space& yard) {
    Collector& made = AddCollector(*engine, 12.0f, 1.0f, 4000);
    Send<std::int32_t>(made, kSetCollectorGlobal, 1);
    std::unique_ptr<Collector> global = RoundTrip(made);
    DestroyObjectTree(engine->DetachChild(made));
    ASSERT_EQ(Collector::GetGlobal(), global.get());
    Collector& kept = static_cast<Collector&>(*yard.AddChild(std::move(global)));
    kept.SetWorld(yard.GetWorld());
    Camera& camera = Add<Camera>(yard, kClassCamera, "Eye");
    yard.Precalculate();
    GetActiveCameraTable().Set(0, &camera);
    kept.Update();
  }
};

}  // namespace tge::test
