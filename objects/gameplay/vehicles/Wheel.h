// Wheel (class 35): the rolling body of a vehicle wheel, hung under the
// JointHinge2 that holds it to the vehicle. It draws its mesh at its body,
// gives its contacts a tyre's friction (grip along the rolling direction,
// slip across it growing with speed and spin), and lets go of its joint
// while an object recording places it.
//
// The joint and the vehicle are the parent and grandparent found at
// Precalculate: the parent counts only when it is a JointHinge2.
#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/ObjectRef.h"
#include "services/resources/ResourceRef.h"

namespace tge {

class JointHinge2;

class Wheel : public Object {
 public:
  static constexpr float kFriction = 0.9f;
  static constexpr float kTyreSlip = 0.00001f;

  static std::span<const CommandEntry<Wheel>> Commands();
  static const CommandEntry<Wheel> kCommands[];

  Wheel();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  void CopyFrom(const Object& source) override;
  bool Serialize(SerializeStream& stream) override;
  void Draw() override;
  void Precalculate() override;
  int HandleContact(GeometryRecord* own, GeometryRecord* other, ContactParameters* contacts, int count) override;

  Object* GetVehicle() const { return vehicle_.Get(); }
  JointHinge2* GetWheelJoint() const;
  Resource* GetMesh() const { return mesh_.Get(); }
  void SetMesh(const std::string& name);

 private:
  int SetMeshCommand(CommandArgs args);
  int GetMeshCommand(CommandArgs args);
  void AcquireMesh();

  ObjectRef<> vehicle_;
  ObjectRef<JointHinge2> wheelJoint_;
  std::string meshName_;
  ResourceRef mesh_;
  std::int32_t wheelType_ = 0;
};

void RegisterWheelCommands();

}  // namespace tge
