#include "objects/scene/effects/ParticlePool.h"

#include <cstdio>

namespace tge {

std::uint32_t ClampParticlePool(std::uint32_t pool, const char* type, const std::string& object) {
  if (pool <= kMaxParticlePool) return pool;
  std::fprintf(stderr, "%s \"%s\": a pool of %u particles is cut to %u\n", type, object.c_str(), pool,
               kMaxParticlePool);
  return kMaxParticlePool;
}

}  // namespace tge
