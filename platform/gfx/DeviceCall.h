// One entry per device call: what a RecordingDevice logs and what a test can
// make fail. Arguments are the call's numbers in order; object is the
// resource the call names, if any.
#pragma once
#include <cstdint>
#include <string_view>

namespace tge::gfx {

enum class CallType {
  kTestCooperativeLevel, kReset, kBeginScene, kEndScene, kPresent, kClear, kSetGammaRamp,
  kSetViewport, kCreateVertexBuffer, kCreateIndexBuffer, kCreateTexture, kCreateCubeTexture,
  kSetRenderTarget, kSetRenderState, kSetTextureStageState, kSetSamplerState, kSetTexture,
  kSetTransform, kSetLight, kLightEnable, kSetMaterial, kSetFVF, kSetStreamSource, kSetIndices,
  kDrawPrimitive, kDrawIndexedPrimitive, kDrawPrimitiveUP,
  kCount
};

struct DeviceCall {
  CallType type = CallType::kCount;
  std::uint32_t a = 0, b = 0, c = 0;
  const void* object = nullptr;
};

std::string_view CallName(CallType type);

}  // namespace tge::gfx
