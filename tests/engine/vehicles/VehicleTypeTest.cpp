// Vehicle: the tree built from a layout, wheel editing, linking by name and
// class, copies and the file record.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "core/ObjectHooks.h"
#include "objects/gameplay/vehicles/Wheel.h"
#include "objects/ui/sound/Sound.h"
#include "services/ErrorMessage.h"
#include "tests/engine/vehicles/VehicleFixture.h"
#include "tests/support/ObjectRecordBytes.h"

namespace tge::test {
namespace {

std::vector<std::string> ChildNames(const Object& object) {
  std::vector<std::string> names;
  for (int i = 0; i < object.GetChildCount(); ++i) names.push_back(object.GetChild(i)->GetName());
  return names;
}

std::vector<std::string> WheelNames(const Vehicle& vehicle) {
  std::vector<std::string> names;
  for (const WheelRecord& wheel : vehicle.GetWheels()) names.push_back(wheel.name);
  return names;
}

bool IsTurnedHalfway(const Quaternion& q) { return std::fabs(std::fabs(q.y) - 1) < 1e-5f; }

using VehicleTypeTest = VehicleTest;

TEST_F(VehicleTypeTest, TypeZeroChangesNothing) {
  Vehicle& car = MakeVehicle(0);
  EXPECT_EQ(car.GetVehicleType(), 0);
  EXPECT_EQ(car.GetChildCount(), 0);
  EXPECT_EQ(car.GetPhysics(), nullptr);
}

// With the default 1.5 x 0.7 x 2.5 chassis the wheels sit at x +-0.75,
// y -0.42, z +-1.25; the left ones are turned about y, the rear ones do not
// steer and the right ones turn the other way.
TEST_F(VehicleTypeTest, FourWheelsAreBuiltAtTheChassisCornersUnderTheirJoints) {
  Vehicle& car = MakeVehicle(kVehicleFourWheels);
  EXPECT_EQ(car.GetVehicleType(), 1);
  EXPECT_EQ(ChildNames(car), (std::vector<std::string>{"Chassi", "VehicleSpeaker", "LF_Wheel", "RF_Wheel",
                                                       "LB_Wheel", "RB_Wheel"}));
  struct Expected {
    float x, z, steering, engine;
    bool turned;
    float stop;  // the rear wheels, which do not steer, are held straight
  };
  const Expected expected[] = {{-0.75f, 1.25f, -1, 1, true, 0.5f}, {0.75f, 1.25f, -1, -1, false, 0.5f},
                               {-0.75f, -1.25f, 0, 1, true, 0}, {0.75f, -1.25f, 0, -1, false, 0}};
  ASSERT_EQ(car.GetWheels().size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    const WheelRecord& wheel = car.GetWheels()[i];
    EXPECT_NEAR(wheel.position.x, expected[i].x, 1e-6f);
    EXPECT_NEAR(wheel.position.y, -0.42f, 1e-6f);
    EXPECT_NEAR(wheel.position.z, expected[i].z, 1e-6f);
    EXPECT_EQ(IsTurnedHalfway(wheel.rotation), expected[i].turned);
    EXPECT_EQ(wheel.steeringMul, expected[i].steering);
    EXPECT_EQ(wheel.engineMul, expected[i].engine);
    JointHinge2& joint = Joint(car, static_cast<int>(i));
    EXPECT_EQ(joint.GetParent(), &car);
    EXPECT_FLOAT_EQ(joint.GetLoStop(), -expected[i].stop);
    EXPECT_FLOAT_EQ(joint.GetHiStop(), expected[i].stop);
    ASSERT_EQ(joint.GetChildCount(), 1);
    Object& body = *joint.GetChild(0);
    EXPECT_EQ(body.GetClassId(), kClassWheel);
    const GeometryRecord& sphere = *body.GetPhysics()->geometries[0];
    EXPECT_NEAR(sphere.dimension.x, 0.3f * 0.98f, 1e-6f);
    EXPECT_EQ(sphere.collisionBits, 2u);
    EXPECT_EQ(sphere.categoryBits, 3u);
    EXPECT_EQ(sphere.info >> 16, 1u);
  }
  EXPECT_EQ(car.GetPhysics()->geometries.size(), 2u);
  EXPECT_NE(car.GetPhysics()->flags & kPhysicsNotLockedInSpace, 0);
  EXPECT_NE(car.GetPhysics()->flags & kPhysicsEnableLocalSpace, 0);
  EXPECT_EQ(car.GetSpeaker(), car.FindChildByName("VehicleSpeaker"));
}

// Six wheels over six edited records keep the middle wheels' steering,
// brake and hand brake; over four records the new middle ones get defaults.
TEST_F(VehicleTypeTest, SixWheelsKeepTheFieldsTheLayoutLeavesOpen) {
  Vehicle& car = MakeVehicle(kVehicleSixWheels);
  Run(car, "this.SetWheelList(4); this.SetWheelSteeringMul(0.3); this.SetWheelBrakeMul(0.4); "
           "this.SetWheelHandbrakeMul(0.5); this.SetWheelEngineMul(7);");
  car.BuildFromType(kVehicleSixWheels);
  const WheelRecord& middle = car.GetWheels()[4];
  EXPECT_EQ(WheelNames(car)[4], "LM_Wheel");
  EXPECT_FLOAT_EQ(middle.steeringMul, 0.3f);
  EXPECT_FLOAT_EQ(middle.brakeMul, 0.4f);
  EXPECT_FLOAT_EQ(middle.handbrakeMul, 0.5f);
  EXPECT_FLOAT_EQ(middle.engineMul, 1);
  EXPECT_NEAR(middle.position.z, 0, 1e-6f);

  Vehicle& other = MakeVehicle(kVehicleFourWheels);
  other.BuildFromType(kVehicleSixWheels);
  ASSERT_EQ(other.GetWheels().size(), 6u);
  EXPECT_EQ(other.GetWheels()[2].steeringMul, 1);
  EXPECT_EQ(other.GetWheels()[5].steeringMul, 1);
  EXPECT_EQ(other.GetWheels()[5].brakeMul, 1);
  EXPECT_EQ(other.GetWheels()[5].handbrakeMul, 0);
  EXPECT_FALSE(IsTurnedHalfway(other.GetWheels()[5].rotation));
  EXPECT_EQ(other.GetChildCount(), 8);
}

// From a script the old children are deleted only once the script has
// returned; the new tree is complete either way.
TEST_F(VehicleTypeTest, TypeThreeLeavesAWheellessChassisAlsoFromAScript) {
  for (bool fromScript : {false, true}) {
    SCOPED_TRACE(fromScript);
    Vehicle& car = MakeVehicle(kVehicleFourWheels);
    if (fromScript) {
      Run(car, "this.SetVehicleType(3);");
    } else {
      car.BuildFromType(kVehicleNoWheels);
    }
    EXPECT_EQ(car.GetVehicleType(), 3);
    EXPECT_TRUE(car.GetWheels().empty());
    EXPECT_EQ(ChildNames(car), (std::vector<std::string>{"Chassi", "VehicleSpeaker"}));
    EXPECT_EQ(car.GetSpeaker(), car.GetChild(1));
  }
}

TEST_F(VehicleTypeTest, AnAddedWheelGoesBeforeTheSelectedOneOrFirst) {
  struct Case {
    std::int32_t selected;
    std::size_t at;
  };
  for (const Case& c : {Case{1, 1}, Case{-1, 0}, Case{9, 0}}) {
    SCOPED_TRACE(c.selected);
    Vehicle& car = MakeVehicle(kVehicleFourWheels);
    Run(car, "this.SetWheelList(3); this.SetModifyWheels(1);");
    ASSERT_EQ(car.GetWheels().size(), 3u);
    car.ExecuteCommand(3018, const_cast<std::int32_t*>(&c.selected));
    car.ModifyWheels(0);
    ASSERT_EQ(car.GetWheels().size(), 4u);
    const WheelRecord& added = car.GetWheels()[c.at];
    EXPECT_EQ(added.name, "Wheel_3");
    ASSERT_NE(added.joint.Get(), nullptr);
    EXPECT_EQ(added.joint->GetLoStop(), 0);
    EXPECT_EQ(added.joint->GetChild(0)->GetClassId(), kClassMesh);
    // The removed record's joint stays in the tree.
    EXPECT_NE(car.FindChildByName("RB_Wheel"), nullptr);
  }
}

TEST_F(VehicleTypeTest, WheelsAreAddedOnlyToABuiltChassisAndPropertiesNeedASelection) {
  Vehicle& bare = MakeVehicle(0);
  bare.ModifyWheels(0);
  EXPECT_TRUE(bare.GetWheels().empty());

  Vehicle& car = MakeVehicle(kVehicleFourWheels);
  std::string name = "unchanged";
  car.ExecuteCommand(3021, &name);
  EXPECT_EQ(name, "unchanged");
  Run(car, "this.SetWheelPosition(9, 9, 9); this.SetModifyWheels(1); this.SetModifyWheels(5);");
  EXPECT_EQ(car.GetWheels().size(), 4u);
  EXPECT_NEAR(car.GetWheels()[0].position.x, -0.75f, 1e-6f);
  float stop = 0;
  Run(car, "this.SetWheelList(1); this.SetWheelHiStop(0.25);");
  car.ExecuteCommand(3035, &stop);
  EXPECT_FLOAT_EQ(stop, 0.25f);
  EXPECT_FLOAT_EQ(Joint(car, 1).GetHiStop(), 0.25f);
  std::vector<std::string> names;
  car.ExecuteCommand(3019, &names);
  EXPECT_EQ(names, WheelNames(car));
}

// Children of the right names but the wrong classes are not linked.
TEST_F(VehicleTypeTest, LinkedChildrenCountOnlyAsTheirOwnClass) {
  Vehicle& car = MakeVehicle(kVehicleFourWheels);
  Object& oldJoint = Joint(car, 0);
  oldJoint.SetName("Gone");
  car.FindChildByName("VehicleSpeaker")->SetName("Old");
  for (const char* name : {"LF_Wheel", "VehicleSpeaker", "VehicleCamera", "PS"}) {
    CreateObject(kClassSound, nullptr, car, name);
  }
  CreateObject(kClassMesh, nullptr, car, "PS2");
  car.Precalculate();
  EXPECT_EQ(car.GetWheels()[0].joint.Get(), nullptr);
  EXPECT_EQ(car.GetSpeaker(), car.FindChildByName("VehicleSpeaker"));
  EXPECT_EQ(car.GetCamera(), nullptr);
  // A Sound named "PS" is no exhaust: its rate is never read or set.
  car.UpdateSounds();
}

// A copy owns neither the original's links nor its shadow list; deleting
// either first leaves the other whole.
TEST_F(VehicleTypeTest, ACopyOfALinkedVehicleOutlivesOrPrecedesItsOriginal) {
  for (bool originalFirst : {true, false}) {
    SCOPED_TRACE(originalFirst);
    Vehicle& original = MakeVehicle(kVehicleFourWheels);
    original.Precalculate();
    ObjectHooks& hooks = *GetObjectHooks();
    auto& copy = static_cast<Vehicle&>(*hooks.CloneObject(original, *room, true, true, false));
    EXPECT_EQ(copy.GetSpeaker(), copy.FindChildByName("VehicleSpeaker"));
    EXPECT_EQ(copy.GetWheels()[0].joint.Get(), copy.FindChildByName("LF_Wheel"));
    Vehicle& kept = originalFirst ? copy : original;
    hooks.DeleteObject(originalFirst ? original : copy, false);
    kept.Update();
    kept.Draw();
    EXPECT_NE(kept.GetSpeaker(), nullptr);
    kept.Precalculate();
    hooks.DeleteObject(kept, false);
  }
}

TEST_F(VehicleTypeTest, SaveLoadSaveGivesTheSameBytes) {
  Vehicle& car = MakeVehicle(kVehicleSixWheels);
  Run(car, "this.SetVehicleInputDevice(257); this.SetEngineForceMul(0.3); this.SetWheelList(2); "
           "this.SetWheelName(Spare); this.SetWheelHandbrakeMul(0.5);");
  const auto bytes = SaveRecord(car);
  auto loaded = LoadRecord<Vehicle>(kClassVehicle, bytes);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->GetInputDevice(), 257u);
  EXPECT_EQ(WheelNames(*loaded)[2], "Spare");
  EXPECT_EQ(SaveRecord(*loaded), bytes);
}

// Writing leaves the flag as it was; reading sets it.
TEST_F(VehicleTypeTest, OnlyReadingMarksTheVehicleNotLockedInSpace) {
  Vehicle& car = MakeVehicle(0);
  car.SetUsePhysics(true);
  const auto bytes = SaveRecord(car);
  EXPECT_EQ(car.GetPhysics()->flags & kPhysicsNotLockedInSpace, 0);
  auto loaded = LoadRecord<Vehicle>(kClassVehicle, bytes);
  ASSERT_NE(loaded, nullptr);
  EXPECT_NE(loaded->GetPhysics()->flags & kPhysicsNotLockedInSpace, 0);
}

TEST_F(VehicleTypeTest, VersionFortyTwoHasNoInputDeviceWord) {
  Vehicle& car = MakeVehicle(kVehicleFourWheels);
  Run(car, "this.SetVehicleInputDevice(256);");
  const auto old = SaveRecord(car, 42);
  EXPECT_EQ(SaveRecord(car, 43).size(), old.size() + 4);
  auto loaded = LoadRecord<Vehicle>(kClassVehicle, old, 42);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->GetInputDevice(), 0u);
  EXPECT_EQ(loaded->GetWheels().size(), 4u);
}

// The wheel count is the record's last word for a vehicle without wheels.
TEST_F(VehicleTypeTest, AWheelCountBeyondTheFileIsRefused) {
  Vehicle& car = MakeVehicle(kVehicleNoWheels);
  auto bytes = SaveRecord(car);
  for (std::uint32_t count : {1u, 100000u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(count);
    std::memcpy(bytes.data() + bytes.size() - 4, &count, 4);
    ClearErrorMessage();
    EXPECT_EQ(LoadRecord<Vehicle>(kClassVehicle, bytes), nullptr);
    EXPECT_NE(std::string(GetErrorMessage()).find("wheels"), std::string::npos);
  }
}

}  // namespace
}  // namespace tge::test
