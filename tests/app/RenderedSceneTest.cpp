// Pixel probes of small scenes run by the real program: each test describes
// a scene, writes it with the engine's own writers into a data folder, runs
// the program on it headless and reads back the screenshot of its third
// frame. The expected colours and places are worked out here from the
// values the scene was given: the lighting formula for colours, the
// camera's view and projection for places.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>

#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/math/Color.h"
#include "core/math/Vector.h"
#include "services/render/MaterialType.h"
#include "services/resources/MaterialResource.h"
#include "tests/app/ProbeStage.h"

namespace tge::test {
namespace {

// A square field of view of 90 degrees: tan(fov / 2) is 1, so a point at
// (x, y, z) in the camera's frame lands kShotFocal * (x / z, -y / z) pixels
// from the middle.
const std::string kFovText = std::to_string(kShotFov);
const std::string kAspectText = std::to_string(float(kShotWidth) / kShotHeight);

constexpr Color kFog{0.2f, 0.4f, 0.6f, 1};
constexpr Color kPaintDiffuse{0.8f, 0.6f, 0.4f, 1};
constexpr Color kPaintAmbient{0.5f, 0.5f, 0.5f, 1};
constexpr Color kMarkerAmbient{0.9f, 0.1f, 0.1f, 1};

// The byte a colour channel is drawn with.
int Byte(float channel) { return int(std::lround(std::clamp(channel, 0.0f, 1.0f) * 255)); }
Rgb ToRgb(const Color& c) { return {Byte(c.r), Byte(c.g), Byte(c.b)}; }

std::string Args(const Color& c) {
  return std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b) + ", " + std::to_string(c.a);
}
std::string Args(const Vector3& v) {
  return std::to_string(v.x) + ", " + std::to_string(v.y) + ", " + std::to_string(v.z);
}

MaterialResource& AddMaterial(ResourceDatabase& resources, const std::string& name, const Color& diffuse,
                              const Color& ambient) {
  auto& material = RegisterResource<MaterialResource>(resources, name, "");
  SetMaterialType(&material, kMaterialStandard);
  material.flags &= ~std::uint32_t{kMaterialNoColors};
  material.colors.diffuse = diffuse;
  material.colors.ambient = ambient;
  return material;
}

// "Paint" boxes of edge 1 and 2 and a "Marker" box of edge 1 that shows
// only its ambient colour (the tests light it with ambient light alone).
bool AddSceneResources(ResourceDatabase& resources, const std::filesystem::path& dataFolder) {
  MaterialResource& paint = AddMaterial(resources, "Paint", kPaintDiffuse, kPaintAmbient);
  MaterialResource& marker = AddMaterial(resources, "Marker", {0, 0, 0, 1}, kMarkerAmbient);
  return AddBoxMesh(resources, dataFolder, "Box1", gfx::CreateBoxMesh(1, 1, 1), 1, &paint) &&
         AddBoxMesh(resources, dataFolder, "Box2", gfx::CreateBoxMesh(2, 2, 2), 2, &paint) &&
         AddBoxMesh(resources, dataFolder, "MarkerBox", gfx::CreateBoxMesh(1, 1, 1), 1, &marker);
}

// A World with one Space, "Room", holding the fog from 50 to 100; the test
// adds the rest of the scene to the Room.
class RenderedSceneTest : public ::testing::Test {
 protected:
  using Build = std::function<void(Object& room)>;

  // Writes the scene, runs the program on it and returns its third frame.
  image::Image Render(const Build& build, int width = kShotWidth, int height = kShotHeight) {
    SceneDescription scene;
    scene.addResources = AddSceneResources;
    scene.buildObjects = [&](Object& root) {
      Object& world = *CreateObject(kClassWorld, nullptr, root, "ProbeWorld");
      Object& room = AddPlaced(world, kClassSpace, "Room",
                               "this.SetSpaceBoxMin(-60, -60, -60); this.SetSpaceBoxMax(60, 60, 60);");
      AddPlaced(room, kClassEnvironment, "Air",
                "this.SetEnvironmentFogColor(" + Args(kFog) +
                    "); this.SetEnvironmentFogNear(50); this.SetEnvironmentFogFar(100); "
                    "this.SetEnvironmentFogEnable(1);");
      build(room);
    };
    return ShootProbe(scene, "Rendered scene test", {width, height}, 3);
  }

  // A camera of the given type and set-up, with the square field of view.
  static void AddCamera(Object& room, int type, const std::string& setUp) {
    AddPlaced(room, kClassCamera, "Eye",
              "this.SetCameraType(" + std::to_string(type) + "); this.SetCameraFov(" + kFovText +
                  "); this.SetCameraAspect(" + kAspectText + "); this.SetCameraNear(0.5); this.SetCameraFar(100); " +
                  setUp);
  }

  static void AddMesh(Object& room, const std::string& name, const std::string& mesh, const Vector3& at) {
    AddPlaced(room, kClassMesh, name, "this.SetPosition(" + Args(at) + "); this.AddMesh(" + mesh + ");");
  }
};

// A directional light turned by yaw off the view axis lights the face the
// camera looks at with the cosine of that angle, on top of its ambient
// light: ambient * material ambient + colour * strength * cos * diffuse.
TEST_F(RenderedSceneTest, LitFaceHasTheColourOfTheLightingFormula) {
  const Color ambient{0.1f, 0.2f, 0.3f, 1};
  const Color sun{1.0f, 0.9f, 0.7f, 1};
  const float strength = 0.8f;
  const float yaw = 0.6f;
  const image::Image shot = Render([&](Object& room) {
    AddCamera(room, 0, "");
    AddMesh(room, "Cube", "Box2", {0, 0, 5});
    AddPlaced(room, kClassLight, "Sun",
              "this.SetLightType(0); this.SetRotationY(" + std::to_string(yaw) + "); this.SetLightColor(" +
                  Args(sun) + "); this.SetLightAmbient(" + Args(ambient) + "); this.SetLightColorMul(" +
                  std::to_string(strength) + ");");
  });
  const float lit = strength * std::cos(yaw);
  const Color expected{ambient.r * kPaintAmbient.r + sun.r * lit * kPaintDiffuse.r,
                       ambient.g * kPaintAmbient.g + sun.g * lit * kPaintDiffuse.g,
                       ambient.b * kPaintAmbient.b + sun.b * lit * kPaintDiffuse.b, 1};
  EXPECT_TRUE(Near(PixelAt(shot, kShotWidth / 2, kShotHeight / 2), ToRgb(expected), 2));
  EXPECT_TRUE(Near(PixelAt(shot, 2, 2), ToRgb(kFog), 1));
}

// A lamp at the eye in front of a box of edge 1 whose near face stands at
// distance d: every corner of the face is sqrt(d^2 + 1/2) away and sees the
// light at the same angle, so the whole face has the light of its corners,
// weakened by 1 / (1 + a1 D + a2 D^2) with the terms the falloffs give
// (falloff 1 split evenly between the linear and the quadratic term, both
// in units of the radius).
TEST_F(RenderedSceneTest, PointLightFallsOffWithDistance) {
  const float radius = 12;
  const float linear = 0.5f / radius;
  const float quadratic = 0.5f / (radius * radius);
  for (const float d : {2.0f, 7.0f}) {
    SCOPED_TRACE(d);
    const image::Image shot = Render([&](Object& room) {
      AddCamera(room, 0, "");
      AddMesh(room, "Cube", "Box1", {0, 0, d + 0.5f});
      AddPlaced(room, kClassLight, "Lamp",
                "this.SetLightType(1); this.SetLightRadius(" + std::to_string(radius) +
                    "); this.SetLightFalloff0(1); this.SetLightFalloff1(1); this.SetLightFalloff2(0.5);");
    });
    const float corner = std::sqrt(d * d + 0.5f);
    const float share = (d / corner) / (1 + linear * corner + quadratic * corner * corner);
    const Color expected{kPaintDiffuse.r * share, kPaintDiffuse.g * share, kPaintDiffuse.b * share, 1};
    EXPECT_TRUE(Near(PixelAt(shot, kShotWidth / 2, kShotHeight / 2), ToRgb(expected), 2));
  }
}

// Where the marker lands for each camera type. A fixed camera looks along
// its own axis (so the marker, placed right of and above that axis, lands
// off the middle), a look-at camera at its target, a free-fly camera along
// its heading with the pitch dropped, and a follow camera from behind its
// target wherever the file placed it. Each camera's set-up would show the
// marker elsewhere, or not at all, under the other types.
TEST_F(RenderedSceneTest, EachCameraTypeSetsItsView) {
  const float yaw = 0.5f;
  const Vector3 eye{1, 2, -3};
  const Vector3 forward{std::sin(yaw), 0, std::cos(yaw)};
  const Vector3 right{std::cos(yaw), 0, -std::sin(yaw)};
  // Ten ahead, two right and one up of a level view along the yaw.
  const Vector3 offAxis{eye.x + 10 * forward.x + 2 * right.x, eye.y + 1, eye.z + 10 * forward.z + 2 * right.z};
  const Vector3 origin{0, 0.5f, 2};
  const std::string turned = "this.SetPosition(" + Args(eye) + "); this.SetRotationY(" + std::to_string(yaw) + ");";
  struct Case {
    int type;
    std::string setUp;
    Vector3 marker;
    int x, y;
  };
  const int middleX = kShotWidth / 2, middleY = kShotHeight / 2;
  const Case cases[] = {
      {0, turned, offAxis, middleX + int(std::lround(kShotFocal * 2 / 10)),
       middleY - int(std::lround(kShotFocal * 1 / 10))},
      {1, "this.SetPosition(4, 3, -6); this.SetCameraTarget(parent/Marker);", origin, middleX, middleY},
      {2, turned + " this.SetRotationX(0.6);", offAxis, middleX + int(std::lround(kShotFocal * 2 / 10)),
       middleY - int(std::lround(kShotFocal * 1 / 10))},
      {3,
       "this.SetPosition(20, 0, 20); this.SetCameraTarget(parent/Marker); this.SetCameraPositionDistance(6); "
       "this.SetCameraPositionYOffset(2);",
       origin, middleX, middleY},
  };
  const Rgb marker = ToRgb(kMarkerAmbient);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    const image::Image shot = Render([&](Object& room) {
      AddCamera(room, c.type, c.setUp);
      AddPlaced(room, kClassLight, "Glow", "this.SetLightColor(0, 0, 0, 1); this.SetLightAmbient(1, 1, 1, 1);");
      AddPlaced(room, kClassMesh, "Marker",
                "this.SetPosition(" + Args(c.marker) + "); this.AddMesh(MarkerBox);");
    });
    EXPECT_TRUE(Near(PixelAt(shot, c.x, c.y), marker, 2));
    // The marker is a few pixels wide and nothing else is in view.
    EXPECT_TRUE(Near(PixelAt(shot, c.x + 40, c.y), ToRgb(kFog), 1));
    EXPECT_TRUE(Near(PixelAt(shot, c.x, c.y + 40), ToRgb(kFog), 1));
  }
}

// The post effects run on a back buffer of at least 1024 x 512 (the program
// may open a larger display mode). Set from a
// script, the bloom blends the frame's smallest mip levels over it and the
// blur mixes in the frames before: the sharp right edge of a box against the
// fog softens, so the fog just beside it takes some of the box's colour.
TEST_F(RenderedSceneTest, ScriptedBlurAndBloomSoftenAnEdge) {
  constexpr int kPostWidth = 1024, kPostHeight = 512;
  const auto render = [&](const std::string& effects) {
    return Render(
        [&](Object& room) {
          AddCamera(room, 0, "");
          AddPlaced(room, kClassLight, "Glow", "this.SetLightColor(0, 0, 0, 1); this.SetLightAmbient(1, 1, 1, 1);");
          AddMesh(room, "Marker", "MarkerBox", {0, 0, 3});
          AddScript(room, "OnEngineStarted", effects);
        },
        kPostWidth, kPostHeight);
  };
  const image::Image sharp = render("parent.SetGraphicsBlureEffect(0); parent.SetGraphicsBloomEffect(0);");
  const image::Image soft = render("parent.SetGraphicsBlureEffect(0.5); parent.SetGraphicsBloomEffect(1);");
  ASSERT_EQ(sharp.width, soft.width);
  ASSERT_EQ(sharp.height, soft.height);
  const int width = int(sharp.width), middle = width / 2, y = int(sharp.height) / 2;
  ASSERT_TRUE(Near(PixelAt(sharp, middle, y), ToRgb(kMarkerAmbient), 2));
  int edge = middle;
  while (edge < width && !Near(PixelAt(sharp, edge, y), ToRgb(kFog), 1)) ++edge;
  ASSERT_LT(edge + 4, width);
  EXPECT_TRUE(Near(PixelAt(sharp, edge + 2, y), ToRgb(kFog), 1));
  EXPECT_FALSE(Near(PixelAt(soft, edge + 2, y), ToRgb(kFog), 8));
  EXPECT_FALSE(Near(PixelAt(soft, middle, y), ToRgb(kMarkerAmbient), 8));
}

}  // namespace
}  // namespace tge::test

namespace tge::test {
namespace {

// A marker in a chamber behind a doorway (a connection portal) straight
// ahead: the chamber is drawn through the doorway only once a script has
// opened the door standing in it.
TEST_F(RenderedSceneTest, AChamberShowsThroughItsDoorwayOnlyOnceTheDoorIsOpen) {
  const auto render = [&](bool open) {
    return Render([&](Object& room) {
      AddCamera(room, 0, "");
      Object& world = *room.GetParent();
      Object& doorway = AddPlaced(world, kClassSpace, "Doorway",
                                  "this.SetPosition(0, 0, 4); this.SetSpaceBoxMin(-1.5, -1.5, -0.25); "
                                  "this.SetSpaceBoxMax(1.5, 1.5, 0.25); this.SetSpaceConnection(1); "
                                  "this.SetSpacePortal(1);");
      Object& door = AddPlaced(doorway, kClassDoor, "Door", "");
      if (open) AddScript(door, "OnEngineStarted", "this.DoorOpen();");
      Object& chamber = AddPlaced(world, kClassSpace, "Chamber",
                                  "this.SetPosition(0, 0, 7); this.SetSpaceBoxMin(-2, -2, -2.9); "
                                  "this.SetSpaceBoxMax(2, 2, 2.9);");
      AddPlaced(chamber, kClassLight, "Glow", "this.SetLightColor(0, 0, 0, 1); this.SetLightAmbient(1, 1, 1, 1);");
      AddMesh(chamber, "Marker", "MarkerBox", {0, 0, 0});
    });
  };
  EXPECT_TRUE(Near(PixelAt(render(false), kShotWidth / 2, kShotHeight / 2), ToRgb(kFog), 1));
  EXPECT_TRUE(Near(PixelAt(render(true), kShotWidth / 2, kShotHeight / 2), ToRgb(kMarkerAmbient), 2));
}

}  // namespace
}  // namespace tge::test
