#include "objects/gameplay/characters/GroundShadow.h"

#include <numbers>

#include "core/math/Color.h"
#include "core/math/Matrix4.h"
#include "objects/scene/FrameStorage.h"
#include "objects/scene/animation/SkinMesh.h"
#include "objects/scene/effects/Collector.h"
#include "platform/gfx/States.h"
#include "services/EngineServices.h"
#include "services/RenderDevice.h"
#include "services/render/EmptyTexture.h"
#include "services/render/ShadowTexture.h"
#include "services/resources/MaterialResource.h"
#include "services/resources/MeshResource.h"

namespace tge {
namespace {

constexpr std::uint32_t kListCapacity = 500;
constexpr float kListParameter = 2.0f, kListRadius = 6.0f;
constexpr std::uint32_t kTextureSize = 128;
constexpr std::uint32_t kShadowMaterialType = 6;
constexpr std::uint32_t kTriangleList = 4;
constexpr float kSilhouetteFov = 0.1f, kSilhouetteNear = 0.1f;
constexpr float kDepthBelowCentre = 0.6f, kEyeOffsetZ = 0.1f;

}  // namespace

GroundShadow::~GroundShadow() { KeepUntilFrameEnds(std::move(triangles_)); }

void GroundShadow::Create(bool withTexture) {
  KeepUntilFrameEnds(std::move(triangles_));
  material_.Reset();
  texture_.Reset();
  if (Collector::GetGlobal() == nullptr) return;
  triangles_ = CreateCollectorTriangleList(kListCapacity, kListParameter, kListRadius);
  EngineServices* services = GetEngineServices();
  RenderDevice* device = GetRenderDevice();
  if (!withTexture || services == nullptr || device == nullptr || GetShadowQuality(*device) == 0) return;
  texture_ = CreateEmptyTexture(services->GetResources(), *device, kTextureSize, kTextureSize, gfx::kFormatX8R8G8B8,
                                true);
  if (!texture_) return;
  material_ = services->GetResources().CreateMaterial();
  SetMaterialTexture(material_.Get(), 0, texture_.Get());
  SetMaterialType(material_.Get(), kShadowMaterialType);
  SetMaterialFog(material_.Get(), false);
}

void GroundShadow::PrepareBlur() {
  EngineServices* services = GetEngineServices();
  RenderDevice* device = GetRenderDevice();
  if (services == nullptr || device == nullptr || device->GetShadowTargets().HasShadowTarget(kTextureSize)) return;
  const ResourceRef texture = CreateEmptyTexture(services->GetResources(), *device, kTextureSize, kTextureSize,
                                                 gfx::kFormatX8R8G8B8, true);
  PrepareShadowBlur(*device, texture.Get());
}

bool GroundShadow::CanDraw() const { return triangles_ != nullptr && Collector::GetGlobal() != nullptr; }

void GroundShadow::Draw(const Vector3& centre, SkinMesh* skin, const GroundShadowView& view, bool blur) {
  Collector* collector = Collector::GetGlobal();
  if (triangles_ == nullptr || collector == nullptr) return;
  collector->GatherTriangles(*triangles_, centre);
  if (!texture_) return;
  if (skin != nullptr) Render(centre, *skin, view, blur);
  MapTexture(centre, view);
  if (EngineServices* services = GetEngineServices()) {
    services->GetRenderQueue().QueuePrimitives(triangles_->vertices.data(), kColourVertexFormat, kTriangleList,
                                               triangles_->count, Matrix4{}, material_.Get(), 1.0f, nullptr,
                                               nullptr, nullptr);
  }
}

void GroundShadow::Render(const Vector3& centre, SkinMesh& skin, const GroundShadowView& view, bool blur) {
  RenderDevice* device = GetRenderDevice();
  if (device == nullptr) return;
  Matrix4 shadowView, shadowProjection;
  Matrix4LookAt(shadowView, {centre.x, centre.y + view.eyeHeight, centre.z + kEyeOffsetZ},
                {centre.x, centre.y - kDepthBelowCentre, centre.z}, {0, 1, 0});
  Matrix4PerspectiveFov(shadowProjection, kSilhouetteFov, 1.0f, kSilhouetteNear, view.farPlane);
  RenderShadowTexture(*device, texture_.Get(), /*shadowWorld=*/skin.GetWorldMatrix(), /*shadowView=*/shadowView,
                      /*shadowProjection=*/shadowProjection, static_cast<MeshResource*>(skin.GetResourceMesh()), blur);
}

// The texture is centred on the character; a quarter turn lines its
// silhouette up with the ground.
void GroundShadow::MapTexture(const Vector3& centre, const GroundShadowView& view) {
  Matrix4 turn;
  Matrix4RotationY(turn, -std::numbers::pi_v<float> / 2);
  const std::uint32_t white = ColorToDword({1, 1, 1, 1});
  const float scale = 1.0f / view.groundPerTexture;
  for (std::uint32_t i = 0; i < triangles_->count * 3u; ++i) {
    ColourVertex& vertex = triangles_->vertices[i];
    Vector3 e;
    Vector3TransformNormal(e, {(centre.x - vertex.x) * scale, 0, (centre.z - vertex.z) * scale}, turn);
    vertex.u = e.z + 0.5f;
    vertex.v = e.x + 0.5f;
    vertex.colour = white;
    vertex.y += view.lift;
  }
}

}  // namespace tge
