// The GL copies of buffers and textures: created on first use, brought up to
// date with what locks changed before each draw that reads them. Render
// targets get a framebuffer with a depth buffer of their own size. Must be
// called with the device's context current.
#pragma once
#include <epoxy/gl.h>

#include "platform/gfx/Resources.h"

namespace tge::gfx {

struct GlBuffer : BackendData {
  GLuint name = 0;
  ~GlBuffer() override { glDeleteBuffers(1, &name); }
};

struct GlTexture : BackendData {
  GLuint name = 0;
  GLenum target = GL_TEXTURE_2D;
  GLuint framebuffer = 0;
  GLuint depth = 0;
  bool mipsStale = false;  // rendered into since its mip levels were made
  ~GlTexture() override;
};

// Binds the buffer to the target (GL_ARRAY_BUFFER or GL_ELEMENT_ARRAY_BUFFER)
// after uploading what changed.
void SyncBuffer(Buffer& buffer, GLenum target);
// Binds the texture to the active unit after uploading what changed and,
// for automatic mip generation, rebuilding stale levels.
GlTexture& SyncTexture(Texture& texture);
// The framebuffer of a render-target texture; 0 when it cannot be made.
GLuint FramebufferOf(Texture& target);

}  // namespace tge::gfx
