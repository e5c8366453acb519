// What both back-ends share: the state tables with their defaults, the
// bindings, argument checks, resource creation and the checks that keep a
// draw inside its buffers. A back-end supplies the drawing (Do... hooks) and
// sees every call first through OnCall, which may refuse it.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <span>

#include "platform/gfx/Device.h"
#include "platform/gfx/DeviceCall.h"
#include "platform/gfx/VertexFormat.h"

namespace tge::gfx {

// A checked draw. Vertices come from a buffer (first vertex counted from the
// buffer's start, stream offset included) or from caller memory; indices, when
// present, are already known to stay inside the vertices.
struct DrawRequest {
  std::uint32_t type = 0;
  std::uint32_t primitiveCount = 0;
  // The device's decoded format, valid for the call only.
  const VertexLayout* layout = nullptr;
  std::uint32_t stride = 0;
  VertexBuffer* vertexBuffer = nullptr;
  std::span<const std::uint8_t> userVertices;
  std::uint32_t firstVertex = 0;   // byte offset = firstVertex * stride (+ stream offset)
  std::uint32_t streamOffset = 0;
  std::uint32_t vertexCount = 0;   // vertices read (non-indexed)
  IndexBuffer* indexBuffer = nullptr;
  std::uint32_t startIndex = 0;
  std::uint32_t indexCount = 0;
  std::int32_t baseVertex = 0;
};

struct DeviceStates {
  std::array<std::uint32_t, kRenderStateCount> render{};
  std::array<std::array<std::uint32_t, kStageStateCount>, kMaxStages> stage{};
  std::array<std::array<std::uint32_t, kSamplerStateCount>, kMaxStages> sampler{};
  std::array<Texture*, kMaxStages> textures{};
  Matrix world, view, projection;
  std::array<Matrix, kMaxStages> texture;
  std::array<Light, kMaxLights> lights{};
  std::array<bool, kMaxLights> lightEnabled{};
  Material material;
  Viewport viewport;
  std::uint32_t fvf = 0;
  GammaRamp gamma;

  // The defaults a new or reset device starts with.
  void SetDefaults(std::uint32_t width, std::uint32_t height);
};

class DeviceBase : public Device, public ResourceListener {
 public:
  ~DeviceBase() override;

  Result TestCooperativeLevel() override;
  Result Reset(const PresentParameters& parameters) override;
  const PresentParameters& GetPresentParameters() const override { return parameters_; }
  const DeviceCaps& GetCaps() const override { return caps_; }
  bool CheckTextureFormat(std::uint32_t format) const override;

  Result BeginScene() override;
  Result EndScene() override;
  Result Present() override;
  Result Clear(std::uint32_t flags, std::uint32_t color, float z, std::uint32_t stencil) override;
  void SetGammaRamp(const GammaRamp& ramp) override;
  Result SetViewport(const Viewport& viewport) override;
  Viewport GetViewport() const override { return states_.viewport; }

  Result CreateVertexBuffer(std::uint32_t size, std::uint32_t usage, std::uint32_t format,
                            std::uint32_t pool, std::unique_ptr<VertexBuffer>* out) override;
  Result CreateIndexBuffer(std::uint32_t size, std::uint32_t usage, std::uint32_t format,
                           std::uint32_t pool, std::unique_ptr<IndexBuffer>* out) override;
  Result CreateTexture(std::uint32_t width, std::uint32_t height, std::uint32_t levels,
                       std::uint32_t usage, std::uint32_t format, std::uint32_t pool,
                       std::unique_ptr<Texture>* out) override;
  Result CreateCubeTexture(std::uint32_t edge, std::uint32_t levels, std::uint32_t usage,
                           std::uint32_t format, std::uint32_t pool,
                           std::unique_ptr<Texture>* out) override;
  Result SetRenderTarget(Texture* target) override;
  Texture* GetRenderTarget() const override { return renderTarget_; }

  Result SetRenderState(std::uint32_t state, std::uint32_t value) override;
  std::uint32_t GetRenderState(std::uint32_t state) const override;
  Result SetTextureStageState(std::uint32_t stage, std::uint32_t type, std::uint32_t value) override;
  std::uint32_t GetTextureStageState(std::uint32_t stage, std::uint32_t type) const override;
  Result SetSamplerState(std::uint32_t sampler, std::uint32_t type, std::uint32_t value) override;
  std::uint32_t GetSamplerState(std::uint32_t sampler, std::uint32_t type) const override;
  Result SetTexture(std::uint32_t stage, Texture* texture) override;
  Texture* GetTexture(std::uint32_t stage) const override;
  Result SetTransform(std::uint32_t transform, const Matrix& matrix) override;
  Result GetTransform(std::uint32_t transform, Matrix* matrix) const override;
  Result SetLight(std::uint32_t index, const Light& light) override;
  Result LightEnable(std::uint32_t index, bool enable) override;
  Result SetMaterial(const Material& material) override;

  Result SetFVF(std::uint32_t format) override;
  Result SetStreamSource(VertexBuffer* buffer, std::uint32_t offset, std::uint32_t stride) override;
  Result SetIndices(IndexBuffer* buffer) override;
  Result DrawPrimitive(std::uint32_t type, std::uint32_t startVertex, std::uint32_t count) override;
  Result DrawIndexedPrimitive(std::uint32_t type, std::int32_t baseVertex, std::uint32_t minIndex,
                              std::uint32_t vertexCount, std::uint32_t startIndex,
                              std::uint32_t count) override;
  Result DrawPrimitiveUP(std::uint32_t type, std::uint32_t count, const void* vertices,
                         std::uint32_t stride) override;

  void OnResourceReleased(Resource& resource) override;

  const DeviceStates& States() const { return states_; }
  // Grows with every change of a state that drawing reads.
  std::uint64_t StateVersion() const { return stateVersion_; }
  std::size_t LiveResources() const { return tracker_->Live().size(); }

 protected:
  DeviceBase(const PresentParameters& parameters, const DeviceCaps& caps);

  // Sees every call before it acts; a result other than kOk refuses it.
  virtual Result OnCall(const DeviceCall& call) = 0;
  virtual Result DoTestCooperativeLevel() { return Result::kOk; }
  virtual Result DoReset(const PresentParameters& parameters) = 0;
  virtual Result DoPresent() = 0;
  virtual Result DoClear(std::uint32_t flags, std::uint32_t color, float z) = 0;
  virtual Result DoDraw(const DrawRequest& request) = 0;
  virtual void DoRenderTargetChanged() {}

  ResourceTracker& Tracker() { return *tracker_; }
  void SetCaps(const DeviceCaps& caps) { caps_ = caps; }

 private:
  Result Check(CallType type, std::uint32_t a = 0, std::uint32_t b = 0, std::uint32_t c = 0,
               const void* object = nullptr);
  Result CreateTextureOf(TextureKind kind, std::uint32_t width, std::uint32_t height,
                         std::uint32_t levels, std::uint32_t usage, std::uint32_t format,
                         std::uint32_t pool, std::unique_ptr<Texture>* out);
  Result CheckedBufferDraw(DrawRequest& request);
  // A vertex format decoded; the last one decoded is kept, since draws
  // mostly repeat it.
  const VertexLayout& LayoutOf(std::uint32_t format);
  void Changed() { ++stateVersion_; }

  PresentParameters parameters_;
  DeviceCaps caps_;
  DeviceStates states_;
  std::shared_ptr<ResourceTracker> tracker_;
  Texture* renderTarget_ = nullptr;
  VertexBuffer* stream_ = nullptr;
  std::uint32_t streamOffset_ = 0, streamStride_ = 0;
  IndexBuffer* indices_ = nullptr;
  bool inScene_ = false;
  VertexLayout layout_;
  std::uint32_t layoutFormat_ = 0;
  bool layoutKnown_ = false;
  std::uint64_t stateVersion_ = 1;
};

}  // namespace tge::gfx
