// Space's life cycle, its place in the World and in the Space graph, its
// boxes and its file record.
#include "objects/gameplay/world/Space.h"

#include <algorithm>

#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/World.h"
#include "core/files/SerializeStream.h"
#include "core/math/Matrix4.h"
#include "objects/gameplay/physics/PhysicsHandles.h"
#include "objects/gameplay/physics/PhysicsSpace.h"

namespace tge {
namespace {

constexpr int kFirstVersionWithSubBoxes = 35;
constexpr int kFirstVersionWithEntries = 37;
constexpr int kFirstVersionWithEntryWords = 65;
constexpr std::int64_t kBoxBytes = 6 * 4;
constexpr std::int64_t kNameBytes = 4;
constexpr std::int64_t kEntryWordBytes = 3 * 4;
constexpr std::size_t kMaxConnectionNeighbours = 3;

template <class T>
void EraseFirst(std::vector<ObjectRef<T>>& list, const T* item) {
  auto it = std::find_if(list.begin(), list.end(), [item](const ObjectRef<T>& ref) { return ref == item; });
  if (it != list.end()) list.erase(it);
}

template <class T>
bool Contains(const std::vector<ObjectRef<T>>& list, const T* item) {
  return std::any_of(list.begin(), list.end(), [item](const ObjectRef<T>& ref) { return ref == item; });
}

// The count a list is resized to, checked against the bytes the stream
// still holds; -1 when it cannot be trusted.
std::int64_t ReadCount(SerializeStream& stream, std::uint32_t& count, std::int64_t bytesPerItem) {
  stream.Serialize(count);
  if (stream.IsWriting()) return count;
  const std::int64_t left = stream.GetSize() - stream.Tell();
  if (stream.Failed() || static_cast<std::int64_t>(count) * bytesPerItem > left) {
    stream.MarkFailed();
    return -1;
  }
  return count;
}

void SerializeBox(SerializeStream& stream, AABox& box) {
  stream.Serialize(box.min);
  stream.Serialize(box.max);
}

}  // namespace

Space::Space() : Object(kClassSpace) {}

Space::Space(std::uint32_t classId) : Object(classId) {}

Space::Space(const Space& source)
    : Object(source),
      localBox_(source.localBox_),
      localSubBoxes_(source.localSubBoxes_),
      currentSubBox_(source.currentSubBox_),
      currentCollision_(source.currentCollision_),
      currentMesh_(source.currentMesh_),
      spaceFlags_(source.spaceFlags_) {
  for (const auto& entry : source.collisionEntries_) {
    collisionEntries_.push_back(std::make_unique<SpaceCollisionEntry>());
    collisionEntries_.back()->resource = entry->resource;
    collisionEntries_.back()->name = entry->name;
  }
  for (const auto& entry : source.meshEntries_) {
    meshEntries_.push_back(std::make_unique<SpaceMeshEntry>(*entry));
  }
}

// The physics goes while this is still a Space (its release reaches the
// Space's own geometries); the record goes with it, so the base destructor
// finds nothing left to release.
Space::~Space() {
  SetUsePhysics(false);
  if (World::IsLive(GetWorld())) GetWorld()->RemoveSpace(*this);
  if (Space* parent = parentSpace_.Get()) EraseFirst(parent->innerSpaces_, this);
  ReleaseCollisionGeometries();
  if (collisionSpace_ != nullptr) DestroySpace(ToOde(collisionSpace_));
}

void Space::Retire() {
  if (World::IsLive(GetWorld())) GetWorld()->RemoveSpace(*this);
  Object::Retire();
}

void Space::Draw() {}

void Space::Precalculate() {
  if (World::IsLive(GetWorld())) GetWorld()->AddSpace(*this, IsGlobal());
  if (IsCollision() && collisionSpace_ == nullptr) collisionSpace_ = ToPhysicsSpace(CreateSimpleSpace(nullptr));
  SetSpace(this);
  FileSubtree(*this);
  LinkParentSpace();
  ComputeWorldBoxes();
  Object::Precalculate();
}

// A registered Space leaves its old World's list for the new World's, so
// the old World never reaches it again.
void Space::ChangeWorld(World* world) {
  World* old = GetWorld();
  if (old == world || !World::IsLive(old)) return;
  const std::vector<Space*>& spaces = old->GetSpaces();
  if (std::find(spaces.begin(), spaces.end(), this) == spaces.end()) return;
  old->RemoveSpace(*this);
  if (World::IsLive(world)) world->AddSpace(*this, IsGlobal());
}

// Inner Spaces file their own subtrees.
void Space::FileSubtree(Object& object) {
  for (int i = 0; i < object.GetChildCount(); ++i) {
    Object* child = object.GetChild(i);
    if (child->GetClassId() == kClassSpace) continue;
    child->SetSpace(this);
    FileSubtree(*child);
  }
}

void Space::LinkParentSpace() {
  Object* ancestor = GetParent();
  while (ancestor != nullptr && ancestor->GetClassId() != kClassSpace) ancestor = ancestor->GetParent();
  auto* parent = static_cast<Space*>(ancestor);
  parentSpace_.Set(parent);
  if (parent != nullptr && !Contains(parent->innerSpaces_, this)) parent->innerSpaces_.emplace_back(this);
}

void Space::ComputeWorldBoxes() {
  const Matrix4& world = GetWorldMatrix();
  AABoxTransform(worldBox_, localBox_, world);
  Vector3Lerp(boundingSphere_.centre, worldBox_.min, worldBox_.max, 0.5f);
  Vector3 toCorner;
  boundingSphere_.radius = Vector3Length(Vector3Subtract(toCorner, worldBox_.max, boundingSphere_.centre));
  worldSubBoxes_.resize(localSubBoxes_.size());
  for (std::size_t i = 0; i < localSubBoxes_.size(); ++i) AABoxTransform(worldSubBoxes_[i], localSubBoxes_[i], world);
}

void Space::SetSpaceFlag(std::uint32_t bit, bool on) { spaceFlags_ = on ? (spaceFlags_ | bit) : (spaceFlags_ & ~bit); }

bool Space::ContainsPoint(const Vector3& point) const {
  return AABoxContainsPoint(worldBox_.min, worldBox_.max, point);
}

bool Space::OverlapsBox(const Vector3& min, const Vector3& max) const {
  return AABoxOverlap(min, max, worldBox_.min, worldBox_.max);
}

Space* Space::GetInnerSpace(int index) const {
  if (index < 0 || index >= GetInnerSpaceCount()) return nullptr;
  return innerSpaces_[static_cast<std::size_t>(index)].Get();
}

Space* Space::GetConnectedSpace(int index) const {
  if (index < 0 || index >= GetConnectedCount()) return nullptr;
  return connectedSpaces_[static_cast<std::size_t>(index)].Get();
}

// Start-up joins a connection both ways with every room it overlaps;
// joining twice must not list a neighbour twice.
void Space::AddConnectedSpace(Space& other) {
  if (IsConnection() && connectedSpaces_.size() >= kMaxConnectionNeighbours) return;
  if (!Contains(connectedSpaces_, &other)) connectedSpaces_.emplace_back(&other);
}

const Space& Space::GetAnsweringSpace() const {
  const Space* space = this;
  while (space->IsInherit() && space->GetParentSpace() != nullptr) space = space->GetParentSpace();
  return *space;
}

// Connections, inner Spaces, world boxes and resolved resources are rebuilt
// at start, never stored.
bool Space::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  const int version = stream.GetVersion();
  if (version >= 1) {
    stream.Serialize(spaceFlags_);
    std::uint32_t reserved = 0;
    stream.Serialize(reserved);
    SerializeBox(stream, localBox_);
  }
  if (!stream.IsWriting()) currentSubBox_ = -1;
  if (version >= kFirstVersionWithSubBoxes) {
    auto count = static_cast<std::uint32_t>(localSubBoxes_.size());
    const std::int64_t checked = ReadCount(stream, count, kBoxBytes);
    if (checked < 0) return false;
    localSubBoxes_.resize(static_cast<std::size_t>(checked));
    for (AABox& box : localSubBoxes_) SerializeBox(stream, box);
  } else if (!stream.IsWriting()) {
    localSubBoxes_.clear();
  }
  if (version >= kFirstVersionWithEntries && !SerializeEntries(stream)) return false;
  return !stream.Failed();
}

// Loading replaces the lists: built geometries go before their entries.
bool Space::SerializeEntries(SerializeStream& stream) {
  const bool words = stream.GetVersion() >= kFirstVersionWithEntryWords;
  if (!stream.IsWriting()) {
    ReleaseCollisionGeometries();
    collisionEntries_.clear();
    meshEntries_.clear();
    currentCollision_ = -1;
    currentMesh_ = -1;
  }
  auto count = static_cast<std::uint32_t>(collisionEntries_.size());
  std::int64_t checked = ReadCount(stream, count, kNameBytes + (words ? kEntryWordBytes : 0));
  if (checked < 0) return false;
  collisionEntries_.resize(static_cast<std::size_t>(checked));
  for (auto& entry : collisionEntries_) {
    if (!entry) entry = std::make_unique<SpaceCollisionEntry>();
    stream.SerializeString(entry->name);
    if (!words) continue;
    std::uint32_t reserved[3] = {};
    stream.Serialize(reserved);
  }
  count = static_cast<std::uint32_t>(meshEntries_.size());
  checked = ReadCount(stream, count, kNameBytes);
  if (checked < 0) return false;
  meshEntries_.resize(static_cast<std::size_t>(checked));
  for (auto& entry : meshEntries_) {
    if (!entry) entry = std::make_unique<SpaceMeshEntry>();
    stream.SerializeString(entry->name);
  }
  return !stream.Failed();
}

void RegisterSpaceCommands() {
  RegisterCommandTable<Space>(BuildCommandRegistry(), kClassSpace, Space::Commands());
  GetObjectFactory().RegisterType<Space>(kClassSpace);
}

}  // namespace tge
