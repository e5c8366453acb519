// The GL program that stands in for the fixed-function pipeline, with every
// uniform looked up once at link time. Apply is the one place where device
// states, the material and the lights become uniform values.
#pragma once
#include <epoxy/gl.h>

#include <array>
#include <string>

#include "platform/gfx/DeviceBase.h"

namespace tge::gfx {

// Compiles and links a vertex and a fragment shader; 0 with error set on failure.
GLuint LinkProgram(const char* vertexSource, const char* fragmentSource, std::string& error);

// What a draw adds to the states: the vertex layout, whether it draws
// points, and the kind of texture bound to each shaded stage (0 none, 1 2D,
// 2 cube).
struct DrawContext {
  std::uint32_t fvf = 0;
  bool points = false;
  std::array<int, kShadedStages> textureKinds{};
  bool operator==(const DrawContext&) const = default;
};

class FixedFunctionProgram {
 public:
  FixedFunctionProgram() = default;
  FixedFunctionProgram(const FixedFunctionProgram&) = delete;
  FixedFunctionProgram& operator=(const FixedFunctionProgram&) = delete;
  ~FixedFunctionProgram();

  bool Build(std::string& error);
  void Use() const { glUseProgram(program_); }
  // Uploads what changed since the last call (by state version and context).
  void Apply(const DeviceBase& device, const DrawContext& context);

 private:
  struct Locations {
    GLint worldView, projection, pretransformed, viewport, hasNormal, hasDiffuse, hasSpecular,
        hasPointSize, setFloats;
    GLint lighting, normalize, specularEnable, colorVertex, ambient, matDiffuse, matAmbient,
        matSpecular, matEmissive, matPower, diffuseSource, ambientSource, specularSource,
        emissiveSource;
    GLint lightType, lightDiffuse, lightSpecular, lightAmbient, lightPosition, lightDirection,
        lightAttenuation, lightSpot;
    GLint fogEnable, rangeFog, fogStart, fogEnd, fogColour;
    GLint texSource, texCount, texMatrix, texProjected, texKind, texture2D, textureCube;
    GLint pointSize, pointMin, pointMax, pointScale, pointScaleFactors, pointSprite;
    GLint colorOp, colorArg1, colorArg2, alphaOp, alphaArg1, alphaArg2, textureFactor;
    GLint alphaTest, alphaFunc, alphaRef;
  };

  void LookUp();
  void ApplyGeometry(const DeviceStates& states, const DrawContext& context);
  void ApplyLighting(const DeviceStates& states);
  void ApplyStages(const DeviceStates& states, const DrawContext& context);
  void ApplyPixelTests(const DeviceStates& states, const DrawContext& context);

  GLuint program_ = 0;
  Locations at_{};
  std::uint64_t appliedVersion_ = 0;
  DrawContext appliedContext_;
};

}  // namespace tge::gfx
