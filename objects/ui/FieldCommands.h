// Property handlers' steps for fields that are not members of the object
// itself (a list box's selected item) or of a type that is no Window:
// storing an argument into a field, reading a field back into the block,
// and one bit of a flag word set from or read as a Bool.
#pragma once
#include <cstdint>
#include <string>
#include <type_traits>

#include "core/CommandArgs.h"

namespace tge {

template <class V>
int StoreArgument(V& field, CommandArgs args) {
  if constexpr (std::is_same_v<V, std::string>) {
    field = args.AsString();
  } else {
    field = args.Get<V>();
  }
  return 1;
}

template <class V>
int LoadArgument(const V& field, CommandArgs args) {
  if constexpr (std::is_same_v<V, std::string>) {
    args.AsString() = field;
  } else {
    args.Set(field);
  }
  return 1;
}

inline int StoreFlagArgument(std::uint32_t& flags, std::uint32_t bit, CommandArgs args) {
  flags = args.Get<std::int32_t>() != 0 ? flags | bit : flags & ~bit;
  return 1;
}

inline int LoadFlagArgument(std::uint32_t flags, std::uint32_t bit, CommandArgs args) {
  args.Set<std::int32_t>((flags & bit) != 0 ? 1 : 0);
  return 1;
}

// The byte of flags that starts at bit shift, set from or read into a Dword.
inline int StoreByteArgument(std::uint32_t& flags, int shift, CommandArgs args) {
  flags = (flags & ~(0xFFu << shift)) | ((args.Get<std::uint32_t>() & 0xFFu) << shift);
  return 1;
}

inline int LoadByteArgument(std::uint32_t flags, int shift, CommandArgs args) {
  args.Set<std::uint32_t>((flags >> shift) & 0xFFu);
  return 1;
}

}  // namespace tge
