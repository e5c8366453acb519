#include "platform/gfx/GlResources.h"

#include "platform/gfx/States.h"

namespace tge::gfx {
namespace {

struct PixelTransfer {
  GLenum format;
  GLenum type;
  bool opaque;  // alpha reads as one
};

// Every storage format maps onto a GL transfer that reads its bytes as they
// are: 0xAARRGGBB words and the 16-bit packings with red in the high bits.
PixelTransfer TransferOf(std::uint32_t storageFormat) {
  switch (storageFormat) {
    case kFormatX8R8G8B8: return {GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, true};
    case kFormatR5G6B5: return {GL_RGB, GL_UNSIGNED_SHORT_5_6_5, true};
    case kFormatX1R5G5B5: return {GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, true};
    case kFormatA1R5G5B5: return {GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, false};
    case kFormatA4R4G4B4: return {GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV, false};
    default: return {GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, false};
  }
}

GLenum FaceTarget(const Texture& texture, std::uint32_t face) {
  return texture.Kind() == TextureKind::kCube ? GL_TEXTURE_CUBE_MAP_POSITIVE_X + face : GL_TEXTURE_2D;
}

GlTexture& CreateTexture(Texture& texture) {
  auto data = std::make_unique<GlTexture>();
  data->target = texture.Kind() == TextureKind::kCube ? GL_TEXTURE_CUBE_MAP : GL_TEXTURE_2D;
  glGenTextures(1, &data->name);
  glBindTexture(data->target, data->name);
  TextureDesc desc;
  texture.GetLevelDesc(0, &desc);
  const PixelTransfer transfer = TransferOf(desc.format);
  const GLenum internal = desc.format == kFormatR5G6B5 || transfer.opaque ? GL_RGB8 : GL_RGBA8;
  for (std::uint32_t face = 0; face < texture.FaceCount(); ++face) {
    for (std::uint32_t level = 0; level < texture.LevelCount(); ++level) {
      texture.GetLevelDesc(level, &desc);
      glTexImage2D(FaceTarget(texture, face), GLint(level), GLint(internal), GLsizei(desc.width),
                   GLsizei(desc.height), 0, transfer.format, transfer.type, nullptr);
    }
  }
  glTexParameteri(data->target, GL_TEXTURE_MAX_LEVEL, GLint(texture.LevelCount() - 1));
  // Settles the storage of every level now: a driver may otherwise move a
  // render target's images at its first mip generation and lose what was
  // drawn into level 0.
  if (texture.IsRenderTarget() && texture.LevelCount() > 1) glGenerateMipmap(data->target);
  GlTexture& result = *data;
  texture.SetBackend(std::move(data));
  return result;
}

}  // namespace

GlTexture::~GlTexture() {
  glDeleteFramebuffers(1, &framebuffer);
  glDeleteRenderbuffers(1, &depth);
  glDeleteTextures(1, &name);
}

void SyncBuffer(Buffer& buffer, GLenum target) {
  auto* data = static_cast<GlBuffer*>(buffer.Backend());
  const std::span<const std::uint8_t> bytes = buffer.Bytes();
  if (data == nullptr) {
    auto created = std::make_unique<GlBuffer>();
    glGenBuffers(1, &created->name);
    glBindBuffer(target, created->name);
    glBufferData(target, GLsizeiptr(bytes.size()), bytes.data(),
                 buffer.Usage() & kUsageDynamic ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW);
    buffer.TakeDirtyRange();
    buffer.SetBackend(std::move(created));
    return;
  }
  glBindBuffer(target, data->name);
  const DirtyRange dirty = buffer.TakeDirtyRange();
  if (dirty.discard) {
    glBufferData(target, GLsizeiptr(bytes.size()), bytes.data(), GL_DYNAMIC_DRAW);
  } else if (!dirty.Empty()) {
    glBufferSubData(target, GLintptr(dirty.begin), GLsizeiptr(dirty.end - dirty.begin),
                    bytes.data() + dirty.begin);
  }
}

GlTexture& SyncTexture(Texture& texture) {
  auto* data = static_cast<GlTexture*>(texture.Backend());
  GlTexture& gl = data != nullptr ? *data : CreateTexture(texture);
  glBindTexture(gl.target, gl.name);
  TextureDesc desc;
  texture.GetLevelDesc(0, &desc);
  const PixelTransfer transfer = TransferOf(desc.format);
  texture.TakeDirtyImages([&](std::uint32_t face, std::uint32_t level, std::uint32_t width,
                              std::uint32_t height, std::span<const std::uint8_t> bytes) {
    glTexSubImage2D(FaceTarget(texture, face), GLint(level), 0, 0, GLsizei(width), GLsizei(height),
                    transfer.format, transfer.type, bytes.data());
  });
  const bool autoMips = (texture.Usage() & kUsageAutoGenMipMap) != 0 && gl.mipsStale;
  if (texture.TakeMipRequest() || autoMips) {
    if (texture.LevelCount() > 1) glGenerateMipmap(gl.target);
    gl.mipsStale = false;
  }
  return gl;
}

GLuint FramebufferOf(Texture& target) {
  GlTexture& gl = SyncTexture(target);
  if (gl.framebuffer != 0) return gl.framebuffer;
  TextureDesc desc;
  target.GetLevelDesc(0, &desc);
  glGenRenderbuffers(1, &gl.depth);
  glBindRenderbuffer(GL_RENDERBUFFER, gl.depth);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, GLsizei(desc.width), GLsizei(desc.height));
  glGenFramebuffers(1, &gl.framebuffer);
  glBindFramebuffer(GL_FRAMEBUFFER, gl.framebuffer);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, gl.name, 0);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, gl.depth);
  if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
    glDeleteFramebuffers(1, &gl.framebuffer);
    gl.framebuffer = 0;
  }
  return gl.framebuffer;
}

}  // namespace tge::gfx
