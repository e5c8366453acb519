// The view of the frame: camera placement and projection, fog, the frustum
// planes and the portal volumes that object types and the render queue use
// to skip what cannot be seen. The view and projection matrices are kept
// here and handed to the running render device whenever they change, so
// visibility tests work with or without a device.
#pragma once
#include <cstdint>
#include <vector>

#include "core/math/Color.h"
#include "core/math/Matrix4.h"
#include "core/math/Shapes.h"
#include "services/render/Visibility.h"

namespace tge {

class ViewState {
 public:
  // Wider fields of view would turn the projection inside out.
  static constexpr float kMaxFieldOfView = 3.1f;

  ViewState();

  // Left-handed look-at with up (0, 1, 0).
  void SetCameraLookAt(const Vector3& eye, const Vector3& target);
  // The eye is the matrix's translation, looking along its third row.
  void SetCameraMatrix(const Matrix4& world);
  // The side planes follow at the next camera change.
  void SetProjection(float fov, float aspect, float nearDistance, float farDistance);

  const Vector3& GetCameraPosition() const { return eye_; }
  void CopyCameraPosition(Vector3& out) const { out = eye_; }
  const Vector3& GetCameraTarget() const { return target_; }
  Vector3 GetCameraForward() const { return {view_.m[2], view_.m[6], view_.m[10]}; }
  Vector3 GetCameraRight() const { return {view_.m[0], view_.m[4], view_.m[8]}; }
  Vector3 GetCameraUp() const { return {view_.m[1], view_.m[5], view_.m[9]}; }
  float GetNearDistance() const { return near_; }
  float GetFarDistance() const { return far_; }
  float GetFieldOfView() const { return fov_; }
  float GetFieldOfViewTimesAspect() const { return fov_ * aspect_; }
  const Matrix4& GetViewMatrix() const { return view_; }
  // The camera's world matrix, kept with the view: whatever is queued in
  // view space is drawn with it.
  const Matrix4& GetInverseViewMatrix() const { return inverseView_; }
  const Matrix4& GetProjectionMatrix() const { return projection_; }

  void EnableFog(bool enabled);
  void SetFog(float start, float end, const Color& colour, std::uint32_t fourth);
  bool IsFogEnabled() const { return fogEnabled_; }
  float GetFogStart() const { return fogStart_; }
  float GetFogEnd() const { return fogEnd_; }
  std::uint32_t GetFogColour() const { return fogColour_; }
  // Kept with the fog settings for whoever set it; the render does not read it.
  std::uint32_t GetFogFourth() const { return fogFourth_; }

  // kSphereInside, kSphereCrossing or kSphereOutside; with fogLimit the far
  // limit is the fog end while fog is on. The near plane is the eye plane.
  int TestSphereInFrustum(const Sphere& sphere, float* depth, bool fogLimit) const;
  // In every portal volume (when asked and there are any) and not outside
  // the frustum up to the fog end.
  bool IsSphereVisible(const Sphere& sphere, bool usePortals) const;
  void ClearPortalVolumes() { portals_.clear(); }
  void AddPortalVolume(const AABox& box);
  const std::vector<PortalVolume>& GetPortalVolumes() const { return portals_; }

 private:
  void SetView(const Matrix4& view);

  float fov_ = 0.785398f, aspect_ = 1.3333334f, near_ = 1.0f, far_ = 1000.0f;
  Vector3 eye_, target_;
  Matrix4 view_, inverseView_, projection_;
  SidePlanes sides_;
  std::uint32_t fogColour_ = 0;
  float fogStart_ = 0, fogEnd_ = 0;
  bool fogEnabled_ = false;
  std::uint32_t fogFourth_ = 0;
  std::vector<PortalVolume> portals_;
};

}  // namespace tge
