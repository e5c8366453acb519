#include "demo/places/DemoRiding.h"

#include <array>
#include <span>
#include <string>
#include <vector>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/Object.h"
#include "core/ObjectFactory.h"
#include "demo/assets/DemoBoxSkin.h"
#include "demo/assets/DemoFigure.h"

namespace tge {
namespace {

namespace fs = std::filesystem;

constexpr const char* kHorseSkin = "HorseSkin";
constexpr const char* kRiderIdle = "RiderIdle";
// The horse's animations carry this prefix, which its skin mesh skips, so
// that their short names ("Idle", "Walk") stay free for the figure's.
constexpr const char* kHorsePrefix = "Horse_";
// The keys: input 255 + the set-1 code of T and of E.
constexpr int kKeyT = 255 + 0x14;
constexpr int kKeyE = 255 + 0x12;

// Behind the walk's start and left of the chase's wall, out of the stage
// camera's view; the rider starts behind the horse's right flank, facing
// the way the horse does.
constexpr const char* kHorseAt = "this.SetPosition(-6, 0.1, -11);";
constexpr const char* kRiderAt = "this.SetPosition(-4.5, 0.1, -14);";
// The rider's camera looks at its neck from behind and above, far enough
// back that the whole figure shows, over the horse once it rides; a follow
// camera with a target starts behind it.
constexpr const char* kChest = "this.SetPosition(0, 2.0, 0);";
constexpr const char* kRiderCamera =
    "this.SetCameraPositionYOffset(0.8); this.SetCameraPositionDistance(6); "
    "this.SetCameraTarget(parent/CameraTarget);";
// The characters' skins stand on their feet: the body's capsule reaches
// 0.1 below the character's origin.
constexpr const char* kSkinOnFeet = "this.SetPosition(0, -0.1, 0);";
// The seated figure's hips (1.1 up its skin) on the horse's back.
constexpr const char* kSeat = "this.SetPosition(0, 0.35, -0.1);";

// The horse, facing +z, its hooves on y = 0: a back and a front half of
// the body (the spine bones the horse bends), neck and head on "Neck 1",
// four legs swinging in diagonal pairs, and a tail.
constexpr std::array<BoxLimb, 8> kHorseLimbs = {{
    {"Spine 2", 1, {0, 1.15f, 0}, {0.7f, 0.7f, 1.1f}, {0, 0, -0.55f}, 0.0f},
    {"Spine 3", 2, {0, 1.15f, 0}, {0.7f, 0.7f, 1.1f}, {0, 0, 0.55f}, 0.0f},
    {"Neck 1", 3, {0, 1.4f, 1.0f}, {0.35f, 0.45f, 1.0f}, {0, 0.35f, 0.4f}, 0.15f},
    {"LegFL", 4, {-0.22f, 0.9f, 0.85f}, {0.18f, 0.9f, 0.18f}, {0, -0.45f, 0}, 0.5f},
    {"LegFR", 5, {0.22f, 0.9f, 0.85f}, {0.18f, 0.9f, 0.18f}, {0, -0.45f, 0}, -0.5f},
    {"LegRL", 6, {-0.22f, 0.9f, -0.85f}, {0.18f, 0.9f, 0.18f}, {0, -0.45f, 0}, -0.5f},
    {"LegRR", 7, {0.22f, 0.9f, -0.85f}, {0.18f, 0.9f, 0.18f}, {0, -0.45f, 0}, 0.5f},
    {"Tail", 8, {0, 1.4f, -1.1f}, {0.12f, 0.6f, 0.12f}, {0, -0.3f, -0.05f}, 0.3f},
}};

// What the horse plays, by the names it asks for; the gaits' roots carry
// it forward (units a second: walk 1.5, trot 3.5, canter 6, gallop 9).
// The first one sets the skin's prefix.
constexpr NamedLimbMotion kHorseMotions[] = {
    {"NoRider_Idle", {2.0f, 0.05f, 0.02f}},
    {"Idle", {2.0f, 0.05f, 0.02f}},
    {"Walk", {1.2f, 0.5f, 0.03f, {0, 0, 1.8f}}},
    {"Trot", {0.8f, 0.8f, 0.06f, {0, 0, 2.8f}}},
    {"Canter", {0.7f, 1.0f, 0.1f, {0, 0, 4.2f}}},
    {"Gallop", {0.5f, 1.2f, 0.12f, {0, 0, 4.5f}}},
    {"Reverse", {1.2f, 0.4f, 0.03f, {0, 0, -1.2f}}},
    {"Jump", {1.0f, 1.2f, 0.5f, {0, 0, 6.0f}}},
    {"Mount", {1.0f, 0.1f, 0.02f}},
    {"MountRight", {1.0f, 0.1f, 0.02f}},
    {"Dismount", {1.0f, 0.1f, 0.02f}},
    {"DismountRight", {1.0f, 0.1f, 0.02f}},
    {"Rearing", {1.2f, 0.9f, 0.3f}},
    {"Break", {1.0f, 0.6f, 0.05f}},
    {"Kick", {0.8f, 1.0f, 0.1f}},
};

// What the rider plays on the horse, seated, by the names the horse and
// the mount pass it ("Horse" and the horse's own), the step it takes once
// down and its idle on foot. Riding moves the rider's skin by its root, so
// these keep it in place. A walk waits for the idle playing to end, so the
// idle is short.
constexpr NamedLimbMotion kRiderMotions[] = {
    {"HorseIdle", {2.0f, 0.05f, 0.02f, {}, true}},
    {"HorseWalk", {1.2f, 0.15f, 0.04f, {}, true}},
    {"HorseTrot", {0.8f, 0.2f, 0.08f, {}, true}},
    {"HorseCanter", {0.7f, 0.25f, 0.1f, {}, true}},
    {"HorseGallop", {0.5f, 0.3f, 0.12f, {}, true}},
    {"HorseReverse", {1.2f, 0.1f, 0.03f, {}, true}},
    {"HorseJump", {1.0f, 0.3f, 0.3f, {}, true}},
    {"HorseRearing", {1.2f, 0.3f, 0.2f, {}, true}},
    {"HorseBreak", {1.0f, 0.2f, 0.05f, {}, true}},
    {"HorseKick", {0.8f, 0.2f, 0.1f, {}, true}},
    {"HorseMount", {1.0f, 0.3f, 0.1f, {}, true}},
    {"HorseMountRight", {1.0f, 0.3f, 0.1f, {}, true}},
    {"HorseDismount", {1.0f, 0.3f, 0.1f, {}, true}},
    {"StepInPlace", {0.5f, 0.3f, 0.02f}},
    {kRiderIdle, {0.5f, 0.05f, 0.01f}},
};

bool AddRidingResources(ResourceDatabase& resources, const fs::path& dataFolder) {
  MaterialResource& coat = AddFigureMaterial(resources, "HorseCoat", 0.45f, 0.28f, 0.15f);
  const BoxSkinDescription horse{"HorseMesh", kHorseSkin, &coat, 2.5f, {{-1, 0, -1.8f}, {1, 2.3f, 2.0f}}};
  return AddBoxSkin(resources, dataFolder, horse, kHorseLimbs) &&
         AddLimbAnimations(resources, dataFolder, kHorseLimbs, kHorsePrefix, kHorseMotions) &&
         AddLimbAnimations(resources, dataFolder, FigureLimbs(), "", kRiderMotions);
}

// The names a skin mesh plays, in the order given.
std::vector<std::string> MotionNames(const std::string& prefix, std::span<const NamedLimbMotion> motions) {
  std::vector<std::string> names;
  for (const NamedLimbMotion& named : motions) names.push_back(prefix + named.name);
  return names;
}

std::vector<const char*> Pointers(const std::vector<std::string>& names) {
  std::vector<const char*> pointers;
  for (const std::string& name : names) pointers.push_back(name.c_str());
  return pointers;
}

// A character made with the editor's default children, its skin mesh on
// its feet and dressed by dress.
template <class Dress>
Object& AddCharacter(Object& parent, int classId, const char* name, const char* placement, Dress dress) {
  Object& character = AddPlaced(parent, classId, name, "");
  character.ExecuteCommand(kCommandInitializeNewObject, nullptr);
  RunScript(character, placement);
  Object& skin = *character.FindChildByClass(kClassSkinMesh);
  RunScript(skin, kSkinOnFeet);
  dress(skin);
  return character;
}

void AddHorse(Object& ride) {
  const std::vector<std::string> names = MotionNames(kHorsePrefix, kHorseMotions);
  Object& horse = AddCharacter(ride, kClassHorse, "Horse", kHorseAt, [&names](Object& skin) {
    DressBoxSkin(skin, kHorseSkin, kHorseLimbs, Pointers(names));
  });
  RunScript(*horse.FindChildByName("PlayerPosition"), kSeat);
}

// The rider walks on the figure's root-moving walk and run.
void AddRider(Object& ride) {
  std::vector<std::string> names = MotionNames("", kRiderMotions);
  for (const char* own : {kFigureStride, kFigureSprint}) names.emplace_back(own);
  Object& rider = AddCharacter(ride, kClassPlayerTP, "Rider", kRiderAt,
                               [&names](Object& skin) { DressFigureSkin(skin, Pointers(names)); });
  RunScript(*rider.FindChildByName("CameraTarget"), kChest);
  RunScript(*rider.FindChildByClass(kClassCamera), kRiderCamera);
  RunScript(rider, std::string("this.SetPlayerTPIdleAnimation(") + kRiderIdle + "); this.SetPlayerTPWalkAnimation(" +
                       kFigureStride + "); this.SetPlayerTPRunAnimation(" + kFigureSprint + ");");
}

void AddKey(Object& keys, const char* name, int id, const std::string& script) {
  RunScript(keys, std::string("this.AddInputEvent(") + name + "); this.SetInputEventID(" + std::to_string(id) +
                      "); this.SetInputEventName(OnInput" + name + ");");
  AddScript(keys, std::string("OnInput") + name, script);
}

// Both wait in the inactive "Ride" until T copies them onto the stage: a
// body in the World's physics changes how every other one steps, so the
// stage runs as before until the ride starts. A rider that gets off goes
// back into its Space, the stage, where E finds it again.
void BuildRiding(Object& stage) {
  Object& ride = AddPlaced(stage, kClassObject, "Ride", "this.SetPosition(0, 0, 0);");
  ride.SetActive(false);
  AddHorse(ride);
  AddRider(ride);
  Object& keys = *CreateObject(kClassInput, nullptr, stage, "RideKeys");
  AddKey(keys, "Ride", kKeyT, "parent/Ride/Horse.Copy(parent); parent/Ride/Rider.Copy(parent); parent/Ride.Delete();");
  AddKey(keys, "Mount", kKeyE, "parent/Rider.PlayerTPEnterTransport(parent/Horse);");
}

}  // namespace

void AddDemoRiding(SceneDescription& scene, const std::string& worldName) {
  scene.addResources = [resources = scene.addResources](ResourceDatabase& database, const fs::path& dataFolder) {
    return resources(database, dataFolder) && AddRidingResources(database, dataFolder);
  };
  scene.buildObjects = [build = scene.buildObjects, worldName](Object& root) {
    build(root);
    Object* world = root.FindChildByName(worldName, kClassWorld);
    if (Object* stage = world != nullptr ? world->FindChildByName("Stage", kClassSpace) : nullptr) BuildRiding(*stage);
  };
}

}  // namespace tge
