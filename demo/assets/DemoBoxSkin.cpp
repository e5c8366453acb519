#include "demo/assets/DemoBoxSkin.h"

#include <string>

#include "core/ClassIds.h"
#include "core/math/Quaternion.h"
#include "platform/gfx/Meshes.h"
#include "services/ErrorMessage.h"
#include "services/resources/MaterialResource.h"
#include "services/resources/MeshFile.h"
#include "services/resources/MeshResource.h"
#include "services/resources/SkinMeshResource.h"
#include "tools/SceneWriter.h"

namespace tge {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kFloats = 6;  // position and normal per vertex

// Every limb's box in one part, in the figure's rest (bind) space.
gfx::MeshData LimbBoxes(std::span<const BoxLimb> limbs) {
  gfx::MeshData all;
  for (const BoxLimb& limb : limbs) {
    const gfx::MeshData box = gfx::CreateBoxMesh(limb.size.x, limb.size.y, limb.size.z);
    all.vertexFormat = box.vertexFormat;
    all.vertexSize = box.vertexSize;
    const auto first = static_cast<std::uint16_t>(all.vertexCount);
    for (std::uint32_t v = 0; v < box.vertexCount; ++v) {
      const float* from = box.vertices.data() + v * kFloats;
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
SkinMeshFile LimbSkin(const gfx::MeshData& boxes, std::span<const BoxLimb> limbs) {
  SkinMeshFile skin;
  skin.parts.resize(1);
  skin.bones.resize(limbs.size() + 1);
  skin.bones[0].name = "Root";
  for (std::size_t l = 0; l < limbs.size(); ++l) {
    SkinBone& bone = skin.bones[l + 1];
    bone.name = limbs[l].name;
    bone.boneId = limbs[l].boneId;
    bone.position = limbs[l].joint;
    Matrix4Translation(bone.bind, -limbs[l].joint.x, -limbs[l].joint.y, -limbs[l].joint.z);
  }
  const std::uint32_t perBox = boxes.vertexCount / static_cast<std::uint32_t>(limbs.size());
  for (std::uint32_t v = 0; v < boxes.vertexCount; ++v) {
    SkinVertex vertex;
    const float* from = boxes.vertices.data() + v * kFloats;
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

}  // namespace

bool AddBoxSkin(ResourceDatabase& resources, const fs::path& dataFolder, const BoxSkinDescription& description,
                std::span<const BoxLimb> limbs) {
  const gfx::MeshData boxes = LimbBoxes(limbs);
  const std::string meshFile = std::string(description.meshName) + ".msh";
  if (!WriteDataFile(dataFolder / meshFile, EncodeMeshFile({&boxes, 1}))) return false;
  auto& mesh = RegisterResource<MeshResource>(resources, description.meshName, meshFile);
  MeshPart& part = mesh.parts.emplace_back();
  part.name = "Limbs";
  part.material = description.material;
  part.radius = description.radius;
  part.box = description.box;
  const std::string skinFile = std::string(description.skinName) + ".skn";
  SkinMeshFile skin = LimbSkin(boxes, limbs);
  if (!WriteSkinMeshFile((dataFolder / skinFile).string(), skin)) {
    FormatErrorMessage("Cannot write %s", skinFile.c_str());
    return false;
  }
  RegisterResource<SkinMeshResource>(resources, description.skinName, skinFile).mesh = &mesh;
  return true;
}

std::vector<AnimationTrack> LimbTracks(std::span<const BoxLimb> limbs, const LimbMotion& motion) {
  const float length = motion.length;
  const Vector3& travel = motion.travel;
  std::vector<AnimationTrack> tracks;
  AnimationTrack& root = tracks.emplace_back();
  root.name = "Root";
  root.boneId = 0;
  root.positionKeys = {{0, {0, 0, 0}},
                       {length / 2, {travel.x / 2, motion.bob + travel.y / 2, travel.z / 2}},
                       {length, travel}};
  for (const BoxLimb& limb : limbs) {
    AnimationTrack& track = tracks.emplace_back();
    track.name = limb.name;
    track.boneId = static_cast<std::int32_t>(limb.boneId);
    track.positionKeys = {{0, limb.joint}, {length, limb.joint}};
    const float rest = motion.seated ? limb.seat : 0.0f;
    const float angle = limb.swing * motion.amount;
    track.rotationKeys = {{0, Swing(rest + angle)}, {length / 2, Swing(rest - angle)}, {length, Swing(rest + angle)}};
  }
  return tracks;
}

bool AddLimbAnimations(ResourceDatabase& resources, const fs::path& dataFolder, std::span<const BoxLimb> limbs,
                       const std::string& prefix, std::span<const NamedLimbMotion> motions) {
  for (const NamedLimbMotion& named : motions) {
    const std::string name = prefix + named.name;
    const std::string fileName = name + ".kfa";
    if (!WriteDataFile(dataFolder / fileName, EncodeAnimationFile(LimbTracks(limbs, named.motion)))) return false;
    RegisterResource<AnimationResource>(resources, name, fileName).length = named.motion.length;
  }
  return true;
}

MaterialResource& AddFigureMaterial(ResourceDatabase& resources, const std::string& name, float red, float green,
                                    float blue) {
  auto& material = RegisterResource<MaterialResource>(resources, name, "");
  material.flags &= ~std::uint32_t{kMaterialNoColors};
  material.colors.diffuse = material.colors.ambient = {red, green, blue, 1};
  return material;
}

void DressBoxSkin(Object& skin, const char* skinName, std::span<const BoxLimb> limbs,
                  std::span<const char* const> animations) {
  std::string setUp = std::string("this.SetSkinMesh(") + skinName + "); this.SetSkinMeshAnimate(1);";
  for (const char* animation : animations) setUp += std::string(" this.AddSkinMeshAnimation(") + animation + ");";
  RunScript(skin, setUp);
  for (const BoxLimb& limb : limbs) {
    const Vector3& at = limb.joint;
    AddPlaced(skin, kClassBone, limb.name,
              "this.SetPosition(" + std::to_string(at.x) + ", " + std::to_string(at.y) + ", " + std::to_string(at.z) + ");");
  }
}

}  // namespace tge
