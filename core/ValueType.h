// The value types of command arguments. Every registered command lists its
// arguments by these ids; the script interpreter expands an argument into the
// components of its type, and the scheduler copies as many bytes as the sizes
// add up to.
//
// Two sizes per type: `size` is what registration counts into a command's
// argument bytes, `slotSize` is what one argument really takes in a packed
// argument block. They differ only for TreePath, which is registered as 128
// bytes of path text but travels in the block as the resolved object pointer.
// Pointers and text-string objects take a native pointer's width here.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tge {

enum ValueTypeId : std::int32_t {
  kValueNone = 0,
  kValueInt = 1,
  kValueDword = 2,
  kValueFloat = 3,
  kValueBool = 4,
  kValueString = 5,
  kValueVector2 = 6,
  kValueVector3 = 7,
  kValueVector4 = 8,
  kValueQuaternion = 9,
  kValueMatrix4 = 10,
  kValueColor = 11,
  kValuePointer = 12,
  kValuePlane = 13,
  kValueSphere = 14,
  kValueAABox = 15,
  kValueString128 = 16,
  kValueTreePath = 17,
};

inline constexpr int kValueTypeCount = 18;

struct ValueType {
  std::string name;
  std::int32_t size = 0;
  std::int32_t slotSize = 0;
  std::vector<std::int32_t> components;
};

using ValueTypeTable = std::array<ValueType, kValueTypeCount>;

// The fixed table, built once; row 0 holds no type.
const ValueTypeTable& GetValueTypeTable();

// The record of type id 0 to 17; null for any other id.
const ValueType* FindValueType(int typeId);

}  // namespace tge
