// Caller-supplied primitives (particles, trails, sky, projected quads ...)
// drawn through five shared dynamic vertex rings, one per vertex format, so
// that no buffer is made per draw. New data goes behind what earlier draws
// still read; a batch that would pass the end starts the ring again at 0.
// The rings live in the default pool: a device reset drops them and the
// next draw makes them again.
#pragma once
#include <array>
#include <cstdint>
#include <memory>

#include "services/resources/MeshGeometry.h"

namespace tge {

class RenderDevice;

// The engine's primitive codes; the rest are the device's own.
enum EnginePrimitive : std::uint32_t {
  kEngineQuadList = 8,      // four corners per quad, drawn as two triangles
  kEnginePointSprites = 32, // drawn as a point list at the draw value's size
};

class PrimitivePools {
 public:
  static constexpr std::uint32_t kRingVertices = 12000;
  static constexpr std::array<std::uint32_t, 5> kFormats = {0x12, 0x42, 0x62, 0x142, 0x144};

  // 1 when drawn; 0 for another vertex format or primitive type, a batch of
  // more than kRingVertices vertices, or a device that refuses it.
  int Draw(RenderDevice& device, const void* vertices, std::uint32_t vertexFormat, std::uint32_t primitiveType,
           std::uint32_t primitiveCount, float drawValue);
  void Release();

  // Null until the first draw of that format.
  const MeshGeometry* GetRing(std::uint32_t vertexFormat) const;

 private:
  MeshGeometry* EnsureRing(RenderDevice& device, std::size_t index);

  std::array<std::unique_ptr<MeshGeometry>, kFormats.size()> rings_;
};

}  // namespace tge
