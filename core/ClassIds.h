// The class ids of the object types. A class id selects the type the
// factory makes, the type's block of command ids (class id * 250 to + 249)
// and is written into object files, so the numbers are fixed.
#pragma once
#include <cstdint>
#include <string_view>

namespace tge {

enum ClassId : std::int32_t {
  kClassObject = 0,
  kClassEngine = 1,
  kClassMesh = 2,
  kClassLight = 3,
  kClassSound = 4,
  kClassCamera = 5,
  kClassPhysicsMagnet = 6,
  kClassBone = 7,
  kClassSpace = 8,
  kClassFile = 9,
  kClassSkinMesh = 10,
  kClassFilmGrain = 11,
  kClassVehicle = 12,
  kClassParticleSystem = 13,
  kClassMotionLayers = 14,
  kClassSpawnPoint = 15,
  kClassTrigger = 16,
  kClassJointBall = 17,
  kClassJointHinge2 = 18,
  kClassJointUniversal = 19,
  kClassJointHinge = 20,
  kClassJointSlider = 21,
  kClassAnimation = 22,
  kClassWeapon = 23,
  kClassAmmunition = 24,
  kClassViewTrigger = 25,
  kClassWindow = 26,
  kClassSprite = 27,
  kClassText = 28,
  kClassButton = 29,
  kClassCollector = 30,
  kClassWeatherDetail = 31,
  kClassObjectPool = 32,
  kClassLightFlare = 33,
  kClassSpline = 34,
  kClassWheel = 35,
  kClassDev2 = 36,
  kClassDoor = 37,
  kClassSoundMixer = 38,
  kClassFootstep = 39,
  kClassTimer = 40,
  kClassPlayerFPS = 41,
  kClassAIPlayerFPS = 43,
  kClassInventory = 44,
  kClassSimJoint = 45,
  kClassListBox = 47,
  kClassData = 48,
  kClassVisionGraph = 49,
  kClassPlayerTP = 50,
  kClassVirtualKeyboard = 51,
  kClassSimObject = 52,
  kClassInput = 53,
  kClassDev3 = 54,
  kClassSky = 55,
  kClassAmmunitionPool = 56,
  kClassWorld = 57,
  kClassMovieFMV = 58,
  kClassLookAt = 59,
  kClassAIPlayer = 60,
  kClassTerrain = 61,
  kClassTerrainSector = 62,
  kClassLEEmitter = 63,
  kClassInfoText = 64,
  kClassTextInput = 66,
  kClassSlider = 72,
  kClassCheckBox = 73,
  kClassHitEffect = 74,
  kClassTrail = 75,
  kClassNodeAnimation = 76,
  kClassMorphMesh = 77,
  kClassSaveGame = 78,
  kClassHorse = 79,
  kClassEnvironment = 80,
  kClassCursor = 81,
  kClassPlayerRadar = 82,
  kClassTextDialog = 83,
  kClassScreenAnchor = 84,
  kClassTextDialogWindow = 85,
  kClassProjectTexture = 86,
  kClassSplineObject = 88,
};

inline constexpr int kClassIdCount = 89;

// The type's name for a class id, or null for an id no type has.
const char* GetClassName(int classId);

// The class id of a script class name ("FX_CLSID_SA_MESH"), compared whole
// and exactly; -1 for any other name.
int FindScriptClassId(std::string_view name);

}  // namespace tge
