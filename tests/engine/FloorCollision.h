// A flat floor at y = 0 as a collision resource of two triangles (collide
// bits 1), written into a data folder and registered as "Floor".
#pragma once
#include <memory>

#include "services/EngineServices.h"
#include "services/resources/ResourceType.h"
#include "tests/services/TestBytes.h"

namespace tge::test {

inline void AddFloorCollision(TempDataFolder& data, float minX, float maxX, float minZ, float maxZ) {
  Bytes bytes;
  bytes.U32(2).U32(1).U32(0).U32(0).U32(4).U32(6).U32(1).U32(0);
  for (float x : {minX, maxX}) {
    for (float z : {minZ, maxZ}) bytes.F32(x).F32(0).F32(z);
  }
  for (std::uint32_t index : {0u, 1u, 2u, 2u, 1u, 3u}) bytes.U32(index);
  data.Write("Data/floor.col", bytes.data);
  ResourceDatabase& resources = GetEngineServices()->GetResources();
  std::unique_ptr<Resource> floor = resources.CreateResource(kCollisionGeometryResource);
  floor->SetName("Floor");
  floor->SetFileName("floor.col");
  resources.RegisterResource(std::move(floor));
}

}  // namespace tge::test
