// The steps a command table's handlers share: storing an argument into a
// field, reading a field back into the block, one bit of a flag word set
// from or read as a Bool, and one byte of a flag word as a Dword. Each step
// comes as a plain function and as a handler a table names directly:
//
//   {9252, "DoorOpenTime", P, 0, {kValueFloat}, FieldSetter<&Door::openTime_>, FieldGetter<&Door::openTime_>},
//   {9266, "DoorLocked", P, 0, {kValueBool}, FlagSetter<&Door::doorFlags_, kDoorLocked>, ...},
//   {9276, "DoorOpen", C, 0, {}, Member<&Door::OpenCommand>},
//
// The object's type comes from the table's handler type, so a field or
// member of a base class serves a derived type's table too.
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

template <class W>
int StoreFlagArgument(W& flags, std::uint32_t bit, CommandArgs args) {
  flags = args.Get<std::int32_t>() != 0 ? (flags | static_cast<W>(bit)) : (flags & ~static_cast<W>(bit));
  return 1;
}

// As StoreFlagArgument, but only the argument's lowest bit counts.
template <class W>
int StoreLowBitFlagArgument(W& flags, std::uint32_t bit, CommandArgs args) {
  flags = (args.Get<std::uint32_t>() & 1) != 0 ? (flags | static_cast<W>(bit)) : (flags & ~static_cast<W>(bit));
  return 1;
}

template <class W>
int LoadFlagArgument(W flags, std::uint32_t bit, CommandArgs args) {
  args.Set<std::int32_t>((flags & static_cast<W>(bit)) != 0 ? 1 : 0);
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

// A member function int (CommandArgs) as a table's handler.
template <auto Method, class T>
int Member(T& object, CommandArgs args) {
  return (object.*Method)(args);
}

template <auto Field, class T>
int FieldSetter(T& object, CommandArgs args) {
  return StoreArgument(object.*Field, args);
}

template <auto Field, class T>
int FieldGetter(T& object, CommandArgs args) {
  return LoadArgument(object.*Field, args);
}

template <auto Flags, std::uint32_t Bit, class T>
int FlagSetter(T& object, CommandArgs args) {
  return StoreFlagArgument(object.*Flags, Bit, args);
}

template <auto Flags, std::uint32_t Bit, class T>
int LowBitFlagSetter(T& object, CommandArgs args) {
  return StoreLowBitFlagArgument(object.*Flags, Bit, args);
}

template <auto Flags, std::uint32_t Bit, class T>
int FlagGetter(T& object, CommandArgs args) {
  return LoadFlagArgument(object.*Flags, Bit, args);
}

template <auto Flags, int Shift, class T>
int ByteSetter(T& object, CommandArgs args) {
  return StoreByteArgument(object.*Flags, Shift, args);
}

template <auto Flags, int Shift, class T>
int ByteGetter(T& object, CommandArgs args) {
  return LoadByteArgument(object.*Flags, Shift, args);
}

}  // namespace tge
