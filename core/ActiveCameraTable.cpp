#include "core/ActiveCameraTable.h"

namespace tge {

ViewCamera* ActiveCameraTable::Get(int slot) const {
  if (slot < 0 || slot >= kViewportCount) return nullptr;
  return slots_[static_cast<std::size_t>(slot)].Get();
}

void ActiveCameraTable::Set(int slot, ViewCamera* camera) {
  if (slot >= 0 && slot < kViewportCount) slots_[static_cast<std::size_t>(slot)].Set(camera);
}

void ActiveCameraTable::Clear() {
  for (auto& slot : slots_) slot.Reset();
}

ActiveCameraTable& GetActiveCameraTable() {
  static ActiveCameraTable table;
  return table;
}

}  // namespace tge
