// Keyframe animation: tracks of position, scale and rotation keys that the
// Animation and SkinMesh object types sample at a time. Keys stored at 16-bit
// precision are expanded to floats when the file is read, so sampling sees
// one key form. The file is checked whole before anything is kept.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/math/Quaternion.h"
#include "core/math/Vector.h"
#include "services/resources/Resource.h"

namespace tge {

enum AnimationTrackFlags : std::uint32_t {
  kCompressedPositionKeys = 2,
  kCompressedScaleKeys = 4,
  kCompressedRotationKeys = 8,
};

struct VectorKey {
  float time = 0;
  Vector3 value;
};

struct RotationKey {
  float time = 0;
  Quaternion value;
};

struct AnimationTrack {
  std::string name;
  std::int32_t parent = -1;
  std::uint32_t value = 0;
  std::int32_t boneId = -1;
  std::uint32_t flags = 0;
  std::vector<VectorKey> positionKeys;
  std::vector<VectorKey> scaleKeys;
  std::vector<RotationKey> rotationKeys;
};

class AnimationResource : public Resource {
 public:
  static constexpr int kType = kAnimationResource;

  AnimationResource() : Resource(kType) {}

  // 1 at once when the tracks are there; 0, with the reason in the
  // last-error text, for a missing or bad file.
  int Load() override;
  int Unload() override;

  // Parses a whole animation file; false, with the reason, when it is bad.
  static bool Parse(const std::uint8_t* data, std::size_t size, std::vector<AnimationTrack>& tracks,
                    std::uint32_t (&values)[3], std::string& error);

  const std::vector<AnimationTrack>& GetTracks() const { return tracks_; }
  const AnimationTrack* GetTrack(std::size_t index);

  // From the library record; the animation file does not store it.
  float length = 0;
  // From the file header (version 3 on); kept, not used.
  std::uint32_t values[3] = {0, 0, 0};

 protected:
  bool SerializeFields(SerializeStream& stream, const ResourceDatabase& database) override;

 private:
  bool loaded_ = false;
  std::vector<AnimationTrack> tracks_;
};

// An animation file (the newest version, keys at full precision) holding
// the tracks; the compression bits of their flags are not written.
std::vector<std::uint8_t> EncodeAnimationFile(std::span<const AnimationTrack> tracks);

// 0 for null; does not load.
float GetAnimationLength(Resource* animation);
// The rest load the animation first and give their default for a null
// resource or a track out of range.
std::size_t GetAnimationTrackCount(Resource* animation);
std::string GetAnimationTrackName(Resource* animation, std::size_t track);
std::int32_t GetAnimationTrackBoneId(Resource* animation, std::size_t track);
std::int32_t GetAnimationTrackParent(Resource* animation, std::size_t track);

// The keys around the time, interpolated without clamping (a time before the
// first key extrapolates from the first two). The cursor, when given, starts
// the search and is left where a forward-moving caller resumes; a caller
// that jumps back in time passes none or 0. Defaults when the track has no
// keys of the kind: position (0, 0, 0), scale (1, 1, 1), identity rotation.
Vector3* SampleAnimationPosition(Resource* animation, std::size_t track, float time, Vector3* out,
                                 std::int32_t* keyCursor);
Vector3* SampleAnimationScale(Resource* animation, std::size_t track, float time, Vector3* out,
                              std::int32_t* keyCursor);
Quaternion* SampleAnimationRotation(Resource* animation, std::size_t track, float time, Quaternion* out,
                                    std::int32_t* keyCursor);

}  // namespace tge
