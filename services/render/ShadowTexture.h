// Projected shadows: a mesh drawn in solid colour into a render-target
// texture from the light's view, optionally blurred by sampling the small
// mip levels of an intermediate target. Shadows are rendered at once when
// asked, not through the render queue. The blur targets, one per size
// class, live in the default pool: made when prepared or on first use,
// dropped at a reset.
#pragma once
#include <array>
#include <cstdint>
#include <memory>

#include "core/math/Matrix4.h"
#include "platform/gfx/Resources.h"

namespace tge {

class MeshResource;
class RenderDevice;
class Resource;

// Pre-transformed, coloured, two coordinate sets.
struct BlurVertex {
  float x, y, z, rhw;
  std::uint32_t colour;
  float u0, v0, u1, v1;
};
constexpr std::uint32_t kBlurVertexFormat = 0x244;

class ShadowTargets {
 public:
  struct Target {
    std::unique_ptr<gfx::Texture> texture;
    std::array<BlurVertex, 4> quad{};
  };

  // Index of the size class (1: 64, 2: 128, 3: 256, 0: any other size),
  // its target made when missing; -1 when the device refuses it.
  int GetShadowTarget(RenderDevice& device, std::uint32_t size);
  const Target& Get(int index) const { return targets_[std::size_t(index)]; }
  bool HasShadowTarget(std::uint32_t size) const;
  void Release();

 private:
  std::array<Target, 4> targets_;
};

// 2 when the device makes mip levels itself (shadows can be blurred), else 1.
int GetShadowQuality(const RenderDevice& device);

// Draws every part of the mesh into the shadow texture's target with the
// given transforms, then restores the device's transforms, viewport and
// render target. 1 when rendered; 0 for a null mesh, a shadow texture that
// is not a render target, or when render targets are not allowed.
int RenderShadowTexture(RenderDevice& device, Resource* shadowTexture, const Matrix4& shadowWorld,
                        const Matrix4& shadowView, const Matrix4& shadowProjection, MeshResource* mesh, bool blur);

// Makes the blur target of the shadow texture's size class, when missing
// and the device can blur, and runs the blurred pass into the texture once
// with nothing in it: no mesh, and a blur quad that covers no pixel. The
// device then builds the blur's states (a software rasteriser compiles
// pixel code for every new combination) while the game loads, not at the
// first blurred shadow.
void PrepareShadowBlur(RenderDevice& device, Resource* shadowTexture);

}  // namespace tge
