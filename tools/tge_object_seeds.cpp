// tge_object_seeds DIR: writes one object file per built object type into
// DIR, named after the type ("Mesh.sac"), each by the engine's own writer.
// The object-file fuzz target starts from these; a type that joins the
// engine's list of built types gets its seed by running this again.
#include <cstdio>
#include <filesystem>
#include <string>

#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/script/ScriptInterpreter.h"
#include "engine/BuiltTypes.h"
#include "engine/Engine.h"
#include "objects/gameplay/navigation/VisionGraph.h"
#include "services/EngineServices.h"
#include "services/ErrorMessage.h"
#include "tools/NavMeshBuilder.h"

namespace {

using namespace tge;

// What fills a type's own lists, so its record holds counts and names; a
// type without a line here is written as it is made.
struct SeedSetUp {
  int classId;
  const char* script;
};

constexpr SeedSetUp kSetUps[] = {
    {kClassMesh, "this.AddMesh(Box); this.AddMesh(Ball);"},
    {kClassSound, "this.SetSoundHasNamePrefix(1); this.AddSound(Wood_Step); this.AddSound(Wood_Step_01);"},
    {kClassBone, "this.SetBoneEnableJoint(1); this.SetBoneJointType(1); this.SetBoneDamageMul(2);"},
    {kClassWeapon, "this.SetWeaponType(4); this.SetWeaponCrossHairMaterial(Cross); this.SetWeaponIconMaterial(Icon); "
                   "this.SetWeaponInventorySort(3);"},
    {kClassAmmunition, "this.SetAmmunitionType(1); this.SetAmmunitionMaxBulletsInClip(6); "
                       "this.SetAmmunitionDamageRadius(3);"},
    // Loading frees a character from its cell; the seed is written as loaded.
    {kClassAIPlayerFPS, "this.SetUsePhysics(1); this.SetNotLockedInSpace(1); this.SetAIPlayerFPSFightGroup(1); this.SetAIPlayerFPSCurrentGroupDamage(3); "
                        "this.SetAIPlayerFPSGroupDamageMul(2);"},
    {kClassAmmunitionPool, "this.SetAmmunitionPoolCount(2, 30); this.AddAmmunitionPoolCount(5, 7);"},
    {kClassSkinMesh, "this.SetSkinMesh(Figure); this.AddSkinMeshAnimation(Idle); this.AddSkinMeshAnimation(Idle_01);"},
    {kClassMotionLayers, "this.AddLayer(); this.SetLayerList(0); this.SetPosSinMul(1, 0, 0.5); this.AddLayer();"},
    {kClassAnimation, "this.AddAnimation(Walk); this.AddAnimation(Walk_01); this.SetAnimationList(1); "
                      "this.SetAnimationStyle(3);"},
    {kClassSpline, "this.AddSplinePoint(); this.AddSplinePoint(); this.SetSplinePointList(1); "
                   "this.SetSplinePoint(4, 0, 0);"},
    {kClassMorphMesh, "this.SetMorphMesh(Face); this.SetMorphMeshDestinationMesh(Head);"},
    {kClassSpace, "this.AddSpaceSubBox(); this.AddSpaceMesh(Floor); this.AddSpaceCollision(Floor);"},
    {kClassWindow, "this.SetWindowText(Title); this.SetWindowSprite(Skin); this.SetWindowFont(Font);"},
    {kClassSprite, "this.SetSpriteMaterial(Skin); this.SetSpriteType(2);"},
    {kClassText, "this.SetTextText(Hello); this.SetTextEnablePages(1); this.SetTextPageLineCount(2);"},
    {kClassButton, "this.SetWindowText(Start); this.SetUseStandardButtonHiliteSound(0);"},
    {kClassSoundMixer, "this.SetSoundMixerChannelCount(3); this.SetSoundMixerChannelList(1); "
                       "this.SetSoundMixerChannelVolume(0.5);"},
    {kClassTimer, "this.AddTimerKey(); this.AddTimerTime(0.5);"},
    {kClassData, "this.AddData(); this.AddDataFloat(Speed, 2.5);"},
    {kClassParticleSystem, "this.SetUseParticleTBL(1); this.SetUseSpawntrail(1); this.SetMaterial(Smoke);"},
    {kClassTrail, "this.SetTrailMaterial(Ribbon); this.SetTrailAxis(2);"},
    {kClassDev2, "this.SetDev2Type(1); this.SetDev2Material(Mote); this.SetDev2SpawnVolume(4, 2, 4); "
                 "this.SetDev2AttractVolumeBox(1);"},
    {kClassDev3, "this.SetDev3Material(Dust); this.SetDev3MaxParticle(30); this.SetDev3SpawnVolumeBox(1);"},
    {kClassMovieFMV, "this.SetMovieFMVName(Intro);"},
    {kClassInfoText, "this.SetInfoText(Press any key);"},
    {kClassListBox, "this.AddListBoxItem(); this.SetListBoxItemText(One); this.AddListBoxItem(); "
                    "this.SetListBoxNextMaterial(Arrow);"},
    {kClassInput, "this.AddInputEvent(Key); this.SetInputEventID(16); this.AddInputAxis(Axis); "
                  "this.SetInputAxisTreePath(parent); this.SetInputAxisCommand(SetPositionY);"},
    {kClassTextInput, "this.SetTextInputText(Name); this.SetTextInputFont(Font);"},
    {kClassSlider, "this.SetSliderPositionSprite(Knob);"},
    {kClassCheckBox, "this.SetCheckBoxCheckedSprite(Mark);"},
    {kClassNodeAnimation, "this.SetNodeAnimationStartNode(parent); this.SetNodeAnimationEndNode(/End);"},
    {kClassTextDialog, "this.SetTextDialogDialog(Talk);"},
    {kClassCollector, "this.SetCollectorTriangle(1); this.SetCollectorTriangleRadius(10); "
                      "this.SetCollectorHotRadius(2);"},
    {kClassWeatherDetail, "this.SetUseAllDetails(1);"},
    {kClassLEEmitter, "this.SetLEPreset(3); this.SetLEUseCustomMaterial(1); this.SetLECustomMaterial(Spark);"},
    {kClassHitEffect, "this.SetHitEffectDecalMaterial(Decal); this.SetHitEffectParticleMaterial(Spark); "
                      "this.SetHitEffectSound(Hit);"},
    {kClassProjectTexture, "this.SetProjectTextureMaterial(Slide); this.SetProjectTextureFov(0.8);"},
    {kClassSimObject, "this.SetSimObjectMesh(Crate); this.SetSimObjectSound(Roll);"},
    {kClassTrigger, "this.SetTriggerEnableGroupEvent(1); this.SetCollisionRepeatTime(0.5);"},
    {kClassLookAt, "this.SetLookAtControl1(this); this.SetLookAtTarget(parent);"},
    {kClassViewTrigger, "this.SetViewTriggerConeAngle(45);"},
    {kClassJointHinge, "this.SetJointHingeAxis(3); this.SetJointHingeLoStop(-1);"},
    {kClassDoor, "this.SetDoorOpenAngle(1.5); this.SetDoorLocked(1);"},
    {kClassSimJoint, "this.SetSimJointSound(Creak); this.SetSimJointHealth(50);"},
    {kClassCursor, "this.SetCursorRayLength(30); this.SetCursorRayCategoryBits(3);"},
    {kClassObjectPool, "this.SetObjectPoolMaxSize(8); this.SetObjectPoolGrowSize(2);"},
    {kClassFootstep, "this.SetFootstepRepeatTime(0.5);"},
    {kClassSaveGame, "this.SetSaveGameName(Slot); this.SetSaveGameNode(/Level); this.SetSaveGameListBox(/Menu);"},
    {kClassFilmGrain, "this.SetFilmGrainMaterial(Grain); this.AddFilmGrainLineMaterial(Scratch); "
                      "this.AddFilmGrainDetailMaterial(Speck); this.SetFilmGrainDetailWidth(8);"},
    {kClassSpawnPoint, "this.AddSpawnPointObject(); this.SetSpawnPointObjectList(0); "
                       "this.SetSpawnPointObjectPath(/Level/Crate); this.SetSpawnPointObjectRandWeight(3); "
                       "this.SetSpawnPointSpawnProbability(50);"},
    {kClassAIPlayer, "this.SetAIPlayerWalkAnimation(Stroll); this.SetAIPlayerDamage(5); this.SetAIPlayerFightGroup(2);"},
    {kClassLightFlare, "this.SetLightFlareMaterial(Glare); this.SetLightFlareConeMaterial(Cone); "
                       "this.SetLightFlareEnableDirection(1);"},
    // A loaded player is free to leave its Space and holds its aim: the seed
    // is too, so it reloads unchanged.
    {kClassPlayerFPS, "this.AddGeometry(); this.SetNotLockedInSpace(1); this.SetPlayerFPSAimModeHold(1); "
                      "this.SetPlayerFPSRunSpeed(4.5); this.SetPlayerFPSCurrentGroupDamage(2); "
                      "this.SetPlayerFPSGroupDamageMul(0.5);"},
    {kClassPlayerRadar, "this.SetPlayerRadarObjectSprite(Mark); this.SetPlayerRadarRange(30);"},
    {kClassHorse, "this.SetHorseMaxSpeed(90); this.SetHorseCanterTreshold(55);"},
    // A loaded player may leave its Space: its seed says so already.
    {kClassPlayerTP, "this.SetPlayerTPIdleAnimation(Stand); this.SetPlayerTPVibrationMode(2); "
                     "this.SetUsePhysics(1); this.SetNotLockedInSpace(1);"},
    {kClassVehicle, "this.SetVehicleInputDevice(256); this.SetVehicleType(1); this.SetWheelList(1); "
                    "this.SetWheelName(Spare);"},
    {kClassWheel, "this.SetWheelMesh(Tyre);"},
};

// Types whose lists no script command fills.
void FillVisionGraph(Object& object) {
  auto& graph = static_cast<VisionGraph&>(object);
  graph.CreatePoint();
  graph.CreatePoint();
  graph.SetSecondPoint(1);
  graph.ConnectPoints();
  const NavMeshData mesh = BuildGridNavMesh(2, 1, 1.0f, 0.0f);
  graph.GetMesh().SetMesh(mesh.vertices, mesh.triangles);
}

struct SeedFiller {
  int classId;
  void (*fill)(Object& object);
};

constexpr SeedFiller kFillers[] = {
    {kClassVisionGraph, &FillVisionGraph},
};

// Each record also carries a physics description with one geometry and an
// event script, so the fuzzer starts from counts and strings beyond the
// type's own.
bool WriteSeed(Engine& engine, int classId) {
  const std::string name = GetClassName(classId);
  Object* object = CreateObject(classId, nullptr, engine, name.c_str());
  if (object == nullptr) return FormatErrorMessage("type %s makes no object", name.c_str());
  for (const SeedSetUp& setUp : kSetUps) {
    if (setUp.classId == classId) RunScriptText(*object, setUp.script, nullptr);
  }
  for (const SeedFiller& filler : kFillers) {
    if (filler.classId == classId) filler.fill(*object);
  }
  RunScriptText(*object, "this.SetUseScript(1); this.AddGeometry(); this.SetGeometryType(1);", nullptr);
  object->GetScripts()->push_back({"OnEngineStarted", "this.Stop();", FindCommandId(object, "OnEngineStarted"), 0});
  const bool written = engine.SaveObjectFile(engine, name + ".sac", false, false);
  DestroyObjectTree(engine.DetachChild(*object));
  return written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: tge_object_seeds DIR\n");
    return 2;
  }
  std::filesystem::create_directories(argv[1]);
  CreateEngineServices();
  CreateEngine();
  Engine& engine = *GetEngine();
  engine.SetDataPath(std::string(argv[1]) + "/");
  bool written = true;
  for (const BuiltType& type : GetBuiltTypes()) written = written && WriteSeed(engine, type.classId);
  if (!written) std::fprintf(stderr, "tge_object_seeds: %s\n", GetErrorMessage());
  ShutdownEngine();
  DestroyEngineServices();
  return written ? 0 : 1;
}
