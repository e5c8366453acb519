// The graphics device the engine's rendering talks to: creation settings,
// reset and loss, buffers and textures, render targets, render, texture-stage
// and sampler states, transforms, lights, material, clear and draw calls.
// State ids and values are the engine's own numbers (States.h) and pass
// through unchanged. Two back-ends: GlDevice draws with OpenGL,
// RecordingDevice draws nothing and records every call for tests.
//
// Resources must not be in use by a draw when they are destroyed; the device
// unbinds a resource that goes while it is bound.
#pragma once
#include <cstdint>
#include <memory>

#include "platform/gfx/Resources.h"
#include "platform/gfx/States.h"
#include "platform/gfx/Types.h"

namespace tge::gfx {

class Device {
 public:
  virtual ~Device() = default;

  // Lifetime. TestCooperativeLevel reports kDeviceLost while nothing can be
  // done, kDeviceNotReset when Reset may be called. Reset fails while
  // default-pool resources are alive; afterwards every state has its default.
  virtual Result TestCooperativeLevel() = 0;
  virtual Result Reset(const PresentParameters& parameters) = 0;
  virtual const PresentParameters& GetPresentParameters() const = 0;
  virtual const DeviceCaps& GetCaps() const = 0;
  virtual bool CheckTextureFormat(std::uint32_t format) const = 0;

  // Frame.
  virtual Result BeginScene() = 0;
  virtual Result EndScene() = 0;
  virtual Result Present() = 0;
  virtual Result Clear(std::uint32_t flags, std::uint32_t color, float z, std::uint32_t stencil) = 0;
  // Applied when the back buffer is shown, never to the display itself.
  virtual void SetGammaRamp(const GammaRamp& ramp) = 0;
  virtual Result SetViewport(const Viewport& viewport) = 0;
  virtual Viewport GetViewport() const = 0;

  // Resources. Sizes in bytes; formats, usages and pools as in States.h.
  virtual Result CreateVertexBuffer(std::uint32_t size, std::uint32_t usage, std::uint32_t format,
                                    std::uint32_t pool, std::unique_ptr<VertexBuffer>* out) = 0;
  virtual Result CreateIndexBuffer(std::uint32_t size, std::uint32_t usage, std::uint32_t format,
                                   std::uint32_t pool, std::unique_ptr<IndexBuffer>* out) = 0;
  // levels 0 makes a full mip chain.
  virtual Result CreateTexture(std::uint32_t width, std::uint32_t height, std::uint32_t levels,
                               std::uint32_t usage, std::uint32_t format, std::uint32_t pool,
                               std::unique_ptr<Texture>* out) = 0;
  virtual Result CreateCubeTexture(std::uint32_t edge, std::uint32_t levels, std::uint32_t usage,
                                   std::uint32_t format, std::uint32_t pool,
                                   std::unique_ptr<Texture>* out) = 0;
  // Level 0 of a render-target texture, or null for the back buffer.
  virtual Result SetRenderTarget(Texture* target) = 0;
  virtual Texture* GetRenderTarget() const = 0;

  // States. Ids outside the tables are invalid calls; getters give 0 for them.
  virtual Result SetRenderState(std::uint32_t state, std::uint32_t value) = 0;
  virtual std::uint32_t GetRenderState(std::uint32_t state) const = 0;
  virtual Result SetTextureStageState(std::uint32_t stage, std::uint32_t type, std::uint32_t value) = 0;
  virtual std::uint32_t GetTextureStageState(std::uint32_t stage, std::uint32_t type) const = 0;
  virtual Result SetSamplerState(std::uint32_t sampler, std::uint32_t type, std::uint32_t value) = 0;
  virtual std::uint32_t GetSamplerState(std::uint32_t sampler, std::uint32_t type) const = 0;
  virtual Result SetTexture(std::uint32_t stage, Texture* texture) = 0;
  virtual Texture* GetTexture(std::uint32_t stage) const = 0;
  virtual Result SetTransform(std::uint32_t transform, const Matrix& matrix) = 0;
  virtual Result GetTransform(std::uint32_t transform, Matrix* matrix) const = 0;
  virtual Result SetLight(std::uint32_t index, const Light& light) = 0;
  virtual Result LightEnable(std::uint32_t index, bool enable) = 0;
  virtual Result SetMaterial(const Material& material) = 0;

  // Drawing from stream 0. Draws that would read past a buffer, or index a
  // vertex outside it, are invalid calls and draw nothing.
  virtual Result SetFVF(std::uint32_t format) = 0;
  virtual Result SetStreamSource(VertexBuffer* buffer, std::uint32_t offset, std::uint32_t stride) = 0;
  virtual Result SetIndices(IndexBuffer* buffer) = 0;
  virtual Result DrawPrimitive(std::uint32_t type, std::uint32_t startVertex, std::uint32_t count) = 0;
  virtual Result DrawIndexedPrimitive(std::uint32_t type, std::int32_t baseVertex,
                                      std::uint32_t minIndex, std::uint32_t vertexCount,
                                      std::uint32_t startIndex, std::uint32_t count) = 0;
  // Vertices from the caller's memory, in the format set by SetFVF.
  virtual Result DrawPrimitiveUP(std::uint32_t type, std::uint32_t count, const void* vertices,
                                 std::uint32_t stride) = 0;
};

// Vertices (or indices) a draw of count primitives of the type reads; 0 for
// an unknown type.
std::uint64_t VerticesForPrimitives(std::uint32_t type, std::uint32_t count);

}  // namespace tge::gfx
