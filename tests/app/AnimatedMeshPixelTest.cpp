// Pixel probes of a skinned mesh and a morph mesh run by the real program:
// a one-key pose moves a limb to where the bind pose has none, and a morph
// mesh at speed 0 shows its first target at its child. The meshes show
// their ambient colour alone (a light of ambient white only), against fog.
#include <gtest/gtest.h>

#include <numbers>

#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/math/Color.h"
#include "services/render/MaterialType.h"
#include "services/resources/AnimationResource.h"
#include "services/resources/MaterialResource.h"
#include "services/resources/MeshResource.h"
#include "services/resources/MorphMeshResource.h"
#include "services/resources/SkinMeshResource.h"
#include "tests/app/ProbeStage.h"

namespace tge::test {
namespace {

// A square field of view of 90 degrees: a point at (x, y, z) in front of
// the camera lands kShotFocal * x / z pixels right of the middle.
constexpr float kDistance = 5;
constexpr float kLimbX = 1.5f;
const Rgb kFogRgb{51, 102, 153};
const Rgb kPaintRgb{230, 26, 26};

bool AddMeshResources(ResourceDatabase& resources, const std::filesystem::path& dataFolder) {
  auto& paint = RegisterResource<MaterialResource>(resources, "Paint", "");
  SetMaterialType(&paint, kMaterialStandard);
  paint.flags &= ~std::uint32_t{kMaterialNoColors};
  paint.colors.diffuse = {0, 0, 0, 1};
  paint.colors.ambient = {0.9f, 0.1f, 0.1f, 1};
  MeshResource* limb = AddBoxMesh(resources, dataFolder, "Limb", gfx::CreateBoxMesh(1, 1, 1), 1, &paint);
  MeshResource* big = AddBoxMesh(resources, dataFolder, "Big", gfx::CreateBoxMesh(2, 2, 2), 2, &paint);
  MeshResource* small = AddBoxMesh(resources, dataFolder, "Small", gfx::CreateBoxMesh(0.5f, 0.5f, 0.5f), 1, &paint);
  if (!limb || !big || !small) return false;
  // Every vertex of the limb box follows bone 1.
  SkinMeshFile skin;
  skin.parts.resize(1);
  const gfx::MeshData box = gfx::CreateBoxMesh(1, 1, 1);
  for (std::uint32_t v = 0; v < box.vertexCount; ++v) {
    SkinVertex& vertex = skin.parts[0].vertices.emplace_back();
    vertex.position = {box.vertices[v * 6], box.vertices[v * 6 + 1], box.vertices[v * 6 + 2]};
    vertex.normal = {box.vertices[v * 6 + 3], box.vertices[v * 6 + 4], box.vertices[v * 6 + 5]};
    vertex.bones[0] = 1;
  }
  skin.bones.resize(2);
  skin.bones[0].name = "Root";
  skin.bones[1].name = "Arm";
  skin.bones[1].boneId = 1;
  if (!WriteSkinMeshFile((dataFolder / "Limb.skn").string(), skin)) return false;
  RegisterResource<SkinMeshResource>(resources, "LimbSkin", "Limb.skn").mesh = limb;
  // One key: the arm stands kLimbX to the right.
  std::vector<AnimationTrack> tracks(2);
  tracks[0].boneId = 0;
  tracks[0].positionKeys = {{0, {0, 0, 0}}};
  tracks[1].boneId = 1;
  tracks[1].positionKeys = {{0, {kLimbX, 0, 0}}};
  if (!WriteDataFile(dataFolder / "Pose.kfa", EncodeAnimationFile(tracks))) return false;
  RegisterResource<AnimationResource>(resources, "Pose", "Pose.kfa").length = 1;
  auto& morph = RegisterResource<MorphMeshResource>(resources, "Grow", "");
  morph.baseMesh = limb;
  morph.targets = {{0, big}, {0, small}};
  return true;
}

class AnimatedMeshPixelTest : public ::testing::Test {
 protected:
  // The probe World: fog, a camera at the origin looking along z, ambient
  // white; build adds the rest. Returns the third frame.
  image::Image Render(const std::function<void(Object& room)>& build) {
    SceneDescription scene;
    scene.addResources = AddMeshResources;
    scene.buildObjects = [&](Object& root) {
      Object& world = *CreateObject(kClassWorld, nullptr, root, "ProbeWorld");
      Object& room = AddPlaced(world, kClassSpace, "Room",
                               "this.SetSpaceBoxMin(-60, -60, -60); this.SetSpaceBoxMax(60, 60, 60);");
      AddPlaced(room, kClassEnvironment, "Air",
                "this.SetEnvironmentFogColor(0.2, 0.4, 0.6, 1); this.SetEnvironmentFogNear(50); "
                "this.SetEnvironmentFogFar(100); this.SetEnvironmentFogEnable(1);");
      AddPlaced(room, kClassCamera, "Eye",
                "this.SetCameraType(0); this.SetCameraFov(" + std::to_string(kShotFov) + "); this.SetCameraAspect(" +
                    std::to_string(float(kShotWidth) / kShotHeight) +
                    "); this.SetCameraNear(0.5); this.SetCameraFar(100);");
      AddPlaced(room, kClassLight, "Glow", "this.SetLightColor(0, 0, 0, 1); this.SetLightAmbient(1, 1, 1, 1);");
      build(room);
    };
    return ShootProbe(scene, "Animated mesh test", {kShotWidth, kShotHeight}, 3);
  }
};

TEST_F(AnimatedMeshPixelTest, AOneKeyPoseShowsTheLimbWhereTheBindPoseHasNone) {
  const image::Image shot = Render([](Object& room) {
    Object& stand = AddPlaced(room, kClassObject, "Stand", "this.SetPosition(0, 0, " + std::to_string(kDistance) + ");");
    Object& skin = AddPlaced(stand, kClassSkinMesh, "Figure",
                             "this.SetSkinMesh(LimbSkin); this.SetSkinMeshAnimate(1); this.AddSkinMeshAnimation(Pose);");
    AddPlaced(skin, kClassBone, "Arm", "this.SetPosition(0, 0, 0);");
    AddScript(skin, "OnEngineStarted", "this.SetSkinMeshAnimation(Pose);");
  });
  const int limbX = kShotWidth / 2 + int(kShotFocal * kLimbX / (kDistance - 0.5f));
  EXPECT_TRUE(Near(PixelAt(shot, kShotWidth / 2, kShotHeight / 2), kFogRgb, 2));
  EXPECT_TRUE(Near(PixelAt(shot, limbX, kShotHeight / 2), kPaintRgb, 2));
}

// The big target's front face stands 4 units away, 1 unit to each side: 40
// pixels right of the middle lie on it, beyond the small target and the
// base (a unit box: 27 pixels), and 70 pixels beyond it too (60).
TEST_F(AnimatedMeshPixelTest, AMorphMeshAtSpeedZeroShowsItsFirstTargetAtItsChild) {
  const image::Image shot = Render([](Object& room) {
    Object& morph = AddPlaced(room, kClassMorphMesh, "Morph",
                              "this.SetPosition(0, 0, " + std::to_string(kDistance) +
                                  "); this.SetMorphMesh(Grow); this.SetMorphMeshDestinationMesh(Limb); this.SetMorphMeshSpeed(0);");
    AddPlaced(morph, kClassObject, "At", "this.SetPosition(0, 0, 0);");
  });
  EXPECT_TRUE(Near(PixelAt(shot, kShotWidth / 2 + 40, kShotHeight / 2), kPaintRgb, 2));
  EXPECT_TRUE(Near(PixelAt(shot, kShotWidth / 2 + 70, kShotHeight / 2), kFogRgb, 2));
}

}  // namespace
}  // namespace tge::test
