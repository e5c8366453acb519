#include "engine/BuiltTypes.h"

#include "core/ClassIds.h"
#include "core/Data.h"
#include "core/File.h"
#include "core/InterfaceTypeRegistration.h"
#include "core/Timer.h"
#include "core/World.h"
#include "objects/gameplay/Space.h"
#include "objects/gameplay/TerrainSector.h"
#include "objects/scene/Animation.h"
#include "objects/scene/Bone.h"
#include "objects/scene/Camera.h"
#include "objects/scene/Dev2.h"
#include "objects/scene/Dev3.h"
#include "objects/scene/Environment.h"
#include "objects/scene/FilmGrain.h"
#include "objects/scene/Light.h"
#include "objects/scene/LightFlare.h"
#include "objects/scene/Mesh.h"
#include "objects/scene/MorphMesh.h"
#include "objects/scene/MotionLayers.h"
#include "objects/scene/NodeAnimation.h"
#include "objects/scene/ParticleSystem.h"
#include "objects/scene/ScreenAnchor.h"
#include "objects/scene/SkinMesh.h"
#include "objects/scene/Sky.h"
#include "objects/scene/Spline.h"
#include "objects/scene/SplineObject.h"
#include "objects/scene/Terrain.h"
#include "objects/scene/Trail.h"
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
    {kClassBone, &RegisterBoneCommands},
    {kClassSpace, &RegisterSpaceCommands},
    {kClassFile, &RegisterFileCommands},
    {kClassSkinMesh, &RegisterSkinMeshCommands},
    {kClassFilmGrain, &RegisterFilmGrainCommands},
    {kClassParticleSystem, &RegisterParticleSystemCommands},
    {kClassMotionLayers, &RegisterMotionLayersCommands},
    {kClassAnimation, &RegisterAnimationCommands},
    {kClassWindow, &RegisterWindowCommands},
    {kClassSprite, &RegisterSpriteCommands},
    {kClassText, &RegisterTextCommands},
    {kClassButton, &RegisterButtonCommands},
    {kClassLightFlare, &RegisterLightFlareCommands},
    {kClassSpline, &RegisterSplineCommands},
    {kClassDev2, &RegisterDev2Commands},
    {kClassSoundMixer, &RegisterSoundMixerCommands},
    {kClassTimer, &RegisterTimerCommands},
    {kClassListBox, &RegisterListBoxCommands},
    {kClassData, &RegisterDataCommands},
    {kClassVirtualKeyboard, &RegisterVirtualKeyboardType},
    {kClassInput, &RegisterInputCommands},
    {kClassDev3, &RegisterDev3Commands},
    {kClassSky, &RegisterSkyCommands},
    {kClassWorld, &RegisterWorldCommands},
    {kClassMovieFMV, &RegisterMovieFMVCommands},
    {kClassTerrain, &RegisterTerrainCommands},
    {kClassTerrainSector, &RegisterTerrainSectorCommands},
    {kClassInfoText, &RegisterInfoTextCommands},
    {kClassTextInput, &RegisterTextInputCommands},
    {kClassSlider, &RegisterSliderCommands},
    {kClassCheckBox, &RegisterCheckBoxCommands},
    {kClassTrail, &RegisterTrailCommands},
    {kClassNodeAnimation, &RegisterNodeAnimationCommands},
    {kClassMorphMesh, &RegisterMorphMeshCommands},
    {kClassEnvironment, &RegisterEnvironmentCommands},
    {kClassTextDialog, &RegisterTextDialogCommands},
    {kClassScreenAnchor, &RegisterScreenAnchor},
    {kClassTextDialogWindow, &RegisterTextDialogWindowCommands},
    {kClassSplineObject, &RegisterSplineObjectCommands},
};

}  // namespace

std::span<const BuiltType> GetBuiltTypes() { return kBuiltTypes; }

void RegisterBuiltTypes() {
  for (const BuiltType& type : kBuiltTypes) type.registerCommands();
}

}  // namespace tge
