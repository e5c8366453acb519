// Full-screen post effects: the scene is drawn into a 1024 x 512 target,
// then blended over what the renderer kept of the previous frame (blur
// feedback) and shown with its two smallest mip levels brightened on top
// (bloom, drawn only while its amount is above 0). The previous frame lives
// in a texture of our own, never in the back buffer, whose contents are
// undefined once shown. Both targets live
// in the default pool: a device reset drops them and makes them again, and
// post effects switch off when a target cannot be made.
#pragma once
#include <cstdint>
#include <memory>

#include "platform/gfx/Resources.h"
#include "services/RenderDevice.h"

namespace tge {

// What player 0 asked of the amounts this frame.
struct PostEffectActions {
  bool blurLess = false, blurMore = false;
  bool bloomMore = false, bloomLess = false;
};

class PostEffects : public DefaultPoolUser {
 public:
  static constexpr std::uint32_t kWidth = 1024, kHeight = 512;
  static constexpr float kAmountStep = 0.1f;

  PostEffects() = default;
  ~PostEffects() override { Stop(); }
  PostEffects(const PostEffects&) = delete;
  PostEffects& operator=(const PostEffects&) = delete;

  // On when the device has shaders of version 2 and a back buffer of at
  // least 1024 x 512, and both targets can be made.
  void Start(RenderDevice& device);
  void Stop();
  bool IsEnabled() const { return device_ != nullptr; }

  void SetBlurAmount(float amount) { blur_ = amount; }
  void SetBloomAmount(float amount) { bloom_ = amount; }
  float GetBlurAmount() const { return blur_; }
  float GetBloomAmount() const { return bloom_; }

  // The scene goes into the post target.
  void BeginFrame();
  // Blur, show on the back buffer, bloom; the back buffer is the target
  // afterwards.
  void Compose(const PostEffectActions& actions);

  void ReleaseDefaultPool() override;
  void RestoreDefaultPool(gfx::Device& device) override;

 private:
  bool CreateTargets(gfx::Device& device);
  void DrawQuad(std::uint32_t width, std::uint32_t height, float alpha);
  void BlurIntoHistory(float alpha);
  void ShowHistory();
  void Bloom(float alpha);
  void RestoreStates();

  RenderDevice* device_ = nullptr;
  std::unique_ptr<gfx::Texture> scene_, history_;
  float blur_ = 0, bloom_ = 0;
};

}  // namespace tge
