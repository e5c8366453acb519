// A whole-program pixel probe of a ScreenAnchor: a Sprite under an anchor
// at a world point is drawn at the point's projection. In an 800 x 600
// window the widgets' reference units are pixels.
#include "services/render/MaterialType.h"
#include "services/resources/MaterialResource.h"
#include "tests/app/ProbeStage.h"

namespace tge::test {
namespace {

constexpr ProbeView kAnchorView{800, 600};
const Rgb kPin{255, 0, 0};

bool AddPinMaterial(ResourceDatabase& resources, const std::filesystem::path&) {
  SetMaterialType(&RegisterResource<MaterialResource>(resources, "Pin", ""), kMaterialSolidColor);
  return true;
}

// An anchor at point holding a 20 x 20 red Sprite centred on it.
void BuildAnchorProbe(Object& root, const Vector3& point) {
  Object& room = AddProbeStage(root, kAnchorView);
  Object& anchor = AddPlaced(room, kClassScreenAnchor, "Label",
                             "this.SetPosition(" + std::to_string(point.x) + ", " + std::to_string(point.y) + ", " +
                                 std::to_string(point.z) + ");");
  AddPlaced(anchor, kClassSprite, "Pin",
            "this.SetPosition(0, 0, 0); this.SetWindowWidth(20); this.SetWindowHeight(20); "
            "this.SetWindowAlignX(1); this.SetWindowAlignY(1); this.SetSpriteMaterial(Pin); "
            "this.SetSpriteColor(1, 0, 0, 1);");
}

TEST(ScreenAnchorProbeTest, SpriteChildSitsAtTheProjectedPoint) {
  const Vector3 point{2, 1, 10};
  SceneDescription scene;
  scene.addResources = AddPinMaterial;
  scene.buildObjects = [&](Object& root) { BuildAnchorProbe(root, point); };
  const image::Image shot = ShootProbe(scene, "Screen anchor probe", kAnchorView, 3);
  const auto [x, y] = kAnchorView.Project(point);
  EXPECT_EQ(x, 460);
  EXPECT_EQ(y, 270);
  for (const auto& [dx, dy] : {std::pair{0, 0}, std::pair{-8, -8}, std::pair{8, 8}}) {
    EXPECT_TRUE(Near(PixelAt(shot, x + dx, y + dy), kPin, 1)) << dx << ", " << dy;
  }
  for (const auto& [dx, dy] : {std::pair{-14, 0}, std::pair{14, 0}, std::pair{0, -14}, std::pair{0, 14}}) {
    EXPECT_TRUE(Near(PixelAt(shot, x + dx, y + dy), kProbeFog, 1)) << dx << ", " << dy;
  }
}

}  // namespace
}  // namespace tge::test
