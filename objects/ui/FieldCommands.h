// What the widget types' property handlers share: storing an argument into
// a field, reading a field back into the block, and one bit of a flag word
// set from or read as a Bool; and FieldCommands, which gives a type those
// handlers for its command table.
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

// Handlers for a type's command table that store into or read one of its
// fields, or one bit of one of its flag words. The type derives from
// FieldCommands<Type> and befriends it.
template <class Self>
class FieldCommands {
 protected:
  template <auto Field>
  int SetMember(CommandArgs args) {
    return StoreArgument(Owner().*Field, args);
  }
  template <auto Field>
  int GetMember(CommandArgs args) {
    return LoadArgument(Owner().*Field, args);
  }
  template <auto Flags, std::uint32_t Bit>
  int SetMemberBit(CommandArgs args) {
    return StoreFlagArgument(Owner().*Flags, Bit, args);
  }
  template <auto Flags, std::uint32_t Bit>
  int GetMemberBit(CommandArgs args) {
    return LoadFlagArgument(Owner().*Flags, Bit, args);
  }

 private:
  Self& Owner() { return static_cast<Self&>(*this); }
};

}  // namespace tge
