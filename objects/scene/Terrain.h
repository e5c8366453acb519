// Terrain (class 61): puts a terrain resource into the frame. Each draw sets
// the terrain's fog (replacing an Environment's drawn before it) and queues
// one terrain draw, which the tiles' level-of-detail renderers carry out in
// the frame render. The resource is acquired by name at the first draw and
// kept: renaming later changes only the stored name.
#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/math/Color.h"
#include "services/resources/ResourceRef.h"

namespace tge {

class Terrain : public Object {
 public:
  static std::span<const CommandEntry<Terrain>> Commands();
  static const CommandEntry<Terrain> kCommands[];

  Terrain();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  bool Serialize(SerializeStream& stream) override;
  void Update() override {}
  void Draw() override;
  // Terrain geometries take part in no contact.
  int HandleContact(GeometryRecord*, GeometryRecord*, ContactParameters*, int) override;

  Resource* GetTerrain() const { return terrain_.Get(); }

 private:
  int SetTerrainCommand(CommandArgs args);
  int GetTerrainCommand(CommandArgs args);

  std::string terrainName_;
  ResourceRef terrain_;
  Color fogColour_{0.4f, 0.4f, 0.4f, 0.4f};
  float fogNear_ = 10.0f;
  float fogFar_ = 600.0f;
  std::uint32_t reserved_ = 0;
};

void RegisterTerrainCommands();

}  // namespace tge
