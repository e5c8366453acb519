#include "engine/BuiltTypes.h"

#include "core/ClassIds.h"
#include "core/Data.h"
#include "core/File.h"
#include "core/InterfaceTypeRegistration.h"
#include "core/Timer.h"
#include "core/World.h"
#include "objects/gameplay/AIPlayer.h"
#include "objects/gameplay/AIPlayerFPS.h"
#include "objects/gameplay/Ammunition.h"
#include "objects/gameplay/AmmunitionPool.h"
#include "objects/gameplay/Door.h"
#include "objects/gameplay/Footstep.h"
#include "objects/gameplay/Horse.h"
#include "objects/gameplay/Inventory.h"
#include "objects/gameplay/JointBall.h"
#include "objects/gameplay/JointHinge.h"
#include "objects/gameplay/JointHinge2.h"
#include "objects/gameplay/JointSlider.h"
#include "objects/gameplay/JointUniversal.h"
#include "objects/gameplay/LookAt.h"
#include "objects/gameplay/ObjectPool.h"
#include "objects/gameplay/PhysicsMagnet.h"
#include "objects/gameplay/PlayerFPS.h"
#include "objects/gameplay/PlayerRadar.h"
#include "objects/gameplay/PlayerTP.h"
#include "objects/gameplay/SaveGame.h"
#include "objects/gameplay/SimJoint.h"
#include "objects/gameplay/SimObject.h"
#include "objects/gameplay/SpawnPoint.h"
#include "objects/gameplay/Space.h"
#include "objects/gameplay/TerrainSector.h"
#include "objects/gameplay/Trigger.h"
#include "objects/gameplay/Vehicle.h"
#include "objects/gameplay/ViewTrigger.h"
#include "objects/gameplay/VisionGraph.h"
#include "objects/gameplay/Weapon.h"
#include "objects/gameplay/Wheel.h"
#include "objects/scene/Animation.h"
#include "objects/scene/Bone.h"
#include "objects/scene/Camera.h"
#include "objects/scene/Collector.h"
#include "objects/scene/Dev2.h"
#include "objects/scene/Dev3.h"
#include "objects/scene/Environment.h"
#include "objects/scene/FilmGrain.h"
#include "objects/scene/HitEffect.h"
#include "objects/scene/LEEmitter.h"
#include "objects/scene/Light.h"
#include "objects/scene/LightFlare.h"
#include "objects/scene/Mesh.h"
#include "objects/scene/MorphMesh.h"
#include "objects/scene/MotionLayers.h"
#include "objects/scene/NodeAnimation.h"
#include "objects/scene/ParticleSystem.h"
#include "objects/scene/ProjectTexture.h"
#include "objects/scene/ScreenAnchor.h"
#include "objects/scene/SkinMesh.h"
#include "objects/scene/Sky.h"
#include "objects/scene/Spline.h"
#include "objects/scene/SplineObject.h"
#include "objects/scene/Terrain.h"
#include "objects/scene/Trail.h"
#include "objects/scene/WeatherDetail.h"
#include "objects/ui/Button.h"
#include "objects/ui/InfoText.h"
#include "objects/ui/MovieFMV.h"
#include "objects/ui/Sprite.h"
#include "objects/ui/Text.h"
#include "objects/ui/Window.h"

namespace tge {
namespace {

constexpr BuiltType kBuiltTypes[] = {
    {kClassMesh, &RegisterMeshCommands},
    {kClassLight, &RegisterLightCommands},
    {kClassSound, &RegisterSoundCommands},
    {kClassCamera, &RegisterCameraCommands},
    {kClassPhysicsMagnet, &RegisterPhysicsMagnetCommands},
    {kClassBone, &RegisterBoneCommands},
    {kClassSpace, &RegisterSpaceCommands},
    {kClassFile, &RegisterFileCommands},
    {kClassSkinMesh, &RegisterSkinMeshCommands},
    {kClassFilmGrain, &RegisterFilmGrainCommands},
    {kClassVehicle, &RegisterVehicleCommands},
    {kClassParticleSystem, &RegisterParticleSystemCommands},
    {kClassMotionLayers, &RegisterMotionLayersCommands},
    {kClassSpawnPoint, &RegisterSpawnPointCommands},
    {kClassTrigger, &RegisterTriggerCommands},
    {kClassJointBall, &RegisterJointBallCommands},
    {kClassJointHinge2, &RegisterJointHinge2Commands},
    {kClassJointUniversal, &RegisterJointUniversalCommands},
    {kClassJointHinge, &RegisterJointHingeCommands},
    {kClassJointSlider, &RegisterJointSliderCommands},
    {kClassAnimation, &RegisterAnimationCommands},
    {kClassWeapon, &RegisterWeaponCommands},
    {kClassAmmunition, &RegisterAmmunitionCommands},
    {kClassWindow, &RegisterWindowCommands},
    {kClassSprite, &RegisterSpriteCommands},
    {kClassText, &RegisterTextCommands},
    {kClassViewTrigger, &RegisterViewTriggerCommands},
    {kClassButton, &RegisterButtonCommands},
    {kClassCollector, &RegisterCollectorCommands},
    {kClassWeatherDetail, &RegisterWeatherDetailCommands},
    {kClassObjectPool, &RegisterObjectPoolCommands},
    {kClassLightFlare, &RegisterLightFlareCommands},
    {kClassSpline, &RegisterSplineCommands},
    {kClassWheel, &RegisterWheelCommands},
    {kClassDev2, &RegisterDev2Commands},
    {kClassDoor, &RegisterDoorCommands},
    {kClassSoundMixer, &RegisterSoundMixerCommands},
    {kClassFootstep, &RegisterFootstepCommands},
    {kClassTimer, &RegisterTimerCommands},
    {kClassPlayerFPS, &RegisterPlayerFPSCommands},
    {kClassAIPlayerFPS, &RegisterAIPlayerFPSCommands},
    {kClassInventory, &RegisterInventoryCommands},
    {kClassSimJoint, &RegisterSimJointCommands},
    {kClassListBox, &RegisterListBoxCommands},
    {kClassData, &RegisterDataCommands},
    {kClassVisionGraph, &RegisterVisionGraphCommands},
    {kClassPlayerTP, &RegisterPlayerTPCommands},
    {kClassVirtualKeyboard, &RegisterVirtualKeyboardType},
    {kClassSimObject, &RegisterSimObjectCommands},
    {kClassInput, &RegisterInputCommands},
    {kClassDev3, &RegisterDev3Commands},
    {kClassSky, &RegisterSkyCommands},
    {kClassAmmunitionPool, &RegisterAmmunitionPoolCommands},
    {kClassWorld, &RegisterWorldCommands},
    {kClassMovieFMV, &RegisterMovieFMVCommands},
    {kClassLookAt, &RegisterLookAtCommands},
    {kClassAIPlayer, &RegisterAIPlayerCommands},
    {kClassTerrain, &RegisterTerrainCommands},
    {kClassTerrainSector, &RegisterTerrainSectorCommands},
    {kClassLEEmitter, &RegisterLEEmitterCommands},
    {kClassInfoText, &RegisterInfoTextCommands},
    {kClassTextInput, &RegisterTextInputCommands},
    {kClassSlider, &RegisterSliderCommands},
    {kClassCheckBox, &RegisterCheckBoxCommands},
    {kClassHitEffect, &RegisterHitEffectCommands},
    {kClassTrail, &RegisterTrailCommands},
    {kClassNodeAnimation, &RegisterNodeAnimationCommands},
    {kClassMorphMesh, &RegisterMorphMeshCommands},
    {kClassSaveGame, &RegisterSaveGameCommands},
    {kClassHorse, &RegisterHorseCommands},
    {kClassEnvironment, &RegisterEnvironmentCommands},
    {kClassCursor, &RegisterCursorCommands},
    {kClassPlayerRadar, &RegisterPlayerRadarCommands},
    {kClassTextDialog, &RegisterTextDialogCommands},
    {kClassScreenAnchor, &RegisterScreenAnchor},
    {kClassTextDialogWindow, &RegisterTextDialogWindowCommands},
    {kClassProjectTexture, &RegisterProjectTextureCommands},
    {kClassSplineObject, &RegisterSplineObjectCommands},
};

}  // namespace

std::span<const BuiltType> GetBuiltTypes() { return kBuiltTypes; }

void RegisterBuiltTypes() {
  for (const BuiltType& type : kBuiltTypes) type.registerCommands();
}

}  // namespace tge
