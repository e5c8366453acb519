#include "services/RenderDevice.h"

#include <algorithm>
#include <bit>

#include "services/EngineServices.h"
#include "services/ErrorMessage.h"
#include "services/render/PrimitivePools.h"
#include "services/render/ShadowTexture.h"
#include "services/resources/MeshResource.h"

namespace tge {
namespace {

RenderDevice* gRenderDevice = nullptr;

constexpr std::uint32_t kDefaultRefresh = 60;
// Devices with shaders older than this run full screen at the default size.
constexpr std::uint32_t kMinShaderVersion = 2;
constexpr std::uint32_t kDefaultWidth = 800, kDefaultHeight = 600;
// Clears and empty scenes that settle a new device before the first frame.
constexpr int kWarmUpFrames = 4;
constexpr float kBytesToMegabytes = 1.0f / 1048576.0f;

gfx::Matrix ToDevice(const Matrix4& matrix) {
  gfx::Matrix out;
  std::copy(std::begin(matrix.m), std::end(matrix.m), out.m);
  return out;
}

std::uint32_t ModeBits(const gfx::DisplayMode& mode) {
  const bool wide = mode.format == gfx::kFormatR8G8B8 || mode.format == gfx::kFormatA8R8G8B8 ||
                    mode.format == gfx::kFormatX8R8G8B8;
  return wide ? 32 : 16;
}

}  // namespace

RenderDevice* GetRenderDevice() { return gRenderDevice; }

int ChooseDisplayMode(const std::vector<gfx::DisplayMode>& modes, const gfx::DisplayMode& desktop,
                      gfx::DisplayMode& out, std::uint32_t width, std::uint32_t height,
                      std::uint32_t bits, std::uint32_t refresh) {
  if (bits == 0) bits = 32;
  if (refresh == 0) refresh = desktop.refreshRate;
  const gfx::DisplayMode* fallback = nullptr;
  for (const gfx::DisplayMode& mode : modes) {
    if (mode.format != gfx::kFormatX8R8G8B8 || mode.width != width || mode.height != height ||
        ModeBits(mode) != bits) {
      continue;
    }
    if (mode.refreshRate == refresh) {
      out = mode;
      return 1;
    }
    if (!fallback && mode.refreshRate > 50 && mode.refreshRate < 100) fallback = &mode;
  }
  out = fallback ? *fallback : desktop;
  return fallback ? 1 : 0;
}

RenderDevice::RenderDevice(RenderDeviceBackend backend)
    : backend_(std::move(backend)),
      pools_(std::make_unique<PrimitivePools>()),
      shadowTargets_(std::make_unique<ShadowTargets>()) {}

RenderDevice::~RenderDevice() { ReleaseRenderDevice(); }

bool RenderDevice::Start(EngineServices& services) {
  StartupSettings settings = services.GetSettings();
  if (!InitRenderDevice(settings)) return false;
  services.SetScreenSize(settings.width, settings.height);
  return true;
}

bool RenderDevice::ChoosePresentParameters(StartupSettings& settings, gfx::PresentParameters& parameters) {
  gfx::DisplayMode desktop{std::uint32_t(settings.width), std::uint32_t(settings.height), kDefaultRefresh,
                           gfx::kFormatX8R8G8B8};
  if (backend_.desktopMode) backend_.desktopMode(desktop);
  gfx::DisplayMode mode = desktop;
  if (settings.fullScreen) {
    const std::vector<gfx::DisplayMode> modes = backend_.listModes ? backend_.listModes() : std::vector<gfx::DisplayMode>{};
    ChooseDisplayMode(modes, desktop, mode, std::uint32_t(settings.width), std::uint32_t(settings.height),
                      std::uint32_t(settings.colorDepth), kDefaultRefresh);
  } else {
    // The shell made the window's client area the size the settings ask for.
    mode.width = std::uint32_t(settings.width);
    mode.height = std::uint32_t(settings.height);
  }
  if (mode.width == 0 || mode.height == 0) return false;
  settings.width = int(mode.width);
  settings.height = int(mode.height);
  parameters = gfx::PresentParameters{};
  parameters.backBufferWidth = mode.width;
  parameters.backBufferHeight = mode.height;
  parameters.backBufferFormat = gfx::kFormatX8R8G8B8;
  parameters.windowed = !settings.fullScreen;
  parameters.autoDepthStencil = true;
  parameters.depthStencilFormat = gfx::kFormatD24S8;
  parameters.refreshRate = settings.fullScreen ? mode.refreshRate : 0;
  return true;
}

// Only the device tells its shader versions, so a device too old for the
// asked full-screen size is made first and then reset to the default size.
void RenderDevice::FitOldShadersToDefaultSize(StartupSettings& settings) {
  const gfx::DeviceCaps& caps = device_->GetCaps();
  if (!settings.fullScreen ||
      (caps.vertexShaderVersionMajor >= kMinShaderVersion && caps.pixelShaderVersionMajor >= kMinShaderVersion)) {
    return;
  }
  StartupSettings smaller = settings;
  smaller.width = kDefaultWidth;
  smaller.height = kDefaultHeight;
  gfx::PresentParameters parameters;
  if (!ChoosePresentParameters(smaller, parameters)) return;
  if (parameters.backBufferWidth == device_->GetPresentParameters().backBufferWidth &&
      parameters.backBufferHeight == device_->GetPresentParameters().backBufferHeight) {
    return;
  }
  if (gfx::Succeeded(device_->Reset(parameters))) settings = smaller;
}

int RenderDevice::InitRenderDevice(StartupSettings& settings) {
  if (device_) return 1;
  gfx::PresentParameters parameters;
  if (!backend_.createDevice || !ChoosePresentParameters(settings, parameters)) {
    return FormatErrorMessage("Error - Invalid DirectX 9 Device");
  }
  std::string error;
  device_ = backend_.createDevice(settings, parameters, error);
  if (!device_) return FormatErrorMessage("Error - Creating DirectX 9 Device");
  FitOldShadersToDefaultSize(settings);
  dxt1_ = device_->CheckTextureFormat(gfx::kFormatDxt1);
  dxt3_ = device_->CheckTextureFormat(gfx::kFormatDxt3);
  dxt5_ = device_->CheckTextureFormat(gfx::kFormatDxt5);
  textureMemoryMegabytes_ = float(device_->GetCaps().availableTextureMemory) * kBytesToMegabytes;
  PrepareFreshDevice();
  sphere_ = CreateSphereMesh(*device_, kBuiltInMeshSize, 8, 8);
  box_ = CreateBoxMesh(*device_, kBuiltInMeshSize, kBuiltInMeshSize, kBuiltInMeshSize);
  world_ = view_ = projection_ = Matrix4{};
  materialTypes_ = BuildMaterialTypes();
  material_ = MaterialState{};
  gRenderDevice = this;
  return 1;
}

void RenderDevice::PrepareFreshDevice() {
  for (int i = 0; i < kWarmUpFrames; ++i) {
    device_->Clear(gfx::kClearTarget | gfx::kClearZBuffer | gfx::kClearStencil, 0, 1.0f, 0);
    device_->BeginScene();
    device_->EndScene();
  }
  SetLinearFilters();
  InvalidateCaches();
  const gfx::PresentParameters& parameters = device_->GetPresentParameters();
  viewport_ = gfx::Viewport{0, 0, parameters.backBufferWidth, parameters.backBufferHeight, 0.0f, 1.0f};
}

void RenderDevice::SetLinearFilters() {
  for (std::uint32_t sampler = 0; sampler < kCachedStages; ++sampler) {
    for (std::uint32_t filter : {gfx::kSampMinFilter, gfx::kSampMagFilter, gfx::kSampMipFilter}) {
      device_->SetSamplerState(sampler, filter, gfx::kFilterLinear);
    }
  }
}

int RenderDevice::ReleaseRenderDevice() {
  if (!device_) return 1;
  materialTypes_.clear();
  material_ = MaterialState{};
  sphere_.reset();
  box_.reset();
  ReleaseDefaultPool();
  defaultPoolUsers_.clear();
  device_.reset();
  if (gRenderDevice == this) gRenderDevice = nullptr;
  return 1;
}

void RenderDevice::ReleaseDefaultPool() {
  pools_->Release();
  shadowTargets_->Release();
  for (DefaultPoolUser* user : defaultPoolUsers_) user->ReleaseDefaultPool();
}

void RenderDevice::RestoreDefaultPool() {
  // A copy: a user may leave the list while it restores (post effects switch
  // off when their targets cannot be made again).
  const std::vector<DefaultPoolUser*> users = defaultPoolUsers_;
  for (DefaultPoolUser* user : users) user->RestoreDefaultPool(*device_);
}

int RenderDevice::HandleDeviceLost() {
  if (!device_) return 0;
  switch (device_->TestCooperativeLevel()) {
    case gfx::Result::kDeviceLost:
      return 0;
    case gfx::Result::kDeviceNotReset:
      break;
    default:
      return 1;
  }
  ReleaseDefaultPool();
  if (!gfx::Succeeded(device_->Reset(device_->GetPresentParameters()))) return 0;
  SetLinearFilters();
  InvalidateCaches();
  // A reset restores the device's identity transforms; the frame may not set
  // every one of them again before it draws.
  RestoreTransforms();
  RestoreDefaultPool();
  return 1;
}

void RenderDevice::InvalidateCaches() {
  renderStates_.fill(kUnknown);
  for (auto& stage : stageStates_) stage.fill(kUnknown);
  for (auto& sampler : samplerStates_) sampler.fill(kUnknown);
  textures_.fill(nullptr);
  material_.Forget();
  material_.stageOneBorrowed = false;
}

void RenderDevice::SetRenderStateCached(std::uint32_t state, std::uint32_t value) {
  if (state < renderStates_.size()) {
    if (renderStates_[state] == value) return;
    renderStates_[state] = value;
  }
  device_->SetRenderState(state, value);
}

void RenderDevice::SetRenderStateFloat(std::uint32_t state, float value) {
  SetRenderStateCached(state, std::bit_cast<std::uint32_t>(value));
}

void RenderDevice::SetTextureStageStateCached(std::uint32_t stage, std::uint32_t type, std::uint32_t value) {
  if (stage < kCachedStages && type < gfx::kStageStateCount) {
    if (stageStates_[stage][type] == value) return;
    stageStates_[stage][type] = value;
  }
  device_->SetTextureStageState(stage, type, value);
}

void RenderDevice::SetSamplerStateCached(std::uint32_t sampler, std::uint32_t type, std::uint32_t value) {
  if (sampler < kCachedStages && type < gfx::kSamplerStateCount) {
    if (samplerStates_[sampler][type] == value) return;
    samplerStates_[sampler][type] = value;
  }
  device_->SetSamplerState(sampler, type, value);
}

void RenderDevice::SetTextureCached(std::uint32_t stage, gfx::Texture* texture) {
  if (stage < kCachedStages) {
    // A released texture leaves its stage on the device and not in the cache;
    // a new texture made at its address must still be bound.
    if (textures_[stage] == texture && device_->GetTexture(stage) == texture) return;
    textures_[stage] = texture;
  }
  device_->SetTexture(stage, texture);
}

void RenderDevice::ApplyTransforms(const Matrix4& world, const Matrix4& view, const Matrix4& projection) {
  device_->SetTransform(gfx::kTransformWorld, ToDevice(world));
  device_->SetTransform(gfx::kTransformView, ToDevice(view));
  device_->SetTransform(gfx::kTransformProjection, ToDevice(projection));
}

void RenderDevice::SetWorldMatrix(const Matrix4& matrix) {
  world_ = matrix;
  device_->SetTransform(gfx::kTransformWorld, ToDevice(matrix));
}

void RenderDevice::SetViewMatrix(const Matrix4& matrix) {
  view_ = matrix;
  device_->SetTransform(gfx::kTransformView, ToDevice(matrix));
}

void RenderDevice::SetProjectionMatrix(const Matrix4& matrix) {
  projection_ = matrix;
  device_->SetTransform(gfx::kTransformProjection, ToDevice(matrix));
}

Vector3& RenderDevice::ProjectToScreen(Vector3& out, const Vector3& point) const {
  const Viewport viewport{viewport_.x, viewport_.y, viewport_.width, viewport_.height, viewport_.minZ,
                          viewport_.maxZ};
  return Vector3Project(out, point, viewport, projection_, view_, Matrix4{});
}

int RenderDevice::SetGamma(float mulR, float mulG, float mulB, float addR, float addG, float addB) {
  if (!device_) return 0;
  auto fill = [](std::array<std::uint16_t, 256>& channel, float mul, float add) {
    for (std::size_t i = 0; i < channel.size(); ++i) {
      const float value = (float(i) * mul + add) * 256.0f;
      channel[i] = std::uint16_t(std::clamp(value, 0.0f, 65535.0f));
    }
  };
  gfx::GammaRamp ramp;
  fill(ramp.red, mulR, addR);
  fill(ramp.green, mulG, addG);
  fill(ramp.blue, mulB, addB);
  device_->SetGammaRamp(ramp);
  return 1;
}

void RenderDevice::AddDefaultPoolUser(DefaultPoolUser* user) {
  if (std::find(defaultPoolUsers_.begin(), defaultPoolUsers_.end(), user) == defaultPoolUsers_.end()) {
    defaultPoolUsers_.push_back(user);
  }
}

void RenderDevice::RemoveDefaultPoolUser(DefaultPoolUser* user) {
  std::erase(defaultPoolUsers_, user);
}

}  // namespace tge
