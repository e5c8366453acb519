// The engine's World with physics over one room whose floor is a collision
// box with its top at y = 0, a clock the test advances, and AI players on a
// small skinned figure: a skeleton of a root and a few bones, and
// animations whose root moves forward (Walk 1.5, Run 3 units a second) or
// stands (the others), each a second long unless given otherwise.
#pragma once
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/BaseCommandIds.h"
#include "core/ObjectHooks.h"
#include "objects/gameplay/characters/AIPlayer.h"
#include "objects/gameplay/world/Space.h"
#include "objects/scene/animation/Bone.h"
#include "objects/scene/animation/SkinMesh.h"
#include "tests/objects/scene/animation/MotionFixture.h"

namespace tge::test {

// AIPlayer commands the character tests share.
inline constexpr std::uint32_t kHealth = 15012, kWalkTo = 15047, kRunTo = 15048, kInsertLast = 15063;

class CharacterFixture : public MotionFixture {
 protected:
  static constexpr double kStep = 1.0 / 60;
  static constexpr std::uint32_t kCharacterBits = 1;

  struct FigureAnimation {
    const char* name;
    float length;
    float rootZ;  // how far the root moves forward over the length
  };

  void SetUp() override {
    MotionFixture::SetUp();
    World& world = engine->GetEngineWorld();
    std::int32_t on = 1;
    world.ExecuteCommand(14250, &on);
    world.Precalculate();
    AddBoxGeometry("Floor", {0, -0.5f, 0}, {80, 1, 80});
    room = &AddSpace(*engine, "Room", {0, 0, 0}, 40);
    room->SetWorld(&world);
    room->AddCollisionEntry("Floor");
    room->Precalculate();
    AddSkinMesh("FigureSkin", {{"Root"}, {"Pelvis", {0, 1, 0}, {1, 1, 1}, {}, {}, 3},
                               {"Foot", {0, 0.1f, 0}, {1, 1, 1}, {}, {}, 21},
                               {"HeadBone", {0, 1.8f, 0}, {1, 1, 1}, {}, {}, 47}});
    for (const FigureAnimation& a : kAnimations) AddRootAnimation(a);
  }

  // An animation of the root track alone.
  void AddRootAnimation(const FigureAnimation& a) {
    std::vector<AnimationTrack> tracks(1);
    tracks[0].name = "Root";
    tracks[0].boneId = 0;
    tracks[0].positionKeys = {{0, {0, 0, 0}}, {a.length, {0, 0, a.rootZ}}};
    AddAnimationResource(a.name, tracks, a.length);
  }

  // An AI under parent at a world position on the floor, with a ball body
  // of radius 0.5 whose contacts it handles, a skin mesh of every figure
  // animation, and Bones for the skeleton.
  AIPlayer& AddAI(Object& parent, const std::string& name, const Vector3& at) {
    auto& ai = static_cast<AIPlayer&>(*parent.AddChild(std::make_unique<Logged<AIPlayer>>()));
    ai.SetName(name);
    ai.SetWorld(parent.GetWorld() ? parent.GetWorld() : &engine->GetEngineWorld());
    ai.SetInheritOrientation(false);
    ai.SetWSOrientation(true);
    ai.SetPosition({at.x, at.y + 0.5f, at.z}, false);
    if (parent.GetClassId() == kClassSpace) ai.ExecuteCommand(kCommandSetSpace, &parent);
    ai.SetUsePhysics(true);
    ai.GetPhysics()->flags = kPhysicsEnableRigidBody;
    GeometryRecord& ball = ai.AddGeometry();
    ball.info = kGeometrySphere | kGeometryMassByDensity | kGeometryCallback;
    ball.dimension = {0.5f, 0, 0};
    ball.collisionBits = kCharacterBits;
    ball.categoryBits = kCharacterBits;
    SkinMesh& skin = AddOwn<SkinMesh>(ai, "Skin");
    for (const char* bone : {"Pelvis", "Foot", "HeadBone"}) AddOwn<Bone>(skin, bone);
    std::string skinName = "FigureSkin";
    skin.ExecuteCommand(2500, &skinName);
    for (const FigureAnimation& a : kAnimations) {
      std::string animation = a.name;
      skin.ExecuteCommand(2509, &animation);
    }
    std::int32_t on = 1;
    skin.ExecuteCommand(2545, &on);
    return ai;
  }

  static Logged<AIPlayer>& Log(AIPlayer& ai) { return static_cast<Logged<AIPlayer>&>(ai); }

  // Start-up as the engine does it for a loaded scene.
  void Start(Object& root) {
    root.Precalculate();
    root.Start();
    root.ExecuteCommand(161, nullptr);
    root.ExecuteCommand(162, nullptr);
  }

  // One frame: the physics step, the tick, the post pass, then the draw of
  // drawn (a skin mesh animates once per drawn frame).
  void Step(Object& drawn, double dt = kStep) {
    World& world = engine->GetEngineWorld();
    world.PhysicsStep();
    Now() += dt;
    world.WorldTick();
    world.PostPass();
    drawn.Draw();
    Queue().Reset();
  }
  void Run(Object& drawn, double seconds, double dt = kStep) {
    const int frames = static_cast<int>(seconds / dt + 0.5);
    for (int i = 0; i < frames; ++i) Step(drawn, dt);
  }

  template <class T>
  static void Send(Object& object, std::uint32_t id, T value) {
    object.ExecuteCommand(id, &value);
  }
  static void Send(Object& object, std::uint32_t id) { object.ExecuteCommand(id, nullptr); }
  template <class T>
  static T Get(Object& object, std::uint32_t id) {
    T value{};
    object.ExecuteCommand(id, &value);
    return value;
  }

  static std::vector<AITaskType> Types(const AITaskList& list) {
    std::vector<AITaskType> types;
    for (const AITask& task : list) types.push_back(task.type);
    return types;
  }

  static constexpr FigureAnimation kAnimations[] = {
      {"Idle", 1.0f, 0},   {"Walk", 1.0f, 1.5f},  {"Run", 1.0f, 3.0f},   {"Gethit", 0.5f, 0},
      {"Die", 0.5f, 0},    {"Dead", 1.0f, 0},     {"Attack", 0.6f, 0},   {"Wave", 0.8f, 0},
      {"HorseMount", 0.5f, 0}, {"HorseIdle", 1.0f, 0}, {"HorseTrot", 1.0f, 0},
  };

  Space* room = nullptr;
};

}  // namespace tge::test
