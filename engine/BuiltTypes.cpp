#include "engine/BuiltTypes.h"

#include "core/ClassIds.h"
#include "core/Data.h"
#include "core/File.h"
#include "core/InterfaceTypeRegistration.h"
#include "core/Timer.h"
#include "core/World.h"
#include "objects/gameplay/Space.h"
#include "objects/scene/Camera.h"
#include "objects/scene/Environment.h"
#include "objects/scene/Light.h"
#include "objects/scene/Mesh.h"

namespace tge {
namespace {

constexpr BuiltType kBuiltTypes[] = {
    {kClassMesh, &RegisterMeshCommands},
    {kClassLight, &RegisterLightCommands},
    {kClassSound, &RegisterSoundCommands},
    {kClassCamera, &RegisterCameraCommands},
    {kClassSpace, &RegisterSpaceCommands},
    {kClassFile, &RegisterFileCommands},
    {kClassSoundMixer, &RegisterSoundMixerCommands},
    {kClassTimer, &RegisterTimerCommands},
    {kClassData, &RegisterDataCommands},
    {kClassInput, &RegisterInputCommands},
    {kClassWorld, &RegisterWorldCommands},
    {kClassEnvironment, &RegisterEnvironmentCommands},
};

}  // namespace

std::span<const BuiltType> GetBuiltTypes() { return kBuiltTypes; }

void RegisterBuiltTypes() {
  for (const BuiltType& type : kBuiltTypes) type.registerCommands();
}

}  // namespace tge
