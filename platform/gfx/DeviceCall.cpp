#include "platform/gfx/DeviceCall.h"

#include <array>

namespace tge::gfx {
namespace {

constexpr std::array<std::string_view, std::size_t(CallType::kCount)> kCallNames = {
    "TestCooperativeLevel", "Reset", "BeginScene", "EndScene", "Present", "Clear",
    "SetGammaRamp", "SetViewport", "CreateVertexBuffer", "CreateIndexBuffer", "CreateTexture",
    "CreateCubeTexture", "SetRenderTarget", "SetRenderState", "SetTextureStageState",
    "SetSamplerState", "SetTexture", "SetTransform", "SetLight", "LightEnable", "SetMaterial",
    "SetFVF", "SetStreamSource", "SetIndices", "DrawPrimitive", "DrawIndexedPrimitive",
    "DrawPrimitiveUP"};

}  // namespace

std::string_view CallName(CallType type) {
  const auto index = std::size_t(type);
  return index < kCallNames.size() ? kCallNames[index] : "?";
}

}  // namespace tge::gfx
