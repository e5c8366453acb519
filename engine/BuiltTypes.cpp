#include "engine/BuiltTypes.h"

#include "core/ClassIds.h"
#include "core/File.h"
#include "core/World.h"
#include "core/commands/InterfaceTypeRegistration.h"
#include "core/script/Data.h"
#include "core/script/Timer.h"
#include "objects/gameplay/characters/AIPlayer.h"
#include "objects/gameplay/characters/AIPlayerFPS.h"
#include "objects/gameplay/characters/Footstep.h"
#include "objects/gameplay/characters/Horse.h"
#include "objects/gameplay/characters/Inventory.h"
#include "objects/gameplay/characters/PlayerFPS.h"
#include "objects/gameplay/characters/PlayerRadar.h"
#include "objects/gameplay/characters/PlayerTP.h"
#include "objects/gameplay/characters/SpawnPoint.h"
#include "objects/gameplay/navigation/VisionGraph.h"
#include "objects/gameplay/props/Door.h"
#include "objects/gameplay/props/JointBall.h"
#include "objects/gameplay/props/JointHinge.h"
#include "objects/gameplay/props/JointHinge2.h"
#include "objects/gameplay/props/JointSlider.h"
#include "objects/gameplay/props/JointUniversal.h"
#include "objects/gameplay/props/LookAt.h"
#include "objects/gameplay/props/PhysicsMagnet.h"
#include "objects/gameplay/props/SimJoint.h"
#include "objects/gameplay/props/SimObject.h"
#include "objects/gameplay/props/Trigger.h"
#include "objects/gameplay/props/ViewTrigger.h"
#include "objects/gameplay/vehicles/Vehicle.h"
#include "objects/gameplay/vehicles/Wheel.h"
#include "objects/gameplay/weapons/Ammunition.h"
#include "objects/gameplay/weapons/AmmunitionPool.h"
#include "objects/gameplay/weapons/Weapon.h"
#include "objects/gameplay/world/ObjectPool.h"
#include "objects/gameplay/world/SaveGame.h"
#include "objects/gameplay/world/Space.h"
#include "objects/gameplay/world/TerrainSector.h"
#include "objects/scene/Camera.h"
#include "objects/scene/Environment.h"
#include "objects/scene/FilmGrain.h"
#include "objects/scene/Light.h"
#include "objects/scene/LightFlare.h"
#include "objects/scene/Mesh.h"
#include "objects/scene/ScreenAnchor.h"
#include "objects/scene/Sky.h"
#include "objects/scene/Terrain.h"
#include "objects/scene/animation/Animation.h"
#include "objects/scene/animation/Bone.h"
#include "objects/scene/animation/MorphMesh.h"
#include "objects/scene/animation/MotionLayers.h"
#include "objects/scene/animation/NodeAnimation.h"
#include "objects/scene/animation/SkinMesh.h"
#include "objects/scene/animation/Spline.h"
#include "objects/scene/animation/SplineObject.h"
#include "objects/scene/effects/Collector.h"
#include "objects/scene/effects/Dev2.h"
#include "objects/scene/effects/Dev3.h"
#include "objects/scene/effects/HitEffect.h"
#include "objects/scene/effects/LEEmitter.h"
#include "objects/scene/effects/ParticleSystem.h"
#include "objects/scene/effects/ProjectTexture.h"
#include "objects/scene/effects/Trail.h"
#include "objects/scene/effects/WeatherDetail.h"
#include "objects/ui/InfoText.h"
#include "objects/ui/MovieFMV.h"
#include "objects/ui/widgets/Button.h"
#include "objects/ui/widgets/Sprite.h"
#include "objects/ui/widgets/Text.h"
#include "objects/ui/widgets/Window.h"

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
