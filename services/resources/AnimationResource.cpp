#include "services/resources/AnimationResource.h"

#include <algorithm>
#include <type_traits>

#include "core/files/ByteAppend.h"
#include "core/files/SerializeStream.h"
#include "core/math/Quaternion.h"
#include "core/math/Vector.h"
#include "services/ErrorMessage.h"

namespace tge {
namespace {

constexpr float kCompressedTimeScale = 1.0f / 511.0f;
constexpr float kCompressedVectorScale = 1.0f / 127.0f;
constexpr float kCompressedRotationScale = 1.0f / 32767.0f;
// The least a stored track takes: name length, value, bone id, three key
// counts and the closing word.
constexpr std::uint64_t kMinTrackBytes = 28;
constexpr std::uint32_t kWrittenVersion = 4;
constexpr std::uint32_t kCompressedKeys = kCompressedPositionKeys | kCompressedScaleKeys | kCompressedRotationKeys;

float Component(std::uint16_t stored, float scale) { return static_cast<float>(static_cast<std::int16_t>(stored)) * scale; }

void ReadKey(SerializeStream& stream, bool compressed, VectorKey& key) {
  if (!compressed) {
    stream.Serialize(key);
    return;
  }
  std::uint16_t words[4] = {};
  stream.SerializeWords(words, 4);
  key.time = words[0] * kCompressedTimeScale;
  key.value = {Component(words[1], kCompressedVectorScale), Component(words[2], kCompressedVectorScale),
               Component(words[3], kCompressedVectorScale)};
}

void ReadKey(SerializeStream& stream, bool compressed, RotationKey& key) {
  if (!compressed) {
    stream.Serialize(key);
    return;
  }
  std::uint16_t words[6] = {};  // time, x, y, z, w, padding
  stream.SerializeWords(words, 6);
  key.time = words[0] * kCompressedTimeScale;
  key.value = {Component(words[1], kCompressedRotationScale), Component(words[2], kCompressedRotationScale),
               Component(words[3], kCompressedRotationScale), Component(words[4], kCompressedRotationScale)};
}

template <class Key>
bool ReadKeys(SerializeStream& stream, bool compressed, std::uint64_t storedBytes, std::vector<Key>& keys) {
  std::uint32_t count = 0;
  stream.SerializeDword(&count);
  if (stream.Failed() || !CountFitsStream(stream, count, storedBytes)) return false;
  keys.resize(count);
  for (Key& key : keys) ReadKey(stream, compressed, key);
  return !stream.Failed();
}

bool ReadTrack(SerializeStream& stream, int version, AnimationTrack& track) {
  stream.SerializeString(track.name);
  if (version >= 4) stream.SerializeDword(&track.parent);
  stream.SerializeDword(&track.value);
  stream.SerializeDword(&track.boneId);
  if (version >= 2) stream.SerializeDword(&track.flags);
  // Compressed keys came with version 2; older flags words are not trusted.
  const std::uint32_t flags = version >= 2 ? track.flags : 0;
  std::uint32_t dropped = 0;
  const bool ok = ReadKeys(stream, flags & kCompressedPositionKeys, (flags & kCompressedPositionKeys) ? 8 : 16,
                           track.positionKeys) &&
                  ReadKeys(stream, flags & kCompressedScaleKeys, (flags & kCompressedScaleKeys) ? 8 : 16,
                           track.scaleKeys) &&
                  ReadKeys(stream, flags & kCompressedRotationKeys, (flags & kCompressedRotationKeys) ? 12 : 20,
                           track.rotationKeys);
  stream.SerializeDword(&dropped);
  return ok && !stream.Failed();
}

// Parents must name another track and lead to a root; bone ids are -1 or an
// index.
bool LinksAreSound(const std::vector<AnimationTrack>& tracks, std::string& error) {
  const auto count = static_cast<std::int64_t>(tracks.size());
  for (std::size_t i = 0; i < tracks.size(); ++i) {
    if (tracks[i].boneId < -1) {
      error = "bad bone id";
      return false;
    }
    std::int64_t at = static_cast<std::int64_t>(i);
    for (std::int64_t steps = 0; at != -1; ++steps) {
      const std::int64_t parent = tracks[static_cast<std::size_t>(at)].parent;
      if (parent < -1 || parent >= count || steps >= count) {
        error = parent < -1 || parent >= count ? "parent track out of range" : "parent tracks form a cycle";
        return false;
      }
      at = parent;
    }
  }
  return true;
}

}  // namespace

bool AnimationResource::Parse(const std::uint8_t* data, std::size_t size, std::vector<AnimationTrack>& tracks,
                              std::uint32_t (&values)[3], std::string& error) {
  std::vector<std::uint8_t> copy(data, data + size);
  SerializeStream stream;
  if (!stream.OpenMemoryBuffer(copy.size(), "rb", copy.data())) {
    error = "cannot read";
    return false;
  }
  std::uint32_t version = 0, dropped[2] = {0, 0}, trackCount = 0;
  stream.SerializeDword(&version);
  if (version >= 1) stream.SerializeDwords(dropped, 2);
  if (version >= 3) stream.SerializeDwords(values, 3);
  if (version >= 1) stream.SerializeDword(&trackCount);
  if (stream.Failed() || !CountFitsStream(stream, trackCount, kMinTrackBytes)) {
    error = "truncated header or track count beyond the file";
    return false;
  }
  tracks.resize(trackCount);
  const int fileVersion = static_cast<int>(std::min<std::uint32_t>(version, 0x7fffffff));
  for (AnimationTrack& track : tracks) {
    if (!ReadTrack(stream, fileVersion, track)) {
      error = "truncated track or key count beyond the file";
      return false;
    }
  }
  return LinksAreSound(tracks, error);
}

namespace {

template <class Key>
void AppendKeys(std::vector<std::uint8_t>& out, const std::vector<Key>& keys) {
  AppendValue(out, static_cast<std::uint32_t>(keys.size()));
  for (const Key& key : keys) AppendValue(out, key);
}

}  // namespace

std::vector<std::uint8_t> EncodeAnimationFile(std::span<const AnimationTrack> tracks) {
  std::vector<std::uint8_t> out;
  const std::uint32_t header[7] = {kWrittenVersion, 0, 0, 0, 0, 0, static_cast<std::uint32_t>(tracks.size())};
  AppendValue(out, header);
  for (const AnimationTrack& track : tracks) {
    AppendValue(out, static_cast<std::int32_t>(track.name.size()));
    out.insert(out.end(), track.name.begin(), track.name.end());
    const std::uint32_t fields[4] = {static_cast<std::uint32_t>(track.parent), track.value,
                                     static_cast<std::uint32_t>(track.boneId), track.flags & ~kCompressedKeys};
    AppendValue(out, fields);
    AppendKeys(out, track.positionKeys);
    AppendKeys(out, track.scaleKeys);
    AppendKeys(out, track.rotationKeys);
    AppendValue(out, std::uint32_t{0});
  }
  return out;
}

int AnimationResource::Load() {
  if (loaded_) return 1;
  const std::string path = GetDataPath();
  SerializeStream stream;
  if (!stream.OpenAndLoad(path)) return FormatErrorMessage("Error Opening File: %s", path.c_str());
  std::vector<AnimationTrack> tracks;
  std::uint32_t header[3] = {0, 0, 0};
  std::string error;
  const auto size = static_cast<std::size_t>(std::max<std::int64_t>(stream.GetSize(), 0));
  if (!Parse(stream.GetBuffer(), size, tracks, header, error)) {
    return FormatErrorMessage("Bad animation file %s: %s", path.c_str(), error.c_str());
  }
  tracks_ = std::move(tracks);
  std::copy(header, header + 3, values);
  loaded_ = true;
  return 1;
}

int AnimationResource::Unload() {
  tracks_.clear();
  loaded_ = false;
  return 1;
}

const AnimationTrack* AnimationResource::GetTrack(std::size_t index) {
  Load();
  return index < tracks_.size() ? &tracks_[index] : nullptr;
}

bool AnimationResource::SerializeFields(SerializeStream& stream, const ResourceDatabase&) {
  stream.SerializeDword(&length);
  return true;
}

namespace {

const AnimationTrack* TrackOf(Resource* animation, std::size_t track) {
  auto* a = ResourceCast<AnimationResource>(animation);
  return a ? a->GetTrack(track) : nullptr;
}

template <class Key, class Value>
Value SampleKeys(const std::vector<Key>& keys, float time, std::int32_t* cursor, const Value& fallback) {
  const auto n = static_cast<std::int64_t>(keys.size());
  if (n == 0) return fallback;
  std::int64_t b = cursor && *cursor >= 0 && *cursor < n - 1 ? *cursor : 0;
  while (b < n - 1 && keys[static_cast<std::size_t>(b + 1)].time <= time) ++b;
  if (cursor) *cursor = b < n - 2 ? static_cast<std::int32_t>(b) : 0;
  const Key& from = keys[static_cast<std::size_t>(b)];
  if (b == n - 1) return from.value;
  const Key& to = keys[static_cast<std::size_t>(b + 1)];
  // Keys sharing a time would divide by zero: the earlier key stands.
  const float span = to.time - from.time;
  const float f = span != 0.0f ? (time - from.time) / span : 0.0f;
  if constexpr (std::is_same_v<Value, Quaternion>)
    return Slerp(from.value, to.value, f);
  else
    return Lerp(from.value, to.value, f);
}

}  // namespace

float GetAnimationLength(Resource* animation) {
  auto* a = ResourceCast<AnimationResource>(animation);
  return a ? a->length : 0.0f;
}

std::size_t GetAnimationTrackCount(Resource* animation) {
  auto* a = ResourceCast<AnimationResource>(animation);
  if (!a) return 0;
  a->Load();
  return a->GetTracks().size();
}

std::string GetAnimationTrackName(Resource* animation, std::size_t track) {
  const AnimationTrack* t = TrackOf(animation, track);
  return t ? t->name : std::string();
}

std::int32_t GetAnimationTrackBoneId(Resource* animation, std::size_t track) {
  const AnimationTrack* t = TrackOf(animation, track);
  return t ? t->boneId : -1;
}

std::int32_t GetAnimationTrackParent(Resource* animation, std::size_t track) {
  const AnimationTrack* t = TrackOf(animation, track);
  return t ? t->parent : -1;
}

Vector3* SampleAnimationPosition(Resource* animation, std::size_t track, float time, Vector3* out,
                                 std::int32_t* keyCursor) {
  const AnimationTrack* t = TrackOf(animation, track);
  *out = t ? SampleKeys(t->positionKeys, time, keyCursor, Vector3{}) : Vector3{};
  return out;
}

Vector3* SampleAnimationScale(Resource* animation, std::size_t track, float time, Vector3* out,
                              std::int32_t* keyCursor) {
  const AnimationTrack* t = TrackOf(animation, track);
  const Vector3 unit{1, 1, 1};
  *out = t ? SampleKeys(t->scaleKeys, time, keyCursor, unit) : unit;
  return out;
}

Quaternion* SampleAnimationRotation(Resource* animation, std::size_t track, float time, Quaternion* out,
                                    std::int32_t* keyCursor) {
  const AnimationTrack* t = TrackOf(animation, track);
  *out = t ? SampleKeys(t->rotationKeys, time, keyCursor, Quaternion{}) : Quaternion{};
  return out;
}

}  // namespace tge
