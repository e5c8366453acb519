#include "objects/scene/Terrain.h"

#include <type_traits>

#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"
#include "services/EngineServices.h"
#include "services/resources/ResourceType.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr auto C = CommandKind::kCommand;
// What a contact handler returns to make no joints.
constexpr int kNoContactJoints = 1;
constexpr std::int32_t kNoSector = -1;

}  // namespace

// clang-format off
constexpr CommandEntry<Terrain> Terrain::kCommands[] = {
    {15250, "SetTerrainTerrain", C, 0, {kValueString}, Member<&Terrain::SetTerrainCommand>},
    {15251, "GetTerrainTerrain", C, 0, {kValueString}, Member<&Terrain::GetTerrainCommand>},
    {15252, "TerrainFogColor", P, 0, {kValueColor}, FieldSetter<&Terrain::fogColour_>, FieldGetter<&Terrain::fogColour_>},
    {15254, "TerrainFogNear", P, 0, {kValueFloat}, FieldSetter<&Terrain::fogNear_>, FieldGetter<&Terrain::fogNear_>},
    {15256, "TerrainFogFar", P, 0, {kValueFloat}, FieldSetter<&Terrain::fogFar_>, FieldGetter<&Terrain::fogFar_>},
};

std::span<const CommandEntry<Terrain>> Terrain::Commands() { return kCommands; }
// clang-format on

Terrain::Terrain() : Object(kClassTerrain) {}

int Terrain::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<Terrain> handlers(kClassTerrain, {kCommands}, BlockRule::kEvery);
  handlers.Run(*this, id, args);
  return Object::ExecuteCommand(id, args);
}

int Terrain::SetTerrainCommand(CommandArgs args) {
  terrainName_ = args.AsString();
  return 1;
}

int Terrain::GetTerrainCommand(CommandArgs args) {
  args.AsString() = terrainName_;
  return 1;
}

int Terrain::HandleContact(GeometryRecord*, GeometryRecord*, ContactParameters*, int) { return kNoContactJoints; }

void Terrain::Draw() {
  if (!GetActive()) return;
  if (!terrain_ && !terrainName_.empty()) terrain_ = AcquireServiceResource(terrainName_, kTerrainResource);
  if (EngineServices* services = GetEngineServices()) {
    services->GetView().EnableFog(true);
    services->GetView().SetFog(fogNear_, fogFar_, fogColour_, 0);
    services->GetRenderQueue().QueueTerrain(terrain_.Get(), static_cast<std::uint32_t>(kNoSector));
  }
  Object::Draw();
}

bool Terrain::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  if (stream.GetVersion() >= 1) {
    stream.Serialize(reserved_);
    stream.SerializeString(terrainName_);
    stream.Serialize(fogColour_);
    stream.Serialize(fogNear_);
    stream.Serialize(fogFar_);
  }
  return !stream.Failed();
}

void RegisterTerrainCommands() {
  RegisterCommandTable<Terrain>(BuildCommandRegistry(), kClassTerrain, Terrain::Commands());
  GetObjectFactory().RegisterType<Terrain>(kClassTerrain);
}

}  // namespace tge
