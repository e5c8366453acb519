// A World of Spaces on the World's physics hooks, with a services object
// whose resources the Spaces' entries name: box-shaped collision geometry
// and unit cube meshes.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/World.h"
#include "objects/gameplay/world/Space.h"
#include "objects/gameplay/world/WorldPhysicsPasses.h"
#include "services/EngineServices.h"
#include "services/resources/CollisionGeometryResource.h"
#include "services/resources/MeshResource.h"
#include "tests/services/TestBytes.h"
#include "tests/services/render/RecordingRenderDevice.h"

namespace tge::test {

class SpaceScene : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallWorldPhysicsPasses();
    ASSERT_TRUE(CreateEngineServices());
    GetEngineServices()->SetDataFolder(folder.Folder());
    world = std::make_unique<World>();
    std::int32_t on = 1;
    world->ExecuteCommand(14250, &on);
  }

  void TearDown() override {
    world.reset();
    ReleaseSpaceQueries();
    DestroyEngineServices();
    UninstallWorldPhysicsPasses();
  }

  // A collision resource of one box shape (collide bits 1) at a position.
  void AddBoxGeometry(const std::string& name, const Vector3& at, const Vector3& size) {
    Bytes bytes;
    bytes.U32(2).U32(0).U32(1);
    bytes.U32(1).F32(at.x).F32(at.y).F32(at.z).F32(0).F32(0).F32(0).F32(1);
    bytes.F32(size.x).F32(size.y).F32(size.z).U32(1).U32(5);
    folder.Write("Data/" + name + ".col", bytes.data);
    Register(kCollisionGeometryResource, name, name + ".col");
  }

  // A floor of two triangles at height 0 over x and z from -extent to extent.
  void AddFloorGeometry(const std::string& name, float extent) {
    Bytes bytes;
    bytes.U32(2).U32(1).U32(0);
    bytes.U32(0).U32(4).U32(6).U32(1).U32(0);
    for (float x : {-extent, extent}) {
      for (float z : {-extent, extent}) bytes.F32(x).F32(0).F32(z);
    }
    for (std::uint32_t index : {0u, 1u, 2u, 2u, 1u, 3u}) bytes.U32(index);
    folder.Write("Data/" + name + ".col", bytes.data);
    Register(kCollisionGeometryResource, name, name + ".col");
  }

  // A 2 x 2 x 2 cube mesh whose triangles collision queries collect.
  void AddCubeMesh(const std::string& name) {
    std::unique_ptr<MeshResource> mesh = CreateBoxMesh(device.device.Device(), 2, 2, 2);
    mesh->parts[0].flags = kMeshPartCollectable;
    mesh->parts[0].radius = 2;
    mesh->parts[0].box = {{-1, -1, -1}, {1, 1, 1}};
    mesh->SetName(name);
    GetEngineServices()->GetResources().RegisterResource(std::move(mesh));
  }

  Space& AddSpace(Object& parent, const std::string& name, const Vector3& position, const AABox& box,
                  std::uint32_t flags = kSpaceCollision) {
    auto space = std::make_unique<Space>();
    space->SetName(name);
    space->SetWorld(world.get());
    space->SetInheritOrientation(false);
    space->SetPosition(position, false);
    space->SetLocalBox(box);
    for (std::uint32_t bit = 1; bit <= kSpaceExterior; bit <<= 1) space->SetSpaceFlag(bit, (flags & bit) != 0);
    return static_cast<Space&>(*parent.AddChild(std::move(space)));
  }
  Space& AddSpace(const std::string& name, const Vector3& position, const AABox& box,
                  std::uint32_t flags = kSpaceCollision) {
    return AddSpace(*world, name, position, box, flags);
  }

  // What start-up does: the World makes its physics and joins the Spaces,
  // then each Space builds its collision geometry.
  void Start() {
    world->Precalculate();
    world->SetActive(true);
    for (Space* space : world->GetSpaces()) {
      space->ResolveCollisionEntries();
      space->BuildCollisionGeometries();
    }
  }

  static AABox Cube(float half) { return {{-half, -half, -half}, {half, half, half}}; }

  TempDataFolder folder;
  RecordingRenderDevice device;
  std::unique_ptr<World> world;

 private:
  void Register(int type, const std::string& name, const std::string& file) {
    ResourceDatabase& resources = GetEngineServices()->GetResources();
    std::unique_ptr<Resource> resource = resources.CreateResource(type);
    resource->SetName(name);
    resource->SetFileName(file);
    resources.RegisterResource(std::move(resource));
  }
};

}  // namespace tge::test
