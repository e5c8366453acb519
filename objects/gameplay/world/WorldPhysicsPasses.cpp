#include "objects/gameplay/world/WorldPhysicsPasses.h"

#include <algorithm>
#include <vector>

#include "core/ClassIds.h"
#include "core/ObjectHooks.h"
#include "core/World.h"
#include "core/WorldPhysicsHooks.h"
#include "core/math/Shapes.h"
#include "objects/gameplay/physics/PhysicsBody.h"
#include "objects/gameplay/physics/PhysicsContact.h"
#include "objects/gameplay/physics/PhysicsGeometry.h"
#include "objects/gameplay/physics/PhysicsHandles.h"
#include "objects/gameplay/physics/PhysicsSpace.h"
#include "objects/gameplay/physics/PhysicsWorld.h"
#include "objects/gameplay/world/Space.h"
#include "objects/scene/Mesh.h"
#include "services/EngineServices.h"
#include "services/render/ViewState.h"

namespace tge {
namespace {

// Objects are filed by a point a little above their origin, so one resting
// on a floor at a cell's lower face still lies inside the cell.
constexpr float kFilingLift = 0.2f;

dGeomID AsGeom(PhysicsSpace* space) { return reinterpret_cast<dGeomID>(ToOde(space)); }

bool IsSleeping(const Object& object) {
  dBodyID body = ToOde(object.GetBody());
  return body != nullptr && IsBodyEnabled(body) == 0;
}

// The static geometry one moving geometry (or an object's own space) is
// collided with in a step, each collision space once: its Space's, the
// global Space's, and those of the Spaces around it. The spaces done are
// noted in a buffer the caller keeps between steps.
class StaticCollision {
 public:
  StaticCollision(PhysicsWorld* physics, dGeomID geometry, std::vector<PhysicsSpace*>& done)
      : physics_(physics), geometry_(geometry), done_(done) {
    done_.clear();
  }

  void With(PhysicsSpace* space) {
    if (space == nullptr || std::find(done_.begin(), done_.end(), space) != done_.end()) return;
    done_.push_back(space);
    CollideSpaces(geometry_, AsGeom(space), physics_, PhysicsNearCallback);
  }

  // A neighbour with collision is collided when the boxes meet; one without
  // is passed through when the geometry lies in its box. Through an open
  // connection the Spaces on its far side are collided too.
  void WithNeighbour(const Space& home, const Space& neighbour) {
    bool reached = false;
    if (neighbour.IsCollision()) {
      PhysicsSpace* space = neighbour.GetCollisionSpace();
      reached = space != nullptr && GeomAABBsOverlap(geometry_, AsGeom(space)) != 0;
      if (reached) With(space);
    } else {
      Vector3 min, max;
      GetGeomAABB(geometry_, &min, &max);
      reached = neighbour.OverlapsBox(min, max);
    }
    if (!reached || !neighbour.IsConnectionOpen()) return;
    for (int i = 0; i < neighbour.GetConnectedCount(); ++i) {
      const Space* across = neighbour.GetConnectedSpace(i);
      if (across != nullptr && across != &home) With(across->GetCollisionSpace());
    }
  }

 private:
  PhysicsWorld* physics_;
  dGeomID geometry_;
  std::vector<PhysicsSpace*>& done_;
};

void CollideWithLevel(World& world, const Space& home, dGeomID geometry, std::vector<PhysicsSpace*>& done) {
  StaticCollision collision(world.GetPhysicsWorld(), geometry, done);
  collision.With(home.GetCollisionSpace());
  if (const Space* global = world.GetGlobalSpace()) collision.With(global->GetCollisionSpace());
  for (int i = 0; i < home.GetConnectedCount(); ++i) {
    if (const Space* neighbour = home.GetConnectedSpace(i)) collision.WithNeighbour(home, *neighbour);
  }
}

void CollideObjectWithLevel(World& world, Object& object, std::vector<PhysicsSpace*>& done) {
  const ObjectPhysics* physics = object.GetPhysics();
  const Space* home = object.GetSpace();
  if (physics == nullptr || home == nullptr || IsSleeping(object)) return;
  if (physics->space != nullptr) {
    CollideWithLevel(world, *home, AsGeom(physics->space), done);
    return;
  }
  for (const auto& record : physics->geometries) {
    PhysicsGeom* outer = record->transformGeometry != nullptr ? record->transformGeometry : record->geometry;
    if (outer != nullptr) CollideWithLevel(world, *home, ToOde(outer), done);
  }
}

// The live objects of refs, in the buffer taken from kept, which the caller
// gives back after use: a pass entered again meanwhile finds kept empty and
// makes its own.
std::vector<Object*> TakeLiveObjects(const std::vector<ObjectRef<Object>>& refs, std::vector<Object*>& kept) {
  std::vector<Object*> objects = std::move(kept);
  objects.clear();
  for (const auto& ref : refs) {
    if (ref) objects.push_back(ref.Get());
  }
  return objects;
}

class WorldPhysicsPasses final : public WorldPhysicsHooks {
 public:
  void CreatePhysics(World& world) override {
    world.SetPhysics(CreatePhysicsWorld(), ToPhysicsSpace(CreateSimpleSpace(nullptr)));
    ApplyPhysicsSettings(world);
  }

  void DestroyPhysics(World& world) override {
    DestroySpace(ToOde(world.GetCollisionSpace()));
    DestroyPhysicsWorld(world.GetPhysicsWorld());
    world.SetPhysics(nullptr, nullptr);
  }

  // The maximum contact velocity is applied with the rest, so a loaded
  // World's value holds from the start.
  void ApplyPhysicsSettings(World& world) override {
    PhysicsWorld* physics = world.GetPhysicsWorld();
    const WorldPhysicsSettings& settings = world.GetPhysicsSettings();
    SetPhysicsWorldGravity(physics, settings.gravity);
    SetPhysicsWorldERP(physics, settings.erp);
    SetPhysicsWorldCFM(physics, settings.cfm * kWorldCfmScale);
    SetPhysicsWorldQuickStep(physics, (settings.flags & kWorldQuickStep) != 0 ? 1 : 0);
    SetPhysicsWorldQuickStepIterations(physics, settings.stepIterations);
    SetPhysicsWorldMaxContactVelocity(physics, settings.maxContactVelocity);
    SetPhysicsWorldSurfaceLayerDepth(physics, settings.surfaceLayerDepth);
  }

  void JoinSpaces(World& world) override {
    const std::vector<Space*> spaces = world.GetSpaces();
    for (Space* from : spaces) {
      if (!from->IsConnection() && !from->IsAutoConnect()) continue;
      for (Space* to : spaces) {
        if (to == from || to->IsConnection()) continue;
        if (!to->OverlapsBox(from->GetWorldBox().min, from->GetWorldBox().max)) continue;
        to->AddConnectedSpace(*from);
        from->AddConnectedSpace(*to);
      }
    }
  }

  // Moving objects share the World's collision space, so colliding it with
  // itself meets each pair of them once; then each meets the level.
  void StepPhysics(World& world) override {
    PhysicsWorld* physics = world.GetPhysicsWorld();
    CollideSpace(ToOde(world.GetCollisionSpace()), physics, PhysicsNearCallback);
    std::vector<Object*> objects = TakeLiveObjects(world.GetPhysicsObjects(), objects_);
    for (Object* object : objects) CollideObjectWithLevel(world, *object, collided_);
    objects_ = std::move(objects);
    StepPhysicsWorld(physics, world.GetFrameTime());
    for (int i = 0; i < GetPhysicsWorldBodyCount(physics); ++i) {
      dBodyID body = GetPhysicsWorldBody(physics, i);
      Object* owner = IsBodyEnabled(body) != 0 ? GetBodyData(body) : nullptr;
      if (owner != nullptr && owner->GetTransform() != nullptr) owner->InvalidateTransform();
    }
  }

  Space* FindSpaceAt(const World& world, Space* hint, const Vector3& position) override {
    if (hint != nullptr) {
      if (hint->ContainsPoint(position)) return hint;
      Space* parent = hint->GetParentSpace();
      if (hint->IsInherit() && parent != nullptr && parent->ContainsPoint(position)) return parent;
      for (int i = 0; i < hint->GetInnerSpaceCount(); ++i) {
        Space* inner = hint->GetInnerSpace(i);
        if (inner != nullptr && inner->ContainsPoint(position)) return inner;
      }
    }
    for (Space* space : world.GetSpaces()) {
      if (!space->IsPortal() && space != hint && space->ContainsPoint(position)) return space;
    }
    return nullptr;
  }

  // Props and bodies that fell out of every cell are deleted; anything
  // else stays where it is.
  void RefileMovedObjects(World& world) override {
    ObjectHooks* hooks = GetObjectHooks();
    std::vector<Object*> objects = TakeLiveObjects(world.GetPhysicsObjects(), objects_);
    for (Object* object : objects) {
      if (IsSleeping(*object) || object->HasFlag(kFlagDeleting)) continue;
      Vector3 position = object->GetPositionWS();
      position.y += kFilingLift;
      Space* found = FindSpaceAt(world, object->GetSpace(), position);
      if (found == nullptr) {
        const int classId = object->GetClassId();
        if (classId == kClassSimObject || classId == kClassSkinMesh) object->Delete(true);
      } else if (found != object->GetSpace() && hooks != nullptr) {
        hooks->MoveObject(*object, *found);
      }
    }
    objects_ = std::move(objects);
  }

  void DrawSpaces(World&, Space* globalSpace, Space* cameraSpace) override {
    if (EngineServices* services = GetEngineServices()) services->GetView().ClearPortalVolumes();
    if (globalSpace != nullptr) globalSpace->DrawWalk();
    if (cameraSpace != nullptr) cameraSpace->DrawWalk();
  }

  bool RayQuery(Space& space, const Vector3& from, const Vector3& to, unsigned mask, Vector3& hit,
                int includeEventOnly) override {
    SpaceRayHit nearest;
    if (space.RayQuery(nullptr, from, to, mask, &nearest, includeEventOnly) == 0) return false;
    hit = nearest.position;
    return true;
  }

  bool PickRay(Space& space, Object* querying, const Vector3& from, const Vector3& to, unsigned mask,
               WorldRayHit& hit, int includeEventOnly, bool skipOwn) override {
    SpaceRayHit nearest;
    if (space.RayQuery(querying, from, to, mask, &nearest, includeEventOnly, skipOwn) == 0) return false;
    hit = {nearest.record, nearest.position, nearest.normal};
    return true;
  }

  // Only Mesh objects are linked: the class id vouches for the type.
  void LinkMesh(Space& space, Object& mesh) override {
    if (mesh.GetClassId() == kClassMesh) space.LinkMesh(static_cast<Mesh&>(mesh));
  }

  int CollectTriangles(Space& space, const Vector3& centre, float radius, Vector3* points, Vector3* normals,
                       AABox* boxes, CollectedTriangle* records, unsigned maxTriangles) override {
    std::uint32_t orSecond = 0, orFirst = 0;
    return space.CollectTriangles(centre, radius, points, normals, boxes, records, &orSecond, &orFirst, maxTriangles,
                                  1);
  }

  bool IsExterior(const Space& space) override { return space.IsExterior(); }

  void SetPostEffectAmounts(float blur, float bloom) override {
    if (EngineServices* services = GetEngineServices()) {
      services->SetBlurAmount(blur);
      services->SetBloomAmount(bloom);
    }
  }

 private:
  // Kept between frames, so a step allocates nothing once warm.
  std::vector<Object*> objects_;
  std::vector<PhysicsSpace*> collided_;
};

WorldPhysicsPasses& Passes() {
  static WorldPhysicsPasses passes;
  return passes;
}

}  // namespace

void InstallWorldPhysicsPasses() { SetWorldPhysicsHooks(&Passes()); }

void UninstallWorldPhysicsPasses() {
  if (GetWorldPhysicsHooks() == &Passes()) SetWorldPhysicsHooks(nullptr);
}

}  // namespace tge
