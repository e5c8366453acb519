#include "platform/gfx/FixedFunctionProgram.h"

#include <bit>
#include <cmath>

#include "platform/gfx/GlShaders.h"

namespace tge::gfx {
namespace {

GLuint Compile(GLenum type, const char* source, std::string& error) {
  const GLuint shader = glCreateShader(type);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  GLint ok = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (ok == GL_TRUE) return shader;
  char log[1024] = {};
  glGetShaderInfoLog(shader, sizeof log, nullptr, log);
  error = std::string("GL: shader compilation failed: ") + log;
  glDeleteShader(shader);
  return 0;
}

float AsFloat(std::uint32_t bits) { return std::bit_cast<float>(bits); }

std::array<float, 4> Unpack(std::uint32_t argb) {
  return {float((argb >> 16) & 255) / 255.0f, float((argb >> 8) & 255) / 255.0f,
          float(argb & 255) / 255.0f, float(argb >> 24) / 255.0f};
}

Matrix Multiply(const Matrix& a, const Matrix& b) {
  Matrix out;
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 4; ++column) {
      float sum = 0;
      for (int k = 0; k < 4; ++k) sum += a.m[row * 4 + k] * b.m[k * 4 + column];
      out.m[row * 4 + column] = sum;
    }
  }
  return out;
}

// A row vector (x, y, z, w) times the matrix.
Vec3 Transform(const Vec3& v, float w, const Matrix& m) {
  auto column = [&](int j) { return v.x * m.m[j] + v.y * m.m[4 + j] + v.z * m.m[8 + j] + w * m.m[12 + j]; };
  return {column(0), column(1), column(2)};
}

void SetColour(GLint location, const ColorValue& c) { glUniform4f(location, c.r, c.g, c.b, c.a); }

}  // namespace

GLuint LinkProgram(const char* vertexSource, const char* fragmentSource, std::string& error) {
  const GLuint vertex = Compile(GL_VERTEX_SHADER, vertexSource, error);
  const GLuint fragment = vertex != 0 ? Compile(GL_FRAGMENT_SHADER, fragmentSource, error) : 0;
  if (fragment == 0) {
    glDeleteShader(vertex);
    return 0;
  }
  const GLuint program = glCreateProgram();
  glAttachShader(program, vertex);
  glAttachShader(program, fragment);
  glLinkProgram(program);
  glDeleteShader(vertex);
  glDeleteShader(fragment);
  GLint ok = GL_FALSE;
  glGetProgramiv(program, GL_LINK_STATUS, &ok);
  if (ok == GL_TRUE) return program;
  char log[1024] = {};
  glGetProgramInfoLog(program, sizeof log, nullptr, log);
  error = std::string("GL: program link failed: ") + log;
  glDeleteProgram(program);
  return 0;
}

FixedFunctionProgram::~FixedFunctionProgram() {
  if (program_ != 0) glDeleteProgram(program_);
}

bool FixedFunctionProgram::Build(std::string& error) {
  program_ = LinkProgram(kFixedFunctionVertexShader, kFixedFunctionFragmentShader, error);
  if (program_ == 0) return false;
  LookUp();
  glUseProgram(program_);
  const GLint units2D[kShadedStages] = {0, 1, 2, 3};
  const GLint unitsCube[kShadedStages] = {4, 5, 6, 7};
  glUniform1iv(at_.texture2D, kShadedStages, units2D);
  glUniform1iv(at_.textureCube, kShadedStages, unitsCube);
  return true;
}

void FixedFunctionProgram::LookUp() {
  auto at = [this](const char* name) { return glGetUniformLocation(program_, name); };
  at_ = Locations{
      at("u_worldView"), at("u_projection"), at("u_pretransformed"), at("u_viewport"),
      at("u_hasNormal"), at("u_hasDiffuse"), at("u_hasSpecular"), at("u_hasPointSize"),
      at("u_setFloats"),
      at("u_lighting"), at("u_normalize"), at("u_specularEnable"), at("u_colorVertex"),
      at("u_ambient"), at("u_matDiffuse"), at("u_matAmbient"), at("u_matSpecular"),
      at("u_matEmissive"), at("u_matPower"), at("u_diffuseSource"), at("u_ambientSource"),
      at("u_specularSource"), at("u_emissiveSource"),
      at("u_lightType"), at("u_lightDiffuse"), at("u_lightSpecular"), at("u_lightAmbient"),
      at("u_lightPosition"), at("u_lightDirection"), at("u_lightAttenuation"), at("u_lightSpot"),
      at("u_fogEnable"), at("u_rangeFog"), at("u_fogStart"), at("u_fogEnd"), at("u_fogColour"),
      at("u_texSource"), at("u_texCount"), at("u_texMatrix"), at("u_texProjected"),
      at("u_texKind"), at("u_texture2D"), at("u_textureCube"),
      at("u_pointSize"), at("u_pointMin"), at("u_pointMax"), at("u_pointScale"),
      at("u_pointScaleFactors"), at("u_pointSprite"),
      at("u_colorOp"), at("u_colorArg1"), at("u_colorArg2"), at("u_alphaOp"), at("u_alphaArg1"),
      at("u_alphaArg2"), at("u_textureFactor"),
      at("u_alphaTest"), at("u_alphaFunc"), at("u_alphaRef")};
}

void FixedFunctionProgram::Apply(const DeviceBase& device, const DrawContext& context) {
  if (device.StateVersion() == appliedVersion_ && context == appliedContext_) return;
  appliedVersion_ = device.StateVersion();
  appliedContext_ = context;
  const DeviceStates& states = device.States();
  ApplyGeometry(states, context);
  ApplyLighting(states);
  ApplyStages(states, context);
  ApplyPixelTests(states, context);
}

void FixedFunctionProgram::ApplyGeometry(const DeviceStates& states, const DrawContext& context) {
  const VertexLayout layout = DecodeVertexFormat(context.fvf);
  const Matrix worldView = Multiply(states.world, states.view);
  glUniformMatrix4fv(at_.worldView, 1, GL_FALSE, worldView.m);
  glUniformMatrix4fv(at_.projection, 1, GL_FALSE, states.projection.m);
  glUniform1i(at_.pretransformed, layout.pretransformed);
  const Viewport& vp = states.viewport;
  glUniform4f(at_.viewport, float(vp.x), float(vp.y), float(vp.width), float(vp.height));
  glUniform1i(at_.hasNormal, layout.normal >= 0);
  glUniform1i(at_.hasDiffuse, layout.diffuse >= 0);
  glUniform1i(at_.hasSpecular, layout.specular >= 0);
  glUniform1i(at_.hasPointSize, layout.pointSize >= 0);
  GLint setFloats[kMaxTexCoordSets];
  for (std::uint32_t i = 0; i < kMaxTexCoordSets; ++i) {
    setFloats[i] = i < layout.texCoordSets ? GLint(layout.texCoordFloats[i]) : 0;
  }
  glUniform1iv(at_.setFloats, kMaxTexCoordSets, setFloats);
  const auto& rs = states.render;
  glUniform1f(at_.pointSize, AsFloat(rs[kRsPointSize]));
  glUniform1f(at_.pointMin, AsFloat(rs[kRsPointSizeMin]));
  glUniform1f(at_.pointMax, AsFloat(rs[kRsPointSizeMax]));
  glUniform1i(at_.pointScale, rs[kRsPointScaleEnable] != 0);
  glUniform3f(at_.pointScaleFactors, AsFloat(rs[kRsPointScaleA]), AsFloat(rs[kRsPointScaleB]),
              AsFloat(rs[kRsPointScaleC]));
  glUniform1i(at_.pointSprite, rs[kRsPointSpriteEnable] != 0 && context.points);
}

void FixedFunctionProgram::ApplyLighting(const DeviceStates& states) {
  const auto& rs = states.render;
  glUniform1i(at_.lighting, rs[kRsLighting] != 0);
  glUniform1i(at_.normalize, rs[kRsNormalizeNormals] != 0);
  glUniform1i(at_.specularEnable, rs[kRsSpecularEnable] != 0);
  glUniform1i(at_.colorVertex, rs[kRsColorVertex] != 0);
  const auto ambient = Unpack(rs[kRsAmbient]);
  glUniform4fv(at_.ambient, 1, ambient.data());
  const Material& material = states.material;
  SetColour(at_.matDiffuse, material.diffuse);
  SetColour(at_.matAmbient, material.ambient);
  SetColour(at_.matSpecular, material.specular);
  SetColour(at_.matEmissive, material.emissive);
  glUniform1f(at_.matPower, material.power);
  glUniform1i(at_.diffuseSource, GLint(rs[kRsDiffuseMaterialSource]));
  glUniform1i(at_.ambientSource, GLint(rs[kRsAmbientMaterialSource]));
  glUniform1i(at_.specularSource, GLint(rs[kRsSpecularMaterialSource]));
  glUniform1i(at_.emissiveSource, GLint(rs[kRsEmissiveMaterialSource]));

  GLint types[kMaxLights];
  float diffuse[kMaxLights][4], specular[kMaxLights][4], ambientColours[kMaxLights][4];
  float position[kMaxLights][3], direction[kMaxLights][3], attenuation[kMaxLights][4];
  float spot[kMaxLights][3];
  for (std::uint32_t i = 0; i < kMaxLights; ++i) {
    const Light& light = states.lights[i];
    types[i] = states.lightEnabled[i] ? GLint(light.type) : 0;
    const ColorValue* colours[3] = {&light.diffuse, &light.specular, &light.ambient};
    float(*targets[3])[4] = {diffuse, specular, ambientColours};
    for (int k = 0; k < 3; ++k) {
      targets[k][i][0] = colours[k]->r;
      targets[k][i][1] = colours[k]->g;
      targets[k][i][2] = colours[k]->b;
      targets[k][i][3] = colours[k]->a;
    }
    const Vec3 p = Transform(light.position, 1, states.view);
    const Vec3 d = Transform(light.direction, 0, states.view);
    position[i][0] = p.x, position[i][1] = p.y, position[i][2] = p.z;
    direction[i][0] = d.x, direction[i][1] = d.y, direction[i][2] = d.z;
    attenuation[i][0] = light.range;
    attenuation[i][1] = light.attenuation0;
    attenuation[i][2] = light.attenuation1;
    attenuation[i][3] = light.attenuation2;
    spot[i][0] = std::cos(light.theta / 2);
    spot[i][1] = std::cos(light.phi / 2);
    spot[i][2] = light.falloff;
  }
  glUniform1iv(at_.lightType, kMaxLights, types);
  glUniform4fv(at_.lightDiffuse, kMaxLights, &diffuse[0][0]);
  glUniform4fv(at_.lightSpecular, kMaxLights, &specular[0][0]);
  glUniform4fv(at_.lightAmbient, kMaxLights, &ambientColours[0][0]);
  glUniform3fv(at_.lightPosition, kMaxLights, &position[0][0]);
  glUniform3fv(at_.lightDirection, kMaxLights, &direction[0][0]);
  glUniform4fv(at_.lightAttenuation, kMaxLights, &attenuation[0][0]);
  glUniform3fv(at_.lightSpot, kMaxLights, &spot[0][0]);
}

void FixedFunctionProgram::ApplyStages(const DeviceStates& states, const DrawContext& context) {
  GLint values[9][kShadedStages];
  GLint projected[kShadedStages];
  float matrices[kShadedStages][16];
  constexpr std::uint32_t kStageIds[6] = {kTssColorOp, kTssColorArg1, kTssColorArg2,
                                          kTssAlphaOp, kTssAlphaArg1, kTssAlphaArg2};
  for (std::uint32_t i = 0; i < kShadedStages; ++i) {
    for (int k = 0; k < 6; ++k) values[k][i] = GLint(states.stage[i][kStageIds[k]]);
    const std::uint32_t flags = states.stage[i][kTssTextureTransformFlags];
    values[6][i] = GLint(states.stage[i][kTssTexCoordIndex]);
    values[7][i] = GLint(flags & 0xFF);
    values[8][i] = context.textureKinds[i];
    projected[i] = (flags & kTtfProjected) != 0;
    std::copy(states.texture[i].m, states.texture[i].m + 16, matrices[i]);
  }
  const GLint targets[9] = {at_.colorOp, at_.colorArg1, at_.colorArg2, at_.alphaOp, at_.alphaArg1,
                            at_.alphaArg2, at_.texSource, at_.texCount, at_.texKind};
  for (int k = 0; k < 9; ++k) glUniform1iv(targets[k], kShadedStages, values[k]);
  glUniform1iv(at_.texProjected, kShadedStages, projected);
  glUniformMatrix4fv(at_.texMatrix, kShadedStages, GL_FALSE, &matrices[0][0]);
  glUniform4fv(at_.textureFactor, 1, Unpack(states.render[kRsTextureFactor]).data());
}

void FixedFunctionProgram::ApplyPixelTests(const DeviceStates& states, const DrawContext&) {
  const auto& rs = states.render;
  const bool linearFog = rs[kRsFogVertexMode] == kFogLinear || rs[kRsFogTableMode] == kFogLinear;
  glUniform1i(at_.fogEnable, rs[kRsFogEnable] != 0 && linearFog);
  glUniform1i(at_.rangeFog, rs[kRsRangeFogEnable] != 0);
  glUniform1f(at_.fogStart, AsFloat(rs[kRsFogStart]));
  glUniform1f(at_.fogEnd, AsFloat(rs[kRsFogEnd]));
  glUniform4fv(at_.fogColour, 1, Unpack(rs[kRsFogColor]).data());
  glUniform1i(at_.alphaTest, rs[kRsAlphaTestEnable] != 0);
  glUniform1i(at_.alphaFunc, GLint(rs[kRsAlphaFunc]));
  glUniform1f(at_.alphaRef, float(rs[kRsAlphaRef] & 0xFF));
}

}  // namespace tge::gfx
