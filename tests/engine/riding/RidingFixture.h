// A horse and a third-person player on a floor, in the engine's World with
// physics, on the recording render device, with keys and mouse buttons
// reaching player 0's input as in the game. Each frame advances a clock the
// test drives and runs the engine's whole frame step.
//
// Both skinned meshes use one skin whose root moves forward in the moving
// animations: Walk, Trot, Canter and Gallop carry it 5 units a second at
// animation speed 1.
#pragma once
#include <SDL.h>

#include <memory>
#include <string>
#include <vector>

#include "core/World.h"
#include "objects/gameplay/characters/Horse.h"
#include "objects/gameplay/characters/PlayerTP.h"
#include "objects/gameplay/world/Space.h"
#include "objects/scene/Camera.h"
#include "objects/scene/animation/SkinMesh.h"
#include "services/resources/AnimationResource.h"
#include "services/resources/MeshResource.h"
#include "services/resources/SkinMeshResource.h"
#include "tests/engine/EngineFrameFixture.h"
#include "tests/engine/props/PropsFixture.h"

namespace tge::test {

inline constexpr float kRootSpeed = 5.0f;

class RidingTest : public RoomTest<EngineFrameTest> {
 protected:
  static constexpr double kFrame = 0.025;

  void SetUp() override {
    EngineFrameTest::SetUp();
    GetEngineServices()->SetDataFolder(data.Folder());
    MakeRoom(60, -5);
    AddSkin();
    for (const char* name : {"NoRider_Idle", "Idle", "Rearing", "Break", "Kick", "Mount", "MountRight", "Dismount",
                             "HorseMount", "HorseMountRight", "HorseIdle", "HorseDismount", "StepInPlace"}) {
      AddAnimation(name, 0.5f, 0);
    }
    for (const char* name : {"Walk", "Trot", "Canter", "Gallop", "Reverse", "HorseWalk"}) AddAnimation(name, 1.0f, kRootSpeed);
    AddAnimation("Jump", 1.0f, kRootSpeed);
  }

  // Made as the editor makes them, with every animation on the skin.
  template <class T>
  T& Place(Object& parent, const std::string& name, const Vector3& at) {
    T& placed = static_cast<T&>(*parent.AddChild(std::make_unique<Recorded<T>>(events)));
    placed.SetWorld(world);
    placed.SetName(name);
    placed.ExecuteCommand(kCommandInitializeNewObject, nullptr);
    placed.SetPosition(at, false);
    if (auto* skin = static_cast<SkinMesh*>(placed.FindChildByClass(kClassSkinMesh))) Dress(*skin);
    return placed;
  }
  Horse& AddHorse(const Vector3& at = {0, 0, 0}) { return Place<Horse>(*room, "Horse", at); }
  PlayerTP& AddPlayer(const Vector3& at = {3, 0, 0}) { return Place<PlayerTP>(*room, "Player", at); }

  // A body-less box in the room.
  Object& AddBlock(Object& parent, const std::string& name) {
    Object& block = *CreateObject(kClassObject, nullptr, parent, name.c_str());
    block.SetInheritOrientation(false);
    GeometryRecord& box = block.AddGeometry();
    box.info = kGeometryBox;
    box.collisionBits = box.categoryBits = 1;
    return block;
  }
  static void StartPhysics(Object& object) {
    object.ExecuteCommand(kCommandCreatePhysics, nullptr);
    object.ExecuteCommand(kCommandStartPhysics, nullptr);
  }

  // Start-up as the engine does it: the World makes its physics, the room
  // and its objects are linked and started, then their physics is built.
  void Start() {
    world->Precalculate();
    room->Precalculate();
    world->ExecuteCommand(14272, nullptr);
    room->Start();
    room->ExecuteCommand(kCommandCreatePhysics, nullptr);
    room->ExecuteCommand(kCommandStartPhysics, nullptr);
  }

  void Step(double dt = kFrame) {
    PropsClock() += dt;
    Frame();
  }
  void Steps(int count, double dt = kFrame) {
    for (int i = 0; i < count; ++i) Step(dt);
  }
  static void Key(SDL_Scancode key, bool down) { platform::PushKey(key, down); }
  // A key pressed in one frame and let go in the next.
  void Tap(SDL_Scancode key) {
    Key(key, true);
    Step();
    Key(key, false);
    Step();
  }
  void Click(Uint8 button) {
    platform::PushButton(button, true);
    Step();
    platform::PushButton(button, false);
    Step();
  }

  // Mounted and past the mounting animation; a horse back in Idle.
  void Ride(PlayerTP& player, Object& transport) {
    player.EnterTransport(&transport);
    const auto mounted = [&] {
      const bool horseReady = transport.GetClassId() != kClassHorse ||
                              static_cast<Horse&>(transport).GetState() == kHorseIdle;
      return player.GetState() == PlayerTPState::kRiding && horseReady;
    };
    for (int i = 0; i < 200 && !mounted(); ++i) Step();
    ASSERT_TRUE(mounted());
  }

 private:
  void AddSkin() {
    ResourceDatabase& resources = GetEngineServices()->GetResources();
    std::unique_ptr<MeshResource> mesh = CreateBoxMesh(GetRenderDevice()->Device(), 1, 1, 1);
    mesh->SetName("RiderMesh");
    MeshResource& cube = *mesh;
    resources.RegisterResource(std::move(mesh));
    SkinMeshFile file;
    file.parts.resize(1);
    file.parts[0].vertices.resize(cube.parts[0].geometry->vertexCount);
    file.bones = {{"Root"}};
    ASSERT_TRUE(WriteSkinMeshFile(data.Path("Data/Rider.skn").string(), file));
    std::unique_ptr<Resource> skin = resources.CreateResource(kSkinMeshResource);
    skin->SetName("Rider");
    skin->SetFileName("Rider.skn");
    static_cast<SkinMeshResource&>(*skin).mesh = &cube;
    resources.RegisterResource(std::move(skin));
  }

  // Its root moves rootSpeed units a second forward. The skins find it by
  // name after the prefix "Rider_".
  void AddAnimation(const std::string& shortName, float length, float rootSpeed) {
    const std::string name = "Rider_" + shortName;
    std::vector<AnimationTrack> tracks(1);
    tracks[0].name = "Root";
    tracks[0].boneId = 0;
    tracks[0].positionKeys = {{0, {0, 0, 0}}, {length, {0, 0, rootSpeed * length}}};
    data.Write("Data/" + name + ".kfa", EncodeAnimationFile(tracks));
    auto animation = std::make_unique<AnimationResource>();
    animation->SetName(name);
    animation->SetFileName(name + ".kfa");
    animation->length = length;
    GetEngineServices()->GetResources().RegisterResource(std::move(animation));
    animations.push_back(name);
  }

  void Dress(SkinMesh& skin) {
    std::string name = "Rider";
    skin.ExecuteCommand(2500, &name);
    for (std::string animation : animations) skin.ExecuteCommand(2509, &animation);
  }

  std::vector<std::string> animations;
};

}  // namespace tge::test
