// The skin file against the mesh it skins, its version gates and bad files,
// and the skinning of one part at several vertex layouts.
#include "services/resources/SkinMeshResource.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "core/math/Matrix4.h"
#include "platform/gfx/RecordingDevice.h"
#include "services/ErrorMessage.h"
#include "services/ResourceDatabase.h"
#include "services/render/RenderQueue.h"
#include "services/render/TerrainResource.h"
#include "services/render/ViewState.h"
#include "services/resources/MeshResource.h"
#include "tests/services/TestBytes.h"

namespace tge {
namespace {

using test::Bytes;
using test::TempDataFolder;

constexpr std::uint32_t kPositionNormal = 0x12;               // 24 bytes
constexpr std::uint32_t kPositionNormalTex = 0x112;           // 32 bytes
constexpr std::uint32_t kPositionNormalColourTex = 0x152;     // 36 bytes

struct Influence {
  std::uint8_t bone;
  float weight;
};

struct VertexSpec {
  Vector3 position;
  Vector3 normal{0, 0, 1};
  std::vector<Influence> influences{{0, 1}};
};

Bytes& AddVertex(Bytes& b, const VertexSpec& v, std::uint8_t count) {
  b.F32(v.position.x).F32(v.position.y).F32(v.position.z).F32(v.normal.x).F32(v.normal.y).F32(v.normal.z);
  const std::uint8_t head[4] = {count, 0, 0, 0};
  b.Raw(head, 4);
  std::uint8_t bones[4] = {0, 0, 0, 0};
  for (std::size_t k = 0; k < 4; ++k) {
    b.F32(k < v.influences.size() ? v.influences[k].weight : 0);
    if (k < v.influences.size()) bones[k] = v.influences[k].bone;
  }
  b.Raw(bones, 4);
  return b.Raw("\0\0\0\0\0\0\0\0", 8);
}

struct BoneSpec {
  std::string name;
  std::uint32_t id = 0;
  Vector3 position{1, 2, 3};
  float bindX = 5;  // the bind matrix's x translation
};

// A file of the given version: one part per entry of parts, then the bones.
// The fields a reader skips hold what the encoder writes there.
Bytes SkinFile(std::uint32_t version, const std::vector<std::vector<VertexSpec>>& parts,
               const std::vector<BoneSpec>& bones, int influencesOverride = -1) {
  Bytes b;
  b.U32(version);
  if (version == 0) return b;
  b.U32(0).U32(0).U32(std::uint32_t(parts.size()));
  for (const auto& part : parts) {
    b.U32(std::uint32_t(part.size()));
    for (const VertexSpec& v : part) {
      AddVertex(b, v, influencesOverride >= 0 ? std::uint8_t(influencesOverride) : std::uint8_t(v.influences.size()));
    }
  }
  b.U32(std::uint32_t(bones.size()));
  for (const BoneSpec& bone : bones) {
    b.Str(bone.name);
    if (version > 2) b.Str("");
    b.U32(0).U32(bone.id);
    for (int i = 0; i < 7; ++i) b.F32(i == 6 ? 1.0f : 0.0f);
    b.F32(bone.position.x).F32(bone.position.y).F32(bone.position.z).F32(1).F32(1).F32(1);
    b.F32(0).F32(0).F32(0).F32(1);
    if (version > 1) {
      Matrix4 bind;
      bind.m[12] = bone.bindX;
      b.Raw(bind.m, sizeof bind.m);
    }
  }
  return b;
}

class SkinMeshTest : public ::testing::Test {
 protected:
  // A mesh of parts with the given vertex counts, all of one format.
  void MakeMesh(const std::vector<std::uint32_t>& counts, std::uint32_t format = kPositionNormal) {
    auto created = db_.CreateResource(kMeshResource);
    mesh_ = ResourceCast<MeshResource>(created.get());
    mesh_->SetName("body");
    mesh_->parts.resize(counts.size());
    const auto stride = gfx::VertexSize(format);
    for (std::size_t p = 0; p < counts.size(); ++p) {
      mesh_->parts[p].name = "part" + std::to_string(p);
      mesh_->parts[p].geometry = CreateGeometryBuffers(device_, counts[p], 0, format, stride, 0, gfx::kPoolManaged);
      std::vector<std::uint8_t> fill(std::size_t{counts[p]} * stride, 0xAB);
      void* out = nullptr;
      ASSERT_EQ(mesh_->parts[p].geometry->vertexBuffer->Lock(0, 0, 0, &out), gfx::Result::kOk);
      std::memcpy(out, fill.data(), fill.size());
      mesh_->parts[p].geometry->vertexBuffer->Unlock();
    }
    db_.RegisterResource(std::move(created));
    auto skin = db_.CreateResource(kSkinMeshResource);
    skin_ = ResourceCast<SkinMeshResource>(skin.get());
    skin_->SetName("body skin");
    skin_->SetFileName("body.skn");
    skin_->mesh = mesh_;
    db_.RegisterResource(std::move(skin));
    db_.SetDataFolder(folder_.Folder());
  }

  int LoadFile(const Bytes& file) {
    folder_.Write("Data/body.skn", file.data);
    return skin_->Load();
  }

  // Vertex v of part 0 at the mesh's stride: position, then normal.
  std::pair<Vector3, Vector3> Vertex(std::uint32_t v, std::uint32_t stride = 24) {
    const std::uint8_t* at = mesh_->parts[0].geometry->vertexBuffer->Bytes().data() + std::size_t{v} * stride;
    std::pair<Vector3, Vector3> out;
    std::memcpy(&out.first, at, 12);
    std::memcpy(&out.second, at + 12, 12);
    return out;
  }

  gfx::RecordingDevice device_;
  TempDataFolder folder_;
  ResourceDatabase db_;
  MeshResource* mesh_ = nullptr;
  SkinMeshResource* skin_ = nullptr;
};

TEST_F(SkinMeshTest, VersionsGateTheBonesFieldsAndTheEncoderWritesTheSameBytes) {
  const std::vector<BoneSpec> bones = {{"Root", 0}, {"Arm", 7, {4, 5, 6}}};
  for (std::uint32_t version = 0; version <= 3; ++version) {
    SCOPED_TRACE(version);
    MakeMesh({2});
    const Bytes file = SkinFile(version, {{VertexSpec{}, VertexSpec{}}}, bones);
    ASSERT_EQ(LoadFile(file), 1) << GetErrorMessage();
    const std::vector<SkinBone>& loaded = GetSkinBones(skin_);
    if (version == 0) {
      EXPECT_TRUE(skin_->GetFile().parts.empty());
      EXPECT_TRUE(loaded.empty());
      continue;
    }
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_EQ(loaded[1].name, "Arm");
    EXPECT_EQ(loaded[1].boneId, 7u);
    EXPECT_EQ(loaded[1].position.z, 6.0f);
    EXPECT_EQ(loaded[1].bind.m[12], version > 1 ? 5.0f : 0.0f);
    ASSERT_EQ(skin_->GetFile().parts.size(), 1u);
    EXPECT_EQ(skin_->GetFile().parts[0].vertices.size(), 2u);

  }
  SkinMeshFile copy = skin_->GetFile();
  ASSERT_TRUE(WriteSkinMeshFile(folder_.Path("Data/written.skn").string(), copy));
  EXPECT_EQ(folder_.Read("Data/written.skn"), SkinFile(3, {{VertexSpec{}, VertexSpec{}}}, bones).data);
}

TEST_F(SkinMeshTest, BadFilesAreRefusedWholeNamingTheFileAndRecord) {
  const std::vector<BoneSpec> two = {{"Root", 0}, {"Arm", 1}};
  const std::vector<VertexSpec> three(3);
  std::vector<BoneSpec> tooMany(256);
  for (std::size_t i = 0; i < tooMany.size(); ++i) tooMany[i].id = std::uint32_t(i % 200);
  Bytes truncated = SkinFile(3, {three}, two);
  truncated.data.resize(truncated.data.size() - 3);
  Bytes hugeVertexCount;
  hugeVertexCount.U32(1).U32(0).U32(0).U32(1).U32(3);
  struct Case {
    const char* what;
    Bytes file;
    const char* named;
  };
  const Case cases[] = {
      {"part count differs", SkinFile(3, {three, three}, two), "2 parts"},
      {"vertex count differs", SkinFile(3, {std::vector<VertexSpec>(2)}, two), "part 0 has 2"},
      {"no influence", SkinFile(3, {three}, two, 0), "0 influences"},
      {"five influences", SkinFile(3, {three}, two, 5), "5 influences"},
      {"bone index past the bones", SkinFile(3, {{VertexSpec{}, VertexSpec{{}, {}, {{2, 1}}}, VertexSpec{}}}, two),
       "vertex 1 uses bone 2"},
      {"256 bones", SkinFile(3, {three}, tooMany), "256 bones"},
      {"bone id 256", SkinFile(3, {three}, {{"Root", 0}, {"Arm", 256}}), "bone 1 has id 256"},
      {"truncated", truncated, "ends early"},
      {"vertices past the end", hugeVertexCount, "part 0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MakeMesh({3});
    EXPECT_EQ(LoadFile(c.file), 0);
    const std::string error = GetErrorMessage();
    EXPECT_NE(error.find("body.skn"), std::string::npos) << error;
    EXPECT_NE(error.find(c.named), std::string::npos) << error;
    EXPECT_FALSE(skin_->IsLoaded());
    EXPECT_TRUE(GetSkinBones(skin_).empty());
  }
}

Matrix4 Translation(float x, float y, float z) {
  Matrix4 m;
  return Matrix4Translation(m, x, y, z);
}

TEST_F(SkinMeshTest, OneInfluenceTakesItsBoneAndSeveralTheWeightedSum) {
  MakeMesh({3});
  Matrix4 turn;
  Matrix4RotationZ(turn, 3.14159265f / 2);
  const std::vector<VertexSpec> vertices = {
      {{1, 0, 0}, {1, 0, 0}, {{1, 0.25f}}},                  // one influence: weight not applied
      {{1, 0, 0}, {0, 0, 1}, {{0, 0.5f}, {1, 0.5f}}},        // halfway between two bones
      {{0, 0, 0}, {1, 0, 0}, {{0, 0.25f}, {2, 0.75f}}}};     // normal through a turn and a move
  ASSERT_EQ(LoadFile(SkinFile(3, {vertices}, {{"a", 0}, {"b", 1}, {"c", 2}})), 1) << GetErrorMessage();
  const Matrix4 matrices[] = {Translation(0, 10, 0), Translation(0, 0, 4), turn};
  SkinPart(skin_, 0, matrices, 3);
  auto [p0, n0] = Vertex(0);
  EXPECT_FLOAT_EQ(p0.x, 1);
  EXPECT_FLOAT_EQ(p0.z, 4);
  EXPECT_FLOAT_EQ(n0.x, 1);
  auto [p1, n1] = Vertex(1);
  EXPECT_FLOAT_EQ(p1.y, 5);
  EXPECT_FLOAT_EQ(p1.z, 2);
  EXPECT_FLOAT_EQ(n1.z, 1);
  auto [p2, n2] = Vertex(2);
  EXPECT_FLOAT_EQ(p2.y, 2.5f);
  EXPECT_NEAR(n2.x, 0.25f / std::sqrt(0.25f * 0.25f + 0.75f * 0.75f), 1e-5f);
  EXPECT_NEAR(std::sqrt(n2.x * n2.x + n2.y * n2.y + n2.z * n2.z), 1.0f, 1e-5f);
}

TEST_F(SkinMeshTest, PartsAreWrittenAtTheirOwnStrideLeavingTheRestAndNeedAMatrixPerBone) {
  for (std::uint32_t format : {kPositionNormal, kPositionNormalTex, kPositionNormalColourTex}) {
    const std::uint32_t stride = gfx::VertexSize(format);
    SCOPED_TRACE(stride);
    MakeMesh({2}, format);
    ASSERT_EQ(LoadFile(SkinFile(3, {{{{1, 2, 3}}, {{4, 5, 6}}}}, {{"a", 0}, {"b", 1}})), 1) << GetErrorMessage();
    const Matrix4 matrices[] = {Translation(10, 0, 0), Matrix4{}};
    SkinPart(skin_, 0, matrices, 1);  // fewer matrices than bones
    EXPECT_EQ(mesh_->parts[0].geometry->vertexBuffer->Bytes()[0], 0xAB);
    SkinPart(skin_, 0, matrices, 2);
    EXPECT_FLOAT_EQ(Vertex(1, stride).first.x, 14);
    EXPECT_FLOAT_EQ(Vertex(1, stride).second.z, 1);
    const std::uint8_t* bytes = mesh_->parts[0].geometry->vertexBuffer->Bytes().data();
    for (std::uint32_t v = 0; v < 2; ++v) {
      for (std::uint32_t b = 24; b < stride; ++b) EXPECT_EQ(bytes[v * stride + b], 0xAB);
    }
  }
}

TEST_F(SkinMeshTest, SubsetsSwitchMeshAndSkinPartsByNameAndDisabledPartsAreNotPosed) {
  MakeMesh({1, 1});
  ASSERT_EQ(LoadFile(SkinFile(3, {{VertexSpec{}}, {VertexSpec{}}}, {{"a", 0}})), 1) << GetErrorMessage();
  SetSkinMeshSubsetActive(skin_, "PART1", 0);
  EXPECT_EQ(GetSkinMeshPartActive(skin_, 0), 1u);
  EXPECT_EQ(GetSkinMeshPartActive(skin_, 1), 0u);
  EXPECT_EQ(mesh_->parts[1].active, 0u);
  EXPECT_EQ(GetSkinMeshPartActive(skin_, 2), 0u);
  const Matrix4 matrices[] = {Translation(1, 0, 0)};
  SkinPart(skin_, 1, matrices, 1);
  EXPECT_EQ(mesh_->parts[1].geometry->vertexBuffer->Bytes()[0], 0xAB);
  EXPECT_EQ(GetSkinMesh(skin_), mesh_);
  EXPECT_EQ(GetSkinMesh(nullptr), nullptr);
  EXPECT_TRUE(GetSkinBones(nullptr).empty());
}

TEST_F(SkinMeshTest, QueuedPartsAreTheEnabledOnesInViewAndTerrainGoesLastInTheOpaqueList) {
  MakeMesh({1, 1});
  ASSERT_EQ(LoadFile(SkinFile(3, {{VertexSpec{}}, {VertexSpec{}}}, {{"a", 0}})), 1) << GetErrorMessage();
  ViewState view;
  view.SetProjection(3.14159265f / 2, 1.0f, 1.0f, 100.0f);
  view.SetCameraLookAt({0, 0, 0}, {0, 0, 1});
  RenderQueue queue(view);
  const Matrix4 matrices[] = {Translation(1, 0, 0)};
  EXPECT_EQ(queue.QueueSkinMesh(skin_, matrices, 1, Translation(0, 0, 10), nullptr, nullptr, nullptr), 1);
  const Sphere behind{{0, 0, -10}, 1};
  EXPECT_EQ(queue.QueueSkinMesh(skin_, matrices, 1, Translation(0, 0, 10), &behind, nullptr, nullptr), 0);
  SetSkinMeshSubsetActive(skin_, "part0", 0);
  EXPECT_EQ(queue.QueueSkinMesh(skin_, matrices, 1, Translation(0, 0, 10), nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(queue.QueueSkinMesh(nullptr, matrices, 1, Matrix4{}, nullptr, nullptr, nullptr), 0);
  TerrainResource terrain;
  queue.QueueTerrain(&terrain, 4);
  std::vector<std::uint32_t> parts;
  const RenderCommand* last = nullptr;
  for (const RenderCommand* c = queue.GetList(kListOpaque); c; c = c->next) {
    if (c->kind == RenderCommandKind::kSkinMeshPart) parts.push_back(static_cast<const SkinMeshPartCommand*>(c)->part);
    last = c;
  }
  EXPECT_EQ(parts, (std::vector<std::uint32_t>{0, 1, 1}));
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(last->kind, RenderCommandKind::kTerrain);
  EXPECT_EQ(last->key, -1.0f);
  EXPECT_EQ(static_cast<const TerrainCommand*>(last)->userValue, 4u);
}

}  // namespace
}  // namespace tge
