// SkinMesh with a fixed frame time on the recording device: the pose from
// sampled keys, cross-fade weights, the wrap, next animations, alternatives,
// root motion, Bone overrides, entry deletion, bones and the file record.
#include "objects/scene/animation/SkinMesh.h"

#include <cmath>
#include <map>

#include "core/math/Random.h"
#include "objects/scene/animation/Bone.h"
#include "services/resources/AnimationResource.h"
#include "services/resources/SkinMeshResource.h"
#include "tests/objects/scene/SceneFixture.h"

namespace tge::test {
namespace {

constexpr std::uint32_t kSetSkinMesh = 2500, kExposeBones = 2503, kAddAnimation = 2509, kSetAnimationList = 2510,
                        kDeleteAnimation = 2512, kFadeIn = 2513, kFadeOut = 2515, kSetAnimate = 2545,
                        kBoneRotationType = 1750, kBoneRotation = 1752, kBoneRotationBlend = 1754,
                        kBonePositionType = 1756, kBonePosition = 1758, kBonePositionBlend = 1760;
constexpr float kSkinStep = 0.1f;
constexpr int kArmId = 5;

// Records the entry indices command 2552 brings.
class Listener : public Object {
 public:
  int ExecuteCommand(std::uint32_t id, void* args) override {
    if (id == kCommandSkinMeshAnimationStarted) told.push_back(*static_cast<std::int32_t*>(args));
    return Object::ExecuteCommand(id, args);
  }
  std::vector<std::int32_t> told;
};

class SkinMeshTest : public SceneFixture {
 protected:
  void SetUp() override {
    SceneFixture::SetUp();
    AddSkinMesh("FigureSkin", {{"Root"}, {"Arm", {1, 0, 0}, {1, 1, 1}, {}, {}, kArmId}});
  }

  // An animation of two tracks (root, arm) whose arm runs from armFrom at
  // 0 to armTo at length and whose root moves rootZ forward over it.
  void AddAnimation(const std::string& name, float length, Vector3 armFrom, Vector3 armTo, float rootZ = 0) {
    std::vector<AnimationTrack> tracks(2);
    tracks[0].name = "Root";
    tracks[0].boneId = 0;
    tracks[0].positionKeys = {{0, {0, 1, 0}}, {length, {0, 1, rootZ}}};
    tracks[1].name = "Arm";
    tracks[1].boneId = kArmId;
    tracks[1].positionKeys = {{0, armFrom}, {length, armTo}};
    folder.Write("Data/" + name + ".kfa", EncodeAnimationFile(tracks));
    auto animation = std::make_unique<AnimationResource>();
    animation->SetName(name);
    animation->SetFileName(name + ".kfa");
    animation->length = length;
    Resources().RegisterResource(std::move(animation));
  }

  SkinMesh& NewSkin(std::initializer_list<const char*> animations, bool withArm = true) {
    SkinMesh& skin = Add<SkinMesh>(kClassSkinMesh, "Skin");
    if (withArm) arm = &Add<Bone>(skin, kClassBone, "Arm");
    std::string name = "FigureSkin";
    skin.ExecuteCommand(kSetSkinMesh, &name);
    for (const char* a : animations) {
      std::string n = a;
      skin.ExecuteCommand(kAddAnimation, &n);
    }
    std::int32_t on = 1;
    skin.ExecuteCommand(kSetAnimate, &on);
    skin.Precalculate();
    return skin;
  }

  void Select(SkinMesh& skin, std::int32_t index) { skin.ExecuteCommand(kSetAnimationList, &index); }
  template <class T>
  static void Send(Object& object, std::uint32_t id, T value) {
    object.ExecuteCommand(id, &value);
  }
  void Frame(SkinMesh& skin, float dt = kSkinStep) {
    skin.UpdateAnimation(dt);
    skin.Draw();
    Queue().Reset();
  }

  Bone* arm = nullptr;
};

TEST_F(SkinMeshTest, PoseEqualsTheSampledKeysAndTheRootPlacesTheObject) {
  AddAnimation("Idle", 1.0f, {0, 0, 0}, {10, 0, 0}, 4);
  SkinMesh& skin = NewSkin({"Idle"});
  ASSERT_EQ(skin.SetSkinMeshAnimation("Idle", 0), 1);
  Frame(skin);
  EXPECT_NEAR(arm->GetPosition().x, 1.0f, 1e-5f);
  EXPECT_EQ(skin.GetPosition().y, 1.0f);
  EXPECT_EQ(skin.GetPosition().z, 0.0f);  // the root's forward motion is taken out
  EXPECT_NEAR(skin.GetRootMotion().z, 0.4f, 1e-5f);
  EXPECT_EQ(skin.GetRecordedRootHeight(), 1.0f);
  Frame(skin);
  EXPECT_NEAR(arm->GetPosition().x, 2.0f, 1e-5f);
  EXPECT_NEAR(skin.GetRootMotion().z, 0.4f, 1e-5f);  // this frame's share only
  // The arm's matrix carries the arm's place into the skin's own space.
  EXPECT_NEAR(skin.GetBoneMatrices()[1].m[12], 2.0f, 1e-5f);
  EXPECT_GT(skin.GetBoundingSphere().radius, 0.0f);
  EXPECT_EQ(skin.SetSkinMeshAnimation("Missing", 0), 0);
}

TEST_F(SkinMeshTest, WithFlag8TheRootPosePlacesTheParent) {
  AddAnimation("Idle", 1.0f, {0, 0, 0}, {0, 0, 0});
  SkinMesh& skin = NewSkin({"Idle"});
  Object& stand = Add<Object>(kClassObject, "Stand");
  ASSERT_TRUE(stand.AddChild(skin));
  Send(skin, 2541, std::int32_t{1});
  skin.SetPosition({7, 7, 7}, false);
  skin.SetSkinMeshAnimation("Idle", 0);
  Frame(skin);
  EXPECT_EQ(skin.GetPosition().x, 7.0f);
  EXPECT_EQ(stand.GetPosition().y, 1.0f);
}

TEST_F(SkinMeshTest, FarFromTheCameraAnEntryWithNoAITurningReusesTheLastSkinning) {
  AddAnimation("Idle", 1.0f, {0, 0, 0}, {0, 0, 0});
  SkinMesh& skin = NewSkin({"Idle"});
  skin.SetFarSkinCache(true);
  Select(skin, 0);
  Send(skin, 2523, std::int32_t{1});  // SkinMeshAnimationNoAITurning
  View().SetCameraLookAt({0, 0, -30}, {0, 0, 0});
  std::vector<RenderCommandKind> kinds;
  for (int frame = 0; frame < 2; ++frame) {
    skin.UpdateAnimation(kSkinStep);
    skin.Draw();
    for (const RenderCommand* c : Queued<RenderCommand>(kListOpaque)) kinds.push_back(c->kind);
    Queue().Reset();
  }
  EXPECT_EQ(kinds, (std::vector<RenderCommandKind>{RenderCommandKind::kSkinMeshPart, RenderCommandKind::kMeshPart}));
}

TEST_F(SkinMeshTest, SwitchWeightsFollowTheFadeOutElseTheFadeInElseNoBlend) {
  AddAnimation("Idle", 1.0f, {0, 0, 0}, {0, 0, 0});
  AddAnimation("Walk", 1.0f, {10, 0, 0}, {10, 0, 0});
  struct Case {
    const char* what;
    float fadeOut, fadeIn;
    bool blends;
    float weightAfterOneStep;
  };
  const Case cases[] = {
      {"fade-out", 0.5f, 0.25f, true, 0.8f},
      {"fade-in only", 0, 0.25f, true, 0.6f},
      {"neither", 0, 0, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SkinMesh& skin = NewSkin({"Idle", "Walk"});
    Select(skin, 0);
    Send(skin, kFadeOut, c.fadeOut);
    Select(skin, 1);
    Send(skin, kFadeIn, c.fadeIn);
    skin.SetSkinMeshAnimation("Idle", 0);
    Frame(skin);
    skin.SetSkinMeshAnimation("Walk", 0);
    const SkinMeshChannelState& fading = skin.GetChannelState(1);
    EXPECT_EQ(fading.animation != nullptr, c.blends);
    Frame(skin);
    if (!c.blends) {
      EXPECT_NEAR(arm->GetPosition().x, 10.0f, 1e-4f);
      continue;
    }
    EXPECT_NEAR(fading.weight, c.weightAfterOneStep, 1e-5f);
    // The old pose weighs the fading state's weight against the new one.
    EXPECT_NEAR(arm->GetPosition().x, 10.0f * (1 - c.weightAfterOneStep), 1e-4f);
    for (int i = 0; i < 10; ++i) Frame(skin);
    EXPECT_EQ(skin.GetChannelState(1).animation, nullptr);
    EXPECT_NEAR(arm->GetPosition().x, 10.0f, 1e-4f);
  }
}

TEST_F(SkinMeshTest, NextAnimationStartsAtTheEndAndASwitchThereContinuesTheOldTail) {
  AddAnimation("Idle", 1.0f, {0, 0, 0}, {1, 0, 0});
  AddAnimation("Walk", 1.0f, {10, 0, 0}, {10, 0, 0});
  SkinMesh& skin = NewSkin({"Idle", "Walk"});
  Select(skin, 0);
  Send(skin, kFadeOut, 0.3f);
  skin.SetSkinMeshAnimation("Walk", 0);
  skin.SetSkinMeshAnimation("Idle", 0);  // Idle again, now 0.7 s long before its tail
  skin.SetSkinMeshNextAnimation("Walk");
  for (int i = 0; i < 6; ++i) Frame(skin);
  EXPECT_EQ(skin.GetCurrentAnimationName(), "Idle");  // 0.6 s: before the length less the fade-out
  Frame(skin);
  Frame(skin);
  EXPECT_EQ(skin.GetCurrentAnimationName(), "Walk");
  EXPECT_EQ(skin.GetNextAnimationName(), "");
  const SkinMeshChannelState& tail = skin.GetChannelState(1);
  ASSERT_NE(tail.animation, nullptr);
  EXPECT_NEAR(tail.time, 0.8f, 1e-4f);  // Idle plays on past 0.7 into its tail
  EXPECT_NEAR(tail.length, 1.0f, 1e-5f);
  EXPECT_NEAR(skin.GetChannelState(0).time, 0.2f, 1e-4f);  // Walk started at the wrap, a frame ago
}

TEST_F(SkinMeshTest, SeededRandomSpreadsStartsOverAnEntryAndItsAlternatives) {
  for (const char* name : {"Idle", "Idle_01", "Idle_02"}) AddAnimation(name, 1.0f, {0, 0, 0}, {0, 0, 0});
  AddAnimation("Walk", 1.0f, {0, 0, 0}, {0, 0, 0});
  SkinMesh& skin = NewSkin({"Idle", "Idle_01", "Idle_02", "Walk"});
  SeedRand(7);
  std::map<int, int> picks;
  for (int i = 0; i < 300; ++i) {
    skin.SetSkinMeshAnimation("Walk", 0);
    skin.SetSkinMeshAnimation("Idle", 0);
    ++picks[skin.GetCurrentEntryIndex()];
  }
  ASSERT_EQ(picks.size(), 3u);
  for (int entry = 0; entry < 3; ++entry) EXPECT_NEAR(picks[entry], 100, 25) << entry;
  EXPECT_EQ(skin.GetAlternativeAnimationName(2), "Idle");
  EXPECT_EQ(skin.GetAlternativeAnimationName(3), "Walk");
}

TEST_F(SkinMeshTest, TheEndOfAnEntryOutsideAGroupTellsTheListenerAndLoops) {
  AddAnimation("Wave", 0.25f, {0, 0, 0}, {1, 0, 0});
  SkinMesh& skin = NewSkin({"Wave"});
  auto& listener = static_cast<Listener&>(*engine->AddChild(std::make_unique<Listener>()));
  skin.SetAnimationListener(&listener);
  Select(skin, 5);  // outside the list: nothing plays
  EXPECT_EQ(skin.GetChannelState(0).animation, nullptr);
  skin.SetSkinMeshAnimation("Wave", 0);
  EXPECT_EQ(listener.told, (std::vector<std::int32_t>{0}));
  skin.SetSkinMeshAnimation("wave", 0);  // already playing: told again, not restarted
  EXPECT_EQ(listener.told.size(), 2u);
  for (int i = 0; i < 3; ++i) Frame(skin);
  EXPECT_EQ(listener.told.size(), 3u);
  EXPECT_NEAR(skin.GetChannelState(0).time, 0.05f, 1e-4f);
}

TEST_F(SkinMeshTest, DeletingAnEntryIdlesItsStatesAndRenumbersTheRest) {
  AddAnimation("Idle", 1.0f, {0, 0, 0}, {0, 0, 0});
  AddAnimation("Walk", 1.0f, {0, 0, 0}, {0, 0, 0});
  SkinMesh& skin = NewSkin({"Idle", "Walk"});
  Select(skin, 0);  // selects Idle and plays it
  skin.SetSkinMeshAnimation("Walk", 0);  // Idle fades out in state 1
  skin.ExecuteCommand(kDeleteAnimation, nullptr);
  EXPECT_EQ(skin.GetChannelState(1).animation, nullptr);
  EXPECT_EQ(skin.GetChannelState(0).entry, 0);
  EXPECT_EQ(skin.GetCurrentEntryIndex(), 0);
  Frame(skin);
  EXPECT_EQ(skin.SetSkinMeshAnimation("Walk", 3), 1);  // channel 3 grows the states
  EXPECT_EQ(skin.GetChannelStateCount(), 8u);
}

TEST_F(SkinMeshTest, BoneOverridesCombineWithTheAnimatedPose) {
  AddAnimation("Idle", 1.0f, {2, 0, 0}, {2, 0, 0});
  Quaternion quarter;
  QuaternionFromAxisAngle(quarter, {0, 1, 0}, 3.14159265f / 2);
  struct Case {
    const char* what;
    std::int32_t rotationType, positionType;
    float blend;
    float x;        // the arm's x
    float rotationY;  // the arm's rotation y
  };
  const Case cases[] = {
      {"none", 0, 0, 0.5f, 2, 0},
      {"added", 1, 1, 0.5f, 6, quarter.y},
      {"after", 2, 1, 0.5f, 6, quarter.y},
      {"blended", 3, 3, 0.5f, 3, std::sin(3.14159265f / 8)},
      {"blend 0 keeps the animation", 3, 3, 0, 2, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SkinMesh& skin = NewSkin({"Idle"});
    Send(*arm, kBoneRotationType, c.rotationType);
    Send(*arm, kBoneRotation, quarter);
    Send(*arm, kBoneRotationBlend, c.blend);
    Send(*arm, kBonePositionType, c.positionType);
    Send(*arm, kBonePosition, Vector3{4, 0, 0});
    Send(*arm, kBonePositionBlend, c.blend);
    skin.SetSkinMeshAnimation("Idle", 0);
    Frame(skin);
    EXPECT_NEAR(arm->GetPosition().x, c.x, 1e-4f);
    EXPECT_NEAR(arm->GetRotation().y, c.rotationY, 1e-4f);
  }
}

TEST_F(SkinMeshTest, BonesMapByNameAndAMissingBoneKeepsTheBindPose) {
  AddAnimation("Idle", 1.0f, {2, 0, 0}, {2, 0, 0});
  SkinMesh& bare = NewSkin({"Idle"}, false);
  bare.SetSkinMeshAnimation("Idle", 0);
  Frame(bare);
  EXPECT_EQ(bare.GetBoneMatrices()[1].m[12], 0.0f);
  EXPECT_EQ(bare.GetBoneObject(kArmId), nullptr);

  SkinMesh& skin = NewSkin({"Idle"});
  EXPECT_EQ(skin.GetBoneObject(kArmId), arm);
  EXPECT_EQ(arm->GetBoneIndex(), kArmId);
  EXPECT_EQ(skin.GetBoneObject(0), nullptr);  // the root
  EXPECT_EQ(skin.GetBoneObject(6), nullptr);
  EXPECT_EQ(skin.GetBoneObject(-1), nullptr);
  EXPECT_EQ(skin.FindNearestBone({0, 0, 0}, false, false), arm);
  EXPECT_EQ(skin.FindNearestBone({0, 0, 0}, false, true), nullptr);
  std::int32_t on = 1;
  skin.ExecuteCommand(kExposeBones, &on);
  EXPECT_EQ(skin.GetName(), "Root");
  EXPECT_EQ(arm->GetPosition().x, 1.0f);  // the rest pose
  std::int32_t off = 0;
  skin.ExecuteCommand(kExposeBones, &off);
  EXPECT_EQ(skin.GetBoneObject(kArmId), nullptr);
}

TEST_F(SkinMeshTest, RecordSavesLoadsAndSavesTheSameBytes) {
  AddAnimation("Idle", 1.0f, {2, 0, 0}, {2, 0, 0});
  SkinMesh& skin = NewSkin({"Idle", "Walk"});
  Select(skin, 1);
  Send(skin, kFadeOut, 0.75f);
  std::unique_ptr<SkinMesh> loaded = RoundTrip(skin);
  ASSERT_NE(loaded, nullptr);
  ASSERT_EQ(loaded->GetAnimationCount(), 2);
  EXPECT_EQ(loaded->GetAnimationEntry(1)->fadeOut, 0.75f);
  EXPECT_EQ(Save(*loaded), Save(skin));
  std::unique_ptr<SkinMesh> old = RoundTrip(skin, 28);
  ASSERT_NE(old, nullptr);
  EXPECT_EQ(old->GetAnimationEntry(1)->fadeOut, 0.0f);
}

TEST_F(SkinMeshTest, ACopyKeepsItsEntriesAndResourcesButNotTheSkeletonOrListener) {
  AddAnimation("Idle", 1.0f, {2, 0, 0}, {2, 0, 0});
  SkinMesh& skin = NewSkin({"Idle"});
  skin.SetSkinMeshAnimation("Idle", 0);
  Frame(skin);
  Resource* idle = skin.GetAnimationEntry(0)->animation.Get();
  const int held = idle->GetReferenceCount();
  {
    std::unique_ptr<Object> object = CreateObject(kClassSkinMesh, &skin, nullptr);
    auto& copy = static_cast<SkinMesh&>(*object);
    EXPECT_EQ(copy.GetSkinMeshResource(), skin.GetSkinMeshResource());
    EXPECT_EQ(copy.GetAnimationCount(), 1);
    EXPECT_EQ(copy.GetChannelState(0).animation, nullptr);
    EXPECT_EQ(copy.GetBoneObject(kArmId), nullptr);  // its own children: none
    EXPECT_EQ(idle->GetReferenceCount(), held + 1);
  }
  EXPECT_EQ(idle->GetReferenceCount(), held);
}

TEST_F(SkinMeshTest, BoneRecordSavesLoadsAndSavesTheSameBytesAndOldVersionsKeepDefaults) {
  NewSkin({});
  Send(*arm, 1768, std::int32_t{1});            // BoneEnableJoint
  Send(*arm, 1770, std::uint32_t{1});           // BoneJointType
  Send(*arm, 1776, Vector3{-1, -2, 0});         // BoneJointLoStop
  Send(*arm, 1792, 3.0f);                       // BoneDamageMul
  std::unique_ptr<Bone> loaded = RoundTrip(*arm);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->GetJointType(), kBoneJointUniversal);
  EXPECT_EQ(loaded->GetDamageMul(), 3.0f);
  EXPECT_EQ(Save(*loaded), Save(*arm));
  std::unique_ptr<Bone> old = RoundTrip(*arm, 17);
  ASSERT_NE(old, nullptr);
  Vector3 low{9, 9, 9};
  old->ExecuteCommand(1777, &low);
  EXPECT_EQ(low.y, 0.0f);
  EXPECT_EQ(old->GetDamageMul(), 1.0f);
  EXPECT_EQ(old->GetJointType(), kBoneJointUniversal);
}

}  // namespace
}  // namespace tge::test
