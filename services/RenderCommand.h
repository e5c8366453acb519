// The records of the render queue. Each draw request of a frame becomes one
// record carved from the queue's arena; records of one draw list are linked
// through `next`. Records hold the caller's pointers as they are given:
// what they point to must live until the frame has been rendered.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

#include "core/math/Color.h"
#include "core/math/Matrix4.h"
#include "platform/gfx/Types.h"

namespace tge {

class FontResource;
class MaterialResource;
class MeshResource;
class MorphMeshResource;
class SkinMeshResource;
class TerrainResource;

enum class RenderCommandKind : std::uint32_t {
  kMeshPart = 1,
  kSkinMeshPart = 2,
  kMorphBlend = 3,
  kPrimitives = 4,
  kTerrain = 5,
  kText = 6,
  kScreenQuad = 7,
  kLight = 8,
  kCallback = 9,
};

// The draw lists of a layer, drawn in index order.
enum RenderList : std::size_t {
  kListLights = 0,
  kListOpaque = 1,
  kListSortIndependent = 2,
  kListBlended = 3,
  kListAdditive = 4,
  kListOverlay = 5,
  kListCallbacks = 6,
  kRenderListCount = 8,
};

// Alignment of sprites and text on the given position; the centring flag
// wins when both of an axis are set.
enum ScreenAlign : std::uint32_t {
  kAlignCentreX = 0x4,
  kAlignRight = 0x8,
  kAlignCentreY = 0x20,
  kAlignBottom = 0x40,
};

// Cull results of the visibility test.
enum SphereVisibility : int { kSphereInside = 0, kSphereCrossing = 1, kSphereOutside = 2 };

struct RenderCommand {
  RenderCommandKind kind{};
  Matrix4 world;
  float key = 0;
  RenderCommand* next = nullptr;
  std::uint32_t cull = kSphereCrossing;
};

struct MeshPartCommand : RenderCommand {
  MeshResource* mesh = nullptr;
  std::uint32_t part = 0;
  MaterialResource* material = nullptr;
  const gfx::Material* colour = nullptr;
  float alpha = 1;
  const Matrix4* textureMatrix = nullptr;
};

struct MorphBlendCommand : RenderCommand {
  MeshResource* destination = nullptr;
  MorphMeshResource* morph = nullptr;
  std::uint32_t count = 0;
  const std::uint32_t* indices = nullptr;
  const float* weights = nullptr;
  std::uint32_t part = 0;
  MaterialResource* material = nullptr;
  const gfx::Material* colour = nullptr;
  float alpha = 1;
};

struct SkinMeshPartCommand : RenderCommand {
  MeshResource* mesh = nullptr;
  SkinMeshResource* skin = nullptr;
  // The caller's array, one matrix per bone.
  const Matrix4* matrices = nullptr;
  std::uint32_t matrixCount = 0;
  std::uint32_t part = 0;
  MaterialResource* material = nullptr;
  const gfx::Material* colour = nullptr;
};

struct PrimitivesCommand : RenderCommand {
  const void* vertices = nullptr;
  std::uint32_t format = 0;
  std::uint32_t type = 0;
  std::uint32_t count = 0;
  float drawValue = 0;
  MaterialResource* material = nullptr;
  const gfx::Material* colour = nullptr;
  const Matrix4* projection = nullptr;
};

struct TerrainCommand : RenderCommand {
  TerrainResource* terrain = nullptr;
  std::uint32_t userValue = 0;
};

struct TextCommand : RenderCommand {
  FontResource* font = nullptr;
  Vector3 position;
  Color colour;
  float lineSpacing = 0;
  float charSpacing = 0;
  float scaleX = 1, scaleY = 1;
  std::uint32_t flags = 0;
  // The copy kept right behind the record.
  const char* text = nullptr;
};

// A pre-transformed vertex with colour and one coordinate set.
struct ScreenVertex {
  float x = 0, y = 0, z = 0, rhw = 1;
  std::uint32_t colour = 0;
  float u = 0, v = 0;
};
constexpr std::uint32_t kScreenVertexFormat = 0x144;
static_assert(sizeof(ScreenVertex) == 28);

struct ScreenQuadCommand : RenderCommand {
  MaterialResource* material = nullptr;
  // Strip order: top-left, top-right, bottom-left, bottom-right.
  std::array<ScreenVertex, 4> vertices{};
};

struct LightCommand : RenderCommand {
  gfx::Light light;
};

using RenderCallback = void (*)(void* object, std::uint32_t value);

struct CallbackCommand : RenderCommand {
  RenderCallback function = nullptr;
  void* object = nullptr;
  std::uint32_t value = 0;
};

// The heads of the draw lists being filled. The tails let a command whose
// key is not above the last one's be appended without a walk.
struct RenderLayer {
  std::array<RenderCommand*, kRenderListCount> heads{};
  std::array<RenderCommand*, kRenderListCount> tails{};
};

}  // namespace tge
