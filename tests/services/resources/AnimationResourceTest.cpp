#include "services/resources/AnimationResource.h"

#include <gtest/gtest.h>

#include <cmath>

#include "services/ErrorMessage.h"
#include "services/ResourceDatabase.h"
#include "tests/services/TestBytes.h"

namespace tge {
namespace {

using test::Bytes;

struct TrackSpec {
  std::string name;
  std::int32_t parent = -1;
  std::int32_t bone = -1;
  std::uint32_t flags = 0;
  std::vector<std::array<float, 4>> positions;  // time, x, y, z
  std::vector<std::array<float, 5>> rotations;  // time, x, y, z, w
};

Bytes File(std::uint32_t version, const std::vector<TrackSpec>& tracks) {
  Bytes bytes;
  bytes.U32(version).U32(0).U32(0);
  if (version >= 3) bytes.U32(1).U32(2).U32(3);
  bytes.U32(static_cast<std::uint32_t>(tracks.size()));
  for (const TrackSpec& t : tracks) {
    bytes.Str(t.name);
    if (version >= 4) bytes.I32(t.parent);
    bytes.U32(0).I32(t.bone);
    if (version >= 2) bytes.U32(t.flags);
    bytes.U32(static_cast<std::uint32_t>(t.positions.size()));
    for (const auto& k : t.positions) {
      if (t.flags & kCompressedPositionKeys) {
        bytes.U16(static_cast<std::uint16_t>(k[0])).U16(static_cast<std::uint16_t>(k[1]));
        bytes.U16(static_cast<std::uint16_t>(k[2])).U16(static_cast<std::uint16_t>(k[3]));
      } else {
        for (float f : k) bytes.F32(f);
      }
    }
    bytes.U32(0);
    bytes.U32(static_cast<std::uint32_t>(t.rotations.size()));
    for (const auto& k : t.rotations) {
      if (t.flags & kCompressedRotationKeys) {
        for (float f : k) bytes.U16(static_cast<std::uint16_t>(static_cast<std::int16_t>(f)));
        bytes.U16(0);
      } else {
        for (float f : k) bytes.F32(f);
      }
    }
    bytes.U32(0);
  }
  return bytes;
}

struct Loaded {
  test::TempDataFolder folder;
  ResourceDatabase db;
  Resource* animation = nullptr;
  int loadResult = 0;

  explicit Loaded(const Bytes& bytes) {
    folder.Write("Data/walk.kfa", bytes.data);
    db.SetDataFolder(folder.Folder());
    std::unique_ptr<Resource> created = db.CreateResource(kAnimationResource);
    created->SetFileName("walk.kfa");
    animation = created.get();
    db.RegisterResource(std::move(created));
    loadResult = animation->Load();
  }
};

TrackSpec Walk() {
  TrackSpec t;
  t.name = "Hip";
  t.bone = 3;
  t.positions = {{0, 0, 0, 0}, {1, 10, 0, 0}, {3, 10, 20, 0}};
  t.rotations = {{0, 0, 0, 0, 1}, {2, 0, 1, 0, 0}};
  return t;
}

TEST(Animation, SamplesBetweenOnAndBeyondKeys) {
  Loaded a(File(4, {Walk()}));
  ASSERT_EQ(a.loadResult, 1) << GetErrorMessage();
  Vector3 p;
  const struct {
    float time;
    Vector3 expected;
  } cases[] = {{0.5f, {5, 0, 0}}, {1.0f, {10, 0, 0}}, {2.0f, {10, 10, 0}}, {3.0f, {10, 20, 0}},
               {9.0f, {10, 20, 0}}, {-1.0f, {-10, 0, 0}}};
  for (const auto& c : cases) {
    SampleAnimationPosition(a.animation, 0, c.time, &p, nullptr);
    EXPECT_FLOAT_EQ(p.x, c.expected.x) << c.time;
    EXPECT_FLOAT_EQ(p.y, c.expected.y) << c.time;
  }
  Quaternion q;
  SampleAnimationRotation(a.animation, 0, 1.0f, &q, nullptr);
  EXPECT_NEAR(q.y, std::sqrt(0.5f), 1e-5f);
  EXPECT_NEAR(q.w, std::sqrt(0.5f), 1e-5f);
  Vector3 s;
  SampleAnimationScale(a.animation, 0, 1.0f, &s, nullptr);
  EXPECT_FLOAT_EQ(s.x, 1.0f);
  EXPECT_EQ(GetAnimationTrackName(a.animation, 0), "Hip");
  EXPECT_EQ(GetAnimationTrackBoneId(a.animation, 0), 3);
  EXPECT_EQ(GetAnimationTrackCount(a.animation), 1u);
  EXPECT_EQ(ResourceCast<AnimationResource>(a.animation)->values[2], 3u);
}

TEST(Animation, CursorResumesForwardAndRestartsAtTheEnd) {
  Loaded a(File(4, {Walk()}));
  Vector3 p;
  std::int32_t cursor = 0;
  SampleAnimationPosition(a.animation, 0, 1.5f, &p, &cursor);
  EXPECT_EQ(cursor, 0);  // key 1 is the second to last: the search restarts
  SampleAnimationPosition(a.animation, 0, 0.5f, &p, &cursor);
  EXPECT_EQ(cursor, 0);
  EXPECT_FLOAT_EQ(p.x, 5.0f);
  SampleAnimationPosition(a.animation, 0, 3.0f, &p, &cursor);
  EXPECT_FLOAT_EQ(p.y, 20.0f);
  EXPECT_EQ(cursor, 0);
  cursor = 99;  // a cursor past the keys starts from the first
  SampleAnimationPosition(a.animation, 0, 0.5f, &p, &cursor);
  EXPECT_FLOAT_EQ(p.x, 5.0f);
}

TEST(Animation, SingleKeysEqualTimesAndEmptyTracks) {
  TrackSpec single;
  single.positions = {{0.5f, 1, 2, 3}};
  TrackSpec sameTime;
  sameTime.positions = {{1, 1, 0, 0}, {1, 2, 0, 0}, {2, 3, 0, 0}};
  TrackSpec empty;
  Loaded a(File(4, {single, sameTime, empty}));
  ASSERT_EQ(a.loadResult, 1) << GetErrorMessage();
  Vector3 p;
  for (float t : {-5.0f, 0.5f, 7.0f}) EXPECT_FLOAT_EQ(SampleAnimationPosition(a.animation, 0, t, &p, nullptr)->z, 3);
  EXPECT_TRUE(std::isfinite(SampleAnimationPosition(a.animation, 1, 0.0f, &p, nullptr)->x));
  EXPECT_FLOAT_EQ(p.x, 1.0f);
  EXPECT_FLOAT_EQ(SampleAnimationPosition(a.animation, 1, 1.5f, &p, nullptr)->x, 2.5f);
  EXPECT_FLOAT_EQ(SampleAnimationPosition(a.animation, 2, 1.0f, &p, nullptr)->x, 0.0f);
  Quaternion q;
  EXPECT_FLOAT_EQ(SampleAnimationRotation(a.animation, 7, 1.0f, &q, nullptr)->w, 1.0f);
  EXPECT_EQ(GetAnimationTrackBoneId(a.animation, 7), -1);
  EXPECT_EQ(GetAnimationTrackName(nullptr, 0), "");
}

TEST(Animation, CompressedKeysExpandByTheirScales) {
  TrackSpec t;
  t.flags = kCompressedPositionKeys | kCompressedRotationKeys;
  t.positions = {{0, 0, 0, 0}, {511, 127, 254, 65409}};  // 65409 is -127
  t.rotations = {{511, 0, 0, 0, 32767}};
  Loaded a(File(2, {t}));
  ASSERT_EQ(a.loadResult, 1) << GetErrorMessage();
  Vector3 p;
  SampleAnimationPosition(a.animation, 0, 1.0f, &p, nullptr);
  EXPECT_FLOAT_EQ(p.x, 1.0f);
  EXPECT_FLOAT_EQ(p.y, 2.0f);
  EXPECT_FLOAT_EQ(p.z, -1.0f);
  Quaternion q;
  EXPECT_FLOAT_EQ(SampleAnimationRotation(a.animation, 0, 0.0f, &q, nullptr)->w, 1.0f);
}

TEST(Animation, ParentsComeFromVersion4On) {
  TrackSpec root = Walk();
  TrackSpec child = Walk();
  child.parent = 0;
  Loaded v3(File(3, {root, child}));
  EXPECT_EQ(GetAnimationTrackParent(v3.animation, 1), -1);
  Loaded v4(File(4, {root, child}));
  EXPECT_EQ(GetAnimationTrackParent(v4.animation, 1), 0);
}

TEST(Animation, BadFilesAreRefused) {
  TrackSpec outside = Walk();
  outside.parent = 5;
  TrackSpec self = Walk();
  self.parent = 0;
  TrackSpec badBone = Walk();
  badBone.bone = -7;
  Bytes hugeKeys = File(4, {Walk()});
  hugeKeys.data.resize(hugeKeys.data.size() - 4 - 2 * 20 - 4 - 4 - 3 * 16 - 4);
  hugeKeys.U32(0x10000000);
  Bytes truncated = File(4, {Walk()});
  truncated.data.resize(truncated.data.size() - 6);
  const std::vector<Bytes> cases = {File(4, {outside}), File(4, {self}), File(4, {badBone}), hugeKeys, truncated,
                                    Bytes().U32(4).U32(0).U32(0).U32(0).U32(0).U32(0).U32(1000000)};
  for (std::size_t i = 0; i < cases.size(); ++i) {
    Loaded a(cases[i]);
    EXPECT_EQ(a.loadResult, 0) << i;
    EXPECT_NE(std::string(GetErrorMessage()).find("Bad animation file"), std::string::npos) << i;
    EXPECT_EQ(GetAnimationTrackCount(a.animation), 0u) << i;
  }
}

// The encoder writes what the reader gives back, compressed flags cleared
// since its keys are full floats.
TEST(Animation, EncodedFileReadsBackTheTracks) {
  AnimationTrack root{"Root", -1, 7, 2, kCompressedScaleKeys, {{0, {1, 2, 3}}, {1.5f, {4, 5, 6}}}, {{0, {2, 2, 2}}},
                      {{0.5f, {0, 0.6f, 0, 0.8f}}}};
  AnimationTrack child{"Child", 0, 0, -1, 0, {}, {}, {}};
  const std::vector<AnimationTrack> tracks = {root, child};
  std::vector<std::uint8_t> bytes = EncodeAnimationFile(tracks);
  std::vector<AnimationTrack> read;
  std::uint32_t values[3] = {9, 9, 9};
  std::string error;
  ASSERT_TRUE(AnimationResource::Parse(bytes.data(), bytes.size(), read, values, error)) << error;
  ASSERT_EQ(read.size(), 2u);
  EXPECT_EQ(read[0].name, "Root");
  EXPECT_EQ(read[0].value, 7u);
  EXPECT_EQ(read[0].boneId, 2);
  EXPECT_EQ(read[0].flags, 0u);
  ASSERT_EQ(read[0].positionKeys.size(), 2u);
  EXPECT_FLOAT_EQ(read[0].positionKeys[1].time, 1.5f);
  EXPECT_FLOAT_EQ(read[0].positionKeys[1].value.z, 6.0f);
  EXPECT_FLOAT_EQ(read[0].scaleKeys[0].value.y, 2.0f);
  EXPECT_FLOAT_EQ(read[0].rotationKeys[0].value.w, 0.8f);
  EXPECT_EQ(read[1].name, "Child");
  EXPECT_EQ(read[1].parent, 0);
  EXPECT_TRUE(read[1].positionKeys.empty());
}

}  // namespace
}  // namespace tge
