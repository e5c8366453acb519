#include "objects/gameplay/world/TerrainSector.h"

#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"
#include "objects/gameplay/physics/PhysicsContact.h"
#include "services/EngineServices.h"

namespace tge {
namespace {

constexpr auto C = CommandKind::kCommand;

}  // namespace

// clang-format off
constexpr CommandEntry<TerrainSector> TerrainSector::kCommands[] = {
    {15500, "SetTerrainSectorTerrain", C, 0, {kValueString}, Member<&TerrainSector::SetTerrainCommand>},
    {15501, "GetTerrainSectorTerrain", C, 0, {kValueString}, Member<&TerrainSector::GetTerrainCommand>},
};

std::span<const CommandEntry<TerrainSector>> TerrainSector::Commands() { return kCommands; }
// clang-format on

TerrainSector::TerrainSector() : Space(kClassTerrainSector) {}

int TerrainSector::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<TerrainSector> handlers(kClassTerrainSector, {kCommands}, BlockRule::kEvery);
  handlers.Run(*this, id, args);
  // The Space commands do not reach a sector.
  return Object::ExecuteCommand(id, args);
}

int TerrainSector::SetTerrainCommand(CommandArgs args) {
  terrainName_ = args.AsString();
  return 1;
}

int TerrainSector::GetTerrainCommand(CommandArgs args) {
  args.AsString() = terrainName_;
  return 1;
}

int TerrainSector::HandleContact(GeometryRecord*, GeometryRecord*, ContactParameters*, int) { return kContactDrop; }

void TerrainSector::Draw() {
  if (!GetActive()) return;
  if (EngineServices* services = GetEngineServices()) {
    services->GetRenderQueue().QueueTerrain(terrain_.Get(), static_cast<std::uint32_t>(sectorValue_));
  }
  Object::Draw();
}

// The Space part is not stored.
bool TerrainSector::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  if (stream.GetVersion() >= 1) {
    stream.Serialize(reserved_);
    stream.Serialize(sectorValue_);
    stream.SerializeString(terrainName_);
  }
  return !stream.Failed();
}

void RegisterTerrainSectorCommands() {
  RegisterCommandTable<TerrainSector>(BuildCommandRegistry(), kClassTerrainSector, TerrainSector::Commands());
  GetObjectFactory().RegisterType<TerrainSector>(kClassTerrainSector);
}

}  // namespace tge
