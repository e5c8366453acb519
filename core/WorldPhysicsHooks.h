// The gameplay half of a World: its physics world and collision space, the
// collision pass over its Spaces, finding the Space that holds a point, the
// draw walk over the Space graph, the two Space services the scene objects
// need (a ray through the level, linking a collectable mesh, collecting the
// level's triangles around a point, whether a cell is outdoors) and the
// hand-over of its post-effect amounts. The object model knows Spaces only by
// name, so a World reaches them through these hooks, which the engine
// installs at start-up (the Space type and the physics wrapper answer them).
// Until then a World makes no physics and finds no Space.
#pragma once
#include "core/math/Vector.h"

namespace tge {

struct AABox;
struct CollectedTriangle;
class Object;
class Space;
class World;
struct GeometryRecord;

// The nearest hit of a pick ray: the geometry hit (whose owner is the object
// hit), where, and the surface normal facing back along the ray.
struct WorldRayHit {
  GeometryRecord* record = nullptr;
  Vector3 position;
  Vector3 normal;
};

class WorldPhysicsHooks {
 public:
  virtual ~WorldPhysicsHooks() = default;

  // Makes the physics world and the World's own collision space, hands both
  // to the World and applies its settings.
  virtual void CreatePhysics(World& world) = 0;
  // Frees what CreatePhysics made; the World then has none.
  virtual void DestroyPhysics(World& world) = 0;
  // Hands every stored setting to the World's physics world.
  virtual void ApplyPhysicsSettings(World& world) = 0;
  // Links each connection (and auto-connect) Space with the Spaces it overlaps.
  virtual void JoinSpaces(World& world) = 0;
  // Collides the World's physics objects with what can touch them, steps the
  // physics world and marks the transforms of the bodies that moved.
  virtual void StepPhysics(World& world) = 0;
  virtual Space* FindSpaceAt(const World& world, Space* hint, const Vector3& position) = 0;
  // Files each physics object that moved into the Space now holding it.
  virtual void RefileMovedObjects(World& world) = 0;
  // One frame's draw walk: the view volumes are cleared, then the global
  // Space (when given) and the camera's Space are drawn.
  virtual void DrawSpaces(World& world, Space* globalSpace, Space* cameraSpace) = 0;
  // The nearest hit of a ray through the level around space (Space's ray
  // query with no querying object); false when nothing is hit.
  virtual bool RayQuery(Space& space, const Vector3& from, const Vector3& to, unsigned mask, Vector3& hit,
                        int includeEventOnly) = 0;
  // Space's ray query itself, with querying as the querying object (its own
  // geometries passed through with skipOwn); false when nothing is hit.
  virtual bool PickRay(Space& space, Object* querying, const Vector3& from, const Vector3& to, unsigned mask,
                       WorldRayHit& hit, int includeEventOnly, bool skipOwn) = 0;
  // Files a Mesh object's triangles into space's triangle queries when the
  // mesh is collectable.
  virtual void LinkMesh(Space& space, Object& mesh) = 0;
  // The level's triangles with a vertex inside the sphere, from space's cell
  // and the rooms across its two-way connections: three world-space points
  // each, with its unit normal, box and record. At most maxTriangles.
  virtual int CollectTriangles(Space& space, const Vector3& centre, float radius, Vector3* points, Vector3* normals,
                               AABox* boxes, CollectedTriangle* records, unsigned maxTriangles) = 0;
  // Whether the cell is outdoors (SpaceExterior).
  virtual bool IsExterior(const Space& space) = 0;
  // Hands a World's blur and bloom amounts to the renderer's post effects.
  virtual void SetPostEffectAmounts(float blur, float bloom) = 0;
};

// Null until the engine installs its hooks.
WorldPhysicsHooks* GetWorldPhysicsHooks();
void SetWorldPhysicsHooks(WorldPhysicsHooks* hooks);

}  // namespace tge
