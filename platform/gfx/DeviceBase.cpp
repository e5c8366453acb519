#include "platform/gfx/DeviceBase.h"

#include <bit>

namespace tge::gfx {
namespace {

constexpr std::uint32_t Bits(float value) { return std::bit_cast<std::uint32_t>(value); }

struct StateDefault {
  std::uint32_t id;
  std::uint32_t value;
};

// Render states whose default is not zero.
constexpr StateDefault kRenderDefaults[] = {
    {kRsZEnable, 1}, {kRsFillMode, kFillSolid}, {9, 2}, {kRsZWriteEnable, 1}, {16, 1},
    {kRsSrcBlend, kBlendOne}, {kRsDestBlend, kBlendZero}, {kRsCullMode, kCullCounterClockwise},
    {kRsZFunc, kCmpLessEqual}, {kRsAlphaFunc, kCmpAlways}, {kRsFogEnd, Bits(1.0f)},
    {kRsFogDensity, Bits(1.0f)}, {kRsTextureFactor, 0xFFFFFFFFu}, {136, 1}, {kRsLighting, 1},
    {kRsColorVertex, 1}, {kRsLocalViewer, 1},
    {kRsDiffuseMaterialSource, kMaterialSourceColor1},
    {kRsSpecularMaterialSource, kMaterialSourceColor2}, {kRsPointSize, Bits(1.0f)},
    {kRsPointSizeMin, Bits(1.0f)}, {kRsPointScaleA, Bits(1.0f)}, {kRsPointSizeMax, Bits(64.0f)},
    {kRsColorWriteEnable, 0xF}, {kRsBlendOp, kBlendOpAdd}};

bool IsPrimitiveType(std::uint32_t type) {
  return type >= kPrimPointList && type <= kPrimTriangleFan;
}

}  // namespace

std::uint64_t VerticesForPrimitives(std::uint32_t type, std::uint32_t count) {
  const std::uint64_t n = count;
  switch (type) {
    case kPrimPointList: return n;
    case kPrimLineList: return 2 * n;
    case kPrimLineStrip: return n + 1;
    case kPrimTriangleList: return 3 * n;
    case kPrimTriangleStrip: case kPrimTriangleFan: return n + 2;
    default: return 0;
  }
}

void DeviceStates::SetDefaults(std::uint32_t width, std::uint32_t height) {
  render.fill(0);
  for (const StateDefault& entry : kRenderDefaults) render[entry.id] = entry.value;
  for (std::uint32_t i = 0; i < kMaxStages; ++i) {
    stage[i].fill(0);
    stage[i][kTssColorOp] = i == 0 ? kTopModulate : kTopDisable;
    stage[i][kTssColorArg1] = kTaTexture;
    stage[i][kTssColorArg2] = kTaCurrent;
    stage[i][kTssAlphaOp] = i == 0 ? kTopSelectArg1 : kTopDisable;
    stage[i][kTssAlphaArg1] = kTaTexture;
    stage[i][kTssAlphaArg2] = kTaCurrent;
    stage[i][kTssTexCoordIndex] = i;
    sampler[i].fill(0);
    sampler[i][kSampAddressU] = sampler[i][kSampAddressV] = sampler[i][kSampAddressW] = kAddressWrap;
    sampler[i][kSampMagFilter] = sampler[i][kSampMinFilter] = kFilterPoint;
  }
  textures.fill(nullptr);
  world = view = projection = Matrix{};
  texture.fill(Matrix{});
  lights.fill(Light{});
  lightEnabled.fill(false);
  material = Material{};
  viewport = Viewport{0, 0, width, height, 0.0f, 1.0f};
  fvf = 0;
}

DeviceBase::DeviceBase(const PresentParameters& parameters, const DeviceCaps& caps)
    : parameters_(parameters), caps_(caps), tracker_(std::make_shared<ResourceTracker>(this)) {
  states_.SetDefaults(parameters.backBufferWidth, parameters.backBufferHeight);
  for (std::uint32_t i = 0; i < 256; ++i) {
    const float value = float(i) * 257.0f;
    states_.gamma.red[i] = states_.gamma.green[i] = states_.gamma.blue[i] = std::uint16_t(value);
  }
}

DeviceBase::~DeviceBase() { tracker_->Detach(); }

Result DeviceBase::Check(CallType type, std::uint32_t a, std::uint32_t b, std::uint32_t c,
                         const void* object) {
  return OnCall(DeviceCall{type, a, b, c, object});
}

Result DeviceBase::TestCooperativeLevel() {
  if (Result r = Check(CallType::kTestCooperativeLevel); r != Result::kOk) return r;
  return DoTestCooperativeLevel();
}

Result DeviceBase::Reset(const PresentParameters& parameters) {
  if (Result r = Check(CallType::kReset, parameters.backBufferWidth,
                       parameters.backBufferHeight); r != Result::kOk) {
    return r;
  }
  if (tracker_->CountInPool(kPoolDefault) != 0 || parameters.backBufferWidth == 0 ||
      parameters.backBufferHeight == 0) {
    return Result::kInvalidCall;
  }
  if (Result r = DoReset(parameters); r != Result::kOk) return r;
  parameters_ = parameters;
  const GammaRamp gamma = states_.gamma;
  states_.SetDefaults(parameters.backBufferWidth, parameters.backBufferHeight);
  states_.gamma = gamma;
  renderTarget_ = nullptr;
  stream_ = nullptr;
  indices_ = nullptr;
  inScene_ = false;
  Changed();
  DoRenderTargetChanged();
  return Result::kOk;
}

bool DeviceBase::CheckTextureFormat(std::uint32_t format) const { return StorageFormat(format) != 0; }

Result DeviceBase::BeginScene() {
  if (Result r = Check(CallType::kBeginScene); r != Result::kOk) return r;
  if (inScene_) return Result::kInvalidCall;
  inScene_ = true;
  return Result::kOk;
}

Result DeviceBase::EndScene() {
  if (Result r = Check(CallType::kEndScene); r != Result::kOk) return r;
  if (!inScene_) return Result::kInvalidCall;
  inScene_ = false;
  return Result::kOk;
}

Result DeviceBase::Present() {
  if (Result r = Check(CallType::kPresent); r != Result::kOk) return r;
  return DoPresent();
}

Result DeviceBase::Clear(std::uint32_t flags, std::uint32_t color, float z, std::uint32_t stencil) {
  if (Result r = Check(CallType::kClear, flags, color, Bits(z)); r != Result::kOk) return r;
  (void)stencil;
  return DoClear(flags, color, z);
}

void DeviceBase::SetGammaRamp(const GammaRamp& ramp) {
  if (Check(CallType::kSetGammaRamp, ramp.red[255], ramp.green[255], ramp.blue[255]) != Result::kOk) {
    return;
  }
  states_.gamma = ramp;
  Changed();
}

Result DeviceBase::SetViewport(const Viewport& viewport) {
  if (Result r = Check(CallType::kSetViewport, viewport.width, viewport.height); r != Result::kOk) {
    return r;
  }
  if (viewport.width == 0 || viewport.height == 0 || !(viewport.minZ <= viewport.maxZ)) {
    return Result::kInvalidCall;
  }
  states_.viewport = viewport;
  Changed();
  return Result::kOk;
}

Result DeviceBase::CreateVertexBuffer(std::uint32_t size, std::uint32_t usage, std::uint32_t format,
                                      std::uint32_t pool, std::unique_ptr<VertexBuffer>* out) {
  if (Result r = Check(CallType::kCreateVertexBuffer, size, usage, format); r != Result::kOk) return r;
  if (out == nullptr || size == 0) return Result::kInvalidCall;
  *out = std::make_unique<VertexBuffer>(tracker_, size, usage, format, pool);
  return Result::kOk;
}

Result DeviceBase::CreateIndexBuffer(std::uint32_t size, std::uint32_t usage, std::uint32_t format,
                                     std::uint32_t pool, std::unique_ptr<IndexBuffer>* out) {
  if (Result r = Check(CallType::kCreateIndexBuffer, size, usage, format); r != Result::kOk) return r;
  if (out == nullptr || size == 0 || (format != kFormatIndex16 && format != kFormatIndex32)) {
    return Result::kInvalidCall;
  }
  *out = std::make_unique<IndexBuffer>(tracker_, size, usage, format, pool);
  return Result::kOk;
}

Result DeviceBase::CreateTextureOf(TextureKind kind, std::uint32_t width, std::uint32_t height,
                                   std::uint32_t levels, std::uint32_t usage, std::uint32_t format,
                                   std::uint32_t pool, std::unique_ptr<Texture>* out) {
  const bool renderTarget = (usage & kUsageRenderTarget) != 0;
  if (out == nullptr || StorageFormat(format) == 0 || width == 0 || height == 0 ||
      width > caps_.maxTextureWidth || height > caps_.maxTextureHeight ||
      (renderTarget && pool != kPoolDefault)) {
    return Result::kInvalidCall;
  }
  *out = std::make_unique<Texture>(tracker_, kind, width, height, levels, usage, format, pool);
  return Result::kOk;
}

Result DeviceBase::CreateTexture(std::uint32_t width, std::uint32_t height, std::uint32_t levels,
                                 std::uint32_t usage, std::uint32_t format, std::uint32_t pool,
                                 std::unique_ptr<Texture>* out) {
  if (Result r = Check(CallType::kCreateTexture, width, height, format); r != Result::kOk) return r;
  return CreateTextureOf(TextureKind::k2D, width, height, levels, usage, format, pool, out);
}

Result DeviceBase::CreateCubeTexture(std::uint32_t edge, std::uint32_t levels, std::uint32_t usage,
                                     std::uint32_t format, std::uint32_t pool,
                                     std::unique_ptr<Texture>* out) {
  if (Result r = Check(CallType::kCreateCubeTexture, edge, levels, format); r != Result::kOk) return r;
  if (usage & kUsageRenderTarget) return Result::kInvalidCall;
  return CreateTextureOf(TextureKind::kCube, edge, edge, levels, usage, format, pool, out);
}

Result DeviceBase::SetRenderTarget(Texture* target) {
  if (Result r = Check(CallType::kSetRenderTarget, 0, 0, 0, target); r != Result::kOk) return r;
  if (target != nullptr && (!target->IsRenderTarget() || target->Kind() != TextureKind::k2D)) {
    return Result::kInvalidCall;
  }
  renderTarget_ = target;
  TextureDesc desc{parameters_.backBufferWidth, parameters_.backBufferHeight, 0};
  if (target != nullptr) target->GetLevelDesc(0, &desc);
  states_.viewport = Viewport{0, 0, desc.width, desc.height, 0.0f, 1.0f};
  Changed();
  DoRenderTargetChanged();
  return Result::kOk;
}

Result DeviceBase::SetRenderState(std::uint32_t state, std::uint32_t value) {
  if (Result r = Check(CallType::kSetRenderState, state, value); r != Result::kOk) return r;
  if (state >= kRenderStateCount) return Result::kInvalidCall;
  states_.render[state] = value;
  Changed();
  return Result::kOk;
}

std::uint32_t DeviceBase::GetRenderState(std::uint32_t state) const {
  return state < kRenderStateCount ? states_.render[state] : 0;
}

Result DeviceBase::SetTextureStageState(std::uint32_t stage, std::uint32_t type, std::uint32_t value) {
  if (Result r = Check(CallType::kSetTextureStageState, stage, type, value); r != Result::kOk) {
    return r;
  }
  if (stage >= kMaxStages || type >= kStageStateCount) return Result::kInvalidCall;
  states_.stage[stage][type] = value;
  Changed();
  return Result::kOk;
}

std::uint32_t DeviceBase::GetTextureStageState(std::uint32_t stage, std::uint32_t type) const {
  return stage < kMaxStages && type < kStageStateCount ? states_.stage[stage][type] : 0;
}

Result DeviceBase::SetSamplerState(std::uint32_t sampler, std::uint32_t type, std::uint32_t value) {
  if (Result r = Check(CallType::kSetSamplerState, sampler, type, value); r != Result::kOk) return r;
  if (sampler >= kMaxStages || type >= kSamplerStateCount) return Result::kInvalidCall;
  states_.sampler[sampler][type] = value;
  Changed();
  return Result::kOk;
}

std::uint32_t DeviceBase::GetSamplerState(std::uint32_t sampler, std::uint32_t type) const {
  return sampler < kMaxStages && type < kSamplerStateCount ? states_.sampler[sampler][type] : 0;
}

Result DeviceBase::SetTexture(std::uint32_t stage, Texture* texture) {
  if (Result r = Check(CallType::kSetTexture, stage, 0, 0, texture); r != Result::kOk) return r;
  if (stage >= kMaxStages) return Result::kInvalidCall;
  states_.textures[stage] = texture;
  Changed();
  return Result::kOk;
}

Texture* DeviceBase::GetTexture(std::uint32_t stage) const {
  return stage < kMaxStages ? states_.textures[stage] : nullptr;
}

namespace {

// The matrix a transform id names in the states, const or not; null for ids
// the device does not keep.
template <typename States>
auto* TransformSlot(States& states, std::uint32_t transform) {
  decltype(&states.world) none = nullptr;
  if (transform == kTransformWorld) return &states.world;
  if (transform == kTransformView) return &states.view;
  if (transform == kTransformProjection) return &states.projection;
  if (transform >= kTransformTexture0 && transform < kTransformTexture0 + kMaxStages) {
    return &states.texture[transform - kTransformTexture0];
  }
  return none;
}

}  // namespace

Result DeviceBase::SetTransform(std::uint32_t transform, const Matrix& matrix) {
  if (Result r = Check(CallType::kSetTransform, transform); r != Result::kOk) return r;
  Matrix* slot = TransformSlot(states_, transform);
  if (slot == nullptr) return Result::kInvalidCall;
  *slot = matrix;
  Changed();
  return Result::kOk;
}

Result DeviceBase::GetTransform(std::uint32_t transform, Matrix* matrix) const {
  const Matrix* slot = TransformSlot(states_, transform);
  if (slot == nullptr || matrix == nullptr) return Result::kInvalidCall;
  *matrix = *slot;
  return Result::kOk;
}

Result DeviceBase::SetLight(std::uint32_t index, const Light& light) {
  if (Result r = Check(CallType::kSetLight, index, light.type); r != Result::kOk) return r;
  if (index >= kMaxLights || light.type < kLightPoint || light.type > kLightDirectional) {
    return Result::kInvalidCall;
  }
  states_.lights[index] = light;
  Changed();
  return Result::kOk;
}

Result DeviceBase::LightEnable(std::uint32_t index, bool enable) {
  if (Result r = Check(CallType::kLightEnable, index, enable ? 1 : 0); r != Result::kOk) return r;
  if (index >= kMaxLights) return Result::kInvalidCall;
  states_.lightEnabled[index] = enable;
  Changed();
  return Result::kOk;
}

Result DeviceBase::SetMaterial(const Material& material) {
  if (Result r = Check(CallType::kSetMaterial); r != Result::kOk) return r;
  states_.material = material;
  Changed();
  return Result::kOk;
}

Result DeviceBase::SetFVF(std::uint32_t format) {
  if (Result r = Check(CallType::kSetFVF, format); r != Result::kOk) return r;
  if (!LayoutOf(format).valid) return Result::kInvalidCall;
  states_.fvf = format;
  return Result::kOk;
}

Result DeviceBase::SetStreamSource(VertexBuffer* buffer, std::uint32_t offset, std::uint32_t stride) {
  if (Result r = Check(CallType::kSetStreamSource, offset, stride, 0, buffer); r != Result::kOk) {
    return r;
  }
  stream_ = buffer;
  streamOffset_ = offset;
  streamStride_ = stride;
  return Result::kOk;
}

Result DeviceBase::SetIndices(IndexBuffer* buffer) {
  if (Result r = Check(CallType::kSetIndices, 0, 0, 0, buffer); r != Result::kOk) return r;
  indices_ = buffer;
  return Result::kOk;
}

const VertexLayout& DeviceBase::LayoutOf(std::uint32_t format) {
  if (layoutFormat_ != format || !layoutKnown_) {
    layout_ = DecodeVertexFormat(format);
    layoutFormat_ = format;
    layoutKnown_ = true;
  }
  return layout_;
}

// Common checks of the two buffer draws: a known type, a layout, a stream
// whose stride holds the layout and whose offset lies inside the buffer.
Result DeviceBase::CheckedBufferDraw(DrawRequest& request) {
  request.layout = &LayoutOf(states_.fvf);
  if (!IsPrimitiveType(request.type) || request.primitiveCount == 0 || !request.layout->valid ||
      stream_ == nullptr || streamStride_ < request.layout->size ||
      streamOffset_ > stream_->Size()) {
    return Result::kInvalidCall;
  }
  request.stride = streamStride_;
  request.vertexBuffer = stream_;
  request.streamOffset = streamOffset_;
  return Result::kOk;
}

Result DeviceBase::DrawPrimitive(std::uint32_t type, std::uint32_t startVertex, std::uint32_t count) {
  if (Result r = Check(CallType::kDrawPrimitive, type, startVertex, count); r != Result::kOk) return r;
  DrawRequest request;
  request.type = type;
  request.primitiveCount = count;
  if (Result r = CheckedBufferDraw(request); r != Result::kOk) return r;
  const std::uint64_t vertices = VerticesForPrimitives(type, count);
  const std::uint64_t available = (stream_->Size() - streamOffset_) / streamStride_;
  if (std::uint64_t(startVertex) + vertices > available) return Result::kInvalidCall;
  request.firstVertex = startVertex;
  request.vertexCount = std::uint32_t(vertices);
  return DoDraw(request);
}

Result DeviceBase::DrawIndexedPrimitive(std::uint32_t type, std::int32_t baseVertex,
                                        std::uint32_t minIndex, std::uint32_t vertexCount,
                                        std::uint32_t startIndex, std::uint32_t count) {
  if (Result r = Check(CallType::kDrawIndexedPrimitive, type, startIndex, count); r != Result::kOk) {
    return r;
  }
  (void)minIndex;
  (void)vertexCount;
  DrawRequest request;
  request.type = type;
  request.primitiveCount = count;
  if (Result r = CheckedBufferDraw(request); r != Result::kOk) return r;
  const std::uint64_t indexCount = VerticesForPrimitives(type, count);
  if (indices_ == nullptr || std::uint64_t(startIndex) + indexCount > indices_->IndexCount()) {
    return Result::kInvalidCall;
  }
  const std::int64_t available = (stream_->Size() - streamOffset_) / streamStride_;
  const IndexBuffer::IndexRange range = indices_->RangeOf(startIndex, std::uint32_t(indexCount));
  if (std::int64_t(range.lowest) + baseVertex < 0 || std::int64_t(range.highest) + baseVertex >= available) {
    return Result::kInvalidCall;
  }
  request.indexBuffer = indices_;
  request.startIndex = startIndex;
  request.indexCount = std::uint32_t(indexCount);
  request.baseVertex = baseVertex;
  return DoDraw(request);
}

Result DeviceBase::DrawPrimitiveUP(std::uint32_t type, std::uint32_t count, const void* vertices,
                                   std::uint32_t stride) {
  if (Result r = Check(CallType::kDrawPrimitiveUP, type, count, stride, vertices); r != Result::kOk) {
    return r;
  }
  const VertexLayout& layout = LayoutOf(states_.fvf);
  const std::uint64_t vertexCount = VerticesForPrimitives(type, count);
  if (!IsPrimitiveType(type) || count == 0 || vertices == nullptr || !layout.valid ||
      stride < layout.size || vertexCount * stride > (1u << 30)) {
    return Result::kInvalidCall;
  }
  DrawRequest request;
  request.type = type;
  request.primitiveCount = count;
  request.layout = &layout;
  request.stride = stride;
  request.userVertices = {static_cast<const std::uint8_t*>(vertices), std::size_t(vertexCount * stride)};
  request.vertexCount = std::uint32_t(vertexCount);
  return DoDraw(request);
}

void DeviceBase::OnResourceReleased(Resource& resource) {
  for (Texture*& texture : states_.textures) {
    if (texture == &resource) texture = nullptr;
  }
  if (renderTarget_ == &resource) {
    renderTarget_ = nullptr;
    DoRenderTargetChanged();
  }
  if (stream_ == &resource) stream_ = nullptr;
  if (indices_ == &resource) indices_ = nullptr;
  Changed();
}

}  // namespace tge::gfx
