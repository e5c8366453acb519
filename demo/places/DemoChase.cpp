#include "demo/places/DemoChase.h"

#include <string>

#include "core/ClassIds.h"
#include "core/Object.h"
#include "demo/assets/DemoFigure.h"
#include "objects/gameplay/navigation/VisionGraph.h"
#include "tools/NavMeshBuilder.h"

namespace tge {
namespace {

// The chase lies behind the walk's start (z -9), out of the stage camera's
// view: the wall crosses it at z -14.5 between the spawn point and the
// player.
constexpr float kWallZ = -14.5f;
constexpr float kWallHalfWidth = 3.0f;
constexpr const char* kSpawnAt = "this.SetPosition(0, 0.5, -18.5);";
// The graph covers the ground slab (x and z from -20 to 20) in cells of one
// unit; the wall's row of cells is left out.
constexpr int kGraphCells = 40;
constexpr float kGraphCorner = -20.0f;
// The ground collides with bit 0, which the characters and the wall carry.
constexpr const char* kWallSetUp =
    "this.SetUsePhysics(1); this.AddGeometry(); this.SetGeometryType(1); this.SetGeometryDimension(6, 2, 0.4); "
    "this.SetGeometryCollisionBits(1); this.SetGeometryCategoryBits(1);";
constexpr const char* kBodySetUp =
    "this.SetWSOrientation(1); this.SetUsePhysics(1); this.SetEnableRigidBody(1); this.AddGeometry(); "
    "this.SetGeometryType(0); this.SetGeometryDimension(0.5, 0, 0); this.SetGeometryMassByDensity(1); "
    "this.SetGeometryCallback(1); this.SetGeometryCollisionBits(1); this.SetGeometryCategoryBits(1);";

bool IsWallCell(int x, int z) {
  const float left = kGraphCorner + static_cast<float>(x);
  const float near = kGraphCorner + static_cast<float>(z);
  return left >= -kWallHalfWidth && left < kWallHalfWidth && near <= kWallZ && near + 1 > kWallZ;
}

void AddWallAndGraph(Object& stage) {
  Object& wall = AddPlaced(stage, kClassObject, "ChaseWall",
                           "this.SetPosition(0, 1, " + std::to_string(kWallZ) + "); " + kWallSetUp);
  AddPlaced(wall, kClassMesh, "Look", "this.SetScale(3.75, 1.25, 0.25); this.AddMesh(Crate);");
  // The graph stands at the stage's origin, its mesh from the corner on.
  auto& graph = static_cast<VisionGraph&>(AddPlaced(stage, kClassVisionGraph, "ChaseFloor", ""));
  NavMeshData mesh = BuildGridNavMesh(kGraphCells, kGraphCells, 1.0f, 0.0f, IsWallCell);
  for (Vector3& vertex : mesh.vertices) {
    vertex.x += kGraphCorner;
    vertex.z += kGraphCorner;
  }
  graph.GetMesh().SetMesh(mesh.vertices, mesh.triangles);
}

// The template stays inactive in the walk; the spawn point's clone is the
// runner. Its figure stands on the ball's bottom.
void AddSpawn(Object& walk, const std::string& worldName) {
  Object& chaser = AddPlaced(walk, kClassAIPlayer, "Chaser",
                             std::string(kBodySetUp) + " this.SetAIPlayerDamage(0); this.SetAIPlayerWalkAnimation(" +
                                 kFigureStride + "); this.SetAIPlayerRunAnimation(" + kFigureSprint + ");");
  chaser.SetActive(false);
  Object& feet = AddPlaced(chaser, kClassObject, "Feet", "this.SetPosition(0, -0.5, 0);");
  AddFigureSkin(feet, {"Idle", kFigureStride, kFigureSprint});
  AddScript(chaser, "OnSpawn",
            "this.AIPlayerBeginTaskRunTo(/" + worldName + "/Stage/Mission/Walk/Walker); this.AIPlayerInsertTaskLast();");
  Object& point = AddPlaced(walk, kClassSpawnPoint, "ChaseSpawn", kSpawnAt);
  RunScript(point, "this.AddSpawnPointObject(); this.SetSpawnPointObjectList(0); "
                   "this.SetSpawnPointObjectPath(parent/Chaser);");
  AddScript(point, "OnPrecalculate", "this.SpawnObject();");
}

void BuildChase(Object& world, const std::string& worldName) {
  Object* stage = world.FindChildByName("Stage");
  Object* walk = stage != nullptr ? stage->FindChildByName("Walk") : nullptr;
  if (walk == nullptr) return;
  AddWallAndGraph(*stage);
  AddSpawn(*walk, worldName);
}

}  // namespace

void AddDemoChase(SceneDescription& scene, const std::string& worldName) {
  scene.buildObjects = [build = scene.buildObjects, worldName](Object& root) {
    build(root);
    if (Object* world = root.FindChildByName(worldName, kClassWorld)) BuildChase(*world, worldName);
  };
}

}  // namespace tge
