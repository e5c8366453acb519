#include "demo/assets/DemoMotion.h"

#include <cstdint>
#include <string>

#include "core/ClassIds.h"
#include "core/Object.h"
#include "core/ObjectFactory.h"
#include "objects/scene/animation/SplineObject.h"
#include "services/render/MaterialType.h"
#include "services/resources/MaterialResource.h"
#include "tools/SceneWriter.h"

namespace tge {
namespace {

// The loop: a circle round a point just behind the turning crate, wide
// enough to pass outside the rows of crates, as four Bezier quarters
// (control points this share of the radius along the tangent).
constexpr float kLoopRadius = 5.5f;
constexpr float kLoopCentreZ = 2.0f;
constexpr float kQuarterControl = 0.5523f;
constexpr float kRideSpeed = 2.5f;
constexpr float kMarkerHeight = 1.4f;
constexpr const char* kMarkerMaterial = "MarkerPin";

std::string Vector(float x, float y, float z) {
  return std::to_string(x) + ", " + std::to_string(y) + ", " + std::to_string(z);
}

// Five points round the circle (the last on the first), each with control
// points along the anticlockwise tangent.
void AddLoopPoints(Object& spline) {
  const float c = kQuarterControl * kLoopRadius;
  const struct {
    float x, z, tx, tz;
  } points[] = {{1, 0, 0, 1}, {0, 1, -1, 0}, {-1, 0, 0, -1}, {0, -1, 1, 0}, {1, 0, 0, 1}};
  for (int i = 0; i < 5; ++i) {
    const auto& p = points[i];
    const float x = p.x * kLoopRadius, z = p.z * kLoopRadius;
    RunScript(spline, "this.AddSplinePoint(); this.SetSplinePointList(" + std::to_string(i) + "); this.SetSplinePoint(" +
                          Vector(x, 0, z) + "); this.SetSplineInVector(" + Vector(x - p.tx * c, 0, z - p.tz * c) +
                          "); this.SetSplineOutVector(" + Vector(x + p.tx * c, 0, z + p.tz * c) + ");");
  }
}

void AddRider(Object& stage, const std::string& crateMesh) {
  Object& loop = AddPlaced(stage, kClassSpline, "Loop", "this.SetPosition(" + Vector(0, 0, kLoopCentreZ) + ");");
  AddLoopPoints(loop);
  Object& rider = AddPlaced(loop, kClassSplineObject, "Rider", "this.SetWSOrientation(1);");
  std::int32_t on = 1;
  rider.ExecuteCommand(SplineObject::kSetOrient, &on);
  float speed = kRideSpeed;
  rider.ExecuteCommand(SplineObject::kSetSpeed, &speed);
  RunScript(*CreateObject(kClassMesh, nullptr, rider, "Crate"), "this.AddMesh(" + crateMesh + ");");
  Object& marker = AddPlaced(rider, kClassScreenAnchor, "Marker", "this.SetPosition(" + Vector(0, kMarkerHeight, 0) + ");");
  AddPlaced(marker, kClassSprite, "Pin",
            "this.SetPosition(0, 0, 0); this.SetWindowWidth(14); this.SetWindowHeight(14); this.SetWindowAlignX(1); "
            "this.SetWindowAlignY(1); this.SetSpriteMaterial(" + std::string(kMarkerMaterial) +
                "); this.SetSpriteColor(1, 0.85, 0.2, 1);");
}

// The lamp drifts side to side and back and forth, and flickers up and down.
void AddSwayingLamp(Object& stage) {
  Object* lamp = stage.FindChildByName("Lamp");
  if (lamp == nullptr) return;
  Object& sway = AddPlaced(stage, kClassMotionLayers, "LampSway",
                           "this.AddLayer(); this.SetLayerList(0); this.SetPosSinMul(0.6, 0, 0.4); "
                           "this.SetPosSinFreq(1.5, 0, 1.1); this.SetPosSinOffs(0, 0, 1); "
                           "this.SetPosRndMul(0, 0.15, 0); this.SetPosRndFreq(0, 0.8, 0);");
  sway.AddChild(*lamp);
}

}  // namespace

void AddDemoMotion(SceneDescription& scene, const std::string& stageName, const std::string& crateMesh) {
  scene.addResources = [resources = scene.addResources](ResourceDatabase& database,
                                                         const std::filesystem::path& dataFolder) {
    if (!resources(database, dataFolder)) return false;
    SetMaterialType(&RegisterResource<MaterialResource>(database, kMarkerMaterial, ""), kMaterialSolidColor);
    return true;
  };
  scene.buildObjects = [build = scene.buildObjects, stageName, crateMesh](Object& root) {
    build(root);
    Object* stage = root.FindChildByName(stageName, kClassSpace);
    if (stage == nullptr) return;
    AddRider(*stage, crateMesh);
    AddSwayingLamp(*stage);
  };
}

}  // namespace tge
