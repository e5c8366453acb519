// The soft shadow a character casts on the ground under it: the level's
// triangles around the character, gathered from the scene's Collector, drawn
// with a small render-target texture that holds the character's silhouette
// seen from straight above.
//
// A copy starts with nothing of its own (the list, material and texture are
// made again when the copy links); Create replaces what an earlier link made.
#pragma once
#include <memory>

#include "core/math/Vector.h"
#include "services/resources/ResourceRef.h"

namespace tge {

class SkinMesh;
struct CollectorTriangleList;

// How one character type frames its shadow: the height of the eye above
// the character and the far plane of the silhouette, the ground units per
// texture width, and how far the drawn triangles are lifted off the ground.
struct GroundShadowView {
  float eyeHeight;
  float farPlane;
  float groundPerTexture;
  float lift;
};

class GroundShadow {
 public:
  GroundShadow() = default;
  GroundShadow(const GroundShadow&) {}
  GroundShadow& operator=(const GroundShadow&) = delete;
  ~GroundShadow();

  // The triangle list when the scene has a Collector, and with a texture
  // the silhouette's material and render target where the device makes one.
  void Create(bool withTexture);
  bool HasTriangles() const { return triangles_ != nullptr; }
  // With its triangles, while the scene has its Collector.
  bool CanDraw() const;
  bool HasTexture() const { return static_cast<bool>(texture_); }
  // Runs a blurred shadow pass with nothing in it, into a texture of the
  // shadows' size made for it, unless the device already has the blur
  // target of that size: a character that will blur its shadow calls it
  // while the game loads, so its first shadow finds the blur's states built.
  static void PrepareBlur();
  // Gathers the triangles around centre, renders skin's silhouette into the
  // texture and queues the triangles with it; nothing without a Collector.
  void Draw(const Vector3& centre, SkinMesh* skin, const GroundShadowView& view, bool blur);

 private:
  void Render(const Vector3& centre, SkinMesh& skin, const GroundShadowView& view, bool blur);
  void MapTexture(const Vector3& centre, const GroundShadowView& view);

  std::shared_ptr<CollectorTriangleList> triangles_;
  // The material holds the texture: it goes first.
  ResourceRef texture_;
  ResourceRef material_;
};

}  // namespace tge
