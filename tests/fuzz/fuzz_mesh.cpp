// Feeds arbitrary bytes to the mesh file reader on a recording device and
// checks that every part it accepts indexes only its own vertices and has
// buffers of the sizes its counts give.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/files/SerializeStream.h"
#include "platform/gfx/RecordingDevice.h"
#include "services/resources/MeshFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> bytes(data, data + size);
  tge::SerializeStream stream;
  if (!stream.OpenMemoryBuffer(bytes.size(), "rb", bytes.data())) return 0;
  tge::gfx::RecordingDevice device;
  std::vector<std::unique_ptr<tge::MeshGeometry>> geometries;
  if (!tge::ReadMeshFile(stream, "fuzz", device, geometries)) return 0;
  for (const auto& g : geometries) {
    const std::uint64_t vertexBytes = std::uint64_t{g->vertexCount} * g->vertexSize * g->vertexSetCount;
    if (g->vertexBuffer && g->vertexBuffer->Size() != vertexBytes) __builtin_trap();
    if (!g->indexBuffer) continue;
    for (std::uint32_t i = 0; i < g->indexBuffer->IndexCount(); ++i) {
      if (g->indexBuffer->IndexAt(i) >= g->vertexCount) __builtin_trap();
    }
  }
  return 0;
}
