// Vehicle (class 12): a wheeled physics vehicle. Its own body is the
// chassis (a "Chassi" mesh child draws it); each wheel is a JointHinge2
// child holding a wheel body, driven by the joint's motors: the first axis
// steers, the second turns the wheel. The physics step moves chassis and
// wheels; the vehicle itself only sets the motors from its inputs, plays
// its engine, tyre and crash sounds on its "VehicleSpeaker", feeds its
// exhaust emitters "PS" and "PS2" by speed and lays a blob shadow on the
// ground triangles of the scene's global Collector.
//
// SetVehicleType builds the whole child tree from a layout; after that the
// tree is saved as ordinary children and Precalculate links it again by
// name. Linked children count only as the class they are used as (wheel
// joints JointHinge2, speaker Sound, camera Camera, exhaust
// ParticleSystem); every link is a weak reference, so a child deleted
// under a running vehicle is simply missing.
//
// Driving (VehicleDriving.cpp): a rider under "PlayerPosition" drives with
// player 0's input; without one, the inputs set by script stay.
#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/ObjectRef.h"
#include "core/math/Quaternion.h"
#include "core/math/Vector.h"
#include "objects/gameplay/vehicles/VehicleInput.h"
#include "services/resources/ResourceRef.h"

namespace tge {

class Camera;
class JointHinge2;
class Sound;
class VehicleRecording;
class Weapon;
struct CollectorTriangleList;

struct WheelRecord {
  ObjectRef<JointHinge2> joint;
  std::string name;
  Vector3 position;
  Quaternion rotation;
  float steeringMul = 1.0f;
  float engineMul = 1.0f;
  float brakeMul = 1.0f;
  float handbrakeMul = 0.0f;
};

// The layouts SetVehicleType builds.
enum VehicleLayout : std::int32_t { kVehicleFourWheels = 1, kVehicleSixWheels = 2, kVehicleNoWheels = 3 };

class Vehicle : public Object {
 public:
  static std::span<const CommandEntry<Vehicle>> Commands();
  static const CommandEntry<Vehicle> kCommands[];

  Vehicle();
  ~Vehicle() override;

  int ExecuteCommand(std::uint32_t id, void* args) override;
  void CopyFrom(const Object& source) override;
  bool Serialize(SerializeStream& stream) override;
  void Update() override;
  void Draw() override;
  void Precalculate() override;
  int HandleContact(GeometryRecord* own, GeometryRecord* other, ContactParameters* contacts, int count) override;
  std::unique_ptr<ObjectRecording> MakeRecording() const override;

  // Deletes every child and builds the layout's chassis, speaker and wheels;
  // layout 0 does nothing.
  void BuildFromType(std::int32_t type);
  // 0 inserts a wheel before the selected one (first without a selection),
  // 1 erases the selected wheel's record; its objects stay.
  void ModifyWheels(std::uint32_t value);
  // Sets every wheel joint's motors from the inputs, up to the first wheel
  // whose joint is missing or not built.
  void DriveWheels();
  void UpdateSounds();

  std::int32_t GetVehicleType() const { return vehicleType_; }
  std::uint32_t GetInputDevice() const { return inputDevice_; }
  const VehicleControls& GetControls() const { return controls_; }
  float GetHandbrake() const { return handbrake_; }
  const std::vector<WheelRecord>& GetWheels() const { return wheels_; }
  std::int32_t GetSelectedWheel() const { return selectedWheel_; }
  Sound* GetSpeaker() const;
  Camera* GetCamera() const;
  Object* GetPlayerPosition() const { return playerPosition_.Get(); }
  float GetMaxContactDepth() const { return maxContactDepth_; }
  const CollectorTriangleList* GetShadowTriangles() const { return shadowTriangles_.get(); }
  Resource* GetShadowMaterial() const { return shadowMaterial_.Get(); }

 private:
  template <auto Field>
  int SetControl(CommandArgs args);
  template <auto Field>
  int SetWheelField(CommandArgs args);
  template <auto Field>
  int GetWheelField(CommandArgs args);
  template <std::size_t Parameter>
  int SetWheelStop(CommandArgs args);
  template <std::size_t Parameter>
  int GetWheelStop(CommandArgs args);
  int SetTypeCommand(CommandArgs args);
  int SetModifyWheelsCommand(CommandArgs args);
  int SetWheelListCommand(CommandArgs args);
  int GetWheelListCommand(CommandArgs args);

  WheelRecord* SelectedWheel();
  void DeleteChildren();
  void SetWheelLayout(std::int32_t type);
  void BuildChassis();
  JointHinge2* AddWheelJoint(WheelRecord& wheel, float stop);
  void BuildWheel(WheelRecord& wheel, float radius);
  float WheelRadius() const;
  void LinkChildren();
  void FindSoundEntries();
  VehicleRecording* OwnRecording() const;
  void CollectResources(void* set);
  void AddInputKey(void* args);
  void PlayInputKey(void* args);

  // VehicleDriving.cpp.
  void ReadInput(float dt);
  void FireWeapon();
  bool FindRiderCamera();
  void SteerCamera(float dt);
  void DrawShadow();

  std::int32_t vehicleType_ = 0;
  std::uint32_t inputDevice_ = 0;
  VehicleControls controls_;
  float spareInput_ = 0;
  float handbrake_ = 0;
  float steeringVelocityMul_ = 1.0f;
  float steeringForceMul_ = 0.1f;
  float engineVelocityMul_ = 1.0f;
  float engineForceMul_ = 0.1f;
  float brakeForceMul_ = 1.0f;
  float handbrakeForceMul_ = 1.0f;
  float reserved_[5] = {};
  std::vector<WheelRecord> wheels_;
  std::int32_t selectedWheel_ = -1;
  ObjectRef<> playerPosition_;
  ObjectRef<Sound> speaker_;
  std::int32_t engineLoopSound_ = -1;
  std::int32_t engineStartSound_ = -1;
  std::int32_t crashSound_ = -1;
  std::int32_t crash2Sound_ = -1;
  std::int32_t tiresSound_ = -1;
  ObjectRef<> exhaust_;
  ObjectRef<> exhaust2_;
  float exhaustBaseRate_ = 0;
  float maxContactDepth_ = 0;
  std::shared_ptr<CollectorTriangleList> shadowTriangles_;
  ResourceRef shadowMaterial_;
  ObjectRef<Camera> camera_;
  ObjectRef<Weapon> weapon_;
  std::uint32_t vehicleFlags_ = 0;
  std::string chassisMesh_;
  std::string wheelMesh_;
  Vector3 chassisDimension_{1.5f, 0.7f, 2.5f};
};

void RegisterVehicleCommands();

}  // namespace tge
