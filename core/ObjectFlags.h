// The flag bits every object keeps in one 32-bit word. The word is saved as
// it stands in object files, so the values are fixed.
#pragma once
#include <cstdint>

namespace tge {

inline constexpr std::uint32_t kFlagActive = 0x1;
inline constexpr std::uint32_t kFlagWSOrientation = 0x2;
inline constexpr std::uint32_t kFlagInheritOrientation = 0x4;
inline constexpr std::uint32_t kFlagLocalMatrixValid = 0x8;
inline constexpr std::uint32_t kFlagWorldMatrixValid = 0x10;
inline constexpr std::uint32_t kFlagNonUnitScale = 0x40;
inline constexpr std::uint32_t kFlagSaveGameEnable = 0x80;
inline constexpr std::uint32_t kFlagBlockStartPhysics = 0x100;
inline constexpr std::uint32_t kFlagDeleting = 0x200;
inline constexpr std::uint32_t kFlagUpdateRegistered = 0x400;
inline constexpr std::uint32_t kFlagNetworkEnable = 0x800;
inline constexpr std::uint32_t kFlagGlobalScriptAccess = 0x1000;
inline constexpr std::uint32_t kFlagActionStarted = 0x2000;
inline constexpr std::uint32_t kFlagKilled = 0x4000;
inline constexpr std::uint32_t kFlagUseAction = 0x8000;
inline constexpr std::uint32_t kFlagUseScript = 0x10000;
inline constexpr std::uint32_t kFlagUsePhysics = 0x20000;
inline constexpr std::uint32_t kFlagActionBlockStartFromParent = 0x40000;
inline constexpr std::uint32_t kFlagActionBlockStopFromParent = 0x80000;
inline constexpr std::uint32_t kFlagActionBlockKillFromParent = 0x100000;
inline constexpr std::uint32_t kFlagActionBlockStartToChildren = 0x400000;
inline constexpr std::uint32_t kFlagActionBlockStopToChildren = 0x800000;
inline constexpr std::uint32_t kFlagActionBlockKillToChildren = 0x1000000;
inline constexpr std::uint32_t kFlagActionStopPreOnStartPost = 0x8000000;
inline constexpr std::uint32_t kFlagActionStartPreOnStopPost = 0x10000000;
inline constexpr std::uint32_t kFlagActionKillPreOnStartPost = 0x20000000;
inline constexpr std::uint32_t kFlagActionForceDeleteOnKillPost = 0x40000000;

inline constexpr std::uint32_t kFlagMatrixValid = kFlagLocalMatrixValid | kFlagWorldMatrixValid;
inline constexpr std::uint32_t kDefaultObjectFlags = kFlagActive | kFlagInheritOrientation | kFlagActionStarted;

// The window flags that have the World draw a listed window (the rest are
// the Window type's own).
inline constexpr std::uint32_t kWindowFullscreen = 0x10000;
inline constexpr std::uint32_t kWindowMainWindow = 0x2000000;

}  // namespace tge
