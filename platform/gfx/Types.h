// The plain records the device takes and gives: matrices, colours, lights,
// the material, the viewport, presentation settings, capabilities. Layouts
// match the records the engine keeps (a material is 17 floats, a light the
// light command's fields), so they can be handed over without conversion.
#pragma once
#include <array>
#include <cstdint>

namespace tge::gfx {

// Call results. Device loss is reported as the device being lost (nothing can
// be done yet) or not reset (Reset may now be called).
enum class Result { kOk, kFailed, kInvalidCall, kOutOfMemory, kDeviceLost, kDeviceNotReset };

inline bool Succeeded(Result result) { return result == Result::kOk; }

// Row-major, row vectors (p x M), left-handed, depth 0 to 1.
struct Matrix {
  float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
};

struct ColorValue {
  float r = 0, g = 0, b = 0, a = 0;
};

struct Vec3 {
  float x = 0, y = 0, z = 0;
};

struct Material {
  ColorValue diffuse, ambient, specular, emissive;
  float power = 0;
};
static_assert(sizeof(Material) == 17 * sizeof(float));

struct Light {
  std::uint32_t type = 0;  // LightType
  ColorValue diffuse, specular, ambient;
  Vec3 position, direction;
  float range = 0, falloff = 0;
  float attenuation0 = 0, attenuation1 = 0, attenuation2 = 0;
  float theta = 0, phi = 0;  // inner and outer cone angles, radians
};

struct Viewport {
  std::uint32_t x = 0, y = 0, width = 0, height = 0;
  float minZ = 0, maxZ = 1;
};

struct DisplayMode {
  std::uint32_t width = 0, height = 0, refreshRate = 0;
  std::uint32_t format = 0;  // Format
};

struct PresentParameters {
  std::uint32_t backBufferWidth = 0, backBufferHeight = 0;
  std::uint32_t backBufferFormat = 0;
  bool windowed = true;
  bool autoDepthStencil = true;
  std::uint32_t depthStencilFormat = 0;
  std::uint32_t refreshRate = 0;
};

struct DeviceCaps {
  std::uint32_t maxSimultaneousTextures = 4;
  std::uint32_t maxTextureWidth = 4096, maxTextureHeight = 4096;
  std::uint32_t vertexShaderVersionMajor = 3, pixelShaderVersionMajor = 3;
  std::uint32_t pixelShaderVersionMinor = 0;
  bool hardwareTransformAndLight = true;
  bool pureDevice = true;
  bool canAutoGenerateMipMaps = true;
  bool occlusionQueries = true;
  std::uint64_t availableTextureMemory = 256ull << 20;
};

// Per channel 256 entries of 16 bits, as the gamma ramp the engine builds.
struct GammaRamp {
  std::array<std::uint16_t, 256> red{}, green{}, blue{};
};

}  // namespace tge::gfx
