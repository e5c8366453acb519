#include "services/resources/SkinMeshResource.h"

#include <strings.h>

#include <algorithm>
#include <cstdio>

#include "core/files/SerializeStream.h"
#include "services/ErrorMessage.h"
#include "services/resources/MeshResource.h"

namespace tge {
namespace {

// A stored bone at least: its name's length word, the ignored word, the id,
// the ignored pose and the rest pose.
constexpr std::uint64_t kMinBoneBytes = 4 + 4 + 4 + 7 * 4 + 10 * 4;
constexpr std::uint64_t kSecondNameBytes = 4;
constexpr std::uint64_t kBindMatrixBytes = 64;

std::string Describe(const char* format, std::uint64_t a, std::uint64_t b = 0, std::uint64_t c = 0) {
  char text[160];
  std::snprintf(text, sizeof text, format, static_cast<unsigned long long>(a), static_cast<unsigned long long>(b),
                static_cast<unsigned long long>(c));
  return text;
}

bool SerializeParts(SerializeStream& stream, SkinMeshFile& file, std::span<const std::uint32_t> expected,
                    std::string& error) {
  auto count = static_cast<std::uint32_t>(file.parts.size());
  stream.SerializeDword(&count);
  if (!stream.IsWriting() && count != expected.size()) {
    error = Describe("%llu parts, the mesh has %llu", count, expected.size());
    return false;
  }
  file.parts.resize(count);
  for (std::uint32_t p = 0; p < count; ++p) {
    std::vector<SkinVertex>& vertices = file.parts[p].vertices;
    auto vertexCount = static_cast<std::uint32_t>(vertices.size());
    stream.SerializeDword(&vertexCount);
    if (!stream.IsWriting() && vertexCount != expected[p]) {
      error = Describe("part %llu has %llu skin vertices, its mesh part %llu", p, vertexCount, expected[p]);
      return false;
    }
    if (stream.Failed() || !CountFitsStream(stream, vertexCount, sizeof(SkinVertex))) {
      error = Describe("part %llu ends early", p);
      return false;
    }
    vertices.resize(vertexCount);
    stream.SerializeBytes(vertices.data(), vertices.size() * sizeof(SkinVertex));
  }
  return true;
}

void SerializeBone(SerializeStream& stream, std::uint32_t version, SkinBone& bone) {
  stream.SerializeString(bone.name);
  std::string second;
  if (version > 2) stream.SerializeString(second);
  std::uint32_t ignored = 0;
  stream.SerializeDword(&ignored);
  stream.SerializeDword(&bone.boneId);
  float ignoredPose[7] = {0, 0, 0, 0, 0, 0, 1};
  stream.SerializeDwords(ignoredPose, 7);
  stream.Serialize(bone.position);
  stream.Serialize(bone.scale);
  stream.Serialize(bone.rotation);
  if (version > 1) stream.Serialize(bone.bind);
}

bool SerializeBones(SerializeStream& stream, SkinMeshFile& file, std::string& error) {
  auto count = static_cast<std::uint32_t>(file.bones.size());
  stream.SerializeDword(&count);
  const std::uint64_t boneBytes = kMinBoneBytes + (file.version > 2 ? kSecondNameBytes : 0) +
                                  (file.version > 1 ? kBindMatrixBytes : 0);
  if (count > SkinMeshFile::kMaxBones) {
    error = Describe("%llu bones, at most %llu", count, SkinMeshFile::kMaxBones);
    return false;
  }
  if (stream.Failed() || !CountFitsStream(stream, count, boneBytes)) {
    error = "the bone list ends early";
    return false;
  }
  file.bones.resize(count);
  for (std::uint32_t b = 0; b < count; ++b) {
    SerializeBone(stream, file.version, file.bones[b]);
    if (stream.Failed()) {
      error = Describe("bone %llu ends early", b);
      return false;
    }
    if (file.bones[b].boneId > SkinMeshFile::kMaxBoneId) {
      error = Describe("bone %llu has id %llu, at most %llu", b, file.bones[b].boneId, SkinMeshFile::kMaxBoneId);
      return false;
    }
  }
  return true;
}

bool InfluencesAreSound(const SkinMeshFile& file, std::string& error) {
  for (std::size_t p = 0; p < file.parts.size(); ++p) {
    const std::vector<SkinVertex>& vertices = file.parts[p].vertices;
    for (std::size_t v = 0; v < vertices.size(); ++v) {
      const SkinVertex& vertex = vertices[v];
      if (vertex.influences < 1 || vertex.influences > 4) {
        error = Describe("part %llu vertex %llu has %llu influences", p, v, vertex.influences);
        return false;
      }
      for (int k = 0; k < vertex.influences; ++k) {
        if (vertex.bones[k] >= file.bones.size()) {
          error = Describe("part %llu vertex %llu uses bone %llu", p, v, vertex.bones[k]);
          return false;
        }
      }
    }
  }
  return true;
}

SkinMeshResource* SkinOf(Resource* skin) { return ResourceCast<SkinMeshResource>(skin); }

}  // namespace

bool SerializeSkinMeshFile(SerializeStream& stream, SkinMeshFile& file,
                           std::span<const std::uint32_t> partVertexCounts, std::string& error) {
  SkinMeshFile read;
  SkinMeshFile& target = stream.IsWriting() ? file : read;
  stream.SerializeDword(&target.version);
  if (stream.Failed()) {
    error = "no version";
    return false;
  }
  if (target.version != 0) {
    std::uint32_t ignored[2] = {0, 0};
    stream.SerializeDwords(ignored, 2);
    if (!SerializeParts(stream, target, partVertexCounts, error) || !SerializeBones(stream, target, error)) {
      return false;
    }
  }
  if (stream.IsWriting()) return !stream.Failed();
  if (!InfluencesAreSound(read, error)) return false;
  file = std::move(read);
  return true;
}

bool WriteSkinMeshFile(const std::string& path, SkinMeshFile& file) {
  SerializeStream stream;
  if (!stream.Open(path, "wb")) return false;
  std::string error;
  const bool written = SerializeSkinMeshFile(stream, file, {}, error);
  return stream.Close() == 0 && written;
}

int SkinMeshResource::Load() {
  if (loaded_) return 1;
  auto* base = ResourceCast<MeshResource>(mesh);
  const std::string path = GetDataPath();
  if (!base) return FormatErrorMessage("Skin mesh %s has no mesh", GetName().c_str());
  if (!base->Load()) return 0;
  std::vector<std::uint32_t> counts;
  for (const MeshPart& part : base->parts) counts.push_back(part.geometry ? part.geometry->vertexCount : 0);
  SerializeStream stream;
  if (!stream.OpenAndLoad(path)) return FormatErrorMessage("Error Opening File: %s", path.c_str());
  std::string error;
  if (!SerializeSkinMeshFile(stream, file_, counts, error)) {
    return FormatErrorMessage("Bad skin mesh file %s: %s", path.c_str(), error.c_str());
  }
  // A version 0 file has no parts; the mesh then keeps its own.
  for (std::size_t p = 0; p < file_.parts.size(); ++p) file_.parts[p].enabled = base->parts[p].active;
  loaded_ = true;
  return 1;
}

int SkinMeshResource::Unload() {
  file_ = SkinMeshFile{};
  loaded_ = false;
  if (mesh) mesh->Unload();
  return 1;
}

void SkinMeshResource::ForEachDependency(const Visitor& visit) {
  if (mesh) visit(*mesh);
}

bool SkinMeshResource::SerializeFields(SerializeStream& stream, const ResourceDatabase& database) {
  SerializeResourceName(stream, database, mesh, kMeshResource);
  return true;
}

Resource* GetSkinMesh(Resource* skin) {
  SkinMeshResource* s = SkinOf(skin);
  return s ? s->mesh : nullptr;
}

const std::vector<SkinBone>& GetSkinBones(Resource* skin) {
  static const std::vector<SkinBone> kNone;
  SkinMeshResource* s = SkinOf(skin);
  return s ? s->GetFile().bones : kNone;
}

void SetSkinMeshSubsetActive(Resource* skin, const std::string& name, std::uint32_t active) {
  SkinMeshResource* s = SkinOf(skin);
  auto* base = s ? ResourceCast<MeshResource>(s->mesh) : nullptr;
  if (!base) return;
  for (std::size_t p = 0; p < base->parts.size(); ++p) {
    if (strcasecmp(base->parts[p].name.c_str(), name.c_str()) != 0) continue;
    base->parts[p].active = active;
    if (p < s->file_.parts.size()) s->file_.parts[p].enabled = active;
  }
}

std::uint32_t GetSkinMeshPartActive(Resource* skin, std::size_t part) {
  SkinMeshResource* s = SkinOf(skin);
  if (!s || part >= s->GetFile().parts.size()) return 0;
  return s->GetFile().parts[part].enabled;
}

}  // namespace tge
