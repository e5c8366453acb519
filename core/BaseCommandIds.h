// Ids of the base commands the object model itself sends. Internal ids are
// sent by the engine and by objects to one another and are never registered,
// so scripts cannot name them.
#pragma once
#include <cstdint>

namespace tge {

inline constexpr std::uint32_t kCommandActionStart = 81;
inline constexpr std::uint32_t kCommandActionStop = 82;
inline constexpr std::uint32_t kCommandActionKill = 83;
// Internal: build the object's physics; start bodies and joints.
inline constexpr std::uint32_t kCommandCreatePhysics = 161;
inline constexpr std::uint32_t kCommandStartPhysics = 162;
// Internal: release the object's physics; stop it in the children.
inline constexpr std::uint32_t kCommandReleasePhysics = 163;
inline constexpr std::uint32_t kCommandStopPhysics = 164;
// Internal, answered by object pools: take the object in the block pointer back.
inline constexpr std::uint32_t kCommandPoolTakeBack = 180;
inline constexpr int kEventOnPrecalculate = 211;

}  // namespace tge
