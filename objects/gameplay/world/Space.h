// A Space is a box-shaped cell of the level (a room, a corridor, a doorway,
// an outdoor area). Objects are filed in the Space that holds them; the
// Space owns a collision space of the physics library holding the level's
// static geometry of the cell (its collision entries), and Spaces form a
// graph (connections, inner Spaces, a parent Space) along which the World's
// physics step, the draw walk and the queries travel. The links are weak:
// a Space that goes reads null in its neighbours' lists.
//
// Moving objects' geometries do not live in Spaces: they live in their
// World's collision space, which the physics step collides with itself once
// (each pair of objects once) and then each object against the static
// geometry of the Spaces around it. A Space's collision space therefore
// holds only its collision entries, and a query that leaves out the World's
// space (mask 1) sees only the level.
//
// The implementation is split by responsibility: Space.cpp (life cycle,
// cells and links, file record), SpaceCommands.cpp (the command table),
// SpaceEntries.cpp (collision and mesh entries and their geometries),
// SpaceQueries.cpp (ray, sphere and triangle queries, connections, the box)
// and SpaceDraw.cpp (the draw walk).
#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/ObjectRef.h"
#include "core/math/Shapes.h"
#include "services/resources/ResourceRef.h"

namespace tge {

struct CollectedTriangle;
class Mesh;

// Bits of Space::GetSpaceFlags.
inline constexpr std::uint32_t kSpaceCollision = 0x1;
inline constexpr std::uint32_t kSpaceConnection = 0x2;
inline constexpr std::uint32_t kSpacePortal = 0x4;
inline constexpr std::uint32_t kSpaceGlobal = 0x8;
inline constexpr std::uint32_t kSpaceInherit = 0x10;
inline constexpr std::uint32_t kSpaceConnectionOpen = 0x20;
inline constexpr std::uint32_t kSpaceReserved = 0x40;
inline constexpr std::uint32_t kSpaceAutoConnect = 0x80;
inline constexpr std::uint32_t kSpaceExterior = 0x100;

// Static collision geometry of a cell: one geometry per triangle mesh and
// per shape of the resource, owned by the Space.
struct SpaceCollisionEntry {
  ResourceRef resource;
  std::string name;
  std::vector<std::unique_ptr<GeometryRecord>> geometries;
};

struct SpaceMeshEntry {
  ResourceRef resource;
  std::string name;
};

// The nearest hit of a ray query.
struct SpaceRayHit {
  GeometryRecord* record = nullptr;  // the geometry hit; its owner is the object hit
  Vector3 position;
  Vector3 normal;  // facing back along the ray
};

class Space : public Object {
 public:
  static std::span<const CommandEntry<Space>> Commands();
  static const CommandEntry<Space> kCommands[];

  Space();
  // A type built on the Space data with its own class id.
  explicit Space(std::uint32_t classId);
  // The cell's settings, boxes and entry names with their resources; the
  // copy builds its own collision space, links and geometries when it starts.
  Space(const Space& source);
  // Leaves the World and the parent Space, frees the entries' geometries,
  // then the collision space; the entries give their resources back.
  ~Space() override;
  // A retired Space leaves its World's list of Spaces: nothing draws or
  // searches it any more.
  void Retire() override;

  int ExecuteCommand(std::uint32_t id, void* args) override;
  bool Serialize(SerializeStream& stream) override;
  // Empty: Spaces are drawn by the draw walk only (DrawWalk).
  void Draw() override;
  // Registers with the World, makes the collision space, files the subtree,
  // links the parent Space and computes the world boxes; repeating it
  // changes nothing but the boxes.
  void Precalculate() override;

  std::uint32_t GetSpaceFlags() const { return spaceFlags_; }
  void SetSpaceFlag(std::uint32_t bit, bool on);
  bool IsCollision() const { return (spaceFlags_ & kSpaceCollision) != 0; }
  bool IsConnection() const { return (spaceFlags_ & kSpaceConnection) != 0; }
  bool IsConnectionOpen() const { return (spaceFlags_ & kSpaceConnectionOpen) != 0; }
  bool IsPortal() const { return (spaceFlags_ & kSpacePortal) != 0; }
  bool IsGlobal() const { return (spaceFlags_ & kSpaceGlobal) != 0; }
  bool IsInherit() const { return (spaceFlags_ & kSpaceInherit) != 0; }
  bool IsAutoConnect() const { return (spaceFlags_ & kSpaceAutoConnect) != 0; }
  bool IsExterior() const { return (spaceFlags_ & kSpaceExterior) != 0; }

  const AABox& GetLocalBox() const { return localBox_; }
  void SetLocalBox(const AABox& box) { localBox_ = box; }
  const AABox& GetWorldBox() const { return worldBox_; }
  const Sphere& GetBoundingSphere() const { return boundingSphere_; }
  const std::vector<AABox>& GetWorldSubBoxes() const { return worldSubBoxes_; }
  // Strictly inside the world box on all three axes.
  bool ContainsPoint(const Vector3& point) const;
  // Touching faces count.
  bool OverlapsBox(const Vector3& min, const Vector3& max) const;

  Space* GetParentSpace() const { return parentSpace_.Get(); }
  int GetInnerSpaceCount() const { return static_cast<int>(innerSpaces_.size()); }
  // Null for an index out of range.
  Space* GetInnerSpace(int index) const;
  int GetConnectedCount() const { return static_cast<int>(connectedSpaces_.size()); }
  // Null for an index out of range and for a neighbour that is gone.
  Space* GetConnectedSpace(int index) const;
  // A connection takes at most three neighbours; a Space is linked once.
  void AddConnectedSpace(Space& other);
  // The Space that answers for this one: the first ancestor Space that does
  // not inherit, or the last one without a parent.
  const Space& GetAnsweringSpace() const;
  // The answering Space's collision space; null without SpaceCollision.
  PhysicsSpace* GetCollisionSpace() const { return GetAnsweringSpace().collisionSpace_; }

  int GetCollisionCount() const { return static_cast<int>(collisionEntries_.size()); }
  // Null for an index out of range.
  SpaceCollisionEntry* GetCollisionEntry(int index) const;
  int GetMeshCount() const { return static_cast<int>(meshEntries_.size()); }
  SpaceMeshEntry* GetMeshEntry(int index) const;
  // Appends an entry unless one has that name; false when one had.
  bool AddCollisionEntry(const std::string& name);
  bool AddMeshEntry(const std::string& name);
  // Links a Mesh object filed here, once, when it is collectable: its
  // triangles then join the triangle queries, newest link first.
  void LinkMesh(Mesh& mesh);
  int GetLinkedMeshCount() const { return static_cast<int>(meshLinks_.size()); }
  // Resolves every collision entry's resource by name where still missing.
  void ResolveCollisionEntries();
  // One geometry per triangle mesh and shape of each resolved entry that
  // has none yet, in the collision space; nothing without one.
  bool BuildCollisionGeometries();
  void ReleaseCollisionGeometries();

  // Queries (SpaceQueries.cpp). The ray reports its nearest hit; geometries
  // tested are those whose collide bits share a bit with mask. A mask of
  // exactly 1 leaves out the World's own collision space (the moving objects).
  // With skipOwn the ray passes through the querying object's own geometries.
  int RayQuery(Object* object, const Vector3& from, const Vector3& to, unsigned mask, SpaceRayHit* out,
               int includeEventOnly, bool skipOwn = false);
  // Triangles of the cell's meshes with a vertex inside the sphere, three
  // points each, in world space; with followConnections, also those of the
  // room across each two-way connection the sphere touches. At most
  // maxTriangles.
  int CollectTriangles(const Vector3& centre, float radius, Vector3* points, Vector3* normals, AABox* boxes,
                       CollectedTriangle* info, std::uint32_t* orSecond, std::uint32_t* orFirst,
                       unsigned maxTriangles, int followConnections);
  // Appends the owner of every geometry the sphere touches.
  int QuerySphere(const Vector3& centre, float radius, unsigned mask, std::vector<Object*>& result);
  // The connection joining this Space (or an inner Space) with other.
  Space* FindConnection(Space* other);
  // The local box from the mesh entries, 0.025 larger on every side; left
  // as it was when no mesh is resolved.
  void CalculateSpaceBox();

  // The draw walk from this cell (SpaceDraw.cpp): each Space at most once
  // per frame of its World.
  void DrawWalk();
  std::int32_t GetLastDrawnFrame() const { return lastDrawnFrame_; }

 private:
  template <std::uint32_t Bit>
  int SetFlagCommand(CommandArgs args);
  int SetBoxMinCommand(CommandArgs args);
  int GetBoxMinCommand(CommandArgs args);
  int SetBoxMaxCommand(CommandArgs args);
  int GetBoxMaxCommand(CommandArgs args);
  int AddSubBoxCommand(CommandArgs args);
  int DeleteSubBoxCommand(CommandArgs args);
  int SetSubBoxListCommand(CommandArgs args);
  int GetSubBoxListCommand(CommandArgs args);
  template <Vector3 AABox::*Corner>
  int SetSubBoxCornerCommand(CommandArgs args);
  template <Vector3 AABox::*Corner>
  int GetSubBoxCornerCommand(CommandArgs args);
  int AddCollisionCommand(CommandArgs args);
  int DeleteCollisionCommand(CommandArgs args);
  int SetCollisionListCommand(CommandArgs args);
  int GetCollisionListCommand(CommandArgs args);
  int AddMeshCommand(CommandArgs args);
  int DeleteMeshCommand(CommandArgs args);
  int SetMeshListCommand(CommandArgs args);
  int GetMeshListCommand(CommandArgs args);
  int CalculateSpaceBoxCommand(CommandArgs args);
  // Internal command 11: every entry's resource joins the set.
  void CollectResources(void* set);
  void ChangeWorld(World* world);
  void FileSubtree(Object& object);
  void LinkParentSpace();
  void ComputeWorldBoxes();
  static std::span<const CommandEntry<Space>> HiddenCommands();
  static const CommandEntry<Space> kHiddenCommands[];
  void BuildEntryGeometries(SpaceCollisionEntry& entry);
  static void ReleaseEntryGeometries(SpaceCollisionEntry& entry);
  bool SerializeEntries(SerializeStream& stream);
  AABox* CurrentSubBox();
  Space* SearchConnection(const Space* other) const;
  int CollectOwnTriangles(const Vector3& centre, float radius, Vector3* points, CollectedTriangle* info,
                          unsigned maxTriangles);
  // The triangles of meshes under a world matrix, in world space.
  static unsigned CollectMeshSetTriangles(std::span<Resource* const> meshes, const Matrix4& world,
                                          const Vector3& centre, float radius, Vector3* points,
                                          CollectedTriangle* info, unsigned maxTriangles);
  // False when an event's script deleted this Space.
  bool RaiseDrawEvents();
  void DrawContents();
  bool PassesPortal();

  PhysicsSpace* collisionSpace_ = nullptr;
  std::vector<ObjectRef<Space>> connectedSpaces_;
  AABox localBox_{{-1, -1, -1}, {1, 1, 1}};
  AABox worldBox_;
  Sphere boundingSphere_;
  std::int32_t lastDrawnFrame_ = 0;
  std::vector<AABox> localSubBoxes_;
  std::vector<AABox> worldSubBoxes_;
  std::int32_t currentSubBox_ = -1;
  ObjectRef<Space> parentSpace_;
  std::vector<ObjectRef<Space>> innerSpaces_;
  std::vector<std::unique_ptr<SpaceCollisionEntry>> collisionEntries_;
  std::int32_t currentCollision_ = -1;
  std::vector<std::unique_ptr<SpaceMeshEntry>> meshEntries_;
  std::int32_t currentMesh_ = -1;
  std::vector<ObjectRef<Mesh>> meshLinks_;
  std::uint32_t spaceFlags_ = kSpaceCollision;
};

void RegisterSpaceCommands();

// Frees the geometries the queries keep between calls; the engine calls it
// before the physics library closes.
void ReleaseSpaceQueries();

}  // namespace tge
