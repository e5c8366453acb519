// The render device: the one record through which every drawing part talks
// to the graphics device. It opens the device from the start-up settings,
// filters redundant state changes through caches, keeps copies of the world,
// view and projection matrices, holds the material-type catalogue with the
// current material, and recovers the device after a loss by releasing and
// making again everything that lives in the default pool.
//
// It is the services object's render subsystem; while it runs,
// GetRenderDevice() reaches it (the resources load onto it from there).
// Main thread only.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/math/Matrix4.h"
#include "platform/gfx/Device.h"
#include "services/ServiceSubsystem.h"
#include "services/StartupSettings.h"
#include "services/render/MaterialType.h"

namespace tge {

class MaterialResource;
class MeshResource;
class PrimitivePools;
class ShadowTargets;

// What the render device needs of the platform: a device made for the
// present parameters, and the display modes a full-screen mode is chosen
// from. GlRenderDeviceBackend() gives the OpenGL one, NullRenderDeviceBackend
// one that draws nothing (a NullDevice, with desktop as the only mode);
// tests give their own.
struct RenderDeviceBackend {
  std::function<std::unique_ptr<gfx::Device>(const StartupSettings&, const gfx::PresentParameters&,
                                             std::string& error)>
      createDevice;
  std::function<std::vector<gfx::DisplayMode>()> listModes;
  std::function<bool(gfx::DisplayMode&)> desktopMode;
};

RenderDeviceBackend GlRenderDeviceBackend();
RenderDeviceBackend NullRenderDeviceBackend(const gfx::DisplayMode& desktop);

// Holds default-pool objects: a device reset needs them gone first and
// made again afterwards.
class DefaultPoolUser {
 public:
  virtual ~DefaultPoolUser() = default;
  virtual void ReleaseDefaultPool() = 0;
  virtual void RestoreDefaultPool(gfx::Device& device) = 0;
};

class RenderDevice : public ServiceSubsystem {
 public:
  // A cache entry that must reach the device at the next setting.
  static constexpr std::uint32_t kUnknown = 0xFFFFFFFF;
  static constexpr std::uint32_t kCachedStages = 8;
  static constexpr float kBuiltInMeshSize = 100.0f;

  explicit RenderDevice(RenderDeviceBackend backend);
  ~RenderDevice() override;
  RenderDevice(const RenderDevice&) = delete;
  RenderDevice& operator=(const RenderDevice&) = delete;

  const char* GetName() const override { return "Render Device"; }
  // Opens the device and writes the size used into the services' settings.
  bool Start(EngineServices& services) override;
  void Stop() override { ReleaseRenderDevice(); }

  // 1, or the 0 of the error message; the width and height used are written
  // back into the settings.
  int InitRenderDevice(StartupSettings& settings);
  int ReleaseRenderDevice();
  bool IsOpen() const { return device_ != nullptr; }
  gfx::Device& Device() { return *device_; }
  const gfx::DeviceCaps& GetCaps() const { return device_->GetCaps(); }

  // 0 while the device is lost or cannot be reset yet, else 1.
  int HandleDeviceLost();

  void SetRenderStateCached(std::uint32_t state, std::uint32_t value);
  void SetTextureStageStateCached(std::uint32_t stage, std::uint32_t type, std::uint32_t value);
  void SetSamplerStateCached(std::uint32_t sampler, std::uint32_t type, std::uint32_t value);
  void SetTextureCached(std::uint32_t stage, gfx::Texture* texture);
  void SetRenderStateFloat(std::uint32_t state, float value);
  // Every entry unknown, every stage without a texture, no current material.
  void InvalidateCaches();

  void SetWorldMatrix(const Matrix4& matrix);
  void SetViewMatrix(const Matrix4& matrix);
  void SetProjectionMatrix(const Matrix4& matrix);
  const Matrix4& GetWorldMatrix() const { return world_; }
  const Matrix4& GetViewMatrix() const { return view_; }
  const Matrix4& GetProjectionMatrix() const { return projection_; }
  // Sets the device's transforms without keeping them (a shadow drawn from
  // the light's view); RestoreTransforms sets the kept ones again.
  void ApplyTransforms(const Matrix4& world, const Matrix4& view, const Matrix4& projection);
  void RestoreTransforms() { ApplyTransforms(world_, view_, projection_); }
  // Through the viewport, projection and view with an identity world: x and
  // y in pixels, z between the viewport's depths.
  Vector3& ProjectToScreen(Vector3& out, const Vector3& point) const;
  const gfx::Viewport& GetViewport() const { return viewport_; }

  // Entry i of a channel = (i x mul + add) x 256, clamped to 0 .. 65535.
  int SetGamma(float mulR, float mulG, float mulB, float addR, float addG, float addB);

  // What the device can do with textures (each true before the device exists).
  bool SupportsDxt1() const { return dxt1_; }
  bool SupportsDxt3() const { return dxt3_; }
  bool SupportsDxt5() const { return dxt5_; }
  float GetTextureMemoryMegabytes() const { return textureMemoryMegabytes_; }
  bool AllowsRenderTargets() const { return allowRenderTargets_; }

  // The material types and the current material (MaterialType.h applies them).
  const std::vector<MaterialType>& GetMaterialTypes() const { return materialTypes_; }
  MaterialState& Material() { return material_; }
  // Fog as the frame's view state has it; materials with the fog flag follow it.
  bool IsFogEnabled() const { return fogEnabled_; }
  void SetFogEnabled(bool enabled) { fogEnabled_ = enabled; }

  MeshResource* GetSphereMesh() const { return sphere_.get(); }
  MeshResource* GetBoxMesh() const { return box_.get(); }
  PrimitivePools& GetPrimitivePools() { return *pools_; }
  ShadowTargets& GetShadowTargets() { return *shadowTargets_; }

  void AddDefaultPoolUser(DefaultPoolUser* user);
  void RemoveDefaultPoolUser(DefaultPoolUser* user);

 private:
  bool ChoosePresentParameters(StartupSettings& settings, gfx::PresentParameters& parameters);
  void FitOldShadersToDefaultSize(StartupSettings& settings);
  void PrepareFreshDevice();
  void SetLinearFilters();
  void ReleaseDefaultPool();
  void RestoreDefaultPool();

  RenderDeviceBackend backend_;
  std::unique_ptr<gfx::Device> device_;
  bool dxt1_ = true, dxt3_ = true, dxt5_ = true;
  float textureMemoryMegabytes_ = 0;
  bool allowRenderTargets_ = true;
  bool fogEnabled_ = false;

  std::array<std::uint32_t, gfx::kRenderStateCount> renderStates_{};
  std::array<std::array<std::uint32_t, gfx::kStageStateCount>, kCachedStages> stageStates_{};
  std::array<std::array<std::uint32_t, gfx::kSamplerStateCount>, kCachedStages> samplerStates_{};
  std::array<gfx::Texture*, kCachedStages> textures_{};

  gfx::Viewport viewport_;
  Matrix4 world_, view_, projection_;
  std::vector<MaterialType> materialTypes_;
  MaterialState material_;

  std::unique_ptr<MeshResource> sphere_, box_;
  std::unique_ptr<PrimitivePools> pools_;
  std::unique_ptr<ShadowTargets> shadowTargets_;
  std::vector<DefaultPoolUser*> defaultPoolUsers_;
};

// The running render device; null when none is open.
RenderDevice* GetRenderDevice();

// The first listed X8R8G8B8 mode of that size and depth (0 bits: 32) with
// exactly the refresh rate (0: the desktop's), else the first such mode
// between 50 and 100 Hz; 1 when a listed mode was chosen, 0 when out is
// the desktop mode.
int ChooseDisplayMode(const std::vector<gfx::DisplayMode>& modes, const gfx::DisplayMode& desktop,
                      gfx::DisplayMode& out, std::uint32_t width, std::uint32_t height,
                      std::uint32_t bits, std::uint32_t refresh);

}  // namespace tge
