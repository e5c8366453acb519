// LightFlare: fading in after the first sight test, distance fading, the
// sight test through the camera's Space, the facing limit, the size by the
// screen scale, and the file record's version gates.
#include <numbers>

#include "core/ActiveCameraTable.h"
#include "core/BaseCommandIds.h"
#include "objects/scene/Camera.h"
#include "objects/gameplay/physics/PhysicsGeometry.h"
#include "objects/gameplay/physics/PhysicsHandles.h"
#include "objects/scene/LightFlare.h"
#include "services/RenderDevice.h"
#include "tests/objects/scene/animation/MotionFixture.h"

namespace tge::test {
namespace {

constexpr std::uint32_t kMaterial = 8252, kConeMaterial = 8254, kFadeStart = 8256, kFadeDistance = 8258,
                        kHideTime = 8260, kSize = 8262, kDirection = 8264;
// The flicker moves the strength by up to 0.03 (and a byte's rounding).
constexpr float kFlicker = 0.031f;

class LightFlareTest : public MotionFixture {
 protected:
  // The camera at the origin looks along +z.
  void SetUp() override {
    MotionFixture::SetUp();
    OpenDevice();
    AddMaterial("Glare");
  }

  // Distance fading starts beyond 50 units.
  LightFlare& AddFlare(Object& parent, const Vector3& at, float hideTime = 0.5f) {
    LightFlare& flare = Add<LightFlare>(parent, kClassLightFlare, "Flare");
    flare.SetPosition(at, true);
    Send(flare, kMaterial, std::string("Glare"));
    Send(flare, kHideTime, hideTime);
    Send(flare, kFadeStart, 50.0f);
    Send(flare, kFadeDistance, 100.0f);
    return flare;
  }

  // The flare drawn for one frame: the sprites it queued.
  std::vector<const ScreenQuadCommand*> DrawFrame(LightFlare& flare) {
    Queue().Reset();
    Frame(flare);
    return Queued<ScreenQuadCommand>(kListOverlay);
  }
  // The strength of the one sprite queued this frame.
  float StrengthAfter(LightFlare& flare) {
    const auto sprites = DrawFrame(flare);
    EXPECT_EQ(sprites.size(), 1u);
    return sprites.empty() ? -1.0f : float(sprites[0]->vertices[0].colour >> 24) / 255;
  }
  // Three frames, the third with the next sight test: its strength.
  float StrengthAtNextTest(LightFlare& flare) {
    Frames(flare, 2);
    return StrengthAfter(flare);
  }
};

// The first sight test comes once 0.25 s have passed; from then the flare
// needs its hide time to reach full strength (within the flicker).
TEST_F(LightFlareTest, ANewFlareIsHiddenUntilItsFirstTestThenFadesInOverItsHideTime) {
  LightFlare& flare = AddFlare(*engine, {0, 0, 10});
  for (int frame = 0; frame < 2; ++frame) {
    EXPECT_EQ(StrengthAfter(flare), 0.0f);
    EXPECT_FALSE(flare.IsVisible());
  }
  EXPECT_NEAR(StrengthAfter(flare), 0.2f, 0.035f);  // 0.3 s: tested, 0.1 s of 0.5 faded in
  EXPECT_TRUE(flare.IsVisible());
  for (int frame = 0; frame < 2; ++frame) StrengthAfter(flare);
  EXPECT_NEAR(StrengthAfter(flare), 0.8f, 0.035f);  // 0.6 s
  EXPECT_NEAR(StrengthAfter(flare), 1.0f, kFlicker);  // 0.7 s, before 0.25 s + the hide time

  flare.ExecuteCommand(kEventOnStopDraw, nullptr);  // drawn again later: fades in anew
  EXPECT_FLOAT_EQ(flare.GetFade(), 0.0f);
}

TEST_F(LightFlareTest, StrengthFallsWithDistanceAndNothingIsDrawnFromTheFadeDistanceOn) {
  LightFlare& flare = AddFlare(*engine, {0, 0, 1.5f});
  Send(flare, kFadeStart, 0.0f);
  Send(flare, kFadeDistance, 3.0f);
  for (int frame = 0; frame < 8; ++frame) StrengthAfter(flare);
  EXPECT_NEAR(StrengthAfter(flare), 0.5f, 0.035f);
  Send(flare, kFadeStart, 1.0f);  // a quarter of the way from 1 to 3
  EXPECT_NEAR(StrengthAfter(flare), 0.75f, 0.035f);
  flare.SetPosition({0, 0, 3}, true);
  EXPECT_TRUE(DrawFrame(flare).empty());
}

// A hide time of 0 or less shows the flare at once when its test finds it.
TEST_F(LightFlareTest, WithoutAHideTimeTheFlareShowsFullyAtItsFirstTest) {
  for (const float hide : {0.0f, -1.0f}) {
    SCOPED_TRACE(hide);
    LightFlare& flare = AddFlare(*engine, {0, 0, 10}, hide);
    EXPECT_NEAR(StrengthAtNextTest(flare), 1.0f, kFlicker);
    DestroyObjectTree(engine->DetachChild(flare));
  }
}

TEST_F(LightFlareTest, TheSpriteIsSizedByTheScreenScaleAndCentredOnTheProjectedPoint) {
  GetEngineServices()->SetScreenScale(2.0f, 0.5f);
  LightFlare& flare = AddFlare(*engine, {0, 0, 10}, 0);
  Send(flare, kSize, 0.5f);
  Frames(flare, 2);
  const auto sprites = DrawFrame(flare);
  ASSERT_EQ(sprites.size(), 1u);
  const auto& v = sprites[0]->vertices;
  EXPECT_FLOAT_EQ(v[1].x - v[0].x, 2.0f * 0.5f * LightFlare::kSpriteSize);
  EXPECT_FLOAT_EQ(v[2].y - v[0].y, 0.5f * 0.5f * LightFlare::kSpriteSize);
  EXPECT_FLOAT_EQ((v[0].x + v[1].x) / 2, 400.0f);
  EXPECT_FLOAT_EQ((v[0].y + v[2].y) / 2, 300.0f);

  flare.SetPosition({0, 0, -10}, true);  // behind the camera: nothing
  EXPECT_TRUE(DrawFrame(flare).empty());
}

TEST_F(LightFlareTest, WithTheDirectionLimitOnlyTheFacingSideShows) {
  LightFlare& flare = AddFlare(*engine, {0, 0, 10}, 0);
  Send(flare, kDirection, std::uint32_t{1});
  Quaternion turned;
  flare.SetRotation(QuaternionFromYawPitchRoll(turned, std::numbers::pi_v<float>, 0, 0), true);
  EXPECT_NEAR(StrengthAtNextTest(flare), 1.0f, kFlicker);  // its Z axis points back at the camera
  flare.SetRotation(Quaternion{}, true);
  EXPECT_TRUE(DrawFrame(flare).empty());
}

// A room whose wall stands between the camera and a flare behind it.
TEST_F(LightFlareTest, AWallOfTheCamerasSpaceHidesTheFlareAndACameraInNoSpaceSeesIt) {
  AddBoxGeometry("Wall", {0, 0, 5}, {10, 10, 1});
  Space& room = AddSpace(*engine, "Room", {}, 20);
  room.AddCollisionEntry("Wall");
  room.Precalculate();
  room.ResolveCollisionEntries();
  ASSERT_TRUE(room.BuildCollisionGeometries());
  LightFlare& hidden = AddFlare(room, {0, 0, 10}, 0);
  LightFlare& open = AddFlare(room, {0, 0, 3}, 0);
  Camera& camera = Add<Camera>(room, kClassCamera, "Eye");
  camera.Activate();
  ASSERT_EQ(GetActiveCameraTable().Get(0), &camera);
  EXPECT_EQ(StrengthAtNextTest(hidden), 0.0f);
  EXPECT_FALSE(hidden.IsVisible());
  EXPECT_NEAR(StrengthAtNextTest(open), 1.0f, kFlicker);

  camera.SetSpace(nullptr);
  EXPECT_NEAR(StrengthAtNextTest(hidden), 1.0f, kFlicker);
  GetActiveCameraTable().Clear();
  EXPECT_NEAR(StrengthAtNextTest(hidden), 1.0f, kFlicker);
}

// A flare inside a shape of its own in the camera's Space: the sight ray
// passes through the flare's own geometry, but the same shape owned by
// another object hides it.
TEST_F(LightFlareTest, TheFlaresOwnGeometryDoesNotHideIt) {
  Space& room = AddSpace(*engine, "Room", {}, 20);
  room.Precalculate();
  ASSERT_NE(room.GetCollisionSpace(), nullptr);
  LightFlare& flare = AddFlare(room, {0, 0, 10}, 0);
  Object& other = Add<Object>(room, kClassObject, "Lamp");
  Camera& camera = Add<Camera>(room, kClassCamera, "Eye");
  camera.Activate();
  for (Object* owner : {static_cast<Object*>(&flare), &other}) {
    owner->SetUsePhysics(true);
    GeometryRecord& record = owner->AddGeometry();
    dGeomID shell = CreateBoxGeom(ToOde(room.GetCollisionSpace()), {2, 2, 2});
    SetGeomPosition(shell, {0, 0, 10});
    SetGeomCollideBits(shell, 1);
    SetGeomData(shell, &record);
    const bool own = owner == &flare;
    EXPECT_NEAR(StrengthAtNextTest(flare), own ? 1.0f : 0.0f, kFlicker) << owner->GetName();
    DestroyGeom(shell);
    owner->GetPhysics()->geometries.clear();
  }
}

TEST_F(LightFlareTest, FilesBeforeVersion10KeepNoMaterialsAndBefore63NoConeMaterial) {
  LightFlare& flare = AddFlare(*engine, {}, 1.5f);
  Send(flare, kFadeDistance, 7.0f);
  Send(flare, kConeMaterial, std::string("Cone"));
  Send(flare, kDirection, std::uint32_t{1});
  struct Case {
    int version;
    const char* material;
    const char* cone;
    float fadeDistance;
  };
  for (const Case& c : {Case{0, "", "", 3}, Case{9, "", "", 3}, Case{62, "Glare", "", 7},
                        Case{63, "Glare", "Cone", 7}, Case{SerializeStream::kLatestVersion, "Glare", "Cone", 7}}) {
    SCOPED_TRACE(c.version);
    std::unique_ptr<LightFlare> loaded = RoundTrip(flare, c.version);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(Save(*loaded, c.version), Save(flare, c.version));
    EXPECT_EQ(loaded->GetMaterialName(), c.material);
    EXPECT_EQ(loaded->GetConeMaterialName(), c.cone);
    float fadeDistance = 0;
    loaded->ExecuteCommand(kFadeDistance + 1, &fadeDistance);
    EXPECT_EQ(fadeDistance, c.fadeDistance);
    std::int32_t direction = 0;
    loaded->ExecuteCommand(kDirection + 1, &direction);
    EXPECT_EQ(direction, c.version >= 1 ? 1 : 0);
  }
}

}  // namespace
}  // namespace tge::test
