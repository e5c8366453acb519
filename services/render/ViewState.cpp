#include "services/render/ViewState.h"

#include <algorithm>

#include "services/RenderCommand.h"
#include "services/RenderDevice.h"

namespace tge {

ViewState::ViewState() {
  Matrix4PerspectiveFov(projection_, fov_, aspect_, near_, far_);
  sides_ = BuildSidePlanes(Matrix4{}, fov_ * aspect_ / 2, fov_ / 2);
}

void ViewState::SetView(const Matrix4& view) {
  view_ = view;
  if (RenderDevice* device = GetRenderDevice()) device->SetViewMatrix(view_);
  Matrix4Inverse(inverseView_, nullptr, view_);
  sides_ = BuildSidePlanes(inverseView_, fov_ * aspect_ / 2, fov_ / 2);
}

void ViewState::SetCameraLookAt(const Vector3& eye, const Vector3& target) {
  Matrix4 view;
  Matrix4LookAt(view, eye, target, Vector3{0, 1, 0});
  eye_ = eye;
  target_ = target;
  SetView(view);
}

void ViewState::SetCameraMatrix(const Matrix4& world) {
  eye_ = {world.m[12], world.m[13], world.m[14]};
  target_ = {eye_.x + world.m[8], eye_.y + world.m[9], eye_.z + world.m[10]};
  Matrix4 view;
  SetView(Matrix4Inverse(view, nullptr, world));
}

void ViewState::SetProjection(float fov, float aspect, float nearDistance, float farDistance) {
  fov_ = std::min(fov, kMaxFieldOfView);
  aspect_ = aspect;
  near_ = nearDistance;
  far_ = farDistance;
  Matrix4PerspectiveFov(projection_, fov_, aspect_, near_, far_);
  if (RenderDevice* device = GetRenderDevice()) device->SetProjectionMatrix(projection_);
}

void ViewState::EnableFog(bool enabled) {
  fogEnabled_ = enabled;
  if (RenderDevice* device = GetRenderDevice()) device->SetFogEnabled(enabled);
}

void ViewState::SetFog(float start, float end, const Color& colour, std::uint32_t fourth) {
  fogStart_ = start;
  fogEnd_ = end;
  fogColour_ = ColorToDword(colour);
  fogFourth_ = fourth;
}

int ViewState::TestSphereInFrustum(const Sphere& sphere, float* depth, bool fogLimit) const {
  const float farLimit = fogLimit && fogEnabled_ ? fogEnd_ : far_;
  return TestSphereAgainst(view_, sides_, farLimit, sphere.centre, sphere.radius, depth);
}

bool ViewState::IsSphereVisible(const Sphere& sphere, bool usePortals) const {
  if (usePortals && !std::all_of(portals_.begin(), portals_.end(), [&](const PortalVolume& volume) {
        return IsSphereInPortalVolume(volume, sphere);
      })) {
    return false;
  }
  return TestSphereInFrustum(sphere, nullptr, true) != kSphereOutside;
}

void ViewState::AddPortalVolume(const AABox& box) { portals_.push_back(MakePortalVolume(eye_, box)); }

}  // namespace tge
