// The OpenGL 3.3 core back-end of the device, through SDL2 and libepoxy.
// Drawing goes into a back buffer that is a framebuffer object of the asked
// size; Present shows it in the window, stretched, with the gamma ramp
// applied in that copy (never to the display). Every target keeps its top
// row first, so read-backs and render-target textures have the layout the
// engine expects. A GL context is never lost: TestCooperativeLevel always
// reports success. Main thread only, apart from texture locks.
#pragma once
#include <epoxy/gl.h>

#include <SDL.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/DeviceBase.h"
#include "platform/gfx/FixedFunctionProgram.h"

namespace tge::gfx {

class GlDevice : public DeviceBase {
 public:
  // Sets the context attributes SDL needs; call before creating the window,
  // which must have the SDL_WINDOW_OPENGL flag.
  static void PrepareWindowAttributes();
  // Null with error set when no OpenGL 3.3 core context can be made.
  static std::unique_ptr<GlDevice> Create(SDL_Window* window, const PresentParameters& parameters,
                                          std::string& error);
  ~GlDevice() override;

  // Pixels of the back buffer (or of a render-target texture) as 0xAARRGGBB,
  // rows top first.
  std::vector<std::uint32_t> ReadPixels(Texture* target = nullptr);

 protected:
  Result OnCall(const DeviceCall&) override { return Result::kOk; }
  Result DoReset(const PresentParameters& parameters) override;
  Result DoPresent() override;
  Result DoClear(std::uint32_t flags, std::uint32_t color, float z) override;
  Result DoDraw(const DrawRequest& request) override;
  void DoRenderTargetChanged() override;

 private:
  GlDevice(SDL_Window* window, SDL_GLContext context, const PresentParameters& parameters,
           const DeviceCaps& caps);
  bool Initialise(std::string& error);
  bool CreateBackBuffer(std::uint32_t width, std::uint32_t height);
  void DestroyBackBuffer();
  GLuint CurrentFramebuffer();
  void BindTarget();
  void ApplyOutputStates();
  DrawContext BindTextures();
  void ApplySampler(std::uint32_t stage);
  void BindVertices(const DrawRequest& request);
  void BindGammaRamp();

  SDL_Window* window_;
  SDL_GLContext context_;
  std::unique_ptr<FixedFunctionProgram> program_ = std::make_unique<FixedFunctionProgram>();
  GLuint presentProgram_ = 0;
  GLuint vertexArray_ = 0, emptyVertexArray_ = 0, streamBuffer_ = 0;
  GLuint backBuffer_ = 0, backColour_ = 0, backDepth_ = 0;
  GLuint rampTexture_ = 0;
  GammaRamp uploadedRamp_{};
  bool rampUploaded_ = false;
  GLuint samplers_[kShadedStages] = {};
};

}  // namespace tge::gfx
