#include "tests/support/NullScene.h"

#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "engine/Engine.h"
#include "objects/gameplay/world/Space.h"
#include "objects/scene/Camera.h"
#include "objects/scene/Mesh.h"
#include "platform/gfx/NullDevice.h"
#include "services/EngineServices.h"
#include "services/RenderDevice.h"
#include "services/resources/MaterialResource.h"
#include "services/resources/MeshResource.h"

namespace tge {
namespace {

constexpr std::uint32_t kWidth = 640, kHeight = 480;

bool StartServices() {
  if (!CreateEngineServices()) return false;
  EngineServices& services = *GetEngineServices();
  services.SetSubsystem(ServiceSlot::kRenderDevice, std::make_unique<RenderDevice>(NullRenderDeviceBackend(
                                                        {kWidth, kHeight, 60, gfx::kFormatX8R8G8B8})));
  StartupSettings startup;
  startup.renderDeviceEnabled = 1;
  startup.fullScreen = 0;
  startup.width = kWidth;
  startup.height = kHeight;
  return services.Initialize(&startup) == 1;
}

void AddBoxResources(gfx::Device& device, float size) {
  ResourceDatabase& resources = GetEngineServices()->GetResources();
  auto material = std::make_unique<MaterialResource>();
  material->SetName("Grey");
  Resource* grey = material.get();
  resources.RegisterResource(std::move(material));
  std::unique_ptr<MeshResource> box = CreateBoxMesh(device, size, size, size);
  box->SetName("Box");
  box->parts[0].material = grey;
  resources.RegisterResource(std::move(box));
}

}  // namespace

bool StartNullScene(NullScene& scene, float boxSize) {
  if (!StartServices() || !CreateEngine()) return false;
  scene.engine = GetEngine();
  scene.engine->GetEngineWorld().SetActive(true);
  scene.engine->SetRunning(true);
  scene.device = static_cast<gfx::NullDevice*>(&GetRenderDevice()->Device());
  AddBoxResources(*scene.device, boxSize);
  scene.space = static_cast<Space*>(CreateObject(kClassSpace, nullptr, *scene.engine, "Room"));
  scene.space->SetLocalBox({{-100, -100, -100}, {100, 100, 100}});
  scene.camera = static_cast<Camera*>(CreateObject(kClassCamera, nullptr, *scene.space, "Camera"));
  scene.camera->SetInheritOrientation(false);
  scene.camera->SetPosition({0, 0, -60}, false);
  return true;
}

void ShutdownNullScene() {
  ShutdownEngine();
  DestroyEngineServices();
}

Object& AddBoxMesh(NullScene& scene, const Vector3& at) {
  Object* object = CreateObject(kClassMesh, nullptr, *scene.space, "Box");
  object->SetPosition(at, false);
  static_cast<Mesh*>(object)->AddMesh("Box");
  return *object;
}

void PrepareNullSceneFrames(NullScene& scene) {
  scene.space->Precalculate();
  scene.camera->Update();
}

}  // namespace tge
