// The numeric ids and values of device states, in the numbering the engine's
// rendering code and data use, so that they pass through the device unchanged.
// Only the ids the engine sets are named; the device stores any id below the
// table sizes and ignores what it does not implement.
#pragma once
#include <cstdint>

namespace tge::gfx {

constexpr std::uint32_t kRenderStateCount = 256;
constexpr std::uint32_t kStageStateCount = 32;
constexpr std::uint32_t kSamplerStateCount = 32;
constexpr std::uint32_t kMaxStages = 8;
// Stages the fixed-function emulation combines; later stages count as off.
constexpr std::uint32_t kShadedStages = 4;
constexpr std::uint32_t kMaxLights = 8;

enum RenderStateId : std::uint32_t {
  kRsZEnable = 7,
  kRsFillMode = 8,
  kRsZWriteEnable = 14,
  kRsAlphaTestEnable = 15,
  kRsSrcBlend = 19,
  kRsDestBlend = 20,
  kRsCullMode = 22,
  kRsZFunc = 23,
  kRsAlphaRef = 24,
  kRsAlphaFunc = 25,
  kRsAlphaBlendEnable = 27,
  kRsFogEnable = 28,
  kRsSpecularEnable = 29,
  kRsFogColor = 34,
  kRsFogTableMode = 35,
  kRsFogStart = 36,   // float bits
  kRsFogEnd = 37,     // float bits
  kRsFogDensity = 38, // float bits
  kRsRangeFogEnable = 48,
  kRsTextureFactor = 60,
  kRsLighting = 137,
  kRsAmbient = 139,
  kRsFogVertexMode = 140,
  kRsColorVertex = 141,
  kRsLocalViewer = 142,
  kRsNormalizeNormals = 143,
  kRsDiffuseMaterialSource = 145,
  kRsSpecularMaterialSource = 146,
  kRsAmbientMaterialSource = 147,
  kRsEmissiveMaterialSource = 148,
  kRsPointSize = 154,       // float bits
  kRsPointSizeMin = 155,    // float bits
  kRsPointSpriteEnable = 156,
  kRsPointScaleEnable = 157,
  kRsPointScaleA = 158,     // float bits
  kRsPointScaleB = 159,     // float bits
  kRsPointScaleC = 160,     // float bits
  kRsPointSizeMax = 166,    // float bits
  kRsColorWriteEnable = 168,
  kRsBlendOp = 171,
  kRsSlopeScaleDepthBias = 175,  // float bits
  kRsDepthBias = 195,            // float bits
};

enum FillMode : std::uint32_t { kFillPoint = 1, kFillWireframe = 2, kFillSolid = 3 };
enum CullMode : std::uint32_t { kCullNone = 1, kCullClockwise = 2, kCullCounterClockwise = 3 };
enum CompareFunc : std::uint32_t {
  kCmpNever = 1, kCmpLess, kCmpEqual, kCmpLessEqual, kCmpGreater, kCmpNotEqual,
  kCmpGreaterEqual, kCmpAlways
};
enum BlendFactor : std::uint32_t {
  kBlendZero = 1, kBlendOne, kBlendSrcColor, kBlendInvSrcColor, kBlendSrcAlpha,
  kBlendInvSrcAlpha, kBlendDestAlpha, kBlendInvDestAlpha, kBlendDestColor,
  kBlendInvDestColor, kBlendSrcAlphaSat
};
enum BlendOp : std::uint32_t {
  kBlendOpAdd = 1, kBlendOpSubtract, kBlendOpRevSubtract, kBlendOpMin, kBlendOpMax
};
enum FogMode : std::uint32_t { kFogNone = 0, kFogExp = 1, kFogExp2 = 2, kFogLinear = 3 };
enum MaterialSource : std::uint32_t { kMaterialSourceMaterial = 0, kMaterialSourceColor1, kMaterialSourceColor2 };

enum StageStateId : std::uint32_t {
  kTssColorOp = 1,
  kTssColorArg1 = 2,
  kTssColorArg2 = 3,
  kTssAlphaOp = 4,
  kTssAlphaArg1 = 5,
  kTssAlphaArg2 = 6,
  kTssTexCoordIndex = 11,
  kTssTextureTransformFlags = 24,
};

enum TextureOp : std::uint32_t {
  kTopDisable = 1,
  kTopSelectArg1 = 2,
  kTopSelectArg2 = 3,
  kTopModulate = 4,
  kTopModulate2x = 5,
  kTopModulate4x = 6,
  kTopAdd = 7,
  kTopAddSigned = 8,
  kTopSubtract = 10,
  kTopAddSmooth = 11,
  kTopBlendDiffuseAlpha = 12,
  kTopBlendTextureAlpha = 13,
  kTopBlendCurrentAlpha = 16,
};

// Texture-stage arguments: a source in the low bits and two modifier bits.
enum TextureArg : std::uint32_t {
  kTaDiffuse = 0, kTaCurrent = 1, kTaTexture = 2, kTaTFactor = 3, kTaSpecular = 4,
  kTaSelectMask = 0x0F, kTaComplement = 0x10, kTaAlphaReplicate = 0x20
};

// Texture-coordinate index: the set in the low 16 bits, a generator above.
enum TexCoordSource : std::uint32_t {
  kTciPassThru = 0,
  kTciCameraSpaceNormal = 0x10000,
  kTciCameraSpacePosition = 0x20000,
  kTciCameraSpaceReflectionVector = 0x30000,
};

enum TextureTransformFlags : std::uint32_t {
  kTtfDisable = 0, kTtfCount1 = 1, kTtfCount2 = 2, kTtfCount3 = 3, kTtfCount4 = 4,
  kTtfProjected = 256
};

enum SamplerStateId : std::uint32_t {
  kSampAddressU = 1,
  kSampAddressV = 2,
  kSampAddressW = 3,
  kSampMagFilter = 5,
  kSampMinFilter = 6,
  kSampMipFilter = 7,
  kSampMaxMipLevel = 9,
};

enum TextureAddress : std::uint32_t {
  kAddressWrap = 1, kAddressMirror = 2, kAddressClamp = 3, kAddressBorder = 4
};
enum TextureFilter : std::uint32_t { kFilterNone = 0, kFilterPoint = 1, kFilterLinear = 2 };

enum TransformId : std::uint32_t {
  kTransformView = 2,
  kTransformProjection = 3,
  kTransformTexture0 = 16,  // to kTransformTexture0 + 7
  kTransformWorld = 256,
};

enum PrimitiveType : std::uint32_t {
  kPrimPointList = 1, kPrimLineList, kPrimLineStrip, kPrimTriangleList,
  kPrimTriangleStrip, kPrimTriangleFan
};

enum LightType : std::uint32_t { kLightPoint = 1, kLightSpot = 2, kLightDirectional = 3 };

enum ClearFlags : std::uint32_t { kClearTarget = 1, kClearZBuffer = 2, kClearStencil = 4 };

constexpr std::uint32_t FourCc(char a, char b, char c, char d) {
  return std::uint32_t(std::uint8_t(a)) | std::uint32_t(std::uint8_t(b)) << 8 |
         std::uint32_t(std::uint8_t(c)) << 16 | std::uint32_t(std::uint8_t(d)) << 24;
}

enum Format : std::uint32_t {
  kFormatUnknown = 0,
  kFormatR8G8B8 = 20,
  kFormatA8R8G8B8 = 21,
  kFormatX8R8G8B8 = 22,
  kFormatR5G6B5 = 23,
  kFormatX1R5G5B5 = 24,
  kFormatA1R5G5B5 = 25,
  kFormatA4R4G4B4 = 26,
  kFormatD32 = 71,
  kFormatD15S1 = 73,
  kFormatD24S8 = 75,
  kFormatD24X8 = 77,
  kFormatD24X4S4 = 79,
  kFormatD16 = 80,
  kFormatIndex16 = 101,
  kFormatIndex32 = 102,
  kFormatDxt1 = FourCc('D', 'X', 'T', '1'),
  kFormatDxt3 = FourCc('D', 'X', 'T', '3'),
  kFormatDxt5 = FourCc('D', 'X', 'T', '5'),
};

enum Usage : std::uint32_t {
  kUsageRenderTarget = 0x1,
  kUsageWriteOnly = 0x8,
  kUsageDynamic = 0x200,
  kUsageAutoGenMipMap = 0x400,
};

enum Pool : std::uint32_t { kPoolDefault = 0, kPoolManaged = 1, kPoolSystemMem = 2 };

enum LockFlags : std::uint32_t {
  kLockReadOnly = 0x10,
  kLockNoOverwrite = 0x1000,
  kLockDiscard = 0x2000,
  kLockNoDirtyUpdate = 0x8000,
};

enum CubeFace : std::uint32_t {
  kFacePositiveX = 0, kFaceNegativeX, kFacePositiveY, kFaceNegativeY,
  kFacePositiveZ, kFaceNegativeZ, kCubeFaceCount
};

}  // namespace tge::gfx
