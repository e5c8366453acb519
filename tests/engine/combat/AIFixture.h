// A small skinned figure for the first-person AI: a cube mesh on a
// recording device, a skeleton of the bones the behaviour names (feet,
// body, head, hand) and the animations it plays, the forward gaits moving
// the root; characters built on it stand in the props room with a body of
// their own, and a stand-in player logs the hits it takes.
#pragma once
#include <string>
#include <vector>

#include "core/ObjectRef.h"
#include "objects/gameplay/characters/AIPlayerFPS.h"
#include "objects/gameplay/world/HitMessage.h"
#include "objects/scene/animation/Bone.h"
#include "objects/scene/animation/SkinMesh.h"
#include "services/render/RenderQueue.h"
#include "services/resources/AnimationResource.h"
#include "services/resources/MeshResource.h"
#include "services/resources/SkinMeshResource.h"
#include "tests/engine/combat/CombatFixture.h"
#include "tests/services/render/RecordingRenderDevice.h"

namespace tge::test {

// A first-person player as far as the AI sees it: health, hits logged.
class StandInPlayer : public Object {
 public:
  StandInPlayer() : Object(kClassPlayerFPS) {}
  int ExecuteCommand(std::uint32_t id, void* args) override {
    if (id == kApplyHit && args != nullptr) hits.push_back(*static_cast<HitMessage*>(args));
    if (id == 10283 && args != nullptr) *static_cast<float*>(args) = health;
    return Object::ExecuteCommand(id, args);
  }
  std::vector<HitMessage> hits;
  float health = 100.0f;
};

struct FigureBone {
  const char* name;
  Vector3 rest;
  std::uint32_t id;
};
inline constexpr FigureBone kFigureBones[] = {{"LeftFoot", {-0.2f, -0.8f, 0}, 1},
                                              {"Body", {0, 0, 0}, 39},
                                              {"Head", {0, 0.8f, 0}, 42},
                                              {"HeadTop", {0, 0.9f, 0}, 47},
                                              {"RightHand", {0.6f, 0.2f, 0}, 68}};

struct FigureAnimation {
  const char* name;
  float length;
  float rootForward;  // per length
};
inline constexpr FigureAnimation kFigureAnimations[] = {
    {"N_Neutral", 1.0f, 0},      {"N_Forward", 1.0f, 1.5f},     {"R_Forward", 1.0f, 3.0f},
    {"M_AttackLeft", 0.8f, 0},   {"M_AttackForward", 0.8f, 0}, {"M_AttackRight", 0.8f, 0},
    {"M_Neutral", 1.0f, 0},      {"N_Gethit0", 0.5f, 0},       {"N_Gethit_Body", 0.5f, 0},
    {"N_Gethit_Head", 0.5f, 0},  {"N_Die", 1.0f, 0},           {"N_Scare", 1.0f, 0}};

class AITest : public CombatTest {
 protected:
  static constexpr std::uint32_t kPropCollide = 0x80000;

  void SetUp() override {
    CombatTest::SetUp();
    AddFigure();
  }

  void AddFigure() {
    ResourceDatabase& resources = GetEngineServices()->GetResources();
    std::unique_ptr<MeshResource> cube = CreateBoxMesh(device.device.Device(), 1, 1, 1);
    cube->SetName("FigureMesh");
    MeshResource& mesh = *cube;
    resources.RegisterResource(std::move(cube));
    SkinMeshFile file;
    file.parts.resize(1);
    file.parts[0].vertices.resize(mesh.parts[0].geometry->vertexCount);
    file.bones.push_back({"Root"});
    for (const FigureBone& bone : kFigureBones) file.bones.push_back({bone.name, bone.rest, {1, 1, 1}, {}, {}, bone.id});
    ASSERT_TRUE(WriteSkinMeshFile(data.Path("Data/Figure.skn").string(), file));
    std::unique_ptr<Resource> skin = resources.CreateResource(kSkinMeshResource);
    skin->SetName("Figure");
    skin->SetFileName("Figure.skn");
    static_cast<SkinMeshResource&>(*skin).mesh = &mesh;
    resources.RegisterResource(std::move(skin));
    for (const FigureAnimation& a : kFigureAnimations) {
      std::vector<AnimationTrack> tracks(1);
      tracks[0].name = "Root";
      tracks[0].boneId = 0;
      tracks[0].positionKeys = {{0, {0, 0, 0}}, {a.length, {0, 0, a.rootForward}}};
      for (const FigureBone& bone : kFigureBones) {
        AnimationTrack& track = tracks.emplace_back();
        track.name = bone.name;
        track.parent = 0;
        track.boneId = static_cast<std::int32_t>(bone.id);
        track.positionKeys = {{0, bone.rest}, {a.length, bone.rest}};
      }
      data.Write(std::string("Data/") + a.name + ".kfa", EncodeAnimationFile(tracks));
      auto animation = std::make_unique<AnimationResource>();
      animation->SetName(a.name);
      animation->SetFileName(std::string(a.name) + ".kfa");
      animation->length = a.length;
      resources.RegisterResource(std::move(animation));
    }
  }

  // A character with a body and the figure as its skin mesh, standing on
  // the floor; not yet linked.
  AIPlayerFPS& MakeAI(const std::string& name, const Vector3& at, bool withSkin = true) {
    AIPlayerFPS& ai = Place<AIPlayerFPS>(*room, name, at);
    ai.SetUsePhysics(true);
    ai.GetPhysics()->flags |= kPhysicsEnableRigidBody;
    GeometryRecord& box = ai.AddGeometry();
    box.info = kGeometryBox | kGeometryCallback | kGeometryMassByDensity;
    box.dimension = {0.6f, 1.8f, 0.6f};
    box.collisionBits = kPropCollide;
    box.categoryBits = kPropCollide | 1;
    if (withSkin) AddSkin(ai);
    characters.emplace_back(&ai);
    return ai;
  }

  SkinMesh& AddSkin(AIPlayerFPS& ai) {
    auto& skin = static_cast<SkinMesh&>(*CreateObject(kClassSkinMesh, nullptr, ai, "Skin"));
    skin.SetInheritOrientation(false);
    for (const FigureBone& b : kFigureBones) {
      Object& bone = *CreateObject(kClassBone, nullptr, skin, b.name);
      bone.SetInheritOrientation(false);
      bone.SetPosition(b.rest, false);
      Send(bone, 1794, 1);  // takes damage
    }
    std::string name = "Figure";
    skin.ExecuteCommand(2500, &name);
    for (const FigureAnimation& a : kFigureAnimations) {
      std::string n = a.name;
      skin.ExecuteCommand(2509, &n);
    }
    Send(skin, 2545, 1);
    Send(skin, 2537, 0);  // the names carry no figure prefix
    return skin;
  }

  // Links, starts and builds the body, as a level load does.
  void Launch(AIPlayerFPS& ai) {
    ai.Precalculate();
    ai.Start();
    ai.ExecuteCommand(161, nullptr);
    ai.ExecuteCommand(162, nullptr);
  }

  StandInPlayer& Player(const Vector3& at, Object* parent = nullptr) {
    Object& home = parent != nullptr ? *parent : *room;
    auto& player = static_cast<StandInPlayer&>(*home.AddChild(std::make_unique<StandInPlayer>()));
    player.SetWorld(world);
    player.SetName("Player");
    player.SetInheritOrientation(false);
    player.SetPosition(at, false);
    player.SetUsePhysics(true);
    GeometryRecord& box = player.AddGeometry();
    box.info = kGeometryBox;
    box.dimension = {0.6f, 1.8f, 0.6f};
    box.collisionBits = 0;
    box.categoryBits = kPropCollide;
    player.ExecuteCommand(161, nullptr);
    return player;
  }

  // Frames of physics and tick, each character drawn as a view would.
  void Frames(int count, bool draw = true) {
    for (int i = 0; i < count; ++i) {
      Step();
      Tick();
      if (!draw) continue;
      for (const ObjectRef<AIPlayerFPS>& ai : characters) {
        if (ai) ai->Draw();
      }
      GetEngineServices()->GetRenderQueue().Reset();
    }
  }
  void Seconds(double seconds, bool draw = true) { Frames(static_cast<int>(std::lround(seconds / kStep)), draw); }

  RecordingRenderDevice device;
  std::vector<ObjectRef<AIPlayerFPS>> characters;
};

}  // namespace tge::test
