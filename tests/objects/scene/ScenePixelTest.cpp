// Pixel probes of a small scene drawn the way a frame draws it: the World's
// post pass applies the active camera's view and walks its Space, whose
// Environment, Lights and Meshes queue their work; the services render the
// frame on Mesa's software GL in one hidden window kept for the whole run.
#include <SDL.h>

#include <cmath>
#include <numbers>

#include "objects/scene/Camera.h"
#include "objects/scene/Environment.h"
#include "objects/scene/Light.h"
#include "objects/scene/Mesh.h"
#include "platform/gfx/GlDevice.h"
#include "services/RenderDevice.h"
#include "services/render/MaterialType.h"
#include "tests/objects/scene/SceneFixture.h"
#include "tests/support/GlRenderDeviceBackend.h"
#include "tests/support/GlTestWindow.h"

namespace tge::test {
namespace {

constexpr int kSize = 64;

std::uint32_t Expected(const Color& colour) { return ColorToDword(colour) & 0xFFFFFF; }

// A camera at the origin looking along +z with a 90 degree square view,
// in fog from 50 to 100, and a material of diffuse (0.8, 0.6, 0.4) without
// ambient, so a face is lit by its lights alone.
class ScenePixelTest : public SceneFixture {
 protected:
  void SetUp() override {
    SceneFixture::SetUp();
    SDL_Window* window = SharedGlTestWindow(kSize, kSize);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    gl_ = std::make_unique<RenderDevice>(WindowRenderDeviceBackend(window));
    StartupSettings settings;
    settings.fullScreen = 0;
    settings.width = settings.height = kSize;
    ASSERT_EQ(gl_->InitRenderDevice(settings), 1);

    MaterialResource& paint = AddMaterial("Paint");
    SetMaterialType(&paint, kMaterialStandard);
    paint.colors.diffuse = {0.8f, 0.6f, 0.4f, 1};
    paint.colors.ambient = {0, 0, 0, 1};
    paint.flags &= ~std::uint32_t{kMaterialNoColors};

    room = &AddSpace(*engine, "Room", {}, 50);
    Camera& camera = Add<Camera>(*room, kClassCamera, "Camera");
    Send(camera, 1254, std::numbers::pi_v<float> / 2);
    Send(camera, 1256, 1.0f);
    Send(camera, 1258, 0.5f);
    Environment& fog = Add<Environment>(*room, kClassEnvironment, "Fog");
    Send(fog, 20010, Color{0.2f, 0.4f, 0.6f, 1});
    Send(fog, 20006, 50.0f);
    Send(fog, 20008, 100.0f);
    Send(fog, 20002, std::int32_t{1});
  }

  void TearDown() override {
    room = nullptr;
    SceneFixture::TearDown();
    gl_.reset();
  }

  // A cube on the GL device whose front face (towards the camera) stands at
  // depth z, centred on x.
  Mesh& AddCube(const std::string& name, float size, float x, float z) {
    std::unique_ptr<MeshResource> cube = CreateBoxMesh(gl_->Device(), size, size, size);
    cube->SetName(name);
    Resources().RegisterResource(std::move(cube));
    Mesh& mesh = Add<Mesh>(*room, kClassMesh, name);
    mesh.SetPosition({x, 0, z + size / 2}, false);
    mesh.AddMesh(name);
    std::string paint = "Paint";
    mesh.ExecuteCommand(506, &paint);
    return mesh;
  }

  Light& AddLight(std::uint32_t type) {
    Light& light = Add<Light>(*room, kClassLight, "Light");
    Send(light, 750, type);
    return light;
  }

  void Frame() {
    room->Precalculate();
    room->FindChildByClass(kClassCamera)->Update();
    engine->GetEngineWorld().PostPass();
    EngineServices& services = *GetEngineServices();
    ASSERT_EQ(services.BeginFrame(), 1);
    services.RenderFrame();
    services.EndFrame();
  }

  std::uint32_t Probe(int x, int y) {
    auto& device = static_cast<gfx::GlDevice&>(gl_->Device());
    return device.ReadPixels().at(std::size_t(y) * kSize + std::size_t(x)) & 0xFFFFFF;
  }

  std::unique_ptr<RenderDevice> gl_;
  Space* room = nullptr;
};

TEST_F(ScenePixelTest, BackgroundIsTheFogColourAndTheLitFaceFollowsTheLightingFormula) {
  AddCube("Cube", 2, 0, 4);
  Light& sun = AddLight(kLightDirectional);  // shining along +z, onto the face
  Send(sun, 752, Color{1, 1, 1, 1});
  Send(sun, 756, 0.75f);
  Frame();
  EXPECT_TRUE(NearColour(Probe(1, 1), Expected({0.2f, 0.4f, 0.6f, 1}), 1));
  EXPECT_TRUE(NearColour(Probe(32, 32), Expected({0.8f * 0.75f, 0.6f * 0.75f, 0.4f * 0.75f, 1}), 3));
}

// Lit per vertex: each face takes about the light at its centre, where
// the light falls straight on it at distance d with 1 / (1 + d / radius).
TEST_F(ScenePixelTest, PointLightFallsOffWithDistance) {
  AddCube("Near", 0.5f, -0.5f, 2);
  AddCube("Far", 1, 1.5f, 6);
  Light& lamp = AddLight(kLightPoint);
  Send(lamp, 752, Color{1, 1, 1, 1});
  Send(lamp, 758, 10.0f);
  Send(lamp, 766, 1.0f);
  Send(lamp, 768, 1.0f);
  Send(lamp, 770, 1.0f);
  Frame();
  const auto lit = [](float distance, float cosine) {
    const float share = cosine / (1 + distance / 10);
    return Expected({0.8f * share, 0.6f * share, 0.4f * share, 1});
  };
  const float farDistance = std::sqrt(1.5f * 1.5f + 36.0f);
  EXPECT_TRUE(NearColour(Probe(24, 32), lit(std::sqrt(0.25f + 4.0f), 2 / std::sqrt(4.25f)), 8));
  EXPECT_TRUE(NearColour(Probe(40, 32), lit(farDistance, 6 / farDistance), 8));
}

}  // namespace
}  // namespace tge::test
