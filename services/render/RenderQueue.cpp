#include "services/render/RenderQueue.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "services/render/MaterialType.h"
#include "services/render/TerrainResource.h"
#include "services/render/ViewState.h"
#include "services/resources/FontResource.h"
#include "services/resources/MaterialResource.h"
#include "services/resources/MeshResource.h"
#include "services/resources/MorphMeshResource.h"
#include "services/resources/SkinMeshResource.h"

namespace tge {
namespace {

constexpr float kPointLightKey = 1.0f, kSpotLightKey = 2.0f, kDirectionalLightKey = 3.0f;
// Sprites lie just in front of the near end of the depth range.
constexpr float kSpriteDepth = 0.1f;
constexpr float kDefaultSkinRadius = 3.0f;
constexpr float kTerrainKey = -1.0f;

constexpr std::size_t RoundUp(std::size_t bytes) {
  return (bytes + RenderQueue::kRecordAlign - 1) / RenderQueue::kRecordAlign * RenderQueue::kRecordAlign;
}

// Skinned and morphed parts keep "Projected" materials with the opaque ones.
std::size_t ListOfMaterial(const MaterialResource* material, bool projectedIsOpaque) {
  if (!material) return kListOpaque;
  switch (material->materialType) {
    case kMaterialTextureAlphaSortIndependent: return kListSortIndependent;
    case kMaterialAdd: return kListAdditive;
    case kMaterialProjected: return projectedIsOpaque ? kListOpaque : kListBlended;
    case kMaterialWireframeColor:
    case kMaterialSolidColor:
    case kMaterialMul:
    case kMaterialShadow:
    case kMaterialTextureAlpha: return kListBlended;
    default: return kListOpaque;
  }
}

gfx::ColorValue ToDevice(const Color& c) { return {c.r, c.g, c.b, c.a}; }
gfx::Vec3 ToDevice(const Vector3& v) { return {v.x, v.y, v.z}; }

gfx::Light ColouredLight(std::uint32_t type, const Color& colour, const Color& ambient) {
  gfx::Light light;
  light.type = type;
  light.diffuse = light.specular = ToDevice(colour);
  light.ambient = ToDevice(ambient);
  return light;
}

// A light at a place, reaching range with the three attenuation factors.
gfx::Light PlacedLight(std::uint32_t type, const Vector3& position, float range, const Vector3& attenuation,
                       const Color& colour, const Color& ambient) {
  gfx::Light light = ColouredLight(type, colour, ambient);
  light.position = ToDevice(position);
  light.range = range;
  light.attenuation0 = attenuation.x;
  light.attenuation1 = attenuation.y;
  light.attenuation2 = attenuation.z;
  return light;
}

Sphere WorldSphere(const MeshPart& part, const Matrix4& world) {
  Sphere sphere{part.centre, part.radius};
  Vector3TransformCoord(sphere.centre, part.centre, world);
  return sphere;
}

MaterialResource* MaterialOf(Resource* override, Resource* own) {
  return ResourceCast<MaterialResource>(override ? override : own);
}

}  // namespace

RenderQueue::RenderQueue(const ViewState& view) : view_(view) {}

// The next block that holds room bytes, made when no kept one does.
std::byte* RenderQueue::Take(std::size_t room) {
  if (blocks_.empty() || freeRoom_ < room) {
    if (!blocks_.empty()) ++block_;
    while (block_ < blocks_.size() && blocks_[block_].size < room) ++block_;
    if (block_ == blocks_.size()) {
      const std::size_t size = std::max(kCapacity, room);
      blocks_.push_back({std::make_unique<std::byte[]>(size), size});
    }
    freeRoom_ = blocks_[block_].size;
  }
  const Block& block = blocks_[block_];
  std::byte* at = block.bytes.get() + (block.size - freeRoom_);
  freeRoom_ -= room;
  return at;
}

template <class Command>
Command* RenderQueue::Carve(RenderCommandKind kind, std::size_t extra) {
  auto* command = new (Take(RoundUp(sizeof(Command)) + extra)) Command{};
  command->kind = kind;
  return command;
}

void RenderQueue::Insert(RenderCommand* command, std::size_t list) {
  command->next = nullptr;
  RenderCommand*& tail = layer_.tails[list];
  if (!layer_.heads[list]) {
    layer_.heads[list] = command;
  } else {
    unsorted_[list] = unsorted_[list] || tail->key < command->key;
    tail->next = command;
  }
  tail = command;
}

const RenderCommand* RenderQueue::GetList(std::size_t list) const {
  if (unsorted_[list]) {
    layer_.heads[list] = sorter_.Sort(layer_.heads[list], layer_.tails[list]);
    unsorted_[list] = false;
  }
  return layer_.heads[list];
}

void RenderQueue::FileByMaterial(RenderCommand* command, const MaterialResource* material, bool projectedIsOpaque,
                                 bool blended) {
  if (material && (material->flags & kMaterialSortBack)) command->key += kSortBackDistance;
  Insert(command, blended ? kListBlended : ListOfMaterial(material, projectedIsOpaque));
}

int RenderQueue::QueueMesh(Resource* meshResource, const Matrix4& world, Resource* materialOverride,
                           const gfx::Material* colour, float alpha, const Matrix4* textureMatrix) {
  auto* mesh = ResourceCast<MeshResource>(meshResource);
  if (!mesh) return 0;
  mesh->Load();
  for (std::size_t i = 0; i < mesh->parts.size(); ++i) {
    float depth = 0;
    const int cull = view_.TestSphereInFrustum(WorldSphere(mesh->parts[i], world), &depth, true);
    if (cull == kSphereOutside) continue;
    auto* command = Carve<MeshPartCommand>(RenderCommandKind::kMeshPart);
    command->world = world;
    command->key = depth;
    command->cull = std::uint32_t(cull);
    command->mesh = mesh;
    command->part = std::uint32_t(i);
    command->material = MaterialOf(materialOverride, mesh->parts[i].material);
    command->colour = colour;
    command->alpha = alpha;
    command->textureMatrix = textureMatrix;
    const bool blended = alpha < 1.0f || (colour && colour->diffuse.a < 1.0f);
    FileByMaterial(command, command->material, false, blended);
  }
  return int(mesh->parts.size());
}

void RenderQueue::QueueLinkedMesh(Resource* morphResource, const Matrix4& world, std::uint32_t count,
                                  const std::uint32_t* indices, const float* weights, Resource* destinationOverride,
                                  Resource* materialOverride, const gfx::Material* colour, float alpha) {
  auto* morph = ResourceCast<MorphMeshResource>(morphResource);
  if (!morph) return;
  morph->Load();
  auto* destination = ResourceCast<MeshResource>(destinationOverride ? destinationOverride : morph->baseMesh);
  if (!destination) return;
  destination->Load();
  for (std::size_t i = 0; i < destination->parts.size(); ++i) {
    float depth = 0;
    if (view_.TestSphereInFrustum(WorldSphere(destination->parts[i], world), &depth, true) == kSphereOutside) {
      continue;
    }
    auto* command = Carve<MorphBlendCommand>(RenderCommandKind::kMorphBlend);
    command->world = world;
    command->key = depth;
    command->destination = destination;
    command->morph = morph;
    command->count = count;
    command->indices = indices;
    command->weights = weights;
    command->part = std::uint32_t(i);
    command->material = MaterialOf(materialOverride, destination->parts[i].material);
    command->colour = colour;
    command->alpha = alpha;
    FileByMaterial(command, command->material, true);
  }
}

int RenderQueue::QueueSkinMesh(Resource* skinResource, const Matrix4* matrices, std::uint32_t matrixCount,
                               const Matrix4& world, const Sphere* sphere, Resource* materialOverride,
                               const gfx::Material* colour) {
  auto* skin = ResourceCast<SkinMeshResource>(skinResource);
  if (!skin) return 0;
  skin->Load();
  auto* mesh = ResourceCast<MeshResource>(skin->mesh);
  if (!mesh) return 0;
  mesh->Load();
  const Sphere tested = sphere ? *sphere : Sphere{{world.m[12], world.m[13], world.m[14]}, kDefaultSkinRadius};
  int all = 1;
  for (std::size_t i = 0; i < mesh->parts.size(); ++i) {
    float depth = 0;
    const int cull = GetSkinMeshPartActive(skin, i) ? view_.TestSphereInFrustum(tested, &depth, true) : kSphereOutside;
    auto* command = cull == kSphereOutside ? nullptr : Carve<SkinMeshPartCommand>(RenderCommandKind::kSkinMeshPart);
    if (!command) {
      all = 0;
      continue;
    }
    command->world = world;
    command->key = depth;
    command->cull = std::uint32_t(cull);
    command->mesh = mesh;
    command->skin = skin;
    command->matrices = matrices;
    command->matrixCount = matrixCount;
    command->part = std::uint32_t(i);
    command->material = MaterialOf(materialOverride, mesh->parts[i].material);
    command->colour = colour;
    FileByMaterial(command, command->material, true);
  }
  return all;
}

void RenderQueue::QueueTerrain(Resource* terrainResource, std::uint32_t userValue) {
  auto* terrain = ResourceCast<TerrainResource>(terrainResource);
  if (!terrain) return;
  auto* command = Carve<TerrainCommand>(RenderCommandKind::kTerrain);
  if (!command) return;
  command->key = kTerrainKey;
  command->terrain = terrain;
  command->userValue = userValue;
  Insert(command, kListOpaque);
}

int RenderQueue::QueuePrimitives(const void* vertices, std::uint32_t format, std::uint32_t type,
                                 std::uint32_t count, const Matrix4& world, Resource* materialResource,
                                 float drawValue, const gfx::Material* colour, const Sphere* sphere,
                                 const Matrix4* textureProjection) {
  if (!vertices || count == 0) return 0;
  auto* material = ResourceCast<MaterialResource>(materialResource);
  float depth = 0;
  int cull = kSphereCrossing;
  if (sphere) {
    const bool fogLimit = !material || (material->flags & kMaterialFog);
    cull = view_.TestSphereInFrustum(*sphere, &depth, fogLimit);
    if (cull == kSphereOutside) return kSphereOutside;
  }
  auto* command = Carve<PrimitivesCommand>(RenderCommandKind::kPrimitives);
  command->world = world;
  command->key = depth;
  command->cull = std::uint32_t(cull);
  command->vertices = vertices;
  command->format = format;
  command->type = type;
  command->count = count;
  command->drawValue = drawValue;
  command->material = material;
  command->colour = colour;
  command->projection = textureProjection;
  FileByMaterial(command, material, false);
  return 1;
}

void RenderQueue::QueueTextCommand(Resource* fontResource, const char* text, const Vector3& position,
                                   const Matrix4& world, float scaleX, float scaleY, const Color& colour,
                                   float lineSpacing, float charSpacing, std::uint32_t flags, float key) {
  auto* font = ResourceCast<FontResource>(fontResource);
  if (!font) return;
  if (!text) text = "";
  const std::size_t length = std::strlen(text) + 1;
  auto* command = Carve<TextCommand>(RenderCommandKind::kText, RoundUp(length));
  char* copy = reinterpret_cast<char*>(command) + RoundUp(sizeof(TextCommand));
  std::memcpy(copy, text, length);
  command->world = world;
  command->key = key;
  command->font = font;
  command->position = position;
  command->colour = colour;
  command->lineSpacing = lineSpacing;
  command->charSpacing = charSpacing;
  command->scaleX = scaleX;
  command->scaleY = scaleY;
  command->flags = flags;
  command->text = copy;
  Insert(command, kListOverlay);
}

void RenderQueue::QueueText(Resource* font, const char* text, const Vector3& position, float scaleX, float scaleY,
                            const Color& colour, float lineSpacing, float charSpacing, std::uint32_t flags) {
  QueueTextCommand(font, text, position, Matrix4{}, scaleX, scaleY, colour, lineSpacing, charSpacing, flags,
                   -position.z);
}

void RenderQueue::QueueTextTransformed(Resource* font, const char* text, const Matrix4& world, const Color& colour,
                                       float lineSpacing, float charSpacing, std::uint32_t flags) {
  QueueTextCommand(font, text, Vector3{}, world, 1.0f, 1.0f, colour, lineSpacing, charSpacing, flags,
                   -world.m[14]);
}

void RenderQueue::QueueQuad(MaterialResource* material, const Matrix4* world, float width, float height, float x,
                            float y, const Color& colour, std::uint32_t flags, float key) {
  if (flags & kAlignCentreX) {
    x -= width / 2;
  } else if (flags & kAlignRight) {
    x -= width;
  }
  if (flags & kAlignCentreY) {
    y -= height / 2;
  } else if (flags & kAlignBottom) {
    y -= height;
  }
  auto* command = Carve<ScreenQuadCommand>(RenderCommandKind::kScreenQuad);
  command->key = key;
  command->material = material;
  const std::uint32_t packed = ColorToDword(colour);
  constexpr float kCorners[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
  for (std::size_t i = 0; i < 4; ++i) {
    Vector3 corner{x + kCorners[i][0] * width, y + kCorners[i][1] * height, 0};
    if (world) Vector3TransformCoord(corner, corner, *world);
    command->vertices[i] = {corner.x, corner.y, kSpriteDepth, 1.0f, packed, kCorners[i][0], kCorners[i][1]};
  }
  Insert(command, kListOverlay);
}

void RenderQueue::QueueSprite(Resource* material, const Vector3& position, float width, float height,
                              const Color& colour, std::uint32_t flags) {
  auto* m = ResourceCast<MaterialResource>(material);
  if (!m) return;
  QueueQuad(m, nullptr, width, height, position.x, position.y, colour, flags, -position.z);
}

void RenderQueue::QueueSpriteTransformed(Resource* material, const Matrix4& world, float width, float height,
                                         const Color& colour, std::uint32_t flags) {
  auto* m = ResourceCast<MaterialResource>(material);
  if (!m) return;
  QueueQuad(m, &world, width, height, 0, 0, colour, flags, -world.m[14]);
}

void RenderQueue::PrepareSprite(Resource* material) { QueueSprite(material, Vector3{}, 0, 0, Color{}, 0); }

void RenderQueue::QueueScreenQuad(Resource* material, const std::array<ScreenVertex, 4>& vertices, float depth) {
  auto* m = ResourceCast<MaterialResource>(material);
  if (!m) return;
  auto* command = Carve<ScreenQuadCommand>(RenderCommandKind::kScreenQuad);
  command->key = -depth;
  command->material = m;
  command->vertices = vertices;
  Insert(command, kListOverlay);
}

void RenderQueue::QueueLight(const gfx::Light& light, float key) {
  auto* command = Carve<LightCommand>(RenderCommandKind::kLight);
  command->key = key;
  command->light = light;
  Insert(command, kListLights);
}

void RenderQueue::QueuePointLight(const Vector3& position, float range, float attenuation0, float attenuation1,
                                  float attenuation2, const Color& colour, const Color& ambient) {
  const Vector3 attenuation{attenuation0, attenuation1, attenuation2};
  QueueLight(PlacedLight(gfx::kLightPoint, position, range, attenuation, colour, ambient), kPointLightKey);
}

void RenderQueue::QueueSpotLight(const Vector3& position, const Vector3& direction, float range, float falloff,
                                 float innerCone, float outerCone, float attenuation0, float attenuation1,
                                 float attenuation2, const Color& colour, const Color& ambient) {
  const Vector3 attenuation{attenuation0, attenuation1, attenuation2};
  gfx::Light light = PlacedLight(gfx::kLightSpot, position, range, attenuation, colour, ambient);
  light.direction = ToDevice(direction);
  light.falloff = falloff;
  light.theta = innerCone;
  light.phi = outerCone;
  QueueLight(light, kSpotLightKey);
}

void RenderQueue::QueueDirectionalLight(const Vector3& direction, const Color& colour, const Color& ambient) {
  gfx::Light light = ColouredLight(gfx::kLightDirectional, colour, ambient);
  light.direction = ToDevice(direction);
  QueueLight(light, kDirectionalLightKey);
}

void RenderQueue::QueueDrawCallback(const Matrix4& world, std::uint32_t value, RenderCallback function,
                                    void* object) {
  if (!function) return;
  auto* command = Carve<CallbackCommand>(RenderCommandKind::kCallback);
  command->world = world;
  command->function = function;
  command->object = object;
  command->value = value;
  Insert(command, kListCallbacks);
}

void RenderQueue::Reset() {
  block_ = 0;
  freeRoom_ = blocks_.empty() ? kCapacity : blocks_[0].size;
  layer_ = RenderLayer{};
  kept_.clear();
  unsorted_ = {};
}

}  // namespace tge
