// Vehicle driving: a real physics run on the floor, the wheel motors, the
// sounds on a real Sound child and recorded drives played back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <filesystem>
#include <string>

#include "core/ObjectHooks.h"
#include "core/files/SerializeStream.h"
#include "objects/gameplay/physics/PhysicsContact.h"
#include "objects/gameplay/physics/PhysicsJoint.h"
#include "objects/gameplay/vehicles/VehicleRecording.h"
#include "objects/ui/sound/Sound.h"
#include "services/ErrorMessage.h"
#include "tests/engine/vehicles/VehicleFixture.h"

namespace tge::test {
namespace {

float Heading(Object& object) {
  const Vector3 z = object.GetAxisZWS();
  return std::atan2(z.x, z.z);
}

float FlatSpeed(const Object& object) {
  const Vector3 v = object.GetLinearVelocity();
  return std::hypot(v.x, v.z);
}

class VehicleDrivingTest : public VehicleTest {
 protected:
  // A driven four-wheeler as built, settled on the floor.
  Vehicle& Drive() {
    Vehicle& car = MakeVehicle(kVehicleFourWheels);
    StartDriving();
    RunFrames(30);
    return car;
  }
};

TEST_F(VehicleDrivingTest, ScriptThrottleDrivesAlongZSteeringTurnsAndTheBrakeStops) {
  Vehicle& car = Drive();
  ASSERT_NE(car.GetBody(), nullptr);
  ASSERT_TRUE(Joint(car, 0).HasJoint());
  const Vector3 start = car.GetPositionWS();
  Run(car, "this.SetEngineVelocityMul(10); this.SetVehicleMovement(1);");
  RunFrames(120);
  const Vector3 driven = car.GetPositionWS();
  EXPECT_GT(driven.z - start.z, 2.0f);
  EXPECT_LT(std::fabs(driven.x - start.x), 0.1f);
  EXPECT_NEAR(car.GetPositionWS().y, kRideHeight, 0.2f);

  const float heading = Heading(car);
  Run(car, "this.SetVehicleSteering(1);");
  RunFrames(120);
  EXPECT_GT(std::fabs(Heading(car) - heading), 0.3f);

  Run(car, "this.SetVehicleMovement(0); this.SetVehicleSteering(0); this.SetVehicleBreak(1000);");
  RunFrames(120);
  EXPECT_LT(FlatSpeed(car), 0.05f);
}

// Front wheels steer (to a little inside their stops), rear ones only
// drive; the brake takes over the motor force.
TEST_F(VehicleDrivingTest, TheMotorsFollowThrottleSteeringAndBrake) {
  Vehicle& car = Drive();
  Run(car, "this.SetVehicleMovement(0.5); this.SetVehicleSteering(1); this.SetEngineForceMul(0.2);");
  car.DriveWheels();
  JointHinge2& front = Joint(car, 1);
  JointHinge2& rear = Joint(car, 3);
  EXPECT_FLOAT_EQ(front.GetParameter(kHinge2Velocity2), -0.5f);
  EXPECT_FLOAT_EQ(front.GetParameter(kHinge2MaxVelocityForce2), 80);
  EXPECT_FLOAT_EQ(front.GetParameter(kHinge2MaxVelocityForce), 20);
  EXPECT_FLOAT_EQ(front.GetParameter(kHinge2FudgeFactor), 0.2f);
  // Steering -1 x 1 is below LoStop -0.5, so the target is a little inside
  // it: -0.45.
  EXPECT_NEAR(front.GetParameter(kHinge2Velocity), -0.45f - GetHinge2Angle1(front.GetJoint()), 1e-4f);
  EXPECT_FLOAT_EQ(rear.GetParameter(kHinge2Velocity), 0);
  EXPECT_FLOAT_EQ(rear.GetParameter(kHinge2FudgeFactor), 1);

  Run(car, "this.SetVehicleMovement(0); this.SetVehicleBreak(2);");
  car.DriveWheels();
  EXPECT_FLOAT_EQ(front.GetParameter(kHinge2MaxVelocityForce2), 2);
  Run(car, "this.SetVehicleBreak(0); this.SetVehicleHandbreak(3); this.SetWheelList(0); this.SetWheelHandbrakeMul(1);");
  car.DriveWheels();
  EXPECT_FLOAT_EQ(Joint(car, 0).GetParameter(kHinge2MaxVelocityForce2), 3);
  EXPECT_FLOAT_EQ(front.GetParameter(kHinge2MaxVelocityForce2), 10);

  // Stops closer together than the margins hold the middle.
  Run(car, "this.SetWheelList(1); this.SetWheelLoStop(0); this.SetWheelHiStop(0.06);");
  car.DriveWheels();
  EXPECT_NEAR(front.GetParameter(kHinge2Velocity), 0.03f - GetHinge2Angle1(front.GetJoint()), 1e-4f);
}

// The demo's light car on full lock at full throttle: the motor steers each
// front wheel to a little inside its stop, never through it, and the car
// drives a whole circle.
TEST_F(VehicleDrivingTest, OnFullLockTheFrontWheelsStayInsideTheirStopsRoundAWholeCircle) {
  Vehicle& car = MakeVehicle(kVehicleFourWheels, {0, 0.8f, 0},
                             "this.SetChassiDimesion(1.2, 0.5, 1.8); this.SetEngineVelocityMul(3);");
  StartDriving();
  RunFrames(30);
  Run(car, "this.SetVehicleSteering(1); this.SetVehicleMovement(1);");
  float turned = 0;
  float heading = Heading(car);
  float widest = 0;
  for (int frame = 0; frame < 40 * 60; ++frame) {
    RunFrames(1);
    const float now = Heading(car);
    turned += std::remainder(now - heading, 2 * std::numbers::pi_v<float>);
    heading = now;
    for (int wheel : {0, 1}) widest = std::max(widest, std::fabs(GetHinge2Angle1(Joint(car, wheel).GetJoint())));
  }
  EXPECT_LT(widest, 0.5f);
  EXPECT_GT(std::fabs(turned), 2 * std::numbers::pi_v<float>);
  EXPECT_GT(car.GetAxisYWS().y, 0.99f);
}

// A deleted joint ends the drive at its record; the wheels after it keep
// their last settings.
TEST_F(VehicleDrivingTest, ADeletedJointEndsTheDriveAtItsRecord) {
  Vehicle& car = Drive();
  Run(car, "this.SetVehicleMovement(1);");
  car.DriveWheels();
  GetObjectHooks()->DeleteObject(Joint(car, 1), false);
  EXPECT_EQ(car.GetWheels()[1].joint.Get(), nullptr);
  Run(car, "this.SetVehicleMovement(0.25);");
  RunFrames(2);
  EXPECT_FLOAT_EQ(Joint(car, 0).GetParameter(kHinge2Velocity2), 0.25f);
  EXPECT_FLOAT_EQ(Joint(car, 2).GetParameter(kHinge2Velocity2), 1);
}

class VehicleSoundTest : public VehicleTest {
 protected:
  static constexpr const char* kEntries[] = {"EngineLoop", "EngineStart", "Crash", "Crash2", "Tires"};

  void SetUp() override {
    VehicleTest::SetUp();
    car = &MakeVehicle(kVehicleNoWheels);
    speaker = car->GetSpeaker();
    for (const char* name : kEntries) speaker->AddSoundEntry(name);
    Start();
    car->Precalculate();
    // A started Sound plays one of its entries at random: the cases start
    // from silence.
    for (const char* name : kEntries) speaker->StopSoundEntry(name);
    ASSERT_NE(car->GetBody(), nullptr);
  }

  float Volume(int entry) const { return speaker->GetEntry(entry)->volume; }
  float Frequency(int entry) const { return speaker->GetEntry(entry)->frequency; }

  Vehicle* car = nullptr;
  Sound* speaker = nullptr;
};

TEST_F(VehicleSoundTest, TheDeepestContactOfTheFrameStartsTheCrashSounds) {
  ContactParameters contacts[2] = {};
  contacts[0].geom.depth = 0.05;
  contacts[1].geom.depth = 0.1;
  GeometryRecord& own = *car->GetPhysics()->geometries[0];
  EXPECT_EQ(car->HandleContact(&own, &own, contacts, 2), kContactUsual);
  EXPECT_FLOAT_EQ(car->GetMaxContactDepth(), 0.1f);
  car->UpdateSounds();
  EXPECT_TRUE(speaker->IsEntryPlaying(2));
  EXPECT_TRUE(speaker->IsEntryPlaying(3));
  EXPECT_FLOAT_EQ(Volume(2), 1.4f);
  EXPECT_EQ(car->GetMaxContactDepth(), 0);
}

// 0.2 counts as slow; exactly 1.0 keeps the tyres silent.
TEST_F(VehicleSoundTest, EngineAndTyresFollowTheSpeedAtTheirEdges) {
  struct Case {
    float speed, throttle;
    bool engine, tyres;
    float engineVolume, engineFrequency, tyreVolume, tyreFrequency;
  };
  const Case cases[] = {
      {0.2f, 0, false, false, 0.95f, 1, 0, 1},
      {0.2f, 0.5f, true, false, 0.95f, 1, 0, 1},
      {1.0f, 0.5f, true, true, 1, 1.29f, 0, 1},
      {2.0f, 0, true, true, 1, 1.08f, 0.95f, 1.2f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.speed);
    car->ApplyBodyVector(BodyVector::kSetLinearVelocity, {0, -3, c.speed});
    car->ExecuteCommand(3042, const_cast<float*>(&c.throttle));
    car->UpdateSounds();
    EXPECT_EQ(speaker->IsEntryPlaying(0), c.engine);
    EXPECT_EQ(speaker->IsEntryPlaying(1), c.engine);
    EXPECT_EQ(speaker->IsEntryPlaying(4), c.tyres);
    EXPECT_FLOAT_EQ(Volume(0), c.engineVolume);
    EXPECT_FLOAT_EQ(Frequency(0), c.engineFrequency);
    EXPECT_FLOAT_EQ(Volume(4), c.tyreVolume);
    EXPECT_FLOAT_EQ(Frequency(4), c.tyreFrequency);
  }
}

class VehicleRecordingTest : public VehicleTest {
 protected:
  std::string DataFile(const std::string& name) const { return engine->GetDataPath() + name + ".oan"; }

  // A recording file of three placement keys 0.1 s apart and the given
  // input keys.
  void WriteRecording(const std::string& name, const std::vector<Vector3>& inputs) {
    VehicleRecording recording;
    recording.endTime = 0.2f;
    for (int i = 0; i < 3; ++i) recording.keys.push_back({0.1f * i, {0, 1, 0.5f * i}, {1, 1, 1}, {}});
    recording.inputKeys = inputs;
    SerializeStream out;
    ASSERT_TRUE(out.Open(DataFile(name), "wb"));
    ASSERT_TRUE(recording.Serialize(out));
  }

  int Play(Vehicle& car, const std::string& name) {
    std::string text = name;
    return car.ExecuteCommand(202, &text);
  }
};

// Recorded every 0.1 s, saved, and played back past its end: the inputs
// follow the keys and hold at the last one, and the wheels are not driven.
TEST_F(VehicleRecordingTest, ARecordedDriveIsSavedAndPlayedBackPastItsLastKey) {
  Vehicle& car = MakeVehicle(kVehicleFourWheels);
  StartDriving();
  Run(car, "this.StartObjectRecording(Drive);");
  for (float throttle : {0.2f, 0.4f, 0.6f, 0.8f}) {
    car.ExecuteCommand(3042, &throttle);
    Tick(0.1);
  }
  Run(car, "this.StopObjectRecording(); this.SaveObjectRecording(Drive);");
  const auto& recorded = static_cast<const VehicleRecording&>(*car.GetRecording());
  ASSERT_EQ(recorded.inputKeys.size(), recorded.keys.size());
  ASSERT_GE(recorded.keys.size(), 4u);
  EXPECT_EQ(recorded.inputKeys.front().z, 0);
  EXPECT_GT(recorded.inputKeys.back().z, 0.5f);

  car.SetRecording(nullptr);
  ASSERT_EQ(Play(car, "Drive"), 1);
  Joint(car, 0).SetParameter(kHinge2Velocity2, 42);
  for (int i = 0; i < 4; ++i) Tick(0.05);
  EXPECT_EQ(car.GetRecording()->state, RecordingState::kPlaying);
  EXPECT_FLOAT_EQ(Joint(car, 0).GetParameter(kHinge2Velocity2), 42);
  for (int i = 0; i < 8; ++i) Tick(0.05);
  EXPECT_EQ(car.GetRecording()->state, RecordingState::kIdle);
  EXPECT_GT(car.GetControls().throttle, 0.5f);
}

TEST_F(VehicleRecordingTest, FewerInputKeysThanPlacementKeysHoldAtTheLastInputKey) {
  Vehicle& car = MakeVehicle(kVehicleNoWheels);
  car.Precalculate();
  struct Case {
    std::vector<Vector3> inputs;
    float throttle;
  };
  const Case cases[] = {{{{0.5f, 0, 0.7f}}, 0.7f}, {{}, 0.3f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.inputs.size());
    float throttle = 0.3f;
    car.ExecuteCommand(3042, &throttle);
    WriteRecording("Short", c.inputs);
    ASSERT_EQ(Play(car, "Short"), 1);
    for (int i = 0; i < 3; ++i) {
      Tick(0.09);
      EXPECT_FLOAT_EQ(car.GetControls().throttle, c.throttle);
    }
    car.SetRecording(nullptr);
  }
}

TEST_F(VehicleRecordingTest, AnInputKeyCountBeyondTheFileIsRefusedAndKeepsTheRecording) {
  Vehicle& car = MakeVehicle(kVehicleNoWheels);
  WriteRecording("Good", {{0, 0, 1}});
  ASSERT_EQ(Play(car, "Good"), 1);
  Run(car, "this.StopObjectRecording();");
  ObjectRecording* kept = car.GetRecording();
  WriteRecording("Bad", {{0, 0, 1}, {0, 0, 1}});
  // Cut the last input key off the file: its count now promises more.
  std::filesystem::resize_file(DataFile("Bad"), std::filesystem::file_size(DataFile("Bad")) - 4);
  ClearErrorMessage();
  EXPECT_EQ(Play(car, "Bad"), 0);
  EXPECT_NE(std::string(GetErrorMessage()).find("input keys"), std::string::npos);
  EXPECT_EQ(car.GetRecording(), kept);
}

}  // namespace
}  // namespace tge::test
