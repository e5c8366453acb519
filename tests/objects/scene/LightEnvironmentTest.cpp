// Light: attenuation from the falloff values, what a draw queues, and the
// file record's version gates. Environment: the fog it hands the view.
#include <array>

#include "objects/scene/Environment.h"
#include "objects/scene/Light.h"
#include "services/render/RenderQueue.h"
#include "tests/objects/scene/SceneFixture.h"

namespace tge::test {
namespace {

constexpr std::uint32_t kLightType = 750, kLightColor = 752, kLightAmbient = 754, kLightRadius = 758,
                        kLightSpotTheta = 762, kLightFalloff1 = 768, kLightColorMul = 756;
constexpr std::uint32_t kFogEnable = 20002, kFogNear = 20006, kFogFar = 20008, kFogColor = 20010;

using LightTest = SceneFixture;

TEST_F(LightTest, AttenuationFollowsTheFalloffValuesAndTheRadius) {
  struct Case {
    std::uint32_t type;
    float radius;
    std::array<float, 3> expected;
  };
  const Case cases[] = {
      {kLightPoint, 10, {0, 0, 0.03f}},  // the defaults
      {kLightPoint, -5, {0, 0, 3}},      // stored as 0: nothing divides
      {kLightDirectional, 10, {0, 0, 0}},
  };
  for (const Case& c : cases) {
    Light& light = Add<Light>(kClassLight);
    Send(light, kLightType, c.type);
    light.Precalculate();
    Send(light, kLightRadius, c.radius);
    EXPECT_GE(light.GetRadius(), 0.0f);
    for (int i = 0; i < 3; ++i) EXPECT_FLOAT_EQ(light.GetAttenuation()[i], c.expected[i]) << c.type << " " << c.radius;
  }
  // A spot light keeps its attenuation through a radius change until a
  // falloff setter recomputes it.
  Light& spot = Add<Light>(kClassLight);
  Send(spot, kLightType, std::uint32_t{kLightSpot});
  spot.Precalculate();
  Send(spot, kLightRadius, 20.0f);
  EXPECT_FLOAT_EQ(spot.GetAttenuation()[2], 0.03f);
  Send(spot, kLightFalloff1, 3.0f);
  EXPECT_FLOAT_EQ(spot.GetAttenuation()[2], 3.0f / 400);
}

TEST_F(LightTest, DrawQueuesItsTypeScaledByTheActionValue) {
  for (std::uint32_t type : {0u, 1u, 2u, 7u}) {
    Light& light = Add<Light>(kClassLight);
    light.SetPosition({1, 2, 3}, false);
    Send(light, kLightType, type);
    Send(light, kLightColor, Color{1, 0.5f, 0.25f, 1});
    Send(light, kLightAmbient, Color{0.2f, 0.2f, 0.2f, 1});
    Send(light, kLightColorMul, 2.0f);
    light.SetUseAction(true);
    light.GetAction()->value = 0.5f;
    light.Precalculate();
    Queue().Reset();
    light.Draw();
    auto queued = Queued<LightCommand>(kListLights);
    if (type == 7) {
      EXPECT_TRUE(queued.empty());
      continue;
    }
    ASSERT_EQ(queued.size(), 1u) << type;
    const gfx::Light& queuedLight = queued[0]->light;
    EXPECT_EQ(queuedLight.type, type == kLightDirectional ? gfx::kLightDirectional
                                : type == kLightPoint     ? gfx::kLightPoint
                                                          : gfx::kLightSpot);
    EXPECT_FLOAT_EQ(queuedLight.diffuse.r, 1.0f);
    EXPECT_FLOAT_EQ(queuedLight.diffuse.g, 0.5f);
    EXPECT_FLOAT_EQ(queuedLight.diffuse.a, 1.0f);
    EXPECT_FLOAT_EQ(queuedLight.ambient.r, 0.1f);
    if (type != kLightDirectional) {
      EXPECT_FLOAT_EQ(queuedLight.position.z, 3.0f);
      EXPECT_FLOAT_EQ(queuedLight.attenuation2, 0.03f);
    }
  }
}

TEST_F(LightTest, OlderFilesLeaveTheLaterFieldsAtTheirDefaults) {
  Light& light = Add<Light>(kClassLight);
  Send(light, kLightType, std::uint32_t{kLightSpot});
  Send(light, kLightSpotTheta, 0.25f);
  Send(light, kLightColorMul, 3.0f);
  struct Case {
    int version;
    float theta, colourMul;
  };
  for (const Case& c : {Case{32, 0.5f, 1}, Case{68, 0.25f, 1}, Case{81, 0.25f, 3}}) {
    std::unique_ptr<Light> loaded = RoundTrip(light, c.version);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->GetType(), kLightSpot);
    float theta = 0, colourMul = 0;
    loaded->ExecuteCommand(kLightSpotTheta + 1, &theta);
    loaded->ExecuteCommand(kLightColorMul + 1, &colourMul);
    EXPECT_FLOAT_EQ(theta, c.theta) << c.version;
    EXPECT_FLOAT_EQ(colourMul, c.colourMul) << c.version;
  }
}

class EnvironmentTest : public SceneFixture {
 protected:
  Environment& Fog(float nearDistance, float farDistance, const Color& colour) {
    Environment& environment = Add<Environment>(kClassEnvironment);
    Send(environment, kFogColor, colour);
    Send(environment, kFogNear, nearDistance);
    Send(environment, kFogFar, farDistance);
    Send(environment, kFogEnable, std::int32_t{1});
    return environment;
  }
};

TEST_F(EnvironmentTest, ActionValuePushesTheFogOutwards) {
  Environment& environment = Fog(1, 20, Color{1, 0, 0, 1});
  EXPECT_TRUE(View().IsFogEnabled());
  EXPECT_FLOAT_EQ(View().GetFogStart(), 1.0f);
  environment.SetUseAction(true);
  environment.GetAction()->value = 0.5f;
  environment.Draw();
  EXPECT_FLOAT_EQ(View().GetFogStart(), 11.0f);
  EXPECT_FLOAT_EQ(View().GetFogEnd(), 30.0f);
  EXPECT_EQ(View().GetFogColour(), 0xFFFF0000u);
}

TEST_F(EnvironmentTest, StoppedDisabledOrDestroyedEnvironmentSwitchesTheFogOff) {
  Environment& environment = Fog(1, 20, Color{1, 1, 1, 1});
  environment.SetFlag(kFlagActionStarted, false);
  environment.Draw();
  EXPECT_FALSE(View().IsFogEnabled());
  environment.SetFlag(kFlagActionStarted, true);
  environment.Draw();
  EXPECT_TRUE(View().IsFogEnabled());
  Send(environment, kFogEnable, std::int32_t{0});
  EXPECT_FALSE(View().IsFogEnabled());
  environment.Draw();
  EXPECT_FALSE(View().IsFogEnabled());

  Environment& other = Fog(1, 20, Color{1, 1, 1, 1});
  EXPECT_TRUE(View().IsFogEnabled());
  DestroyObjectTree(engine->DetachChild(other));
  EXPECT_FALSE(View().IsFogEnabled());
}

TEST_F(EnvironmentTest, LastDrawnDecidesAndTheRecordRoundTrips) {
  Environment& first = Fog(1, 20, Color{1, 0, 0, 1});
  Environment& second = Fog(5, 50, Color{0, 0, 1, 1});
  second.Draw();
  first.Draw();
  EXPECT_FLOAT_EQ(View().GetFogEnd(), 20.0f);
  EXPECT_EQ(View().GetFogColour(), 0xFFFF0000u);

  std::unique_ptr<Environment> loaded = RoundTrip(second);
  ASSERT_NE(loaded, nullptr);
  EXPECT_TRUE(loaded->IsFogEnabled());
  EXPECT_EQ(Save(*loaded), Save(second));
}

}  // namespace
}  // namespace tge::test
