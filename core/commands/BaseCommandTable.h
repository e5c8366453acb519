// Short names for the base command tables, which span several files (one
// per group of handlers); the tables read as the registration list.
#pragma once
#include "core/CommandTable.h"

namespace tge::table_terms {

using Kind = CommandKind;
inline constexpr int S = kCommandSetter;
inline constexpr int G = kCommandGetter;
inline constexpr int P = kCommandPlain;
inline constexpr int Own = kCommandTypeOwn;
inline constexpr int ObjectBlock = kCommandObjectBlock;
inline constexpr std::int32_t kBool = kValueBool;
inline constexpr std::int32_t kFloat = kValueFloat;
inline constexpr std::int32_t kDword = kValueDword;
inline constexpr std::int32_t kVec3 = kValueVector3;
inline constexpr std::int32_t kQuat = kValueQuaternion;
inline constexpr std::int32_t kText = kValueString128;
inline constexpr std::int32_t kPath = kValueTreePath;
inline constexpr std::int32_t kPtr = kValuePointer;

}  // namespace tge::table_terms
