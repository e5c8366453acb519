// The base of every scriptable object: class id, name, place in the object
// tree, flag bits, an optional local transform with cached matrices, optional
// physics, Action state and scripts. Its virtual operations are the contract
// every object type fills in.
//
// A parent owns its children. The transform is a small state machine of two
// bits: any setter clears LocalMatrixValid and, through
// InvalidateWorldTransform, the WorldMatrixValid bits of the subtree;
// GetWorldMatrix rebuilds lazily and sets both.
//
// The implementation is split by responsibility: Object.cpp (life cycle,
// deletion, scheduler links, physics access), ObjectTree.cpp,
// ObjectTransform.cpp and ObjectSerialize.cpp (saving, loading, copying).
#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/CommandTarget.h"
#include "core/ObjectFlags.h"
#include "core/ObjectRecords.h"
#include "core/PhysicsHooks.h"
#include "core/ScheduleLink.h"

namespace tge {

class SerializeStream;
class Space;
class World;
struct PhysicsContact;

// What a weak reference (ObjectRef.h) looks through; cleared when the object
// is destroyed.
struct ObjectAnchor {
  Object* object = nullptr;
};

class Object : public CommandTarget {
 public:
  Object();
  ~Object() override;
  Object& operator=(const Object&) = delete;

  // Virtual operations, in the order every type fills them in.
  int ExecuteCommand(std::uint32_t id, void* args) override;
  // Completes a copy made by the copy constructor (see ObjectSerialize.cpp).
  virtual void CopyFrom(const Object& source);
  // Saves or loads the base record; false when the stream failed or held
  // data this object cannot take.
  virtual bool Serialize(SerializeStream& stream);
  virtual void Update();
  virtual void Draw();
  virtual void Precalculate();
  virtual const Matrix4& GetWorldMatrix();
  virtual void GetInverseWorldMatrix(Matrix4& out);
  virtual const Matrix4& GetCachedWorldMatrix();
  virtual void InvalidateWorldTransform();
  // Called by the collision callback for a geometry with the Callback flag:
  // 1 makes no contacts for the pair, 2 keeps the contacts' own friction.
  virtual int HandleContact(GeometryRecord* own, GeometryRecord* other, PhysicsContact* contacts, int count);
  // Run a script record by name or by event id; 0 when none ran.
  virtual int RunScript(const std::string& name, Object* sender);
  virtual int FireEvent(int eventId, Object* sender);

  // The object a script path names (see ScriptPath.cpp): from start when
  // given, else from the path's head; consumed gets the characters used.
  static Object* ResolveObjectPath(Object* context, std::string_view path, Object* start,
                                   std::size_t* consumed);
  // The base commands RunScript, RunScriptEx and DeleteScript; -1 for any
  // other id (ObjectScripts.cpp).
  int ExecuteScriptCommand(std::uint32_t id, void* args);

  // Identity and flags.
  int GetClassId() const { return classId_; }
  const std::string& GetName() const { return name_; }
  void SetName(const std::string& name) { name_ = name; }
  std::uint32_t GetFlags() const { return flags_; }
  bool HasFlag(std::uint32_t bits) const { return (flags_ & bits) == bits; }
  void SetFlag(std::uint32_t bits, bool on) { flags_ = on ? (flags_ | bits) : (flags_ & ~bits); }
  bool GetActive() const { return HasFlag(kFlagActive); }
  void SetActive(bool on) { SetFlag(kFlagActive, on); }
  bool IsStarted() const { return started_ != 0; }
  static int GetLiveObjectCount();
  const std::shared_ptr<ObjectAnchor>& GetAnchor() const;

  // Tree.
  Object* GetParent() const { return parent_; }
  int GetChildCount() const { return static_cast<int>(children_.size()); }
  // Null for an index out of range.
  Object* GetChild(int index) const;
  // Takes a detached object as the last child; it takes this object's Space.
  // Refused (null, the caller keeps the object) for the root of this
  // object's own tree.
  Object* AddChild(std::unique_ptr<Object>&& child);
  // Moves a child of another parent here as the last child. False for an
  // object without a parent (nothing owns it to hand over) and for this
  // object or one of its ancestors, which would make a cycle.
  bool AddChild(Object& child);
  // Removes a child (its first occurrence) and hands it to the caller.
  std::unique_ptr<Object> DetachChild(Object& child);
  Object* FindChildByName(const std::string& name, int classId = -1) const;
  Object* FindChildByClass(int classId) const;
  void CollectDescendants(std::vector<Object*>& out, int classId, int stopClassId) const;
  void CollectDescendantsByClass(std::vector<Object*>& out, std::span<const int> classIds,
                                 int stopClassId) const;
  // "/a/b/c": the names of this object and its ancestors below the root.
  std::string GetTreePath() const;
  float GetDistanceTo(Object& other);
  Space* GetSpace() const { return space_; }
  void SetSpace(Space* space) { space_ = space; }
  World* GetWorld() const { return world_; }
  void SetWorld(World* world) { world_ = world; }

  // Frame data of the World; 0 without a World.
  float GetFrameTime() const;
  float GetFrameRate() const;
  float GetWorldTime() const;
  void EnableUpdate();
  void DisableUpdate();

  // The object's side of its World's scheduler lists. payloadBytes counts
  // the call header and the copied argument bytes; 0 makes a link without a
  // call (an update registration).
  ScheduleLink* AddScheduleLink(ScheduleLink& after, int payloadBytes, int groupBits);
  void RemoveScheduleLink(ScheduleLink* link);
  int GetScheduleLinkCount() const { return static_cast<int>(scheduleLinks_.size()); }
  ScheduleLink* GetScheduleLink(int index) const;

  void Start();
  void Stop();
  void Kill();
  // Queues the object for destruction with its subtree, once; false when
  // nothing was handed over (already deleting, or no engine to take it).
  bool Delete(bool deferred);

  // Transform. Setters return false when the object has no TransformRecord.
  TransformRecord* GetTransform() const { return transform_.get(); }
  const Vector3& GetPosition() const;
  const Vector3& GetScale() const;
  const Quaternion& GetRotation() const;
  bool SetPosition(const Vector3& position, bool update);
  bool SetRotation(const Quaternion& rotation, bool update);
  bool SetScale(const Vector3& scale, bool update);
  bool AddPosition(const Vector3& delta);
  bool AddScale(const Vector3& delta);
  bool RotateBy(const Quaternion& rotation);
  void SetInheritOrientation(bool on);
  void SetWSOrientation(bool on);
  void InvalidateTransform();
  void InvalidateLocalMatrix() { SetFlag(kFlagLocalMatrixValid, false); }
  Vector3 GetPositionWS();
  Quaternion GetRotationWS();
  Vector3 GetScaleWS();
  Vector3 GetAxisXWS();
  Vector3 GetAxisYWS();
  Vector3 GetAxisZWS();
  void PlaceGeometries();

  // Optional records.
  ActionRecord* GetAction() const { return action_.get(); }
  void SetUseAction(bool on);
  std::vector<ObjectScript>* GetScripts() const { return scripts_.get(); }
  void SetUseScript(bool on);
  ObjectRecording* GetRecording() const { return recording_.get(); }
  void SetRecording(std::unique_ptr<ObjectRecording> recording) { recording_ = std::move(recording); }

  // Physics description and the body behind it.
  ObjectPhysics* GetPhysics() const { return physics_.get(); }
  void SetUsePhysics(bool on);
  // The current geometry, or null when the index is -1 or out of range.
  GeometryRecord* GetCurrentGeometry() const;
  GeometryRecord& AddGeometry();
  // Erases a geometry once its live collision geometries are gone.
  bool EraseGeometry(int index);
  PhysicsBody* GetBody() const { return physics_ ? physics_->body : nullptr; }
  float GetMass() const;
  bool IsBodyEnabled() const;
  Vector3 GetLinearVelocity() const;
  Vector3 GetAngularVelocity() const;
  void ApplyBodyVector(BodyVector what, const Vector3& value);
  void AddForceAtPosition(const Vector3& force, const Vector3& position);
  void EnableGeometries();
  void DisableGeometries();

 protected:
  explicit Object(int classId);
  // Member-wise copy of the source with records of its own: the copy is
  // detached (no parent, children, Space or scheduler links) and keeps the
  // World. The factory then calls CopyFrom.
  Object(const Object& source);

 private:
  void ReleasePhysics();
  void LeaveGlobalAccess();
  void RebuildLocalMatrix();
  void PushTransformToPhysics(bool position, bool rotation);
  bool IsSelfOrAncestorOf(const Object& object) const;
  void SetGeometriesEnabled(bool on);
  bool SerializeTransform(SerializeStream& stream);
  bool SerializeAction(SerializeStream& stream);
  bool SerializePhysics(SerializeStream& stream);
  bool SerializeScripts(SerializeStream& stream);
  void FinishLoad(bool wasGlobal);

  std::int32_t classId_ = 0;
  std::string name_;
  Object* parent_ = nullptr;
  std::vector<std::unique_ptr<Object>> children_;
  std::vector<std::unique_ptr<ScheduleLink>> scheduleLinks_;
  Space* space_ = nullptr;
  World* world_ = nullptr;
  std::int32_t started_ = 0;
  std::uint32_t flags_ = kDefaultObjectFlags;
  std::unique_ptr<TransformRecord> transform_;
  std::unique_ptr<ObjectPhysics> physics_;
  std::unique_ptr<std::vector<ObjectScript>> scripts_;
  std::unique_ptr<ActionRecord> action_;
  std::unique_ptr<ObjectRecording> recording_;
  mutable std::shared_ptr<ObjectAnchor> anchor_;

  static int liveObjects_;
};

// Destroys an object's children first, each with its own subtree, in child
// order, then the object.
void DestroyObjectTree(std::unique_ptr<Object> object);

}  // namespace tge
