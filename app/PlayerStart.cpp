#include "app/PlayerStart.h"

#include "app/StartupConfig.h"
#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/World.h"
#include "core/script/ScriptInterpreter.h"
#include "engine/Engine.h"
#include "objects/gameplay/world/Space.h"

namespace tge {
namespace {

constexpr std::uint32_t kCommandStartWorld = 14272;

World& LoadLevel(Engine& engine, const StartupConfig& config) {
  auto& world = static_cast<World&>(*CreateObject(kClassWorld, nullptr, engine, "World"));
  RunScriptText(world, "this.SetWorldEnablePhysics(1);", nullptr);
  world.Precalculate();
  world.FileLoadObjects(config.globalScene);
  world.ExecuteCommand(kCommandStartWorld, nullptr);
  return world;
}

void PlacePlayer(Object& player, Object& space, const Vector3& start) {
  player.SetWSOrientation(true);
  player.SetPosition(start, true);
  player.ExecuteCommand(kCommandCreatePhysics, nullptr);
  player.ExecuteCommand(kCommandStartPhysics, nullptr);
  player.InvalidateTransform();
  player.FireEvent(kEventOnSpawn, &space);
}

}  // namespace

// Only whether the player path names an object counts: it asks for a copy
// of "Player" rather than "Player" itself.
bool StartPlayer(Engine& engine, const StartupConfig& config) {
  auto& file = static_cast<File&>(*CreateObject(kClassFile, nullptr, engine, "File"));
  file.FileLoadObjects(config.playerScene);
  const bool copyPlayer = ResolveScriptPath(file, config.playerPath, nullptr) != nullptr;
  World& world = LoadLevel(engine, config);
  Object* player = world.FindChildByName("Player");
  Space* space = world.FindSpaceAt(nullptr, config.playerStart);
  if (space == nullptr) return false;
  if (player != nullptr && copyPlayer) player = engine.GetServices().CloneObject(*player, *space, true, true, false);
  if (player != nullptr) PlacePlayer(*player, *space, config.playerStart);
  engine.ExecuteCommand(kCommandStartGame, nullptr);
  return true;
}

}  // namespace tge
