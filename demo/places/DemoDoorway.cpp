#include "demo/places/DemoDoorway.h"

#include <string>

#include "core/ClassIds.h"
#include "core/Object.h"
#include "core/ObjectFactory.h"
#include "core/ObjectRecords.h"
#include "core/script/ScriptInterpreter.h"
#include "platform/gfx/Meshes.h"
#include "services/resources/MaterialResource.h"
#include "services/sound/SoundResource.h"
#include "tools/SceneWriter.h"

namespace tge {
namespace {

constexpr const char* kLeafMesh = "DoorLeaf";
constexpr const char* kCrateMaterial = "CrateMat";
constexpr const char* kGlowMaterial = "CrateGlow";
constexpr const char* kKnockFile = "Knock.wav";
constexpr float kLeafWidth = 1.2f, kLeafHeight = 2.4f, kLeafDepth = 0.1f;
// The floor the stage's crates stand on.
constexpr float kFloorY = -0.8f;
// Collision bits: what the pointer's ray sees as group 1 (the crate), and
// the click group 32 (the door).
constexpr std::uint32_t kPickBits = 1;
constexpr std::uint32_t kClickBits = 1u << 31;

// Geometry of a box of the given lengths on object; with a body when mass.
void AddBox(Object& object, const Vector3& lengths, std::uint32_t category, std::uint32_t collide, bool body) {
  object.SetUsePhysics(true);
  if (body) object.GetPhysics()->flags = kPhysicsEnableRigidBody;
  GeometryRecord& box = object.AddGeometry();
  box.info = kGeometryBox | (body ? kGeometryMassByDensity : 0);
  box.dimension = lengths;
  box.categoryBits = category;
  box.collisionBits = collide;
}

// SetDoorType makes the frame, the leaf "Door1" and the speaker: Door1
// stands at the hinge on the leaf's left edge, the leaf's mesh half a width
// to its right.
void AddDoor(Object& doorway) {
  Object& door = AddPlaced(doorway, kClassDoor, "Door",
                           "this.SetDoorType(1); this.SetDoorOpenTime(1); this.SetDoorCloseTime(1.2); "
                           "this.SetDoorOpenAngle(1.6); this.SetDoorAutoClose(1); this.SetDoorAutoCloseTime(3);");
  Object& hinge = *door.FindChildByName("Door1");
  RunScript(hinge, "this.SetPosition(-0.6, 0, 0);");
  AddPlaced(hinge, kClassMesh, "Leaf",
            "this.SetPosition(0.6, " + std::to_string(kFloorY + kLeafHeight / 2) + ", 0); this.AddMesh(" + kLeafMesh +
                ");");
  RunScript(*door.FindChildByName("DoorSpeaker"),
            "this.SetSoundHasNamePrefix(1); this.AddSound(Door_Open); this.AddSound(Door_Closed);");
  AddBox(door, {kLeafWidth, kLeafHeight, 0.2f}, 0, kClickBits, false);
}

// The doorway and the room stand beside the stage's middle, wherever the
// stage was put.
std::string Beside(const Object& stage, float x, float z) {
  const Vector3& at = stage.GetPosition();
  return "this.SetPosition(" + std::to_string(at.x + x) + ", " + std::to_string(at.y) + ", " + std::to_string(at.z + z) +
         ");";
}

void AddRoom(Object& world, const Object& stage) {
  Object& doorway = AddPlaced(world, kClassSpace, "Doorway",
                              Beside(stage, 6, 8) + " this.SetSpaceBoxMin(-1, -0.8, -0.25); "
                              "this.SetSpaceBoxMax(1, 1.6, 0.25); this.SetSpaceConnection(1); this.SetSpacePortal(1);");
  AddDoor(doorway);
  Object& room = AddPlaced(world, kClassSpace, "Room",
                           Beside(stage, 6, 10.5) + " this.SetSpaceBoxMin(-2.5, -0.8, -2.4); "
                           "this.SetSpaceBoxMax(2.5, 2.5, 2.4);");
  AddPlaced(room, kClassLight, "RoomLamp",
            "this.SetLightType(1); this.SetPosition(0, 1.5, 0); this.SetLightColor(1, 0.7, 0.3, 1); "
            "this.SetLightRadius(5); this.SetLightFalloff0(1); this.SetLightFalloff1(0.5); this.SetLightFalloff2(0.2);");
  AddPlaced(room, kClassMesh, "Chest", "this.SetPosition(0.4, 0, 1); this.SetRotationY(0.4); this.AddMesh(Crate);");
}

// The hinge joins the world to the crate; both start asleep, so a weight
// dropped onto the crate's free end wakes it.
void AddHingedCrate(Object& stage) {
  Object& hinge = AddPlaced(stage, kClassJointHinge, "Hinge",
                            "this.SetPosition(-6, 2.5, 8); this.SetJointHingeAxis(3); "
                            "this.SetJointHingeLoStop(-1.3); this.SetJointHingeHiStop(1.3);");
  Object& crate = AddPlaced(hinge, kClassMesh, "Swing", "this.SetPosition(1.7, 0, 0); this.AddMesh(Crate);");
  AddBox(crate, {1.6f, 1.6f, 1.6f}, 1, kPickBits, true);
  Object& weight = AddPlaced(stage, kClassObject, "Weight", "this.SetPosition(-3.9, 4.5, 8);");
  AddBox(weight, {0.4f, 0.4f, 0.4f}, 1, 1, true);
}

void AddPointer(Object& stage) {
  Object& pointer = AddPlaced(stage, kClassCursor, "Pointer",
                              "this.SetCursorRayCategoryBits(3); this.SetCursorRayLength(40); "
                              "this.SetCursorEnableCameraNavigation(0);");
  // It rests in a corner, away from the title menu, until the mouse moves it.
  AddScript(pointer, "OnCursorEnter1", std::string("local.SetMeshMaterial(") + kGlowMaterial + ");");
  AddScript(pointer, "OnCursorExit1", std::string("local.SetMeshMaterial(") + kCrateMaterial + ");");
  AddScript(pointer, "OnCursorEnter32", "local.DoorOpen();");
}

bool AddDoorwayResources(ResourceDatabase& resources, const std::filesystem::path& dataFolder) {
  auto* crate = static_cast<MaterialResource*>(resources.LookupResource(kCrateMaterial, kMaterialResource));
  auto& glow = RegisterResource<MaterialResource>(resources, kGlowMaterial, "");
  if (crate != nullptr) {
    glow.materialType = crate->materialType;
    glow.flags = crate->flags;
    glow.colors = crate->colors;
    SetMaterialTexture(&glow, 0, GetMaterialTexture(crate, 0));
  }
  glow.colors.emissive = {0.45f, 0.45f, 0.3f, 1};
  for (const char* name : {"Door_Open", "Door_Closed"}) {
    RegisterResource<SoundResource>(resources, name, kKnockFile).flags = SoundResource::k3D;
  }
  return AddBoxMesh(resources, dataFolder, kLeafMesh, gfx::CreateBoxMesh(kLeafWidth, kLeafHeight, kLeafDepth),
                    kLeafHeight, crate) != nullptr;
}

void AppendToScript(Object& object, const std::string& name, const std::string& text) {
  if (object.GetScripts() == nullptr) return;
  for (ObjectScript& script : *object.GetScripts()) {
    if (script.name == name) script.text += " " + text;
  }
}

void BuildDoorway(Object& world) {
  Object& stage = *world.FindChildByName("Stage");
  RunScript(world, "this.SetWorldEnablePhysics(1);");
  RunScript(stage, "this.SetSpaceCollision(1);");
  AddRoom(world, stage);
  AddHingedCrate(stage);
  AddPointer(stage);
  // The engine's cursor shows while the game runs: a cursor shown over the
  // title would take the menu's input.
  if (Object* start = world.FindChildByName("Start")) {
    AppendToScript(*start, "OnInputUp", "parent/parent/parent.SetCursorActive(1);");
  }
  AppendToScript(world, "OnInputExitToMenu", "parent.SetCursorActive(0);");
}

}  // namespace

void AddDemoDoorway(SceneDescription& scene, const std::string& worldName) {
  scene.addResources = [resources = scene.addResources](ResourceDatabase& database,
                                                       const std::filesystem::path& dataFolder) {
    return resources(database, dataFolder) && AddDoorwayResources(database, dataFolder);
  };
  scene.buildObjects = [build = scene.buildObjects, worldName](Object& root) {
    build(root);
    if (Object* world = root.FindChildByName(worldName, kClassWorld)) BuildDoorway(*world);
  };
}

}  // namespace tge
