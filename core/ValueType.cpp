#include "core/ValueType.h"

namespace tge {
namespace {

constexpr std::int32_t kPointerBytes = static_cast<std::int32_t>(sizeof(void*));

ValueTypeTable BuildValueTypeTable() {
  constexpr std::int32_t F = kValueFloat;
  constexpr std::int32_t V3 = kValueVector3;
  return {{
      {"", 0, 0, {}},
      {"Int", 4, 4, {kValueInt}},
      {"Dword", 4, 4, {kValueDword}},
      {"Float", 4, 4, {kValueFloat}},
      {"Bool", 4, 4, {kValueBool}},
      {"String", kPointerBytes, kPointerBytes, {kValueString}},
      {"Vector2", 8, 8, {F, F}},
      {"Vector3", 12, 12, {F, F, F}},
      {"Vector4", 16, 16, {F, F, F, F}},
      {"Quaternion", 16, 16, {F, F, F, F}},
      {"Matrix4", 64, 64, {F, F, F, F, F, F, F, F, F, F, F, F, F, F, F, F}},
      {"Color", 16, 16, {F, F, F, F}},
      {"Pointer", kPointerBytes, kPointerBytes, {kValuePointer}},
      {"Plane", 16, 16, {V3, F}},
      {"Sphere", 16, 16, {V3, F}},
      {"AABox", 24, 24, {V3, V3}},
      {"String128", 128, 128, {kValueString128}},
      {"TreePath", 128, kPointerBytes, {kValueTreePath}},
  }};
}

}  // namespace

const ValueTypeTable& GetValueTypeTable() {
  static const ValueTypeTable table = BuildValueTypeTable();
  return table;
}

const ValueType* FindValueType(int typeId) {
  if (typeId < 0 || typeId >= kValueTypeCount) return nullptr;
  return &GetValueTypeTable()[static_cast<std::size_t>(typeId)];
}

}  // namespace tge
