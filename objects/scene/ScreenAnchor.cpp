// ScreenAnchor's projection and file record.
#include "objects/scene/ScreenAnchor.h"

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"
#include "services/RenderDevice.h"

namespace tge {
namespace {

// Depth 1 is the far plane.
constexpr float kFarDepth = 1.0f;

}  // namespace

ScreenAnchor::ScreenAnchor() : Object(kClassScreenAnchor) {}

int ScreenAnchor::ExecuteCommand(std::uint32_t id, void* args) {
  if (id == kCommandInitializeNewObject) SetInheritOrientation(false);
  return Object::ExecuteCommand(id, args);
}

const Matrix4& ScreenAnchor::GetWorldMatrix() { return anchor_; }

void ScreenAnchor::Draw() {
  if (!GetActive()) return;
  const Matrix4& world = Object::GetWorldMatrix();
  const Vector3 point{world.m[12], world.m[13], world.m[14]};
  const RenderDevice* device = GetRenderDevice();
  if (device != nullptr && device->IsOpen()) {
    Vector3 screen;
    device->ProjectToScreen(screen, point);
    if (screen.z < kFarDepth) {
      anchor_.m[12] = screen.x;
      anchor_.m[13] = screen.y;
      anchor_.m[14] = screen.z;
      anchor_.m[15] = 1.0f;
      InvalidateWorldTransform();
    }
  }
  Object::Draw();
}

bool ScreenAnchor::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  if (stream.GetVersion() >= 1) stream.Serialize(spare_);
  return !stream.Failed();
}

void RegisterScreenAnchor() { GetObjectFactory().RegisterType<ScreenAnchor>(kClassScreenAnchor); }

}  // namespace tge
