// A vehicle of a built layout in the props room (a floor at y = 0 under
// physics), started the way the engine starts a loaded scene, with helpers
// to read its wheel joints and to send it script lines.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "core/script/ScriptInterpreter.h"
#include "objects/gameplay/props/JointHinge2.h"
#include "objects/gameplay/vehicles/Vehicle.h"
#include "tests/engine/props/PropsFixture.h"

namespace tge::test {

class VehicleTest : public PropsTest {
 protected:
  // The wheels stand on the floor when the chassis centre is this high.
  static constexpr float kRideHeight = 0.72f;

  // setUp runs on the vehicle before its tree is built.
  Vehicle& MakeVehicle(std::int32_t type, const Vector3& at = {0, kRideHeight, 0}, const std::string& setUp = "") {
    auto& vehicle = static_cast<Vehicle&>(*CreateObject(kClassVehicle, nullptr, *room, "Car"));
    vehicle.SetPosition(at, false);
    if (!setUp.empty()) Run(vehicle, setUp);
    vehicle.BuildFromType(type);
    return vehicle;
  }

  // Start-up, then the joints, which the engine starts after the bodies.
  void StartDriving() {
    Start();
    room->ExecuteCommand(162, nullptr);
  }

  static void Run(Object& object, const std::string& script) { RunScriptText(object, script, nullptr); }

  static JointHinge2& Joint(Vehicle& vehicle, int wheel) {
    return *vehicle.GetWheels()[static_cast<std::size_t>(wheel)].joint.Get();
  }
};

}  // namespace tge::test
