// The base part of every object's record in object files, save games and
// the system settings, and the completion of object copies. One routine both
// saves and loads; it reads as the record's layout:
//   class id, name, flags,
//   [InheritOrientation clear] position, scale, rotation,
//   [UseAction] the nine words of the ActionRecord,
//   [UsePhysics] physics flags, a spare word, geometry count, geometries,
//   [UseScript] script count, then flags, name and text of each script.
// The flags word decides which sections follow, so loading applies it first.
#include <cmath>

#include "core/CommandRegistry.h"
#include "core/Object.h"
#include "core/ObjectHooks.h"
#include "core/ObjectRecording.h"
#include "core/files/SerializeStream.h"
#include "core/math/Quaternion.h"
#include "core/script/ScriptInterpreter.h"

namespace tge {
namespace {

// Bits that describe the live object rather than its saved state: they are
// never written and a load leaves them as they were.
constexpr std::uint32_t kLiveOnlyFlags = kFlagDeleting | kFlagUpdateRegistered;

constexpr std::int32_t kActionStartPost = 78;
constexpr std::int32_t kActionStopPost = 79;
// Streams up to this version predate the MassByDensity flag: their masses
// are densities.
constexpr int kLastVersionWithoutMassFlag = 38;
constexpr std::int64_t kGeometryBytes = 16 * 4;
constexpr std::int64_t kMinScriptBytes = 3 * 4;

// The phase an Action record gets on loading: what its value shows.
std::int32_t PhaseOfValue(float value) { return value != 0 ? kActionStartPost : kActionStopPost; }

// A rotation read from a file is made unit length; one of length zero (or
// not a number) cannot be, and becomes the identity.
void NormalizeLoadedRotation(Quaternion& rotation) {
  const float lengthSquared = rotation.x * rotation.x + rotation.y * rotation.y + rotation.z * rotation.z +
                              rotation.w * rotation.w;
  if (!(lengthSquared > 0) || !std::isfinite(lengthSquared)) {
    rotation = Quaternion{};
    return;
  }
  QuaternionNormalize(rotation, rotation);
}

// Whether count records of at least minBytes each can still be in the stream.
bool CountFits(SerializeStream& stream, std::int32_t count, std::int64_t minBytes) {
  if (count < 0) return false;
  if (stream.IsWriting()) return true;
  const std::int64_t left = stream.GetSize() - stream.Tell();
  return static_cast<std::int64_t>(count) * minBytes <= left;
}

template <class T>
void SerializeAll(SerializeStream& stream, T& first) {
  stream.Serialize(first);
}

template <class T, class... Rest>
void SerializeAll(SerializeStream& stream, T& first, Rest&... rest) {
  stream.Serialize(first);
  SerializeAll(stream, rest...);
}

void SerializeGeometry(SerializeStream& stream, GeometryRecord& geometry) {
  std::uint32_t spare = 0;
  SerializeAll(stream, geometry.info, geometry.position, geometry.rotation, geometry.dimension,
               geometry.collisionBits, geometry.categoryBits, geometry.hitEffectMask, geometry.mass, spare);
}

GeometryRecord CopyWithoutHandles(const GeometryRecord& source, Object* owner) {
  GeometryRecord copy = source;
  copy.geometry = nullptr;
  copy.transformGeometry = nullptr;
  copy.owner = owner;
  return copy;
}

}  // namespace

bool Object::Serialize(SerializeStream& stream) {
  const bool writing = stream.IsWriting();
  std::int32_t classId = classId_;
  stream.Serialize(classId);
  if (!writing) name_.clear();
  stream.SerializeString(name_);
  const std::uint32_t liveFlags = flags_ & kLiveOnlyFlags;
  const bool wasGlobal = HasFlag(kFlagGlobalScriptAccess);
  std::uint32_t flags = flags_ & ~kLiveOnlyFlags;
  stream.Serialize(flags);
  if (stream.Failed() || classId != classId_) return false;
  flags_ = (flags & ~kLiveOnlyFlags) | liveFlags;

  const bool sectionsRead = SerializeTransform(stream) && SerializeAction(stream) && SerializePhysics(stream) &&
                            SerializeScripts(stream);
  if (!sectionsRead || stream.Failed()) return false;
  if (!writing) FinishLoad(wasGlobal);
  return true;
}

bool Object::SerializeTransform(SerializeStream& stream) {
  if (HasFlag(kFlagInheritOrientation)) {
    if (!stream.IsWriting()) transform_.reset();
    return true;
  }
  if (!transform_) {
    transform_ = std::make_unique<TransformRecord>();
    SetFlag(kFlagMatrixValid, false);
  }
  if (!stream.IsWriting()) SetFlag(kFlagMatrixValid, false);
  SerializeAll(stream, transform_->position, transform_->scale, transform_->rotation);
  if (!stream.IsWriting()) NormalizeLoadedRotation(transform_->rotation);
  return !stream.Failed();
}

bool Object::SerializeAction(SerializeStream& stream) {
  if (!HasFlag(kFlagUseAction)) {
    if (!stream.IsWriting()) action_.reset();
    return true;
  }
  if (!stream.IsWriting() || !action_) action_ = std::make_unique<ActionRecord>();
  if (stream.IsWriting()) {
    // A load derives the phase from the value: writing the derived phase
    // makes a saved, loaded and saved again record the same bytes.
    ActionRecord written = *action_;
    written.phase = PhaseOfValue(written.value);
    stream.Serialize(written);
    return !stream.Failed();
  }
  stream.Serialize(*action_);
  action_->phase = PhaseOfValue(action_->value);
  return !stream.Failed();
}

bool Object::SerializePhysics(SerializeStream& stream) {
  const bool writing = stream.IsWriting();
  if (!HasFlag(kFlagUsePhysics)) {
    if (!writing) SetUsePhysics(false);
    return true;
  }
  if (!writing || !physics_) {
    ReleasePhysics();
    physics_ = std::make_unique<ObjectPhysics>();
  }
  std::int32_t spare = 0;
  std::int32_t count = static_cast<std::int32_t>(physics_->geometries.size());
  SerializeAll(stream, physics_->flags, spare, count);
  if (stream.Failed() || !CountFits(stream, count, kGeometryBytes)) return false;
  if (!writing) {
    for (std::int32_t i = 0; i < count; ++i) physics_->geometries.push_back(std::make_unique<GeometryRecord>());
  }
  for (auto& geometry : physics_->geometries) {
    SerializeGeometry(stream, *geometry);
    if (writing) continue;
    geometry->owner = this;
    NormalizeLoadedRotation(geometry->rotation);
    if (stream.GetVersion() <= kLastVersionWithoutMassFlag) geometry->info |= kGeometryMassByDensity;
  }
  return !stream.Failed();
}

bool Object::SerializeScripts(SerializeStream& stream) {
  const bool writing = stream.IsWriting();
  if (!HasFlag(kFlagUseScript)) {
    if (!writing) scripts_.reset();
    return true;
  }
  if (!writing || !scripts_) scripts_ = std::make_unique<std::vector<ObjectScript>>();
  std::int32_t count = static_cast<std::int32_t>(scripts_->size());
  stream.Serialize(count);
  if (stream.Failed() || !CountFits(stream, count, kMinScriptBytes)) return false;
  if (!writing) scripts_->resize(static_cast<std::size_t>(count));
  for (ObjectScript& script : *scripts_) {
    stream.Serialize(script.flags);
    stream.SerializeString(script.name);
    stream.SerializeString(script.text);
    if (stream.Failed()) return false;
    if (!writing) CompileStoredScript(script);
  }
  return true;
}

// A loaded object joins the global-access list when the record asks for it
// and it was not in the list already, and leaves it when the record says so.
void Object::FinishLoad(bool wasGlobal) {
  const bool isGlobal = HasFlag(kFlagGlobalScriptAccess);
  if (ObjectHooks* hooks = GetObjectHooks(); hooks && isGlobal != wasGlobal) {
    if (isGlobal) hooks->AddGlobalAccessObject(*this);
    else hooks->RemoveGlobalAccessObject(*this);
  }
  if (scripts_) {
    for (ObjectScript& script : *scripts_) script.eventId = FindCommandId(this, script.name);
  }
}

Object::Object(const Object& source)
    : CommandTarget(source),
      classId_(source.classId_),
      name_(source.name_),
      world_(source.world_),
      started_(source.started_),
      flags_(source.flags_),
      runTimeOnly_(source.runTimeOnly_) {
  ++liveObjects_;
  if (source.transform_) transform_ = std::make_unique<TransformRecord>(*source.transform_);
  if (source.action_) action_ = std::make_unique<ActionRecord>(*source.action_);
  if (source.scripts_) scripts_ = std::make_unique<std::vector<ObjectScript>>(*source.scripts_);
  if (source.physics_) {
    physics_ = std::make_unique<ObjectPhysics>();
    physics_->flags = source.physics_->flags;
    physics_->currentGeometry = source.physics_->currentGeometry;
    for (const auto& geometry : source.physics_->geometries) {
      physics_->geometries.push_back(std::make_unique<GeometryRecord>(CopyWithoutHandles(*geometry, this)));
    }
  }
}

// The copy constructor already gave the copy records of its own and left it
// detached; what remains is the state a fresh copy must not inherit.
void Object::CopyFrom(const Object&) {
  SetFlag(kFlagMatrixValid | kLiveOnlyFlags, false);
  started_ = 0;
}

}  // namespace tge
