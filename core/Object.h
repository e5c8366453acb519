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

#include "core/CommandTable.h"
#include "core/CommandTarget.h"
#include "core/ObjectFlags.h"
#include "core/ObjectRecords.h"
#include "core/PhysicsHooks.h"
#include "core/ScheduleLink.h"
#include "core/math/Vector.h"

namespace tge {

class ObjectRecording;
class SerializeStream;
class Space;
class World;
struct ContactParameters;

// What a weak reference (ObjectRef.h) looks through; cleared when the object
// is destroyed.
struct ObjectAnchor {
  Object* object = nullptr;
};

class Object : public CommandTarget {
 public:
  // The base commands every type answers, one table per file of handlers:
  // BaseCommands.cpp, ObjectPhysicsCommands.cpp, ActionCommands.cpp,
  // LerpCommands.cpp, ObjectRecordingCommands.cpp; the internal ids objects
  // send one another are handled but never registered.
  static std::span<const CommandEntry<Object>> IdentityCommands();
  static std::span<const CommandEntry<Object>> PhysicsCommands();
  static std::span<const CommandEntry<Object>> ActionCommands();
  static std::span<const CommandEntry<Object>> LerpCommands();
  static std::span<const CommandEntry<Object>> RecordingCommands();
  static std::span<const CommandEntry<Object>> InternalCommands();

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
  virtual int HandleContact(GeometryRecord* own, GeometryRecord* other, ContactParameters* contacts, int count);
  // Run a script record by name or by event id; 0 when none ran.
  virtual int RunScript(const std::string& name, Object* sender);
  virtual int FireEvent(int eventId, Object* sender);
  // FireEvent under a deletion hold, for code that goes on after the event:
  // false when the script deleted this object, which must not be touched
  // then (see Retire).
  bool FireEventStillHere(int eventId, Object* sender);
  // Widget input the frame step hands the widget with the input focus: the
  // cursor's screen point and movement, and input codes going down and up.
  // Widgets answer them; every other type ignores them.
  virtual void PointerMoved(const Vector3& screenPoint, const Vector3& movement);
  virtual void InputDown(const Vector3& screenPoint, int code);
  virtual void InputUp(const Vector3& screenPoint, int code);
  // What the World reads of its listed windows: their window flags (0 for
  // every other type), and losing the focus to another window, which they
  // take without an event.
  virtual std::uint32_t GetWindowFlags() const { return 0; }
  virtual void DropWindowFocus() {}
  // The kind of recording the base recording commands make and load: a
  // type that records more per key than its placement gives its own.
  virtual std::unique_ptr<ObjectRecording> MakeRecording() const;

  // The object a script path names (see ScriptPath.cpp): from start when
  // given, else from the path's head; consumed gets the characters used.
  static Object* ResolveObjectPath(Object* context, std::string_view path, Object* start,
                                   std::size_t* consumed);

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
  // A run-time object (a pool's store of clones, a pre-made thrown clone)
  // is never written to an object file, nor is its subtree; copies keep the
  // mark.
  bool IsRunTimeOnly() const { return runTimeOnly_; }
  void SetRunTimeOnly(bool on) { runTimeOnly_ = on; }
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
  // Removes every child at once and hands them over in child order.
  std::vector<std::unique_ptr<Object>> DetachChildren();
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
  // The World, held weakly: null once it is destroyed.
  World* GetWorld() const;
  void SetWorld(World* world);

  // Frame data of the World; 0 without a World.
  float GetFrameTime() const;
  float GetFrameRate() const;
  float GetWorldTime() const;
  void EnableUpdate();
  void DisableUpdate();

  // The object's side of its World's scheduler lists. payloadBytes counts
  // the call header and the copied argument bytes; 0 makes a link without a
  // call (an update registration). A removed link is kept for the next one
  // added, so an object whose calls come and go allocates only for the most
  // it ever had at once. Count and index cover the links in lists.
  ScheduleLink* AddScheduleLink(ScheduleLink& after, int payloadBytes, int groupBits);
  void RemoveScheduleLink(ScheduleLink* link);
  int GetScheduleLinkCount() const { return static_cast<int>(linkedScheduleLinks_); }
  ScheduleLink* GetScheduleLink(int index) const;

  void Start();
  void Stop();
  void Kill();
  // The Action value: the record's, or 1 / 0 from ActionStarted without one.
  float GetActionValue() const;
  void ResetAction();
  void SetActionValueRecursive(float value);
  // Queues the object for destruction with its subtree, once; false when
  // nothing was handed over (already deleting, or no engine to take it).
  bool Delete(bool deferred);
  // Called on every object of a subtree the moment it leaves the tree to be
  // destroyed (see ObjectServices.h): weak references to it read null, it
  // has no World and no Space, its scheduler calls and update end, no
  // script or event runs on it and Delete does nothing. Its memory lives on until the deletion hold ends,
  // so code still running on it stays safe; such code checks IsRetired (or
  // an ObjectRef to itself) after anything that may run a script, and
  // stops acting. A type that sits in a list of raw pointers leaves it here.
  virtual void Retire();
  bool IsRetired() const { return anchor_ && anchor_->object == nullptr; }

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
  // Replacing or dropping a recording cancels its pending key calls.
  void SetRecording(std::unique_ptr<ObjectRecording> recording);

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
  // Base command handlers: BaseCommands.cpp (identity, flags, transform,
  // tree, internal ids), ObjectPhysicsCommands.cpp, ActionCommands.cpp,
  // LerpCommands.cpp and ObjectRecordingCommands.cpp.
  int SetNameCommand(CommandArgs args);
  int GetNameCommand(CommandArgs args);
  int SetNameSZCommand(CommandArgs args);
  template <std::uint32_t Bit>
  int SetFlagCommand(CommandArgs args) {
    SetFlag(Bit, args.Get<std::int32_t>() != 0);
    return 1;
  }
  template <std::uint32_t Bit>
  int GetFlagCommand(CommandArgs args) {
    args.Set<std::int32_t>(HasFlag(Bit) ? 1 : 0);
    return 1;
  }
  int GetClassIdCommand(CommandArgs args);
  int SetInheritOrientationCommand(CommandArgs args);
  int SetWSOrientationCommand(CommandArgs args);
  int SetPositionCommand(CommandArgs args);
  int GetPositionCommand(CommandArgs args);
  int SetScaleCommand(CommandArgs args);
  int GetScaleCommand(CommandArgs args);
  int SetRotationCommand(CommandArgs args);
  int GetRotationCommand(CommandArgs args);
  int AddPositionCommand(CommandArgs args);
  int AddScaleCommand(CommandArgs args);
  int LookAtCommand(CommandArgs args);
  int LookAtObjectCommand(CommandArgs args);
  int SetOrientationByObjectCommand(CommandArgs args);
  template <int Axis>
  int SetScaleAxisCommand(CommandArgs args);
  template <int Axis>
  int SetPositionAxisCommand(CommandArgs args);
  template <int Axis>
  int SetRotationAxisCommand(CommandArgs args);
  template <int Axis>
  int AlignChildTransformCommand(CommandArgs args);
  int GetPositionWSCommand(CommandArgs args);
  int GetScaleWSCommand(CommandArgs args);
  int GetRotationWSCommand(CommandArgs args);
  int StartPhysicsCommand(CommandArgs args);
  int StopPhysicsCommand(CommandArgs args);
  int SetUseScriptCommand(CommandArgs args);
  // RunScript, RunScriptEx and DeleteScript (ObjectScripts.cpp).
  int RunScriptCommand(CommandArgs args);
  int RunScriptExCommand(CommandArgs args);
  int DeleteScriptCommand(CommandArgs args);
  int SetGlobalScriptAccessCommand(CommandArgs args);
  int DeleteCommand(CommandArgs args);
  int CopyCommand(CommandArgs args);
  int MoveCommand(CommandArgs args);
  int TimerCommandCommand(CommandArgs args);
  int SendRecursiveCommandCommand(CommandArgs args);
  int CreateObjectCommand(CommandArgs args);
  int FindObjectCommand(CommandArgs args);
  template <std::uint32_t Id>
  int GameCommand(CommandArgs args);
  int SpawnObjectInPlaceCommand(CommandArgs args);
  int CollectSaveGameObjects(CommandArgs args);
  int CreatePhysicsInternal(CommandArgs args);
  int StartPhysicsInternal(CommandArgs args);
  int ReleasePhysicsInternal(CommandArgs args);
  int StopPhysicsInternal(CommandArgs args);
  int SetSpaceInternal(CommandArgs args);
  int SetWorldInternal(CommandArgs args);
  // These two and GameCommand hold deletions over the object's own handler
  // or script and its children's: a script may unload the File holding them.
  int BroadcastInternal(CommandArgs args);
  int RaiseEventInternal(CommandArgs args);
  int ChildLeavingInternal(CommandArgs args);
  int SetTransformInternal(CommandArgs args);
  int GetTransformInternal(CommandArgs args);
  // Sends id to every child, in order, except those with unlessFlag set.
  // Deletions asked for meanwhile wait until every child has had it.
  void SendToChildren(std::uint32_t id, void* args, std::uint32_t unlessFlag = 0);

  int SetUsePhysicsCommand(CommandArgs args);
  int SetEnableRigidBodyCommand(CommandArgs args);
  template <std::int32_t Bit>
  int SetPhysicsFlagCommand(CommandArgs args);
  template <std::int32_t Bit>
  int GetPhysicsFlagCommand(CommandArgs args);
  int SetEnableLocalSpaceCommand(CommandArgs args);
  int AddGeometryCommand(CommandArgs args);
  int DeleteGeometryCommand(CommandArgs args);
  int SetGeometryListCommand(CommandArgs args);
  int GetGeometryListCommand(CommandArgs args);
  int SetGeometryTypeCommand(CommandArgs args);
  int GetGeometryTypeCommand(CommandArgs args);
  int SetGeometryDimensionCommand(CommandArgs args);
  int SetGeometryMaterialCommand(CommandArgs args);
  int GetGeometryMaterialCommand(CommandArgs args);
  int SetGeometryUseTransformCommand(CommandArgs args);
  template <auto Field>
  int SetGeometryFieldCommand(CommandArgs args);
  template <auto Field>
  int GetGeometryFieldCommand(CommandArgs args);
  template <std::uint32_t Bit>
  int SetGeometryBitCommand(CommandArgs args);
  template <std::uint32_t Bit>
  int GetGeometryBitCommand(CommandArgs args);
  template <BodyVector What>
  int ApplyBodyVectorCommand(CommandArgs args);
  int GetLinearVelocityCommand(CommandArgs args);
  int GetAngularVelocityCommand(CommandArgs args);

  int SetUseActionCommand(CommandArgs args);
  template <float ActionRecord::*Field>
  int SetActionFieldCommand(CommandArgs args);
  template <float ActionRecord::*Field>
  int GetActionFieldCommand(CommandArgs args);
  int SetActionValueCommand(CommandArgs args);
  int ActionStartPre(CommandArgs args);
  int ActionStopPre(CommandArgs args);
  int ActionKillPre(CommandArgs args);
  int ActionStartStep(CommandArgs args);
  int ActionStopStep(CommandArgs args);
  int ActionKillStep(CommandArgs args);
  int ActionStartPost(CommandArgs args);
  int ActionStopPost(CommandArgs args);
  int ActionKillPost(CommandArgs args);
  int StartCommand(CommandArgs args);
  int StopCommand(CommandArgs args);
  int KillCommand(CommandArgs args);
  // Runs the step after delay seconds on the World, or now without one.
  void PostActionStep(std::uint32_t step, float delay);
  // Drives an Action value command from `from` to `to` over time seconds.
  void FadeActionValue(std::uint32_t command, float from, float to, float time);
  void PassActionStep(std::uint32_t step, std::uint32_t blockToChildren, std::uint32_t blockFromParent);

  template <bool Relative>
  int LerpToPositionCommand(CommandArgs args);
  int LerpToRotationCommand(CommandArgs args);
  int LerpToScaleCommand(CommandArgs args);
  template <std::uint32_t Mode>
  int LerpToByObjectCommand(CommandArgs args);
  int LerpPositionCommand(CommandArgs args);
  int LerpRotationCommand(CommandArgs args);
  int LerpScaleCommand(CommandArgs args);
  int LerpOrientationByObjectCommand(CommandArgs args);
  // Replaces a running lerp of the driven command with one from 0 to 1.
  void StartLerp(std::uint32_t driven, ArgumentBlock& block, float time);

  int StartObjectRecordingCommand(CommandArgs args);
  int StopObjectRecordingCommand(CommandArgs args);
  int ResumeObjectRecordingCommand(CommandArgs args);
  int PlayObjectRecordingCommand(CommandArgs args);
  int SaveObjectRecordingCommand(CommandArgs args);
  int AddObjectRecordingKeyCommand(CommandArgs args);
  int PlayObjectRecordingKeyCommand(CommandArgs args);
  void StartRecordingCalls(std::uint32_t command);

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
  std::span<const std::unique_ptr<ScheduleLink>> LinkedScheduleLinks() const;
  ScheduleLink& TakeKeptScheduleLink(bool withCall, std::size_t argumentSize);

  std::int32_t classId_ = 0;
  std::string name_;
  Object* parent_ = nullptr;
  std::vector<std::unique_ptr<Object>> children_;
  // The links in lists first, then the kept ones.
  std::vector<std::unique_ptr<ScheduleLink>> scheduleLinks_;
  std::size_t linkedScheduleLinks_ = 0;
  Space* space_ = nullptr;
  std::shared_ptr<ObjectAnchor> world_;
  std::int32_t started_ = 0;
  std::uint32_t flags_ = kDefaultObjectFlags;
  bool runTimeOnly_ = false;
  std::unique_ptr<TransformRecord> transform_;
  std::unique_ptr<ObjectPhysics> physics_;
  std::unique_ptr<std::vector<ObjectScript>> scripts_;
  std::unique_ptr<ActionRecord> action_;
  std::unique_ptr<ObjectRecording> recording_;
  // The target of the running LerpTo...ByObject, held weakly.
  std::shared_ptr<ObjectAnchor> lerpTarget_;
  mutable std::shared_ptr<ObjectAnchor> anchor_;

  static int liveObjects_;
};

// Registers the base commands, ids 1 to 249; the engine constructor calls it
// before any type's registration.
void RegisterBaseCommands();

// Destroys an object's children first, each with its own subtree, in child
// order, then the object.
void DestroyObjectTree(std::unique_ptr<Object> object);
// Destroys the children of parent as DestroyObjectTree does, also those a
// destroyed child hands to parent on its way out.
void DestroyChildren(Object& parent);

}  // namespace tge
