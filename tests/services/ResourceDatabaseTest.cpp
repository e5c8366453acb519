#include "services/ResourceDatabase.h"

#include <gtest/gtest.h>

#include "services/ErrorMessage.h"
#include "services/resources/MaterialResource.h"

namespace tge {
namespace {

// Stand-ins for the types built elsewhere: a texture that counts its loads,
// and a sound that is shared while unused or streamed and otherwise
// instanced, as the sound system does.
class FakeTexture : public Resource {
 public:
  FakeTexture() : Resource(kTextureResource) {}
  int Load() override { return ++loads, 1; }
  int loads = 0;
};

class FakeSound : public Resource {
 public:
  explicit FakeSound(bool streamed = false) : Resource(kSoundResource), streamed_(streamed) {}
  bool NeedsInstance() const override { return GetReferenceCount() > 0 && !streamed_; }
  std::unique_ptr<Resource> Duplicate() override { return std::make_unique<FakeSound>(); }
  void OnRelease() override { ++stops; }
  int stops = 0;

 private:
  bool streamed_;
};

template <class T>
T* Register(ResourceDatabase& db, const std::string& name, std::unique_ptr<T> resource = nullptr) {
  if (!resource) resource = std::make_unique<T>();
  resource->SetName(name);
  T* raw = resource.get();
  db.RegisterResource(std::move(resource));
  return raw;
}

MaterialResource* RegisterMaterial(ResourceDatabase& db, const std::string& name) {
  std::unique_ptr<Resource> created = db.CreateResource(kMaterialResource);
  auto* material = static_cast<MaterialResource*>(created.get());
  material->SetName(name);
  db.RegisterResource(std::move(created));
  return material;
}

TEST(ResourceDatabase, AcquireMatchesCaseAndTypeLookupIgnoresCase) {
  ResourceDatabase db;
  MaterialResource* material = RegisterMaterial(db, "Stone");
  FakeTexture* texture = Register<FakeTexture>(db, "Stone");
  EXPECT_FALSE(db.AcquireResource("stone", kMaterialResource));
  EXPECT_EQ(db.LookupResource("STONE", kMaterialResource), material);
  EXPECT_EQ(db.LookupResource("stone", kTextureResource), texture);
  EXPECT_EQ(db.LookupResource("Stone", kFontResource), nullptr);
  EXPECT_EQ(material->GetReferenceCount(), 0);
  ResourceRef ref = db.AcquireResource("Stone", kTextureResource);
  EXPECT_EQ(ref.Get(), texture);
}

TEST(ResourceDatabase, MaterialCountsFollowItsTextures) {
  ResourceDatabase db;
  MaterialResource* material = RegisterMaterial(db, "Stone");
  FakeTexture* texture = Register<FakeTexture>(db, "StoneMap");
  material->textures = {texture, nullptr, texture};
  {
    ResourceRef first = db.AcquireResource("Stone", kMaterialResource);
    ResourceRef copy = first;
    EXPECT_EQ(material->GetReferenceCount(), 2);
    EXPECT_EQ(texture->GetReferenceCount(), 4);
  }
  EXPECT_EQ(material->GetReferenceCount(), 0);
  EXPECT_EQ(texture->GetReferenceCount(), 0);
}

TEST(ResourceDatabase, StaticSoundsAreInstancedStreamedSoundsShared) {
  ResourceDatabase db;
  FakeSound* sound = Register<FakeSound>(db, "Shot");
  Register<FakeSound>(db, "Music", std::make_unique<FakeSound>(true));
  ResourceRef first = db.AcquireResource("Shot", kSoundResource);
  EXPECT_EQ(first.Get(), sound);
  ResourceRef second = db.AcquireResource("Shot", kSoundResource);
  ASSERT_TRUE(second);
  EXPECT_NE(second.Get(), sound);
  EXPECT_EQ(second->GetSource(), sound);
  EXPECT_EQ(second->GetReferenceCount(), 0);
  EXPECT_EQ(sound->GetReferenceCount(), 2);
  EXPECT_EQ(db.GetUnregisteredCount(), 1u);
  {
    ResourceRef copied = second;  // a copy gets an instance of its own
    EXPECT_NE(copied.Get(), second.Get());
    EXPECT_EQ(sound->GetReferenceCount(), 3);
  }
  second.Reset();
  EXPECT_EQ(sound->GetReferenceCount(), 1);
  EXPECT_EQ(db.GetUnregisteredCount(), 0u);
  first.Reset();
  EXPECT_EQ(sound->stops, 1);

  ResourceRef a = db.AcquireResource("Music", kSoundResource);
  ResourceRef b = db.AcquireResource("Music", kSoundResource);
  EXPECT_EQ(a.Get(), b.Get());
  EXPECT_EQ(a->GetReferenceCount(), 2);
}

TEST(ResourceDatabase, FullTableGrowsBy256AndOwnSlotsAreKeptWhenFree) {
  ResourceDatabase db;
  for (int i = 0; i < 256; ++i) Register<FakeTexture>(db, "t" + std::to_string(i));
  EXPECT_EQ(db.GetSlotCount(), 256u);
  FakeTexture* extra = Register<FakeTexture>(db, "extra");
  EXPECT_EQ(db.GetSlotCount(), 512u);
  EXPECT_EQ(extra->GetSlot(), 256);
  EXPECT_EQ(db.GetResourceBySlot(256), extra);
  EXPECT_EQ(db.GetResourceBySlot(512), nullptr);
  EXPECT_EQ(db.GetResourceBySlot(-1), nullptr);

  std::unique_ptr<Resource> moved = db.UnregisterResource(3);
  ASSERT_TRUE(moved);
  EXPECT_EQ(moved->GetSlot(), -1);
  EXPECT_EQ(db.RegisterResource(std::move(moved)), 3);
}

TEST(ResourceDatabase, SetsKeepOneEntryPerResourceAndFollowDependencies) {
  ResourceDatabase db;
  std::unique_ptr<ResourceSet> set = db.CreateResourceSet(true);
  for (int i = 0; i < 300; ++i) Register<FakeTexture>(db, "t" + std::to_string(i));
  MaterialResource* material = RegisterMaterial(db, "late");  // slot beyond the set's first size
  auto* texture = static_cast<FakeTexture*>(db.LookupResource("t299", kTextureResource));
  material->textures = {texture, nullptr};
  EXPECT_TRUE(set->AddToResourceSet(material));
  EXPECT_TRUE(set->AddToResourceSet(material));
  EXPECT_TRUE(set->AddToResourceSet(texture));
  EXPECT_FALSE(set->AddToResourceSet(nullptr));
  ASSERT_EQ(set->GetResourceSetSize(), 2u);
  EXPECT_EQ(set->GetResourceSetItem(0), material);
  EXPECT_EQ(set->GetResourceSetItem(1), texture);
  EXPECT_EQ(set->GetResourceSetItem(2), nullptr);

  for (std::size_t i = 0; i < set->GetResourceSetSize(); ++i) db.LoadResource(set->GetResourceSetItem(i));
  EXPECT_EQ(texture->loads, 2);  // once itself, once through the material
  EXPECT_EQ(db.LoadResource(nullptr), 0);
}

TEST(ResourceDatabase, TypesOutsideTheBuildAreRefusedWithAReason) {
  ResourceDatabase db;
  EXPECT_EQ(db.CreateResource(12), nullptr);
  EXPECT_STREQ(GetErrorMessage(), "Unknown resource type 12");
  for (int type : {kMeshResource, kTextureResource, kMaterialResource, kAnimationResource, kVideoResource,
                   kSkinMeshResource, kMorphMeshResource, kTerrainResource, kCollisionGeometryResource,
                   kRawFileResource}) {
    std::unique_ptr<Resource> resource = db.CreateResource(type);
    ASSERT_TRUE(resource) << type;
    EXPECT_EQ(resource->GetType(), type);
    EXPECT_EQ(resource->GetSlot(), -1);
  }
}

TEST(ResourceDatabase, CreatedMaterialLivesWhileHandlesHoldIt) {
  ResourceDatabase db;
  ResourceRef first = db.CreateMaterial();
  ASSERT_TRUE(first);
  auto* material = ResourceCast<MaterialResource>(first.Get());
  ASSERT_NE(material, nullptr);
  EXPECT_EQ(material->flags, 0xd9u);
  EXPECT_FLOAT_EQ(material->colors.diffuse.a, 1.0f);
  ResourceRef second = first;
  first.Reset();
  EXPECT_EQ(db.GetUnregisteredCount(), 1u);
  second.Reset();
  EXPECT_EQ(db.GetUnregisteredCount(), 0u);
}

// Shutdown may let one resource's Unload look at another.
class Watcher : public Resource {
 public:
  Watcher(ResourceDatabase& db, int* seen) : Resource(kRawFileResource), db_(db), seen_(seen) {}
  int Unload() override {
    *seen_ += db_.LookupResource("other", kRawFileResource) != nullptr;
    return 1;
  }

 private:
  ResourceDatabase& db_;
  int* seen_;
};

TEST(ResourceDatabase, DeleteAllUnloadsEveryResourceBeforeDeletingAny) {
  int seen = 0;
  ResourceDatabase db;
  for (const char* name : {"first", "other"}) {
    auto watcher = std::make_unique<Watcher>(db, &seen);
    watcher->SetName(name);
    db.RegisterResource(std::move(watcher));
  }
  db.DeleteAll();
  EXPECT_EQ(seen, 2);
  EXPECT_EQ(db.GetResourceBySlot(0), nullptr);
}

TEST(ResourceDatabase, UnloadUnusedSkipsHeldResources) {
  class Counting : public Resource {
   public:
    Counting() : Resource(kRawFileResource) {}
    int Unload() override { return ++unloads, 1; }
    int unloads = 0;
  };
  ResourceDatabase db;
  Counting* held = Register<Counting>(db, "held");
  Counting* idle = Register<Counting>(db, "idle");
  ResourceRef ref = db.AcquireResource("held", kRawFileResource);
  db.UnloadUnusedResources();
  EXPECT_EQ(held->unloads, 0);
  EXPECT_EQ(idle->unloads, 1);
}

}  // namespace
}  // namespace tge
