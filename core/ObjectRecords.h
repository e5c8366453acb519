// The optional records an object owns: its local transform, its physics
// description with collision shapes, its Action state and its scripts (its
// movement recording is in ObjectRecording.h). Each
// exists only while the matching flag bit says so (see ObjectFlags.h).
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/math/Matrix4.h"
#include "core/math/Quaternion.h"
#include "core/math/Vector.h"

namespace tge {

class Object;
class CompiledScript;
struct PhysicsBody;
struct PhysicsGeom;
struct PhysicsSpace;

struct TransformRecord {
  Vector3 position;
  Vector3 scale{1, 1, 1};
  Quaternion rotation;
  Matrix4 worldMatrix;
  Matrix4 localMatrix;
};

// Physics flags of ObjectPhysics::flags.
inline constexpr std::int32_t kPhysicsEnableRigidBody = 0x1;
inline constexpr std::int32_t kPhysicsRigidBodyUseGeomOrien = 0x2;
inline constexpr std::int32_t kPhysicsNotLockedInSpace = 0x4;
inline constexpr std::int32_t kPhysicsEnableLocalSpace = 0x8;
inline constexpr std::int32_t kPhysicsInheritLocalSpace = 0x10;

// The first word of a GeometryRecord: shape in bits 0-7, flags, material id
// in bits 16-31.
inline constexpr std::uint32_t kGeometrySphere = 0;
inline constexpr std::uint32_t kGeometryBox = 1;
inline constexpr std::uint32_t kGeometryCCylinder = 2;
inline constexpr std::uint32_t kGeometryShapeMask = 0xFF;
inline constexpr std::uint32_t kGeometryCallback = 0x100;
inline constexpr std::uint32_t kGeometryEventOnly = 0x200;
inline constexpr std::uint32_t kGeometryUseTransform = 0x400;
inline constexpr std::uint32_t kGeometryMassByDensity = 0x800;

struct GeometryRecord {
  std::uint32_t info = kGeometrySphere | kGeometryMassByDensity;
  Vector3 position;
  Quaternion rotation;
  Vector3 dimension{1, 0, 0};
  std::uint32_t collisionBits = 0;
  std::uint32_t categoryBits = 0;
  std::uint32_t hitEffectMask = 0;
  float mass = 1.0f;
  // Live collision geometries (the shape and its transform wrapper); never saved.
  PhysicsGeom* geometry = nullptr;
  PhysicsGeom* transformGeometry = nullptr;
  Object* owner = nullptr;

  std::uint32_t Shape() const { return info & kGeometryShapeMask; }
  bool HasLiveGeometry() const { return geometry != nullptr || transformGeometry != nullptr; }
};

// Records are held by pointer so a record's address stays put while the
// list grows or shrinks: the physics side keeps pointers to them.
struct ObjectPhysics {
  std::int32_t flags = 0;
  PhysicsBody* body = nullptr;
  PhysicsSpace* space = nullptr;
  std::vector<std::unique_ptr<GeometryRecord>> geometries;
  // -1 for none; may be out of range after a load, so read it through
  // Object::GetCurrentGeometry.
  std::int32_t currentGeometry = -1;

  bool HasLiveHandles() const;
};

struct ActionRecord {
  std::int32_t reserved = 0;
  float startDelay = 0;
  float startTime = 0;
  float stopDelay = 0;
  float stopTime = 0;
  float killDelay = 0;
  float killTime = 0;
  float value = 1.0f;
  std::int32_t phase = 0;
};

// Flags of ObjectScript::flags. A record flagged as an entry's belongs to
// one of its object's list entries (a Data value, a Timer key) and was made
// with it.
inline constexpr std::int32_t kScriptEntryRecord = 1;
inline constexpr std::int32_t kScriptDisabled = 8;

struct ObjectScript {
  ObjectScript() = default;
  ObjectScript(std::string scriptName, std::string scriptText, std::int32_t event = -1, std::int32_t scriptFlags = 0)
      : name(std::move(scriptName)), text(std::move(scriptText)), eventId(event), flags(scriptFlags) {}

  std::string name;
  std::string text;
  std::int32_t eventId = -1;
  std::int32_t flags = 0;
  // The text as last compiled; compiled again once the text differs from it,
  // whoever changed it. Shared by copies, since it depends on the text only.
  mutable std::shared_ptr<CompiledScript> compiled;
};

}  // namespace tge
