// ScreenAnchor (class 84): ties screen-space children (labels, icons,
// sprites) to a point of the world. Each frame it is drawn it projects its
// own world position to the screen and offers the result, screen x, y and
// depth as a translation, to its children in place of a world matrix. A
// point beyond the far plane, or a frame without a render device, leaves
// the children where they were; until a first projection they sit at the
// screen origin. It has no commands.
#pragma once
#include <cstdint>

#include "core/Object.h"
#include "core/math/Matrix4.h"

namespace tge {

class ScreenAnchor : public Object {
 public:
  ScreenAnchor();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  bool Serialize(SerializeStream& stream) override;
  void Draw() override;
  // The anchor matrix: what the children are placed by.
  const Matrix4& GetWorldMatrix() override;

 private:
  Matrix4 anchor_;
  std::uint32_t spare_[3] = {0, 0, 0};
};

void RegisterScreenAnchor();

}  // namespace tge
