// Wheel: tyre contacts with and without a vehicle, the joint let go while a
// recording plays, its mesh and its file record.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "objects/gameplay/physics/PhysicsContact.h"
#include "objects/gameplay/vehicles/Wheel.h"
#include "tests/engine/vehicles/VehicleFixture.h"
#include "tests/support/ObjectRecordBytes.h"

namespace tge::test {
namespace {

class WheelTest : public VehicleTest {
 protected:
  // A loose wheel with a body, linked (to nothing above it).
  Wheel& LooseWheel() {
    auto& wheel = static_cast<Wheel&>(*CreateObject(kClassWheel, nullptr, *room, "Loose"));
    wheel.SetInheritOrientation(false);
    wheel.SetPosition({0, 3, 0}, false);
    wheel.AddGeometry().dimension = {0.3f, 0, 0};
    wheel.GetPhysics()->flags |= kPhysicsEnableRigidBody;
    return wheel;
  }

  static ContactParameters Contact(const Vector3& normal) {
    ContactParameters contact{};
    contact.geom.normal[0] = normal.x;
    contact.geom.normal[1] = normal.y;
    contact.geom.normal[2] = normal.z;
    return contact;
  }

  static Vector3 Direction(const ContactParameters& contact) {
    return {static_cast<float>(contact.fdir1[0]), static_cast<float>(contact.fdir1[1]),
            static_cast<float>(contact.fdir1[2])};
  }
};

constexpr int kTyreMode = dContactFDir1 | dContactSoftERP | dContactSoftCFM | dContactSlip2 | dContactApprox1;

// Without a vehicle the contact normal is the up axis: the floor's gives a
// rolling direction across the axle, a normal along the axle gives none.
TEST_F(WheelTest, ALooseWheelRollsAcrossItsAxleAboutEachContactNormal) {
  Wheel& wheel = LooseWheel();
  Start();
  wheel.Precalculate();
  EXPECT_EQ(wheel.GetVehicle(), nullptr);
  EXPECT_EQ(wheel.GetWheelJoint(), nullptr);
  wheel.ApplyBodyVector(BodyVector::kSetLinearVelocity, {3, 0, 4});
  wheel.ApplyBodyVector(BodyVector::kSetAngularVelocity, {-2, 1, 0});
  ContactParameters contacts[] = {Contact({0, 1, 0}), Contact({1, 0, 0})};
  GeometryRecord& own = *wheel.GetPhysics()->geometries[0];
  EXPECT_EQ(wheel.HandleContact(&own, &own, contacts, 2), kContactKeepSurface);
  for (const ContactParameters& contact : contacts) {
    EXPECT_DOUBLE_EQ(contact.surface.mu, Wheel::kFriction);
    EXPECT_DOUBLE_EQ(contact.surface.mu2, Wheel::kFriction);
    EXPECT_DOUBLE_EQ(contact.surface.soft_erp, 0.6);
    EXPECT_DOUBLE_EQ(contact.surface.soft_cfm, 0.000001);
    EXPECT_NEAR(contact.surface.slip2, 5 * Wheel::kTyreSlip * 2, 1e-9);
  }
  EXPECT_EQ(contacts[0].surface.mode, kTyreMode);
  const Vector3 rolling = Direction(contacts[0]);
  EXPECT_NEAR(rolling.z, 1, 1e-5f);
  EXPECT_NEAR(Vector3Length(rolling), 1, 1e-5f);
  EXPECT_EQ(contacts[1].surface.mode, kTyreMode & ~dContactFDir1);
}

// Under a vehicle the vehicle's up axis counts, whatever the contact
// normal; a wheel at rest gets no slip.
TEST_F(WheelTest, AVehiclesWheelRollsAboutTheVehiclesUpAxis) {
  Vehicle& car = MakeVehicle(kVehicleFourWheels);
  StartDriving();
  auto& wheel = static_cast<Wheel&>(*Joint(car, 0).GetChild(0));
  EXPECT_EQ(wheel.GetVehicle(), &car);
  EXPECT_EQ(wheel.GetWheelJoint(), &Joint(car, 0));
  wheel.ApplyBodyVector(BodyVector::kSetLinearVelocity, {});
  ContactParameters contact = Contact({1, 0, 0});
  GeometryRecord& own = *wheel.GetPhysics()->geometries[0];
  wheel.HandleContact(&own, &own, &contact, 1);
  EXPECT_EQ(contact.surface.mode, kTyreMode);
  EXPECT_EQ(contact.surface.slip2, 0);
  // The left wheel is turned half round: its axle points along -x.
  EXPECT_NEAR(Direction(contact).z, -1, 1e-4f);
}

// The slip grows with the spin about the wheel's own axle, whichever way
// the wheel heads: a quarter turn about y puts the axle along world z.
TEST_F(WheelTest, TheTyreSlipFollowsTheSpinAboutTheWheelsOwnAxle) {
  struct Case {
    float yaw;
    Vector3 angular;
    float spin;
  };
  const float quarter = std::numbers::pi_v<float> / 2;
  const Case cases[] = {{0, {-2, 1, 0}, 2}, {quarter, {0, 1, 2}, 2}, {quarter, {2, 0, 0}, 0}};
  std::vector<Wheel*> wheels;
  for (const Case& c : cases) {
    Wheel& wheel = LooseWheel();
    Quaternion turn;
    QuaternionFromYawPitchRoll(turn, c.yaw, 0, 0);
    wheel.SetRotation(turn, false);
    wheel.SetPosition({3.0f * static_cast<float>(wheels.size()), 3, 0}, false);
    wheels.push_back(&wheel);
  }
  Start();
  for (std::size_t i = 0; i < wheels.size(); ++i) {
    SCOPED_TRACE(i);
    Wheel& wheel = *wheels[i];
    wheel.Precalculate();
    wheel.ApplyBodyVector(BodyVector::kSetLinearVelocity, {3, 0, 4});
    wheel.ApplyBodyVector(BodyVector::kSetAngularVelocity, cases[i].angular);
    ContactParameters contact = Contact({0, 1, 0});
    wheel.HandleContact(wheel.GetPhysics()->geometries[0].get(), nullptr, &contact, 1);
    EXPECT_NEAR(contact.surface.slip2, 5 * Wheel::kTyreSlip * cases[i].spin, 1e-9);
  }
}

TEST_F(WheelTest, PlayingARecordingLetsGoOfTheJointAndStoppingTakesItBack) {
  Vehicle& car = MakeVehicle(kVehicleFourWheels);
  StartDriving();
  JointHinge2& joint = Joint(car, 0);
  Wheel& wheel = static_cast<Wheel&>(*joint.GetChild(0));
  ASSERT_TRUE(joint.HasJoint());
  std::string name = "Missing";
  wheel.ExecuteCommand(202, &name);
  EXPECT_FALSE(joint.HasJoint());
  wheel.ExecuteCommand(200, nullptr);
  EXPECT_TRUE(joint.HasJoint());
  wheel.ExecuteCommand(202, &name);
  wheel.ExecuteCommand(199, nullptr);
  EXPECT_TRUE(joint.HasJoint());

  // A loose wheel has no joint to touch.
  Wheel& loose = LooseWheel();
  loose.Precalculate();
  loose.ExecuteCommand(202, &name);
  loose.ExecuteCommand(199, nullptr);
}

// An unknown mesh leaves the wheel undrawn; its record keeps the name.
TEST_F(WheelTest, SaveLoadSaveGivesTheSameBytes) {
  Wheel& wheel = LooseWheel();
  Run(wheel, "this.SetWheelMesh(NoSuchMesh); this.SetWheelType(3);");
  EXPECT_EQ(wheel.GetMesh(), nullptr);
  wheel.Draw();
  const auto bytes = SaveRecord(wheel);
  auto loaded = LoadRecord<Wheel>(kClassWheel, bytes);
  ASSERT_NE(loaded, nullptr);
  std::string mesh;
  loaded->ExecuteCommand(8753, &mesh);
  EXPECT_EQ(mesh, "NoSuchMesh");
  EXPECT_EQ(SaveRecord(*loaded), bytes);
}

}  // namespace
}  // namespace tge::test
