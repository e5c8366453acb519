// An engine over a services object for the scene types: objects live in
// the engine's World, resources are registered in the services' database,
// and meshes are built on a recording render device. Helpers read back what
// a frame queued.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"
#include "engine/Engine.h"
#include "objects/gameplay/world/Space.h"
#include "services/EngineServices.h"
#include "services/render/RenderQueue.h"
#include "services/resources/MaterialResource.h"
#include "services/resources/MeshResource.h"
#include "services/resources/ResourceType.h"
#include "services/resources/SkinMeshResource.h"
#include "tests/services/TestBytes.h"
#include "tests/services/render/RecordingRenderDevice.h"
#include "tests/support/ObjectRecordBytes.h"

namespace tge::test {

// Sends a command whose argument block is one value.
template <class T>
void Send(Object& object, std::uint32_t id, T value) {
  object.ExecuteCommand(id, &value);
}

class SceneFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CreateEngineServices());
    GetEngineServices()->SetDataFolder(folder.Folder());
    ASSERT_TRUE(CreateEngine());
    engine = GetEngine();
    engine->GetEngineWorld().SetActive(true);
  }

  void TearDown() override {
    ShutdownEngine();
    DestroyEngineServices();
  }

  template <class T>
  T& Add(Object& parent, int classId, const std::string& name = "") {
    Object* object = CreateObject(classId, nullptr, parent, name.c_str());
    object->SetInheritOrientation(false);
    return static_cast<T&>(*object);
  }
  template <class T>
  T& Add(int classId, const std::string& name = "") {
    return Add<T>(*engine, classId, name);
  }

  ResourceDatabase& Resources() { return GetEngineServices()->GetResources(); }
  RenderQueue& Queue() { return GetEngineServices()->GetRenderQueue(); }
  ViewState& View() { return GetEngineServices()->GetView(); }

  MaterialResource& AddMaterial(const std::string& name) {
    auto material = std::make_unique<MaterialResource>();
    material->SetName(name);
    MaterialResource& kept = *material;
    Resources().RegisterResource(std::move(material));
    return kept;
  }

  // A cube of the given size on the recording device, whose triangles the
  // Spaces' triangle queries collect.
  MeshResource& AddCubeMesh(const std::string& name, float size = 2) {
    std::unique_ptr<MeshResource> mesh = CreateBoxMesh(device.device.Device(), size, size, size);
    const float half = size / 2;
    mesh->parts[0].flags = kMeshPartCollectable;
    mesh->parts[0].radius = size;
    mesh->parts[0].box = {{-half, -half, -half}, {half, half, half}};
    mesh->SetName(name);
    MeshResource& kept = *mesh;
    Resources().RegisterResource(std::move(mesh));
    return kept;
  }

  // A skinned mesh named name over a new cube mesh, every vertex on bone 0,
  // with the given skeleton.
  void AddSkinMesh(const std::string& name, std::vector<SkinBone> bones) {
    MeshResource& cube = AddCubeMesh(name + "Mesh");
    SkinMeshFile file;
    file.parts.resize(1);
    file.parts[0].vertices.resize(cube.parts[0].geometry->vertexCount);
    file.bones = std::move(bones);
    EXPECT_TRUE(WriteSkinMeshFile(folder.Path("Data/" + name + ".skn").string(), file));
    std::unique_ptr<Resource> skin = Resources().CreateResource(kSkinMeshResource);
    skin->SetName(name);
    skin->SetFileName(name + ".skn");
    static_cast<SkinMeshResource&>(*skin).mesh = &cube;
    Resources().RegisterResource(std::move(skin));
  }

  // A Space of the engine's World, with a collision space of its own.
  Space& AddSpace(Object& parent, const std::string& name, const Vector3& position, float half) {
    Space& space = Add<Space>(parent, kClassSpace, name);
    space.SetPosition(position, false);
    space.SetLocalBox({{-half, -half, -half}, {half, half, half}});
    return space;
  }

  // A collision resource of one box shape (collide bits 1) at a position.
  void AddBoxGeometry(const std::string& name, const Vector3& at, const Vector3& size) {
    Bytes bytes;
    bytes.U32(2).U32(0).U32(1);
    bytes.U32(1).F32(at.x).F32(at.y).F32(at.z).F32(0).F32(0).F32(0).F32(1);
    bytes.F32(size.x).F32(size.y).F32(size.z).U32(1).U32(5);
    folder.Write("Data/" + name + ".col", bytes.data);
    std::unique_ptr<Resource> resource = Resources().CreateResource(kCollisionGeometryResource);
    resource->SetName(name);
    resource->SetFileName(name + ".col");
    Resources().RegisterResource(std::move(resource));
  }

  // The queued records of one list, in order.
  template <class Command>
  std::vector<const Command*> Queued(std::size_t list) {
    std::vector<const Command*> out;
    for (const RenderCommand* c = Queue().GetList(list); c != nullptr; c = c->next) {
      out.push_back(static_cast<const Command*>(c));
    }
    return out;
  }

  // The primitive records of every list up to the callbacks, in list order.
  std::vector<const PrimitivesCommand*> QueuedPrimitives() {
    std::vector<const PrimitivesCommand*> out;
    for (std::size_t list = 0; list < kListCallbacks; ++list) {
      for (const RenderCommand* c = Queue().GetList(list); c != nullptr; c = c->next) {
        if (c->kind == RenderCommandKind::kPrimitives) out.push_back(static_cast<const PrimitivesCommand*>(c));
      }
    }
    return out;
  }

  // Saves object at version, then loads the bytes into a fresh object of
  // its type; null when the load failed.
  template <class T>
  std::unique_ptr<T> RoundTrip(T& object, int version = SerializeStream::kLatestVersion) {
    std::vector<std::uint8_t> bytes = Save(object, version);
    return Load<T>(object.GetClassId(), bytes, version);
  }
  static std::vector<std::uint8_t> Save(Object& object, int version = SerializeStream::kLatestVersion) {
    return SaveRecord(object, version);
  }
  template <class T>
  static std::unique_ptr<T> Load(int classId, std::vector<std::uint8_t>& bytes, int version) {
    return LoadRecord<T>(classId, bytes, version);
  }

  TempDataFolder folder;
  RecordingRenderDevice device;
  Engine* engine = nullptr;
};

}  // namespace tge::test
