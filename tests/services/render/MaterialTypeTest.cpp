#include "services/render/MaterialType.h"

#include <gtest/gtest.h>

#include "services/ResourceDatabase.h"
#include "services/render/EmptyTexture.h"
#include "services/render/MeshDrawing.h"
#include "services/resources/MaterialResource.h"
#include "services/resources/MeshResource.h"
#include "tests/services/render/RecordingRenderDevice.h"

namespace tge {
namespace {

using gfx::CallType;
using test::RecordingRenderDevice;

struct MaterialFixture {
  RecordingRenderDevice r;
  ResourceDatabase db;

  ResourceRef Texture() { return CreateEmptyTexture(db, r.device, 4, 4, gfx::kFormatA8R8G8B8, false); }
  ResourceRef Material(std::uint32_t type, std::initializer_list<Resource*> layers = {}) {
    ResourceRef material = db.CreateMaterial();
    SetMaterialType(material.Get(), type);
    std::size_t stage = 0;
    for (Resource* layer : layers) SetMaterialTexture(material.Get(), stage++, layer);
    return material;
  }
  MaterialResource* M(const ResourceRef& ref) { return ResourceCast<MaterialResource>(ref.Get()); }
  gfx::Texture* T(const ResourceRef& ref) { return static_cast<TextureResource*>(ref.Get())->GetTexture(); }
  std::uint32_t Render(std::uint32_t state) const { return r.recording->GetRenderState(state); }
  std::uint32_t Stage(std::uint32_t stage, std::uint32_t type) const {
    return r.recording->GetTextureStageState(stage, type);
  }
};

TEST(MaterialType, CatalogueHasTheTwelveTypesWithLayersAndModes) {
  const std::vector<MaterialType> types = BuildMaterialTypes();
  ASSERT_EQ(types.size(), 12u);
  EXPECT_EQ(types[0].name, "Standard");
  EXPECT_EQ(types[8].name, "Texture Alpha Sort Independent");
  EXPECT_EQ(types[11].layers, (std::vector<std::string>{"Diffuse", "Diffuse Alpha"}));
  EXPECT_EQ(types[9].layers.size(), 2u);
  EXPECT_EQ(types[3].layers.size(), 0u);
  EXPECT_EQ(types[7].mode, 1);
  EXPECT_EQ(types[6].mode, 2);
  EXPECT_EQ(types[0].mode, 0);
}

TEST(MaterialType, TypeStatesSetBlendingDepthAndAlphaTest) {
  struct Case {
    std::uint32_t type;
    std::uint32_t zWrite, zTest, blend, source, destination, alphaTest, alphaRef, address;
  };
  const Case cases[] = {
      {0, 1, 1, 0, 0, 0, 0, 0, gfx::kAddressWrap},
      {1, 0, 1, 1, gfx::kBlendSrcAlpha, gfx::kBlendOne, 0, 0, gfx::kAddressWrap},
      {4, 0, 0, 1, gfx::kBlendSrcAlpha, gfx::kBlendInvSrcAlpha, 1, 1, gfx::kAddressClamp},
      {5, 0, 1, 1, gfx::kBlendZero, gfx::kBlendSrcColor, 0, 0, gfx::kAddressWrap},
      {6, 0, 1, 1, gfx::kBlendZero, gfx::kBlendInvSrcColor, 0, 0, gfx::kAddressClamp},
      {8, 1, 1, 1, gfx::kBlendSrcAlpha, gfx::kBlendInvSrcAlpha, 1, 128, gfx::kAddressWrap},
      {10, 0, 1, 1, gfx::kBlendSrcAlpha, gfx::kBlendInvSrcAlpha, 1, 1, gfx::kAddressClamp},
  };
  MaterialFixture f;
  for (const Case& c : cases) {
    ApplyMaterialTypeStates(f.r.device, c.type);
    EXPECT_EQ(f.Render(gfx::kRsZWriteEnable), c.zWrite) << c.type;
    EXPECT_EQ(f.Render(gfx::kRsZEnable), c.zTest) << c.type;
    EXPECT_EQ(f.Render(gfx::kRsAlphaBlendEnable), c.blend) << c.type;
    if (c.blend) {
      EXPECT_EQ(f.Render(gfx::kRsSrcBlend), c.source) << c.type;
      EXPECT_EQ(f.Render(gfx::kRsDestBlend), c.destination) << c.type;
    }
    EXPECT_EQ(f.Render(gfx::kRsAlphaTestEnable), c.alphaTest) << c.type;
    if (c.alphaTest) {
      EXPECT_EQ(f.Render(gfx::kRsAlphaRef), c.alphaRef) << c.type;
    }
    EXPECT_EQ(f.r.recording->GetSamplerState(0, gfx::kSampAddressU), c.address) << c.type;
    EXPECT_EQ(f.Stage(1, gfx::kTssColorOp), gfx::kTopDisable) << c.type;
    EXPECT_EQ(f.r.device.Material().currentType, int(c.type));
  }
  ApplyMaterialTypeStates(f.r.device, 2);
  EXPECT_EQ(f.Render(gfx::kRsFillMode), gfx::kFillWireframe);
  ApplyMaterialTypeStates(f.r.device, 40);
  EXPECT_EQ(f.r.device.Material().currentType, 40);
  EXPECT_EQ(f.Render(gfx::kRsFillMode), gfx::kFillWireframe);
}

TEST(MaterialType, SameMaterialAtFullAlphaIsAppliedOnce) {
  MaterialFixture f;
  ResourceRef texture = f.Texture();
  ResourceRef material = f.Material(kMaterialStandard, {texture.Get()});
  ApplyMaterial(f.r.device, f.M(material), nullptr, 1.0f);
  EXPECT_EQ(f.r.recording->GetTexture(0), f.T(texture));
  f.r.recording->ClearCalls();
  ApplyMaterial(f.r.device, f.M(material), nullptr, 1.0f);
  EXPECT_TRUE(f.r.recording->Calls().empty());
  ApplyMaterial(f.r.device, nullptr, nullptr, 1.0f);
  EXPECT_TRUE(f.r.recording->Calls().empty());
}

TEST(MaterialType, ReleasedCurrentMaterialIsNoLongerCurrent) {
  MaterialFixture f;
  ResourceRef kept = f.Material(kMaterialStandard);
  ResourceRef released = f.Material(kMaterialAdd);
  ApplyMaterial(f.r.device, f.M(kept), nullptr, 1.0f);
  released.Reset();
  EXPECT_EQ(f.r.device.Material().current, f.M(kept));
  // A material made for one draw goes with the end of the statement.
  ApplyMaterial(f.r.device, f.M(f.Material(kMaterialAdd)), nullptr, 1.0f);
  EXPECT_EQ(f.r.device.Material().current, nullptr);
  EXPECT_EQ(f.r.device.Material().currentType, int(kMaterialAdd));
}

TEST(MaterialType, StandardBlendsBelowFullAlphaAndIsAppliedAfreshAfterwards) {
  MaterialFixture f;
  ResourceRef material = f.Material(kMaterialStandard);
  ApplyMaterial(f.r.device, f.M(material), nullptr, 0.5f);
  EXPECT_EQ(f.Render(gfx::kRsAlphaBlendEnable), 1u);
  EXPECT_EQ(f.Render(gfx::kRsZWriteEnable), 0u);
  EXPECT_EQ(f.Stage(0, gfx::kTssAlphaOp), gfx::kTopModulate);
  EXPECT_EQ(f.r.recording->States().material.diffuse.a, 0.5f);
  ApplyMaterial(f.r.device, f.M(material), nullptr, 1.0f);
  EXPECT_EQ(f.Render(gfx::kRsAlphaBlendEnable), 0u);
  EXPECT_EQ(f.Render(gfx::kRsZWriteEnable), 1u);
  EXPECT_EQ(f.r.recording->States().material.diffuse.a, 1.0f);

  gfx::Material override;
  override.diffuse = {1, 0, 0, 0.25f};
  ApplyMaterial(f.r.device, f.M(material), &override, 1.0f);
  EXPECT_EQ(f.Render(gfx::kRsAlphaBlendEnable), 1u);
  EXPECT_EQ(f.r.recording->States().material.diffuse.r, 1.0f);
  EXPECT_EQ(f.r.device.Material().current, nullptr);
}

TEST(MaterialType, FlagsSetCullingSpecularAndFog) {
  MaterialFixture f;
  ResourceRef material = f.Material(kMaterialStandard);
  f.M(material)->flags = kMaterialTwoSided | kMaterialSpecular | kMaterialFog;
  ApplyMaterial(f.r.device, f.M(material), nullptr, 1.0f);
  EXPECT_EQ(f.Render(gfx::kRsCullMode), gfx::kCullNone);
  EXPECT_EQ(f.Render(gfx::kRsSpecularEnable), 1u);
  EXPECT_EQ(f.Render(gfx::kRsFogEnable), 0u);  // fog is off in the view
  f.r.device.SetFogEnabled(true);
  f.M(material)->flags = kMaterialFog;
  f.r.device.Material().Forget();
  ApplyMaterial(f.r.device, f.M(material), nullptr, 1.0f);
  EXPECT_EQ(f.Render(gfx::kRsCullMode), gfx::kCullCounterClockwise);
  EXPECT_EQ(f.Render(gfx::kRsSpecularEnable), 0u);
  EXPECT_EQ(f.Render(gfx::kRsFogEnable), 1u);
}

TEST(MaterialType, LayersGoToStagesZeroToThreeAndMissingLayersUnbind) {
  MaterialFixture f;
  std::vector<ResourceRef> textures;
  for (int i = 0; i < 6; ++i) textures.push_back(f.Texture());
  ResourceRef many = f.Material(kMaterialStandard);
  for (std::size_t i = 0; i < textures.size(); ++i) SetMaterialTexture(many.Get(), i, textures[i].Get());
  ApplyMaterial(f.r.device, f.M(many), nullptr, 1.0f);
  for (std::uint32_t stage = 0; stage < 4; ++stage) EXPECT_EQ(f.r.recording->GetTexture(stage), f.T(textures[stage]));
  EXPECT_EQ(f.r.recording->GetTexture(4), nullptr);
  EXPECT_EQ(f.r.recording->GetTexture(5), nullptr);

  ResourceRef one = f.Material(kMaterialStandard, {textures[5].Get()});
  ApplyMaterial(f.r.device, f.M(one), nullptr, 1.0f);
  EXPECT_EQ(f.r.recording->GetTexture(0), f.T(textures[5]));
  for (std::uint32_t stage = 1; stage < 4; ++stage) EXPECT_EQ(f.r.recording->GetTexture(stage), nullptr);
}

TEST(MaterialType, LeavingEnvironmentResetsTheSecondStageTransform) {
  MaterialFixture f;
  ResourceRef base = f.Texture(), environment = f.Texture();
  ResourceRef shiny = f.Material(kMaterialEnvironment, {base.Get(), environment.Get()});
  ApplyMaterial(f.r.device, f.M(shiny), nullptr, 1.0f);
  EXPECT_EQ(f.Stage(1, gfx::kTssColorOp), gfx::kTopAdd);
  EXPECT_EQ(f.Stage(1, gfx::kTssTexCoordIndex), gfx::kTciCameraSpaceReflectionVector | 1);
  EXPECT_EQ(f.Stage(1, gfx::kTssTextureTransformFlags), gfx::kTtfCount2);
  gfx::Matrix transform;
  f.r.recording->GetTransform(gfx::kTransformTexture0 + 1, &transform);
  EXPECT_EQ(transform.m[5], -0.5f);

  ApplyMaterial(f.r.device, f.M(f.Material(kMaterialTextureAlpha)), nullptr, 1.0f);
  f.r.recording->GetTransform(gfx::kTransformTexture0 + 1, &transform);
  EXPECT_EQ(transform.m[5], 1.0f);
  EXPECT_EQ(f.Stage(1, gfx::kTssTexCoordIndex), 1u);
  EXPECT_EQ(f.Stage(1, gfx::kTssTextureTransformFlags), gfx::kTtfDisable);
  EXPECT_EQ(f.Stage(1, gfx::kTssColorOp), gfx::kTopDisable);
}

TEST(MaterialType, AlphaOverlayCombinesThreeStages) {
  MaterialFixture f;
  ApplyMaterialTypeStates(f.r.device, kMaterialAlphaOverlay);
  EXPECT_EQ(f.Stage(0, gfx::kTssColorOp), gfx::kTopSelectArg1);
  EXPECT_EQ(f.Stage(1, gfx::kTssColorOp), gfx::kTopBlendTextureAlpha);
  EXPECT_EQ(f.Stage(1, gfx::kTssAlphaArg1), gfx::kTaCurrent);
  EXPECT_EQ(f.Stage(2, gfx::kTssColorOp), gfx::kTopModulate);
  EXPECT_EQ(f.Stage(3, gfx::kTssColorOp), gfx::kTopDisable);
  EXPECT_EQ(f.Render(gfx::kRsZWriteEnable), 1u);
}

// A part's second texture borrows stage 1; the next part gives it back
// unless the material's own type combines stage 1.
TEST(MaterialType, SecondTextureOfAPartLeavesStageOneToTheMaterial) {
  MaterialFixture f;
  ResourceRef detail = f.Texture(), base = f.Texture(), environment = f.Texture();
  std::unique_ptr<MeshResource> mesh = CreateBoxMesh(f.r.device.Device(), 1, 1, 1);
  mesh->parts.push_back(MeshPart{});
  mesh->parts[1].geometry = std::move(CreateBoxMesh(f.r.device.Device(), 1, 1, 1)->parts[0].geometry);
  mesh->parts[0].secondTexture = detail.Get();

  ResourceRef plain = f.Material(kMaterialStandard, {base.Get()});
  ApplyMaterial(f.r.device, f.M(plain), nullptr, 1.0f);
  ASSERT_EQ(DrawMeshPart(f.r.device, mesh.get(), 0), 1);
  EXPECT_EQ(f.r.recording->GetTexture(1), f.T(detail));
  EXPECT_EQ(f.Stage(1, gfx::kTssColorOp), gfx::kTopModulate2x);
  ASSERT_EQ(DrawMeshPart(f.r.device, mesh.get(), 1), 1);
  EXPECT_EQ(f.r.recording->GetTexture(1), nullptr);
  EXPECT_EQ(f.Stage(1, gfx::kTssColorOp), gfx::kTopDisable);

  ResourceRef shiny = f.Material(kMaterialEnvironment, {base.Get(), environment.Get()});
  ApplyMaterial(f.r.device, f.M(shiny), nullptr, 1.0f);
  ASSERT_EQ(DrawMeshPart(f.r.device, mesh.get(), 0), 1);
  ApplyMaterial(f.r.device, f.M(shiny), nullptr, 1.0f);
  ASSERT_EQ(DrawMeshPart(f.r.device, mesh.get(), 1), 1);
  EXPECT_EQ(f.r.recording->GetTexture(1), f.T(environment));
  EXPECT_EQ(f.Stage(1, gfx::kTssColorOp), gfx::kTopAdd);
}

}  // namespace
}  // namespace tge
