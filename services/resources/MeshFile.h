// The mesh data file: a header, then one block per part with its vertex
// format, stride, counts, 16-bit triangle indices, vertices and optional
// per-triangle bytes. Everything is checked before it is trusted: sizes are
// computed in 64 bits against the bytes left, the stride is no smaller than
// the vertex format, and every index names one of the part's vertices. The
// writer makes such files from built mesh data (tools and tests use it).
#pragma once
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/gfx/Meshes.h"
#include "services/resources/MeshGeometry.h"

namespace tge {

class SerializeStream;

constexpr std::uint64_t kMeshFileHeaderBytes = 24;
constexpr std::uint64_t kMeshPartBlockBytes = 28;

// Reads the whole file into new geometries, one per part, in buffers of
// the managed pool. 1, or 0 with the reason in the last-error text; on
// failure geometries is unchanged.
int ReadMeshFile(SerializeStream& stream, const std::string& path, gfx::Device& device,
                 std::vector<std::unique_ptr<MeshGeometry>>& geometries);

// A file of one part per mesh data, each with one vertex set and no
// per-triangle bytes.
std::vector<std::uint8_t> EncodeMeshFile(std::span<const gfx::MeshData> parts);

}  // namespace tge
