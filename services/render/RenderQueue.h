// The render queue collects every draw request of one frame. Object types
// never draw directly: during their per-frame passes they hand meshes,
// primitives, text, screen quads and lights to the queue, which carves one
// record per request from its arena and files it into one of the draw lists
// of the layer being filled. A list is read in descending order of sort key,
// equal keys in submission order; it is sorted once when first read after a
// request, not at every insertion, since near objects queued first would
// make every insertion walk the whole list. The frame render walks the lists;
// EndFrame empties them. Nothing is drawn at submission time.
//
// The arena grows by blocks as a frame needs them and keeps them for the
// next frames, so a warm frame allocates nothing and no request is dropped.
// Pointers handed in (vertices, colour overrides, matrices, blend arrays)
// are kept, not copied. They stay valid until the frame has been rendered:
// an object deleted during the frame keeps its memory until then (the
// engine's frame hold, core/trees/ObjectServices.h), and storage an object lets go
// of while it lives is handed to KeepUntilReset. Main thread only.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/math/Shapes.h"
#include "services/RenderCommand.h"
#include "services/render/RenderListSorter.h"

namespace tge {

class MaterialResource;
class Resource;
class ViewState;

class RenderQueue {
 public:
  // Bytes of one arena block; a longer record gets a block of its own size.
  static constexpr std::size_t kCapacity = 0x40000;
  // Records start on this boundary; a text copy takes whole multiples of it.
  static constexpr std::size_t kRecordAlign = 16;
  static constexpr float kSortBackDistance = 1000.0f;

  explicit RenderQueue(const ViewState& view);
  RenderQueue(const RenderQueue&) = delete;
  RenderQueue& operator=(const RenderQueue&) = delete;

  // One record per part whose bounding sphere is not outside the view (up
  // to the fog end); the view depth is its key. Blended when the alpha or
  // the override's diffuse alpha is below 1. Returns the mesh's part count
  // (0 for a null mesh); the mesh is loaded first.
  int QueueMesh(Resource* mesh, const Matrix4& world, Resource* materialOverride, const gfx::Material* colour,
                float alpha, const Matrix4* textureMatrix);
  // Blends the morph targets into the destination's parts (the override, or
  // the morph mesh's base) when the frame is rendered and applies the
  // material with the alpha; draws nothing itself. Filed by the material
  // alone, so the blend comes before the blended draws of the destination.
  void QueueLinkedMesh(Resource* morph, const Matrix4& world, std::uint32_t count, const std::uint32_t* indices,
                       const float* weights, Resource* destinationOverride, Resource* materialOverride,
                       const gfx::Material* colour, float alpha);
  // One record per part of the skin's mesh that the skin enables and whose
  // sphere (the given one, else 3 units around the world matrix's place) is
  // not outside the view; the part is posed from the matrices when the frame
  // is rendered. 1 when every part was queued; the skin and its mesh are
  // loaded first.
  int QueueSkinMesh(Resource* skin, const Matrix4* matrices, std::uint32_t matrixCount, const Matrix4& world,
                    const Sphere* sphere, Resource* materialOverride, const gfx::Material* colour);
  // Drawn with the opaque geometry, behind everything of its list.
  void QueueTerrain(Resource* terrain, std::uint32_t userValue);
  // 0 for null vertices or no primitives, 2 when the given sphere is outside
  // the view, else 1. Without a sphere the key is 0.
  int QueuePrimitives(const void* vertices, std::uint32_t format, std::uint32_t type, std::uint32_t count,
                      const Matrix4& world, Resource* material, float drawValue, const gfx::Material* colour,
                      const Sphere* sphere, const Matrix4* textureProjection);
  // The UTF-8 text is copied behind the record; drawn over everything with
  // greater z on top.
  void QueueText(Resource* font, const char* text, const Vector3& position, float scaleX, float scaleY,
                 const Color& colour, float lineSpacing, float charSpacing, std::uint32_t flags);
  void QueueTextTransformed(Resource* font, const char* text, const Matrix4& world, const Color& colour,
                            float lineSpacing, float charSpacing, std::uint32_t flags);
  // A screen quad of the material at position (pixels), aligned by the
  // ScreenAlign flags.
  void QueueSprite(Resource* material, const Vector3& position, float width, float height, const Color& colour,
                   std::uint32_t flags);
  // The quad from (0, 0), aligned, then through the world matrix.
  void QueueSpriteTransformed(Resource* material, const Matrix4& world, float width, float height,
                              const Color& colour, std::uint32_t flags);
  void QueueScreenQuad(Resource* material, const std::array<ScreenVertex, 4>& vertices, float depth);
  // An empty screen quad of the material: drawing it covers no pixel but
  // makes the device build the states the material's sprites need (a
  // software rasteriser compiles pixel code for every new combination).
  void PrepareSprite(Resource* material);
  // Directional lights come first in the list, then spot, then point lights.
  void QueuePointLight(const Vector3& position, float range, float attenuation0, float attenuation1,
                       float attenuation2, const Color& colour, const Color& ambient);
  void QueueSpotLight(const Vector3& position, const Vector3& direction, float range, float falloff,
                      float innerCone, float outerCone, float attenuation0, float attenuation1, float attenuation2,
                      const Color& colour, const Color& ambient);
  void QueueDirectionalLight(const Vector3& direction, const Color& colour, const Color& ambient);
  // Runs function(object, value) when the frame is rendered.
  void QueueDrawCallback(const Matrix4& world, std::uint32_t value, RenderCallback function, void* object);

  // Empties every list; the whole arena is free again.
  void Reset();
  // Vertex storage queued this frame whose owner lets go of it: released at
  // the next Reset, once the frame that reads it has been drawn.
  void KeepUntilReset(std::shared_ptr<const void> storage) { kept_.push_back(std::move(storage)); }

  const RenderCommand* GetList(std::size_t list) const;
  // Room left in the arena block being filled.
  std::size_t GetFreeRoom() const { return freeRoom_; }

 private:
  struct Block {
    std::unique_ptr<std::byte[]> bytes;
    std::size_t size = 0;
  };

  template <class Command>
  Command* Carve(RenderCommandKind kind, std::size_t extra = 0);
  std::byte* Take(std::size_t room);
  void Insert(RenderCommand* command, std::size_t list);
  // Into the list of the material's type (or the blended list), 1000 units
  // further back with the material's sort-back flag.
  void FileByMaterial(RenderCommand* command, const MaterialResource* material, bool projectedIsOpaque,
                      bool blended = false);
  void QueueLight(const gfx::Light& light, float key);
  void QueueQuad(MaterialResource* material, const Matrix4* world, float width, float height, float x, float y,
                 const Color& colour, std::uint32_t flags, float key);
  void QueueTextCommand(Resource* font, const char* text, const Vector3& position, const Matrix4& world,
                        float scaleX, float scaleY, const Color& colour, float lineSpacing, float charSpacing,
                        std::uint32_t flags, float key);

  const ViewState& view_;
  std::vector<Block> blocks_;
  std::size_t block_ = 0;  // the block being filled
  std::size_t freeRoom_ = kCapacity;
  // Lists read back are sorted on first read; mutable so reading stays const.
  mutable RenderLayer layer_;
  mutable std::array<bool, kRenderListCount> unsorted_{};
  mutable RenderListSorter sorter_;
  std::vector<std::shared_ptr<const void>> kept_;
};

}  // namespace tge
