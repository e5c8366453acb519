#include "demo/assets/DemoProps.h"

#include <string>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/Object.h"
#include "core/ObjectFactory.h"
#include "tools/SceneWriter.h"

namespace tge {
namespace {

// Input id of B: 255 + its set-1 code.
constexpr int kKeyB = 255 + 0x30;
// The ground has no category bits: it meets only the geometries with bit 1,
// its collision bit, in their category.
constexpr const char* kGroundSetUp =
    "this.SetPosition(0, -0.5, 0); this.AddGeometry(); this.SetGeometryType(1); this.SetGeometryDimension(40, 1, 40); "
    "this.SetGeometryCollisionBits(1); this.SetGeometryCategoryBits(0);";
constexpr const char* kLightLamp =
    "parent/LampSway/Lamp.SetLightColor(0.3, 1, 0.3, 1); parent/LampSway/Lamp.SetLightRadius(6); "
    "this/Chime.SoundPlay(Knock);";

}  // namespace

Object& AddDropCrate(Object& stage, const std::string& name, const std::string& position) {
  Object& crate = AddPlaced(stage, kClassSimObject, name, "");
  crate.ExecuteCommand(kCommandInitializeNewObject, nullptr);
  RunScript(crate, "this.SetPosition(" + position +
                       "); this.SetGeometryDimension(1.6, 1.6, 1.6); this.SetSimObjectMesh(Crate);");
  return crate;
}

void AddDemoProps(Object& world, Object& stage) {
  RunScript(world, "this.SetWorldEnablePhysics(1);");
  AddPlaced(stage, kClassObject, "GroundSlab", kGroundSetUp);
  AddDropCrate(stage, "Drop1", "-1.6, 3, -0.4");
  Object& second = AddDropCrate(stage, "Drop2", "1.8, 4, 0.6");
  RunScript(second, "this.SetActionBlockStartFromParent(1); this.Stop();");

  Object& trigger = AddPlaced(stage, kClassTrigger, "Pad", "");
  trigger.ExecuteCommand(kCommandInitializeNewObject, nullptr);
  RunScript(trigger, "this.SetPosition(-1.6, 0.7, -0.4); this.SetTriggerRadius(0.6); "
                     "this.SetGeometryCollisionBits(1);");
  SetScriptText(trigger, "OnTriggerEnter", kLightLamp);
  RunScript(*CreateObject(kClassSound, nullptr, trigger, "Chime"), "this.AddSound(Knock);");

  Object& key = *CreateObject(kClassInput, nullptr, stage, "DropKey");
  RunScript(key, "this.AddInputEvent(Key); this.SetInputEventID(" + std::to_string(kKeyB) +
                     "); this.SetInputEventOnRelease(0); this.SetInputEventName(OnInputB);");
  AddScript(key, "OnInputB", "parent/Drop2.Start();");
}

}  // namespace tge
