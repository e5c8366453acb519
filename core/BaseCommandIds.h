// Ids of the base commands the object model itself sends. Internal ids are
// sent by the engine and by objects to one another and are never registered,
// so scripts cannot name them.
#pragma once
#include <cstdint>

namespace tge {

// The Action machine's steps ActionStart, ActionStop and ActionKill.
inline constexpr std::uint32_t kCommandActionStartStep = 75;
inline constexpr std::uint32_t kCommandActionStopStep = 76;
inline constexpr std::uint32_t kCommandActionKillStep = 77;
inline constexpr std::uint32_t kCommandActionStopPost = 79;
inline constexpr std::uint32_t kCommandActionStart = 81;
inline constexpr std::uint32_t kCommandActionStop = 82;
inline constexpr std::uint32_t kCommandActionKill = 83;
inline constexpr std::uint32_t kCommandSetUseScript = 165;
inline constexpr std::uint32_t kCommandInitializeNewObject = 177;
// Internal: the block pointer is a ResourceSet each object adds its resources to.
inline constexpr std::uint32_t kCommandCollectResources = 11;
// Internal: build the object's physics; start bodies and joints.
inline constexpr std::uint32_t kCommandCreatePhysics = 161;
inline constexpr std::uint32_t kCommandStartPhysics = 162;
// Internal: release the object's physics; stop it in the children.
inline constexpr std::uint32_t kCommandReleasePhysics = 163;
inline constexpr std::uint32_t kCommandStopPhysics = 164;
// Internal, answered by object pools: take the object in the block pointer back.
inline constexpr std::uint32_t kCommandPoolTakeBack = 180;
// Internal: the block pointer is the Space / World of the object.
inline constexpr std::uint32_t kCommandSetSpace = 175;
inline constexpr std::uint32_t kCommandSetWorld = 176;
// Internal: {int32 command id, pointer block}: the command to the object and
// its whole subtree.
inline constexpr std::uint32_t kCommandBroadcast = 178;
// Internal: {int32 event id, Object* sender}: the event raised on every
// active object of the subtree.
inline constexpr std::uint32_t kCommandRaiseEvent = 179;
// Internal, to a parent: the child in the block pointer is deleted / moved
// away / moved in.
inline constexpr std::uint32_t kCommandChildDeleted = 185;
inline constexpr std::uint32_t kCommandChildMoved = 186;
inline constexpr std::uint32_t kCommandChildAdded = 188;
inline constexpr std::uint32_t kCommandResumeGame = 193;
// Internal, sent by the engine to its whole tree after a sound group's
// volume changed: Sound and SoundMixer objects apply their volumes again.
inline constexpr std::uint32_t kCommandSoundGroupsChanged = 194;
inline constexpr std::uint32_t kCommandSetActive = 4;
inline constexpr std::uint32_t kCommandStartGame = 190;
inline constexpr int kEventOnEngineStarted = 210;
inline constexpr int kEventOnPrecalculate = 211;
inline constexpr int kEventOnInputExitToMenu = 216;
inline constexpr int kEventOnStopDraw = 219;
inline constexpr int kEventOnStartWorld = 220;
inline constexpr int kEventOnStopWorld = 221;
inline constexpr int kEventOnSpawn = 222;
inline constexpr int kEventOnSpawnObject = 223;

}  // namespace tge
