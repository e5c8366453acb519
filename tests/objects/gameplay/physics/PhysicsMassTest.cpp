#include "objects/gameplay/physics/PhysicsMass.h"

#include <gtest/gtest.h>

#include <limits>
#include <numbers>

#include "tests/objects/gameplay/physics/PhysicsTestScene.h"

namespace tge::test {
namespace {

class PhysicsMassTest : public PhysicsScene {
 protected:
  dBodyID NewBody() {
    dBodyID body = CreateBody(physics);
    bodies.push_back(body);
    return body;
  }
};

TEST_F(PhysicsMassTest, ShapeMassByDensityOrByTotal) {
  constexpr float pi = std::numbers::pi_v<float>;
  struct Case {
    const char* shape;
    dGeomID geometry;
    int byDensity;
    float expected;
  };
  const Case cases[] = {
      {"unit box, density 10 x 0.1", Keep(CreateBoxGeom(nullptr, {1, 1, 1})), 1, 1.0f},
      {"unit box, total", Keep(CreateBoxGeom(nullptr, {1, 1, 1})), 0, 10.0f},
      {"sphere r 2, density", Keep(CreateSphereGeom(nullptr, 2)), 1, 4.0f / 3 * pi * 8},
      {"capped cylinder, total", Keep(CreateCCylinderGeom(nullptr, 0.5f, 2)), 0, 10.0f},
      {"capped cylinder, density", Keep(CreateCCylinderGeom(nullptr, 1, 2)), 1,
       pi * 2 + 4.0f / 3 * pi},
  };
  for (const Case& c : cases) {
    dBodyID body = NewBody();
    SetBodyMassFromGeom(body, c.geometry, 10, c.byDensity);
    EXPECT_NEAR(GetBodyMass(body), c.expected, 1e-4f) << c.shape;
  }
}

TEST_F(PhysicsMassTest, AddingASecondShapeSumsMassesAndInertias) {
  dBodyID body = NewBody();
  dGeomID box = Keep(CreateBoxGeom(nullptr, {1, 1, 1}));
  SetBodyMassFromGeom(body, box, 2, 0);
  AddBodyMassFromGeom(body, Keep(CreateSphereGeom(nullptr, 1)), 3, 0);
  dMass mass;
  dBodyGetMass(body, &mass);
  EXPECT_NEAR(mass.mass, 5, 1e-9);
  EXPECT_NEAR(mass.I[0], 2.0 / 6 + 0.4 * 3, 1e-9);
}

// The library aborts on such masses; the body keeps the one it has.
TEST_F(PhysicsMassTest, UnusableMassesAreNeverSet) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    const char* what;
    dGeomID geometry;
    float value;
  };
  const Case cases[] = {
      {"zero mass", Keep(CreateBoxGeom(nullptr, {1, 1, 1})), 0},
      {"negative mass", Keep(CreateSphereGeom(nullptr, 1)), -3},
      {"not finite", Keep(CreateSphereGeom(nullptr, 1)), nan},
      {"box with one length", Keep(CreateBoxGeom(nullptr, {1, 0, 0})), 5},
      {"zero radius", Keep(CreateSphereGeom(nullptr, 0)), 5},
      {"plane", Keep(CreatePlaneGeom(nullptr, 0, 1, 0, 0)), 5},
      {"ray", Keep(CreateRayGeom(nullptr, 1)), 5},
  };
  for (const Case& c : cases) {
    for (int byDensity : {0, 1}) {
      dBodyID body = NewBody();
      ClearLastPhysicsError();
      SetBodyMassFromGeom(body, c.geometry, c.value, byDensity);
      AddBodyMassFromGeom(body, c.geometry, c.value, byDensity);
      EXPECT_FLOAT_EQ(GetBodyMass(body), 1) << c.what << " (new bodies are unit spheres)";
      EXPECT_STRNE(GetLastPhysicsError(), "") << c.what;
    }
  }
}

TEST_F(PhysicsMassTest, InertiaDiagonalIsSetWhenPositive) {
  dBodyID body = NewBody();
  SetBodyMassFromGeom(body, Keep(CreateBoxGeom(nullptr, {1, 1, 1})), 4, 0);
  SetBodyInertia(body, {0.1f, 0.1f, 0.1f});
  dMass mass;
  dBodyGetMass(body, &mass);
  EXPECT_NEAR(mass.I[0], 0.1, 1e-6);
  EXPECT_NEAR(mass.I[5], 0.1, 1e-6);
  EXPECT_NEAR(mass.I[10], 0.1, 1e-6);
  EXPECT_NEAR(mass.mass, 4, 1e-9);

  SetBodyInertia(body, {0, -1, 0.1f});
  dBodyGetMass(body, &mass);
  EXPECT_NEAR(mass.I[5], 0.1, 1e-6);

  SetBodyInertia(nullptr, {1, 1, 1});
  EXPECT_EQ(GetBodyMass(nullptr), 0);
}

}  // namespace
}  // namespace tge::test
