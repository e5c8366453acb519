#include "platform/gfx/GlDevice.h"

#include <algorithm>

#include "platform/gfx/GlResources.h"
#include "platform/gfx/GlShaders.h"

namespace tge::gfx {

void GlDevice::PrepareWindowAttributes() {
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
}

std::unique_ptr<GlDevice> GlDevice::Create(SDL_Window* window, const PresentParameters& parameters,
                                           std::string& error) {
  if (window == nullptr || parameters.backBufferWidth == 0 || parameters.backBufferHeight == 0) {
    error = "GL: no window or an empty back buffer";
    return nullptr;
  }
  PrepareWindowAttributes();
  SDL_GLContext context = SDL_GL_CreateContext(window);
  if (context == nullptr) {
    error = std::string("GL: cannot create an OpenGL 3.3 core context: ") + SDL_GetError();
    return nullptr;
  }
  if (epoxy_gl_version() < 33 || epoxy_is_desktop_gl() == 0) {
    error = "GL: OpenGL 3.3 core is not available";
    SDL_GL_DeleteContext(context);
    return nullptr;
  }
  GLint maxSize = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
  DeviceCaps caps;
  caps.maxTextureWidth = caps.maxTextureHeight = std::uint32_t(std::clamp(maxSize, 64, 16384));
  caps.maxSimultaneousTextures = kShadedStages;
  std::unique_ptr<GlDevice> device(new GlDevice(window, context, parameters, caps));
  if (!device->Initialise(error)) return nullptr;
  return device;
}

GlDevice::GlDevice(SDL_Window* window, SDL_GLContext context, const PresentParameters& parameters,
                   const DeviceCaps& caps)
    : DeviceBase(parameters, caps), window_(window), context_(context) {}

bool GlDevice::Initialise(std::string& error) {
  if (!program_->Build(error)) return false;
  presentProgram_ = LinkProgram(kPresentVertexShader, kPresentFragmentShader, error);
  if (presentProgram_ == 0) return false;
  glUseProgram(presentProgram_);
  glUniform1i(glGetUniformLocation(presentProgram_, "u_image"), 0);
  glUniform1i(glGetUniformLocation(presentProgram_, "u_ramp"), 1);
  glGenVertexArrays(1, &vertexArray_);
  glGenVertexArrays(1, &emptyVertexArray_);
  glGenBuffers(1, &streamBuffer_);
  glGenTextures(1, &rampTexture_);
  glGenSamplers(GLsizei(kShadedStages), samplers_);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glEnable(GL_PROGRAM_POINT_SIZE);
  glPointParameteri(GL_POINT_SPRITE_COORD_ORIGIN, GL_LOWER_LEFT);
  SDL_GL_SetSwapInterval(1);
  const PresentParameters& parameters = GetPresentParameters();
  if (!CreateBackBuffer(parameters.backBufferWidth, parameters.backBufferHeight)) {
    error = "GL: cannot create the back buffer";
    return false;
  }
  return true;
}

GlDevice::~GlDevice() {
  SDL_GL_MakeCurrent(window_, context_);
  for (Resource* resource : Tracker().Live()) resource->SetBackend(nullptr);
  DestroyBackBuffer();
  glDeleteSamplers(GLsizei(kShadedStages), samplers_);
  glDeleteTextures(1, &rampTexture_);
  glDeleteBuffers(1, &streamBuffer_);
  glDeleteVertexArrays(1, &vertexArray_);
  glDeleteVertexArrays(1, &emptyVertexArray_);
  glDeleteProgram(presentProgram_);
  program_.reset();
  SDL_GL_DeleteContext(context_);
}

// The back buffer has no alpha channel, as the engine's X8R8G8B8 one:
// blending with destination alpha reads one.
bool GlDevice::CreateBackBuffer(std::uint32_t width, std::uint32_t height) {
  glGenTextures(1, &backColour_);
  glBindTexture(GL_TEXTURE_2D, backColour_);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, GLsizei(width), GLsizei(height), 0, GL_BGRA,
               GL_UNSIGNED_BYTE, nullptr);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
  glGenRenderbuffers(1, &backDepth_);
  glBindRenderbuffer(GL_RENDERBUFFER, backDepth_);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, GLsizei(width), GLsizei(height));
  glGenFramebuffers(1, &backBuffer_);
  glBindFramebuffer(GL_FRAMEBUFFER, backBuffer_);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, backColour_, 0);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, backDepth_);
  return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

void GlDevice::DestroyBackBuffer() {
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glDeleteFramebuffers(1, &backBuffer_);
  glDeleteRenderbuffers(1, &backDepth_);
  glDeleteTextures(1, &backColour_);
  backBuffer_ = backDepth_ = backColour_ = 0;
}

Result GlDevice::DoReset(const PresentParameters& parameters) {
  DestroyBackBuffer();
  return CreateBackBuffer(parameters.backBufferWidth, parameters.backBufferHeight)
             ? Result::kOk
             : Result::kOutOfMemory;
}

GLuint GlDevice::CurrentFramebuffer() {
  Texture* target = GetRenderTarget();
  const GLuint framebuffer = target != nullptr ? FramebufferOf(*target) : 0;
  return framebuffer != 0 ? framebuffer : backBuffer_;
}

void GlDevice::DoRenderTargetChanged() {
  if (Texture* target = GetRenderTarget(); target != nullptr) {
    FramebufferOf(*target);
    static_cast<GlTexture*>(target->Backend())->mipsStale = true;
  }
}

void GlDevice::BindTarget() {
  glBindFramebuffer(GL_FRAMEBUFFER, CurrentFramebuffer());
  const Viewport& vp = States().viewport;
  glViewport(GLint(vp.x), GLint(vp.y), GLsizei(vp.width), GLsizei(vp.height));
  glDepthRange(vp.minZ, vp.maxZ);
}

Result GlDevice::DoClear(std::uint32_t flags, std::uint32_t color, float z) {
  BindTarget();
  const Viewport& vp = States().viewport;
  glEnable(GL_SCISSOR_TEST);
  glScissor(GLint(vp.x), GLint(vp.y), GLsizei(vp.width), GLsizei(vp.height));
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glDepthMask(GL_TRUE);
  glClearColor(float((color >> 16) & 255) / 255.0f, float((color >> 8) & 255) / 255.0f,
               float(color & 255) / 255.0f, float(color >> 24) / 255.0f);
  glClearDepth(z);
  glClearStencil(0);
  const GLbitfield mask = (flags & kClearTarget ? GL_COLOR_BUFFER_BIT : 0) |
                          (flags & kClearZBuffer ? GL_DEPTH_BUFFER_BIT : 0) |
                          (flags & kClearStencil ? GL_STENCIL_BUFFER_BIT : 0);
  glClear(mask);
  glDisable(GL_SCISSOR_TEST);
  return Result::kOk;
}

// Binds the ramp to the active unit, uploading it first when it changed:
// the draws since the last present may have emptied that unit.
void GlDevice::BindGammaRamp() {
  glBindTexture(GL_TEXTURE_2D, rampTexture_);
  const GammaRamp& ramp = States().gamma;
  if (rampUploaded_ && ramp.red == uploadedRamp_.red && ramp.green == uploadedRamp_.green &&
      ramp.blue == uploadedRamp_.blue) {
    return;
  }
  std::uint16_t texels[256 * 3];
  for (int i = 0; i < 256; ++i) {
    texels[i * 3] = ramp.red[i];
    texels[i * 3 + 1] = ramp.green[i];
    texels[i * 3 + 2] = ramp.blue[i];
  }
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB16, 256, 1, 0, GL_RGB, GL_UNSIGNED_SHORT, texels);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
  uploadedRamp_ = ramp;
  rampUploaded_ = true;
}

Result GlDevice::DoPresent() {
  int width = 0, height = 0;
  SDL_GL_GetDrawableSize(window_, &width, &height);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glViewport(0, 0, width, height);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_BLEND);
  glDisable(GL_CULL_FACE);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glUseProgram(presentProgram_);
  glActiveTexture(GL_TEXTURE1);
  glBindSampler(1, 0);
  BindGammaRamp();
  glActiveTexture(GL_TEXTURE0);
  glBindSampler(0, 0);
  glBindTexture(GL_TEXTURE_2D, backColour_);
  glBindVertexArray(emptyVertexArray_);
  glDrawArrays(GL_TRIANGLES, 0, 3);
  SDL_GL_SwapWindow(window_);
  return Result::kOk;
}

std::vector<std::uint32_t> GlDevice::ReadPixels(Texture* target) {
  TextureDesc desc{GetPresentParameters().backBufferWidth, GetPresentParameters().backBufferHeight, 0};
  GLuint framebuffer = backBuffer_;
  if (target != nullptr) {
    if (!target->IsRenderTarget() || (framebuffer = FramebufferOf(*target)) == 0) return {};
    target->GetLevelDesc(0, &desc);
  }
  std::vector<std::uint32_t> pixels(std::size_t(desc.width) * desc.height);
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  glReadPixels(0, 0, GLsizei(desc.width), GLsizei(desc.height), GL_BGRA,
               GL_UNSIGNED_INT_8_8_8_8_REV, pixels.data());
  return pixels;
}

}  // namespace tge::gfx
