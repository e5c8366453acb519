#include "tools/DemoFigure.h"

#include <array>
#include <cmath>
#include <numbers>
#include <string>

#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/math/Quaternion.h"
#include "services/AnimationResource.h"
#include "services/ErrorMessage.h"
#include "services/MaterialResource.h"
#include "services/MeshFile.h"
#include "services/MeshResource.h"
#include "services/SkinMeshResource.h"
#include "tools/SceneWriter.h"

namespace tge {
namespace {

namespace fs = std::filesystem;

constexpr const char* kFigureMesh = "FigureMesh";
constexpr const char* kFigureSkin = "FigureSkin";
constexpr const char* kFigureMaterial = "FigureMat";
constexpr float kWalkSeconds = 1.2f;
constexpr float kIdleSeconds = 2.0f;
constexpr float kSwitchSeconds = 4.0f;
constexpr float kFadeSeconds = 0.6f;
constexpr float kSprintSeconds = 0.8f;
// Units a second the root moves in the walking and running animations.
constexpr float kStrideSpeed = 1.2f;
constexpr float kSprintSpeed = 3.0f;
constexpr float kFloats = 6;  // position and normal per vertex

// One limb: its bone (id and name), the joint it turns about (relative to
// the figure's root) and its box, hanging from the joint by its offset.
struct Limb {
  const char* name;
  std::uint32_t boneId;
  Vector3 joint;
  Vector3 size;
  Vector3 boxOffset;
  // How far the limb swings about x while walking (radians, signed).
  float swing;
};

constexpr std::array<Limb, 6> kLimbs = {{
    {"Body", 1, {0, 1.1f, 0}, {0.6f, 0.8f, 0.3f}, {0, 0.4f, 0}, 0.0f},
    {"Head", 2, {0, 1.95f, 0}, {0.35f, 0.35f, 0.35f}, {0, 0.2f, 0}, 0.0f},
    {"ArmL", 3, {-0.42f, 1.85f, 0}, {0.18f, 0.75f, 0.18f}, {0, -0.35f, 0}, 0.7f},
    {"ArmR", 4, {0.42f, 1.85f, 0}, {0.18f, 0.75f, 0.18f}, {0, -0.35f, 0}, -0.7f},
    {"LegL", 5, {-0.17f, 1.1f, 0}, {0.22f, 1.05f, 0.22f}, {0, -0.52f, 0}, -0.6f},
    {"LegR", 6, {0.17f, 1.1f, 0}, {0.22f, 1.05f, 0.22f}, {0, -0.52f, 0}, 0.6f},
}};

// Every limb's box in one part, in the figure's rest (bind) space.
gfx::MeshData LimbBoxes() {
  gfx::MeshData all;
  for (const Limb& limb : kLimbs) {
    const gfx::MeshData box = gfx::CreateBoxMesh(limb.size.x, limb.size.y, limb.size.z);
    all.vertexFormat = box.vertexFormat;
    all.vertexSize = box.vertexSize;
    const auto first = static_cast<std::uint16_t>(all.vertexCount);
    for (std::uint32_t v = 0; v < box.vertexCount; ++v) {
      const float* from = box.vertices.data() + std::size_t(v * kFloats);
      all.vertices.push_back(from[0] + limb.joint.x + limb.boxOffset.x);
      all.vertices.push_back(from[1] + limb.joint.y + limb.boxOffset.y);
      all.vertices.push_back(from[2] + limb.joint.z + limb.boxOffset.z);
      all.vertices.insert(all.vertices.end(), from + 3, from + 6);
    }
    for (std::uint16_t i : box.indices) all.indices.push_back(static_cast<std::uint16_t>(first + i));
    all.vertexCount += box.vertexCount;
  }
  return all;
}

// Each vertex follows its limb's bone alone; bone 0 is the root.
SkinMeshFile LimbSkin(const gfx::MeshData& boxes) {
  SkinMeshFile skin;
  skin.parts.resize(1);
  skin.bones.resize(kLimbs.size() + 1);
  skin.bones[0].name = "Root";
  for (std::size_t l = 0; l < kLimbs.size(); ++l) {
    SkinBone& bone = skin.bones[l + 1];
    bone.name = kLimbs[l].name;
    bone.boneId = kLimbs[l].boneId;
    bone.position = kLimbs[l].joint;
    Matrix4Translation(bone.bind, -kLimbs[l].joint.x, -kLimbs[l].joint.y, -kLimbs[l].joint.z);
  }
  const std::uint32_t perBox = boxes.vertexCount / static_cast<std::uint32_t>(kLimbs.size());
  for (std::uint32_t v = 0; v < boxes.vertexCount; ++v) {
    SkinVertex vertex;
    const float* from = boxes.vertices.data() + std::size_t(v * kFloats);
    vertex.position = {from[0], from[1], from[2]};
    vertex.normal = {from[3], from[4], from[5]};
    vertex.bones[0] = static_cast<std::uint8_t>(v / perBox + 1);
    skin.parts[0].vertices.push_back(vertex);
  }
  return skin;
}

Quaternion Swing(float angle) {
  Quaternion q;
  return QuaternionFromAxisAngle(q, {1, 0, 0}, angle);
}

// Every limb swings by amount x its own swing, forth and back over length;
// the root moves forward by forward over it (the motion a character walks
// by).
std::vector<AnimationTrack> LimbTracks(float length, float amount, float bob, float forward = 0) {
  std::vector<AnimationTrack> tracks;
  AnimationTrack& root = tracks.emplace_back();
  root.name = "Root";
  root.boneId = 0;
  root.positionKeys = {{0, {0, 0, 0}}, {length / 2, {0, bob, forward / 2}}, {length, {0, 0, forward}}};
  for (const Limb& limb : kLimbs) {
    AnimationTrack& track = tracks.emplace_back();
    track.name = limb.name;
    track.boneId = static_cast<std::int32_t>(limb.boneId);
    track.positionKeys = {{0, limb.joint}, {length, limb.joint}};
    const float angle = limb.swing * amount;
    track.rotationKeys = {{0, Swing(angle)}, {length / 2, Swing(-angle)}, {length, Swing(angle)}};
  }
  return tracks;
}

bool AddAnimation(ResourceDatabase& resources, const fs::path& dataFolder, const std::string& name, float length,
                  const std::vector<AnimationTrack>& tracks) {
  const std::string fileName = name + ".kfa";
  if (!WriteDataFile(dataFolder / fileName, EncodeAnimationFile(tracks))) return false;
  RegisterResource<AnimationResource>(resources, name, fileName).length = length;
  return true;
}

}  // namespace

bool AddFigureResources(ResourceDatabase& resources, const fs::path& dataFolder) {
  auto& material = RegisterResource<MaterialResource>(resources, kFigureMaterial, "");
  material.flags &= ~std::uint32_t{kMaterialNoColors};
  material.colors.diffuse = {0.85f, 0.55f, 0.3f, 1};
  material.colors.ambient = {0.85f, 0.55f, 0.3f, 1};
  const gfx::MeshData boxes = LimbBoxes();
  const std::string meshFile = std::string(kFigureMesh) + ".msh";
  if (!WriteDataFile(dataFolder / meshFile, EncodeMeshFile({&boxes, 1}))) return false;
  auto& mesh = RegisterResource<MeshResource>(resources, kFigureMesh, meshFile);
  MeshPart& part = mesh.parts.emplace_back();
  part.name = "Limbs";
  part.material = &material;
  part.radius = 2.5f;
  part.box = {{-1, 0, -1}, {1, 2.5f, 1}};
  SkinMeshFile skin = LimbSkin(boxes);
  const std::string skinFile = std::string(kFigureSkin) + ".skn";
  if (!WriteSkinMeshFile((dataFolder / skinFile).string(), skin)) {
    FormatErrorMessage("Cannot write %s", skinFile.c_str());
    return false;
  }
  RegisterResource<SkinMeshResource>(resources, kFigureSkin, skinFile).mesh = &mesh;
  return AddAnimation(resources, dataFolder, "Idle", kIdleSeconds, LimbTracks(kIdleSeconds, 0.1f, 0.03f)) &&
         AddAnimation(resources, dataFolder, "Walk", kWalkSeconds, LimbTracks(kWalkSeconds, 1.0f, 0.08f)) &&
         AddAnimation(resources, dataFolder, kFigureStride, kWalkSeconds,
                      LimbTracks(kWalkSeconds, 1.0f, 0.08f, kWalkSeconds * kStrideSpeed)) &&
         AddAnimation(resources, dataFolder, kFigureSprint, kSprintSeconds,
                      LimbTracks(kSprintSeconds, 1.4f, 0.12f, kSprintSeconds * kSprintSpeed));
}

Object& AddFigureSkin(Object& parent, std::initializer_list<const char*> animations) {
  std::string setUp = std::string("this.SetSkinMesh(") + kFigureSkin + "); this.SetSkinMeshAnimate(1);";
  for (const char* animation : animations) setUp += std::string(" this.AddSkinMeshAnimation(") + animation + ");";
  Object& figure = AddPlaced(parent, kClassSkinMesh, "Figure", setUp);
  for (const Limb& limb : kLimbs) {
    const Vector3& at = limb.joint;
    AddPlaced(figure, kClassBone, limb.name,
              "this.SetPosition(" + std::to_string(at.x) + ", " + std::to_string(at.y) + ", " + std::to_string(at.z) + ");");
  }
  return figure;
}

void AddFigure(Object& space) {
  Object& stand = AddPlaced(space, kClassObject, "FigureStand", "this.SetPosition(-1.9, -0.8, 0.5); this.SetRotationY(0.5);");
  Object& figure = AddFigureSkin(stand, {"Idle", "Walk"});
  const std::string fade = std::to_string(kFadeSeconds);
  RunScript(figure, "this.SetSkinMeshAnimationList(1); this.SetSkinMeshAnimationFadeIn(" + fade +
                        "); this.SetSkinMeshAnimationList(0); this.SetSkinMeshAnimationFadeIn(" + fade + ");");
  Object& timer = AddTimer(figure, "Switch", 2 * kSwitchSeconds, "this.TimerStart();");
  const char* steps[] = {"Walk", "Idle"};
  for (int step = 0; step < 2; ++step) {
    const std::string key = std::string("To") + steps[step];
    RunScript(timer, "this.AddTimerKey(); this.SetTimerKeyList(" + std::to_string(step) + "); this.SetTimerKeyTime(" +
                         std::to_string(step * kSwitchSeconds) + "); this.SetTimerKeyName(" + key + ");");
    SetScriptText(timer, key, std::string("parent.SetSkinMeshAnimation(") + steps[step] + ");");
  }
}

}  // namespace tge
