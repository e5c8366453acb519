// What the two small particle devices, Dev2 and Dev3, share: a material
// named by a script or a file, a pool size fixed when the pool is made, a
// spawn box centred on the object, device flag bits, and one textured
// triangle of three vertices per particle.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/math/Shapes.h"
#include "objects/scene/ColourVertex.h"
#include "objects/scene/NamedMaterial.h"
#include "objects/scene/effects/ParticlePool.h"

namespace tge {

class SerializeStream;

class ParticleDevice : public Object {
 public:
  static constexpr std::uint32_t kVerticesPerParticle = 3;

  ~ParticleDevice() override;

  std::uint32_t GetMaxParticles() const { return maxParticles_; }
  Resource* GetMaterial() const { return material_.Get(); }
  const std::vector<ColourVertex>& GetVertices() const { return vertices_; }

 protected:
  ParticleDevice(int classId, const char* typeName, std::uint32_t maxParticles, const Vector3& spawnVolume);
  ParticleDevice(const ParticleDevice& source) = default;

  int SetMaxParticlesCommand(CommandArgs args);
  int SetMaterialCommand(CommandArgs args);
  int GetMaterialCommand(CommandArgs args);

  void SerializeMaxParticles(SerializeStream& stream);
  // Vertices for count triangles, their texture coordinates set; any
  // previous array waits for the end of the frame that may read it.
  void AllocateTriangles(std::size_t count);
  void FreeTriangles();
  // The spawn volume's extents centred on the object, as world bounds.
  AABox SpawnBoxWS();
  static Vector3 RandomPointIn(const AABox& box);

  const char* typeName_;
  NamedMaterial material_;
  std::uint32_t maxParticles_;
  Vector3 spawnVolume_;
  std::uint32_t deviceFlags_ = 0;
  std::vector<ColourVertex> vertices_;
};

}  // namespace tge
