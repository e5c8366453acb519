// A level unloaded from any event at any moment of a frame. Every built
// type, placed in a level File under a World and a Space and seen by the
// World's camera, gets a script on each event that unloads the level; the
// frames run until one fires, and again without the events already seen,
// until none fires any more. The exit-to-menu path unloads a level whose
// objects are queued for the frame's render. Under the sanitizers nothing
// may read freed memory, and the engine goes on running, saves and exits.
#include <random>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "core/CommandRegistry.h"
#include "core/CommandScheduler.h"
#include "core/ObjectRef.h"
#include "core/math/Random.h"
#include "core/script/ScriptInterpreter.h"
#include "engine/BuiltTypes.h"
#include "objects/gameplay/world/Space.h"
#include "objects/scene/Camera.h"
#include "objects/scene/animation/Animation.h"
#include "objects/scene/animation/SplineObject.h"
#include "services/render/RenderQueue.h"
#include "services/resources/AnimationResource.h"
#include "services/resources/MaterialResource.h"
#include "services/resources/MeshResource.h"
#include "services/resources/MorphMeshResource.h"
#include "services/resources/ResourceType.h"
#include "services/resources/SkinMeshResource.h"
#include "tests/engine/EngineFrameFixture.h"
#include "tests/services/TestBytes.h"

namespace tge::test {
namespace {

constexpr double kFrameTime = 0.05;
// Start at 0.1 s, stop at 0.7 s, kill at 1.3 s; two seconds see them all.
constexpr int kFramesPerRun = 40;
constexpr int kFramesAfterUnload = 3;
constexpr std::uint32_t kFileUnload = 2251;
constexpr std::uint32_t kSetParticlesPerSec = 3256, kEmitOnActionStart = 3260, kSetLife = 3372,
                        kSetParticleMaterial = 3392;
constexpr std::uint32_t kAddSplinePoint = 8504, kSetSplinePointList = 8506, kSetSplinePoint = 8508;
constexpr std::uint32_t kSetSpaceGlobal = 2020;

double gNow = 0;
double ReadNow() { return gNow; }

template <class T>
void LevelSend(Object& object, std::uint32_t id, T value) {
  object.ExecuteCommand(id, &value);
}

void SendText(Object& object, std::uint32_t id, std::string text) { object.ExecuteCommand(id, &text); }

// What a type needs beyond its defaults to reach its own events: the class
// of the parent it must sit under (0 for the Space itself) and the setup.
struct TypeSetup {
  int classId;
  int parentClassId;
  void (*prepare)(Object& parent, Object& thing);
};

void PrepareAnimation(Object&, Object& thing) {
  auto& animation = static_cast<Animation&>(thing);
  animation.AddAnimation("Walk");
  animation.AnimationPlay("Walk");
}

// Along +x for 30 units: at 300 a second the rider ends within a frame.
void PrepareSplineObject(Object& spline, Object& thing) {
  for (std::uint32_t i = 0; i < 2; ++i) {
    spline.ExecuteCommand(kAddSplinePoint, nullptr);
    LevelSend(spline, kSetSplinePointList, i);
    LevelSend(spline, kSetSplinePoint, Vector3{30.0f * static_cast<float>(i), 0, 0});
  }
  thing.ExecuteCommand(kCommandInitializeNewObject, nullptr);
  LevelSend(thing, SplineObject::kSetSpeed, 300.0f);
}

// A burst of two short-lived particles on start: the last death posts the
// Action's stop.
void PrepareParticleSystem(Object&, Object& thing) {
  LevelSend(thing, kSetParticlesPerSec, 0.0f);
  LevelSend(thing, kEmitOnActionStart, 2u);
  LevelSend(thing, kSetLife, 0.1f);
  SendText(thing, kSetParticleMaterial, "Skin");
}

void PrepareMesh(Object&, Object& thing) { RunScriptText(thing, "this.AddMesh(\"Cube\");", nullptr); }
void PrepareMorphMesh(Object&, Object& thing) { RunScriptText(thing, "this.SetMorphMesh(\"Face\");", nullptr); }
void PrepareSkinMesh(Object&, Object& thing) { RunScriptText(thing, "this.SetSkinMesh(\"Figure\");", nullptr); }

constexpr TypeSetup kSetups[] = {
    {kClassAnimation, 0, &PrepareAnimation},
    {kClassSplineObject, kClassSpline, &PrepareSplineObject},
    {kClassParticleSystem, 0, &PrepareParticleSystem},
    {kClassMesh, 0, &PrepareMesh},
    {kClassMorphMesh, 0, &PrepareMorphMesh},
    {kClassSkinMesh, 0, &PrepareSkinMesh},
};

const TypeSetup* FindSetup(int classId) {
  for (const TypeSetup& setup : kSetups) {
    if (setup.classId == classId) return &setup;
  }
  return nullptr;
}

// Every event the registry knows, of any type.
std::vector<const CommandRecord*> AllEvents() {
  std::vector<const CommandRecord*> events;
  for (int id = 0; id < 25000; ++id) {
    const CommandRecord* record = FindCommand(id);
    if (record != nullptr && (record->flags & kCommandEvent) != 0) events.push_back(record);
  }
  return events;
}

class LevelUnloadTest : public EngineFrameTest {
 protected:
  void SetUp() override {
    EngineFrameTest::SetUp();
    gNow = 0;
    World::SetClock(&ReadNow);
    GetEngineServices()->SetDataFolder(data.Folder());
    AddResources();
  }
  void TearDown() override {
    World::SetClock(nullptr);
    EngineFrameTest::TearDown();
  }

  void AddResources() {
    ResourceDatabase& resources = GetEngineServices()->GetResources();
    auto material = std::make_unique<MaterialResource>();
    material->SetName("Skin");
    resources.RegisterResource(std::move(material));
    MeshResource& cube = AddCube("Cube");
    auto morph = std::make_unique<MorphMeshResource>();
    morph->SetName("Face");
    morph->baseMesh = &cube;
    for (const char* target : {"FaceA", "FaceB"}) morph->targets.push_back({0, &AddCube(target)});
    resources.RegisterResource(std::move(morph));
    SkinMeshFile file;
    file.parts.resize(1);
    file.parts[0].vertices.resize(cube.parts[0].geometry->vertexCount);
    file.bones = {{"Root"}};
    ASSERT_TRUE(WriteSkinMeshFile(data.Path("Data/Figure.skn").string(), file));
    std::unique_ptr<Resource> skin = resources.CreateResource(kSkinMeshResource);
    skin->SetName("Figure");
    skin->SetFileName("Figure.skn");
    static_cast<SkinMeshResource&>(*skin).mesh = &cube;
    resources.RegisterResource(std::move(skin));
    const std::vector<AnimationTrack> tracks = {
        {"Hip", -1, 0, -1, 0, {{0, {0, 0, 0}}, {1, {4, 0, 0}}}, {}, {{0, {0, 0, 0, 1}}, {1, {0, 1, 0, 0}}}}};
    data.Write("Data/Walk.kfa", EncodeAnimationFile(tracks));
    auto animation = std::make_unique<AnimationResource>();
    animation->SetName("Walk");
    animation->SetFileName("Walk.kfa");
    animation->length = 0.2f;
    resources.RegisterResource(std::move(animation));
  }
  MeshResource& AddCube(const std::string& name) {
    std::unique_ptr<MeshResource> mesh = CreateBoxMesh(GetRenderDevice()->Device(), 2, 2, 2);
    mesh->SetName(name);
    MeshResource& kept = *mesh;
    GetEngineServices()->GetResources().RegisterResource(std::move(mesh));
    return kept;
  }

  Space& AddSpace(Object& parent, const std::string& name, bool global) {
    auto& space = static_cast<Space&>(Add(parent, name, kClassSpace));
    space.SetPosition({0, 0, 0}, false);
    space.SetLocalBox({{-100, -100, -100}, {100, 100, 100}});
    LevelSend(space, kSetSpaceGlobal, static_cast<std::int32_t>(global ? 1 : 0));
    return space;
  }

  // The World "Game" with a camera in its Space "Hall" looking along +z at
  // the level File "Level", whose global Space "Room" holds what the level
  // is made of; the World is started and its camera active.
  World& AddGame() {
    World& game = AddWorld("Game", true);
    game.GetScripts()->clear();
    Add(game, "Mark");
    Space& hall = AddSpace(game, "Hall", false);
    Object& eye = Add(hall, "Eye", kClassCamera);
    eye.SetPosition({0, 0, -10}, false);
    AddSpace(AddFile(game, "Level", "level.sac"), "Room", true);
    return game;
  }
  static Object& Room(World& game) { return *game.FindChildByName("Room"); }
  static File& Level(World& game) { return static_cast<File&>(*game.FindChildByName("Level")); }
  // Deletions wait for the steps, as they do in the engine's own loads.
  void StartGame(World& game) {
    const DeletionHold hold;
    game.Precalculate();
    game.ExecuteCommand(kCommandCreatePhysics, nullptr);
    game.ExecuteCommand(kCommandStartPhysics, nullptr);
    static_cast<Camera*>(game.FindChildByName("Eye"))->Activate();
  }

  Object& AddThing(World& game, int classId) {
    const TypeSetup* setup = FindSetup(classId);
    Object* parent = &Room(game);
    if (setup != nullptr && setup->parentClassId != 0) parent = &Add(*parent, "Holder", setup->parentClassId);
    Object& thing = *CreateObject(classId, nullptr, *parent, "Thing");
    thing.SetPosition({0, 0, 0}, false);
    if (setup != nullptr) setup->prepare(*parent, thing);
    return thing;
  }

  // Each event not yet seen gets a script that names itself on the mark
  // and unloads the level.
  static void ArmEvents(Object& thing, const std::vector<const CommandRecord*>& events, const std::set<int>& seen) {
    thing.SetUseScript(true);
    for (const CommandRecord* event : events) {
      if (seen.count(event->id) != 0) continue;
      const std::string text =
          "/Game/Mark.SetName(\"" + std::to_string(event->id) + "\"); /Game/Level.FileUnLoad();";
      thing.GetScripts()->push_back({event->name, text, event->id, 0});
    }
  }

  void TimedFrame() {
    gNow += kFrameTime;
    Frame();
  }

  // One run: the first event the frames raise, or -1 when none did.
  int RunUntilAnEventUnloads(int classId, const std::vector<const CommandRecord*>& events, const std::set<int>& seen) {
    World& game = AddGame();
    Object& thing = AddThing(game, classId);
    StartGame(game);
    ArmEvents(thing, events, seen);
    game.DelayCommand(thing, kCommandActionStart, nullptr, 0.1f, kScheduleGeneral);
    game.DelayCommand(thing, kCommandActionStop, nullptr, 0.7f, kScheduleGeneral);
    game.DelayCommand(thing, kCommandActionKill, nullptr, 1.3f, kScheduleGeneral);
    const ObjectRef<World> kept(&game);
    Object& mark = *game.FindChildByName("Mark");
    int fired = -1;
    for (int frame = 0; frame < kFramesPerRun && fired < 0; ++frame) {
      TimedFrame();
      if (mark.GetName() != "Mark") fired = std::stoi(mark.GetName());
    }
    if (fired >= 0) {
      EXPECT_EQ(Level(game).GetChildCount(), 0);
      for (int frame = 0; frame < kFramesAfterUnload; ++frame) TimedFrame();
    }
    EXPECT_TRUE(kept);
    if (kept) engine->GetServices().DeleteObject(*kept.Get(), false);
    return fired;
  }

  TempDataFolder data;
};

TEST_F(LevelUnloadTest, EveryTypesEventsUnloadTheLevelMidFrame) {
  const std::vector<const CommandRecord*> events = AllEvents();
  ASSERT_FALSE(events.empty());
  int unloads = 0;
  for (const BuiltType& type : GetBuiltTypes()) {
    SCOPED_TRACE(GetClassName(type.classId));
    std::set<int> seen;
    for (int fired = RunUntilAnEventUnloads(type.classId, events, seen); fired >= 0;
         fired = RunUntilAnEventUnloads(type.classId, events, seen)) {
      ASSERT_TRUE(seen.insert(fired).second) << "event " << fired << " fired without a script";
      ++unloads;
    }
  }
  EXPECT_GT(unloads, static_cast<int>(GetBuiltTypes().size()));
  World& after = AddGame();
  StartGame(after);
  for (int frame = 0; frame < kFramesAfterUnload; ++frame) TimedFrame();
  EXPECT_TRUE(engine->SaveObjectFile(after, "after.sac", true, false));
}

// The named events of the cases fire and unload from inside the
// frame passes: an animation's end, a rider's spline end, a burst's last
// death, a Space's first drawing.
TEST_F(LevelUnloadTest, TheEventsThatEndALevelFireMidFrame) {
  const std::vector<const CommandRecord*> events = AllEvents();
  struct Case {
    int classId;
    const char* event;
  };
  for (const Case& c : {Case{kClassAnimation, "OnAnimationEnd"}, Case{kClassSplineObject, "OnSplineObjectSplineEnd"},
                        Case{kClassParticleSystem, "ActionStopPost"}, Case{kClassMesh, "OnFirstTimeDrawn"}}) {
    SCOPED_TRACE(c.event);
    std::vector<const CommandRecord*> only;
    for (const CommandRecord* event : events) {
      if (event->name == c.event) only.push_back(event);
    }
    ASSERT_FALSE(only.empty());
    EXPECT_EQ(RunUntilAnEventUnloads(c.classId, only, {}), only[0]->id);
  }
}

// Escape's release raises OnInputExitToMenu between the World passes and
// the render, while the queue holds what every type in the level drew.
TEST_F(LevelUnloadTest, ExitToMenuUnloadsALevelWhoseObjectsAreQueued) {
  World& game = AddGame();
  game.GetScripts()->push_back({"OnInputExitToMenu", "/Game/Level.FileUnLoad();",
                                static_cast<std::int32_t>(kEventOnInputExitToMenu), 0});
  for (const BuiltType& type : GetBuiltTypes()) {
    Object& thing = AddThing(game, type.classId);
    thing.SetName(GetClassName(type.classId));
  }
  StartGame(game);
  RunScriptText(Room(game), "this.Start();", nullptr);
  TimedFrame();
  platform::PushKey(SDL_SCANCODE_ESCAPE, true);
  TimedFrame();
  recording->ClearCalls();
  platform::PushKey(SDL_SCANCODE_ESCAPE, false);
  TimedFrame();
  EXPECT_EQ(Level(game).GetChildCount(), 0);
  EXPECT_GT(recording->CountCalls(gfx::CallType::kDrawIndexedPrimitive), 0u);
  for (int frame = 0; frame < kFramesAfterUnload; ++frame) TimedFrame();
  EXPECT_EQ(engine->GetServices().GetRetiredCount(), 0);
  EXPECT_TRUE(engine->SaveObjectFile(game, "after.sac", true, false));
}

// Random levels of a few types whose events run random statements, among
// them every way of deleting: the level unloaded, objects killed, stopped,
// deleted, moved away, the whole scene unloaded. (Loading the level again
// from its own events would load without end.)
TEST_F(LevelUnloadTest, RandomStatementsOnRandomEventsRunClean) {
  const std::vector<const CommandRecord*> events = AllEvents();
  const std::span<const BuiltType> types = GetBuiltTypes();
  const std::vector<std::string> statements = {
      "/Game/Level.FileUnLoad();", "this.Kill();",           "this.Stop();",          "this.Start();",
      "this.Delete();",            "parent.Kill();",         "/Game/Level/Room/T0.Kill();", "/Game/Level/Room/T1.Delete();",
      "this.Move(/Game/Hall);",    "/Game/Level/Room.Kill();", "/.ATessaryUnload();",  "/Game/Level/Room/T2.Move(/Game);",
  };
  constexpr int kSeeds = 100, kTypesPerLevel = 6, kScriptsPerObject = 40, kFrames = 30;
  for (int seed = 0; seed < kSeeds; ++seed) {
    SCOPED_TRACE(seed);
    std::mt19937 random(static_cast<std::uint32_t>(seed));
    SeedRand(static_cast<std::uint32_t>(seed));
    auto pick = [&random](std::size_t count) { return std::uniform_int_distribution<std::size_t>(0, count - 1)(random); };
    World& game = AddGame();
    std::vector<ObjectRef<>> things;
    for (int i = 0; i < kTypesPerLevel; ++i) {
      Object& thing = AddThing(game, types[pick(types.size())].classId);
      thing.SetName("T" + std::to_string(i));
      thing.SetUseScript(true);
      for (int s = 0; s < kScriptsPerObject; ++s) {
        const CommandRecord* event = events[pick(events.size())];
        thing.GetScripts()->push_back({event->name, statements[pick(statements.size())], event->id, 0});
      }
      things.emplace_back(&thing);
    }
    const ObjectRef<World> kept(&game);
    StartGame(game);
    for (const ObjectRef<>& thing : things) {
      for (std::uint32_t command : {kCommandActionStart, kCommandActionStop, kCommandActionKill}) {
        if (thing) game.DelayCommand(*thing.Get(), static_cast<int>(command), nullptr, static_cast<float>(pick(30)) * 0.05f,
                          kScheduleGeneral);
      }
    }
    for (int frame = 0; frame < kFrames; ++frame) TimedFrame();
    if (kept) engine->GetServices().DeleteObject(*kept.Get(), false);
    TimedFrame();
  }
  World& after = AddGame();
  StartGame(after);
  TimedFrame();
  EXPECT_EQ(engine->GetServices().GetRetiredCount(), 0);
  EXPECT_TRUE(engine->SaveObjectFile(after, "after.sac", true, false));
}

}  // namespace
}  // namespace tge::test
