#include "services/resources/MeshFile.h"

#include <algorithm>

#include "core/files/ByteAppend.h"
#include "core/files/SerializeStream.h"
#include "platform/gfx/VertexFormat.h"
#include "services/ErrorMessage.h"
#include "services/resources/Resource.h"

namespace tge {
namespace {

struct PartBlock {
  std::uint32_t hasTriangleBytes = 0;
  std::uint32_t ignored = 0;
  std::uint32_t vertexFormat = 0;
  std::uint32_t vertexSize = 0;
  std::uint32_t vertexSetCount = 0;
  std::uint32_t triangleCount = 0;
  std::uint32_t vertexCount = 0;
};
static_assert(sizeof(PartBlock) == kMeshPartBlockBytes);

constexpr std::uint64_t kTriangleIndexBytes = 6;
constexpr std::uint32_t kWrittenVersion = 1;

template <class T>
void Append(std::vector<std::uint8_t>& out, const T* data, std::size_t count) {
  AppendBytes(out, data, count * sizeof(T));
}

// The reason a block cannot be trusted, or null.
const char* CheckBlock(const PartBlock& block, SerializeStream& stream) {
  if (block.vertexCount > 0) {
    const std::uint32_t formatSize = gfx::VertexSize(block.vertexFormat);
    if (formatSize == 0) return "has an unknown vertex format";
    if (block.vertexSize < formatSize) return "has a stride smaller than its vertex format";
    if (block.vertexSetCount == 0) return "has vertices but no vertex set";
  } else if (block.triangleCount > 0) {
    return "has triangles but no vertices";
  }
  const std::uint64_t bytes = block.triangleCount * kTriangleIndexBytes +
                              std::uint64_t{block.vertexCount} * block.vertexSize * block.vertexSetCount +
                              (block.hasTriangleBytes ? block.triangleCount : 0);
  if (!CountFitsStream(stream, bytes, 1)) return "is larger than the rest of the file";
  return nullptr;
}

bool ReadIndices(SerializeStream& stream, MeshGeometry& geometry) {
  if (!geometry.indexBuffer) return true;
  void* data = nullptr;
  if (!gfx::Succeeded(geometry.indexBuffer->Lock(0, 0, 0, &data))) return FormatErrorMessage("LockIndexBuffer");
  stream.SerializeWords(data, std::size_t{geometry.triangleCount} * 3);
  geometry.indexBuffer->Unlock();
  return true;
}

bool ReadVertices(SerializeStream& stream, MeshGeometry& geometry) {
  if (!geometry.vertexBuffer) return true;
  void* data = nullptr;
  if (!gfx::Succeeded(geometry.vertexBuffer->Lock(0, 0, 0, &data))) return FormatErrorMessage("LockVertexBuffer");
  stream.SerializeBytes(data, geometry.vertexBuffer->Size());
  geometry.vertexBuffer->Unlock();
  return true;
}

bool IndicesInRange(const MeshGeometry& geometry) {
  if (!geometry.indexBuffer) return true;
  const auto bytes = geometry.indexBuffer->Bytes();
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    if (std::uint32_t(bytes[i] | bytes[i + 1] << 8) >= geometry.vertexCount) return false;
  }
  return true;
}

std::unique_ptr<MeshGeometry> ReadPart(SerializeStream& stream, const std::string& path, std::uint32_t index,
                                       gfx::Device& device) {
  PartBlock block;
  stream.Serialize(block);
  if (stream.Failed()) {
    FormatErrorMessage("Mesh %s: part %u is truncated", path.c_str(), index);
    return nullptr;
  }
  if (const char* reason = CheckBlock(block, stream)) {
    FormatErrorMessage("Mesh %s: part %u %s", path.c_str(), index, reason);
    return nullptr;
  }
  std::unique_ptr<MeshGeometry> geometry =
      CreateGeometryBuffers(device, block.vertexCount, block.triangleCount, block.vertexFormat, block.vertexSize, 0,
                            gfx::kPoolManaged, std::max(block.vertexSetCount, 1u));
  if (!geometry || !ReadIndices(stream, *geometry) || !ReadVertices(stream, *geometry)) return nullptr;
  if (block.hasTriangleBytes) {
    geometry->triangleBytes.resize(block.triangleCount);
    stream.SerializeBytes(geometry->triangleBytes.data(), block.triangleCount);
  }
  if (!IndicesInRange(*geometry)) {
    FormatErrorMessage("Mesh %s: part %u has an index beyond its vertices", path.c_str(), index);
    return nullptr;
  }
  geometry->secondCount = block.vertexCount;
  return geometry;
}

}  // namespace

int ReadMeshFile(SerializeStream& stream, const std::string& path, gfx::Device& device,
                 std::vector<std::unique_ptr<MeshGeometry>>& geometries) {
  std::uint32_t header[6] = {};
  stream.SerializeDwords(header, 6);
  const std::uint32_t partCount = header[5];
  if (stream.Failed()) return FormatErrorMessage("Mesh %s: header is truncated", path.c_str());
  if (!CountFitsStream(stream, partCount, kMeshPartBlockBytes)) {
    return FormatErrorMessage("Mesh %s: %u parts cannot fit in the file", path.c_str(), partCount);
  }
  std::vector<std::unique_ptr<MeshGeometry>> read;
  read.reserve(partCount);
  for (std::uint32_t i = 0; i < partCount; ++i) {
    read.push_back(ReadPart(stream, path, i, device));
    if (!read.back()) return 0;
  }
  geometries = std::move(read);
  return 1;
}

std::vector<std::uint8_t> EncodeMeshFile(std::span<const gfx::MeshData> parts) {
  std::vector<std::uint8_t> out;
  const std::uint32_t header[6] = {kWrittenVersion, 0, 0, 0, 0, static_cast<std::uint32_t>(parts.size())};
  Append(out, header, 6);
  for (const gfx::MeshData& part : parts) {
    const PartBlock block{0, 0, part.vertexFormat, part.vertexSize, 1, part.TriangleCount(), part.vertexCount};
    Append(out, &block, 1);
    Append(out, part.indices.data(), std::size_t{part.TriangleCount()} * 3);
    Append(out, part.vertices.data(), part.vertices.size());
  }
  return out;
}

}  // namespace tge
