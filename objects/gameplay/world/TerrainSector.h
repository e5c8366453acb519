// TerrainSector (class 62): a Space that carries a terrain name and a sector
// value and queues a terrain draw of its own when drawn. It keeps the Space
// data, construction and destruction but none of the Space behaviour: its
// commands, file record, draw and contacts are its own.
#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "objects/gameplay/world/Space.h"

namespace tge {

class TerrainSector : public Space {
 public:
  static std::span<const CommandEntry<TerrainSector>> Commands();
  static const CommandEntry<TerrainSector> kCommands[];

  TerrainSector();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  bool Serialize(SerializeStream& stream) override;
  void Update() override {}
  void Draw() override;
  void Precalculate() override { Object::Precalculate(); }
  int HandleContact(GeometryRecord*, GeometryRecord*, ContactParameters*, int) override;

  const std::string& GetTerrainName() const { return terrainName_; }

 private:
  int SetTerrainCommand(CommandArgs args);
  int GetTerrainCommand(CommandArgs args);

  std::string terrainName_;
  // Nothing gives a sector its terrain resource: its draw queues nothing.
  ResourceRef terrain_;
  std::int32_t sectorValue_ = -1;
  std::uint32_t reserved_ = 0;
};

void RegisterTerrainSectorCommands();

}  // namespace tge
