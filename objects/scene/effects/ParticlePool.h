// The size limit every particle pool shares: pools asked for by a script or
// a file beyond it are cut to it, with a warning.
#pragma once
#include <cstdint>
#include <string>

namespace tge {

inline constexpr std::uint32_t kMaxParticlePool = 65536;

// pool, cut to kMaxParticlePool with a warning naming the type and object.
std::uint32_t ClampParticlePool(std::uint32_t pool, const char* type, const std::string& object);

}  // namespace tge
