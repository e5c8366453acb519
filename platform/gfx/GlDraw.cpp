// The draw path of the GL device: output states (depth, blending, culling,
// fill, bias), textures and samplers of the shaded stages, the vertex layout
// from the vertex-format decoder, and the draw call itself.
#include <array>
#include <bit>

#include "platform/gfx/GlDevice.h"
#include "platform/gfx/GlResources.h"

namespace tge::gfx {
namespace {

// Tables from the engine's numbering (starting at 1) to GL enums.
constexpr std::array<GLenum, 8> kCompare = {GL_NEVER, GL_LESS, GL_EQUAL, GL_LEQUAL,
                                            GL_GREATER, GL_NOTEQUAL, GL_GEQUAL, GL_ALWAYS};
constexpr std::array<GLenum, 11> kBlend = {
    GL_ZERO, GL_ONE, GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA,
    GL_DST_ALPHA, GL_ONE_MINUS_DST_ALPHA, GL_DST_COLOR, GL_ONE_MINUS_DST_COLOR,
    GL_SRC_ALPHA_SATURATE};
constexpr std::array<GLenum, 5> kBlendOp = {GL_FUNC_ADD, GL_FUNC_SUBTRACT, GL_FUNC_REVERSE_SUBTRACT,
                                            GL_MIN, GL_MAX};
constexpr std::array<GLenum, 6> kPrimitive = {GL_POINTS, GL_LINES, GL_LINE_STRIP, GL_TRIANGLES,
                                              GL_TRIANGLE_STRIP, GL_TRIANGLE_FAN};
constexpr std::array<GLenum, 4> kAddress = {GL_REPEAT, GL_MIRRORED_REPEAT, GL_CLAMP_TO_EDGE,
                                            GL_CLAMP_TO_BORDER};
static_assert(kCompare.size() == kCmpAlways && kBlend.size() == kBlendSrcAlphaSat);
static_assert(kBlendOp.size() == kBlendOpMax && kPrimitive.size() == kPrimTriangleFan);
static_assert(kAddress.size() == kAddressBorder);

// Value v (1-based) from the table, or the fallback when out of range.
template <std::size_t N>
GLenum Lookup(const std::array<GLenum, N>& table, std::uint32_t v, GLenum fallback) {
  return v >= 1 && v <= N ? table[v - 1] : fallback;
}

GLenum MinFilter(std::uint32_t min, std::uint32_t mip) {
  const bool linear = min >= kFilterLinear;
  if (mip == kFilterNone) return linear ? GL_LINEAR : GL_NEAREST;
  if (mip == kFilterPoint) return linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
  return linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
}

void Enable(GLenum capability, bool on) {
  if (on) glEnable(capability); else glDisable(capability);
}

void Attribute(GLuint location, int offset, GLint size, GLenum type, GLboolean normalised,
               std::uint32_t stride, std::uintptr_t base) {
  if (offset < 0) {
    glDisableVertexAttribArray(location);
    return;
  }
  glEnableVertexAttribArray(location);
  glVertexAttribPointer(location, size, type, normalised, GLsizei(stride),
                        reinterpret_cast<const void*>(base + std::uintptr_t(offset)));
}

}  // namespace

void GlDevice::ApplyOutputStates() {
  const auto& rs = States().render;
  Enable(GL_DEPTH_TEST, rs[kRsZEnable] != 0);
  glDepthFunc(Lookup(kCompare, rs[kRsZFunc], GL_LEQUAL));
  glDepthMask(rs[kRsZWriteEnable] != 0 ? GL_TRUE : GL_FALSE);
  Enable(GL_BLEND, rs[kRsAlphaBlendEnable] != 0);
  glBlendFunc(Lookup(kBlend, rs[kRsSrcBlend], GL_ONE), Lookup(kBlend, rs[kRsDestBlend], GL_ZERO));
  glBlendEquation(Lookup(kBlendOp, rs[kRsBlendOp], GL_FUNC_ADD));
  // Front faces wind counter-clockwise for GL once y is negated.
  Enable(GL_CULL_FACE, rs[kRsCullMode] == kCullClockwise || rs[kRsCullMode] == kCullCounterClockwise);
  glCullFace(rs[kRsCullMode] == kCullClockwise ? GL_FRONT : GL_BACK);
  const std::uint32_t fill = rs[kRsFillMode];
  glPolygonMode(GL_FRONT_AND_BACK, fill == kFillPoint ? GL_POINT : fill == kFillWireframe ? GL_LINE : GL_FILL);
  const float slope = std::bit_cast<float>(rs[kRsSlopeScaleDepthBias]);
  const float bias = std::bit_cast<float>(rs[kRsDepthBias]);
  Enable(GL_POLYGON_OFFSET_FILL, slope != 0 || bias != 0);
  glPolygonOffset(slope, bias * float(1 << 24));
  const std::uint32_t mask = rs[kRsColorWriteEnable];
  glColorMask(mask & 4 ? GL_TRUE : GL_FALSE, mask & 2 ? GL_TRUE : GL_FALSE,
              mask & 1 ? GL_TRUE : GL_FALSE, mask & 8 ? GL_TRUE : GL_FALSE);
}

void GlDevice::ApplySampler(std::uint32_t stage) {
  const auto& s = States().sampler[stage];
  const GLuint sampler = samplers_[stage];
  glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, GLint(Lookup(kAddress, s[kSampAddressU], GL_REPEAT)));
  glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, GLint(Lookup(kAddress, s[kSampAddressV], GL_REPEAT)));
  glSamplerParameteri(sampler, GL_TEXTURE_WRAP_R, GLint(Lookup(kAddress, s[kSampAddressW], GL_REPEAT)));
  glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER,
                      s[kSampMagFilter] >= kFilterLinear ? GL_LINEAR : GL_NEAREST);
  glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER,
                      GLint(MinFilter(s[kSampMinFilter], s[kSampMipFilter])));
  glSamplerParameterf(sampler, GL_TEXTURE_MIN_LOD, float(s[kSampMaxMipLevel]));
}

// Stage i samples a 2D texture on unit i or a cube texture on unit 4 + i.
// The program declares every unit, and a software driver builds its pixel
// code for the formats and sampler states of all of them: a unit this draw
// leaves unused is emptied, so whatever an earlier draw bound there (a
// render target, a texture just made) cannot ask for code of its own.
DrawContext GlDevice::BindTextures() {
  DrawContext context;
  for (std::uint32_t stage = 0; stage < kShadedStages; ++stage) {
    Texture* texture = States().textures[stage];
    const bool used = texture != nullptr && texture != GetRenderTarget();
    const bool cube = used && texture->Kind() == TextureKind::kCube;
    for (const bool cubeUnit : {false, true}) {
      const GLuint unit = cubeUnit ? kShadedStages + stage : stage;
      glActiveTexture(GL_TEXTURE0 + unit);
      if (used && cube == cubeUnit) {
        SyncTexture(*texture);
        glBindSampler(unit, samplers_[stage]);
        ApplySampler(stage);
      } else {
        glBindTexture(cubeUnit ? GL_TEXTURE_CUBE_MAP : GL_TEXTURE_2D, 0);
        glBindSampler(unit, 0);
      }
    }
    if (used) context.textureKinds[stage] = cube ? 2 : 1;
  }
  glActiveTexture(GL_TEXTURE0);
  return context;
}

void GlDevice::BindVertices(const DrawRequest& request) {
  glBindVertexArray(vertexArray_);
  std::uintptr_t base = request.streamOffset;
  if (request.vertexBuffer != nullptr) {
    SyncBuffer(*request.vertexBuffer, GL_ARRAY_BUFFER);
  } else {
    glBindBuffer(GL_ARRAY_BUFFER, streamBuffer_);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(request.userVertices.size()),
                 request.userVertices.data(), GL_STREAM_DRAW);
    base = 0;
  }
  const VertexLayout& layout = *request.layout;
  const std::uint32_t stride = request.stride;
  Attribute(0, layout.position, GLint(layout.positionFloats), GL_FLOAT, GL_FALSE, stride, base);
  Attribute(1, layout.normal, 3, GL_FLOAT, GL_FALSE, stride, base);
  Attribute(2, layout.pointSize, 1, GL_FLOAT, GL_FALSE, stride, base);
  Attribute(3, layout.diffuse, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride, base);
  Attribute(4, layout.specular, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride, base);
  for (std::uint32_t set = 0; set < kMaxTexCoordSets; ++set) {
    Attribute(5 + set, set < layout.texCoordSets ? layout.texCoord[set] : -1,
              GLint(layout.texCoordFloats[set]), GL_FLOAT, GL_FALSE, stride, base);
  }
  if (request.indexBuffer != nullptr) SyncBuffer(*request.indexBuffer, GL_ELEMENT_ARRAY_BUFFER);
}

Result GlDevice::DoDraw(const DrawRequest& request) {
  BindTarget();
  ApplyOutputStates();
  DrawContext context = BindTextures();
  context.fvf = States().fvf;
  context.points = request.type == kPrimPointList;
  program_->Use();
  program_->Apply(*this, context);
  BindVertices(request);
  const GLenum mode = Lookup(kPrimitive, request.type, GL_TRIANGLES);
  if (request.indexBuffer != nullptr) {
    const std::uint32_t size = request.indexBuffer->IndexSize();
    glDrawElementsBaseVertex(mode, GLsizei(request.indexCount),
                             size == 4 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT,
                             reinterpret_cast<const void*>(std::uintptr_t(request.startIndex) * size),
                             request.baseVertex);
  } else {
    glDrawArrays(mode, GLint(request.firstVertex), GLsizei(request.vertexCount));
  }
  return Result::kOk;
}

}  // namespace tge::gfx
