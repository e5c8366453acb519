// MorphMesh: the target pairs over time, few targets, what a draw queues,
// and the file record.
#include "objects/scene/animation/MorphMesh.h"
#include "services/render/RenderQueue.h"
#include "services/resources/MorphMeshResource.h"
#include "tests/objects/scene/SceneFixture.h"

namespace tge::test {
namespace {

constexpr std::uint32_t kSetMorphMesh = 19250, kSetDestination = 19252, kSetMorphMaterial = 19254,
                        kSetMorphSpeed = 19255;

class MorphMeshTest : public SceneFixture {
 protected:
  // A morph mesh of count targets, each a cube.
  void AddMorph(const std::string& name, std::size_t count) {
    auto morph = std::make_unique<MorphMeshResource>();
    morph->SetName(name);
    morph->baseMesh = &AddCubeMesh(name + "Base");
    for (std::size_t i = 0; i < count; ++i) morph->targets.push_back({0, &AddCubeMesh(name + std::to_string(i))});
    Resources().RegisterResource(std::move(morph));
  }

  MorphMesh& NewMorph(const std::string& morph) {
    MorphMesh& object = Add<MorphMesh>(kClassMorphMesh, "Morph");
    object.SetPosition({0, 0, 10}, false);
    std::string name = morph;
    object.ExecuteCommand(kSetMorphMesh, &name);
    object.Start();
    return object;
  }

  // The pair shown after each of frames draws.
  static std::vector<std::pair<std::uint32_t, std::uint32_t>> Pairs(MorphMesh& morph, int frames) {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> pairs;
    for (int i = 0; i < frames; ++i) {
      morph.Draw();
      pairs.emplace_back(morph.GetTargetA(), morph.GetTargetB());
    }
    return pairs;
  }
};

using Pair = std::pair<std::uint32_t, std::uint32_t>;

TEST_F(MorphMeshTest, PairsStepOnOnceASecondAndWrapAtTheTargetCount) {
  AddMorph("Face", 3);
  MorphMesh& morph = NewMorph("Face");
  EXPECT_EQ(morph.GetTargetCount(), 3u);
  // 1/60 s a draw at speed 1: the weight runs out after a second.
  const auto pairs = Pairs(morph, 185);
  EXPECT_EQ(pairs[0], Pair(0, 1));
  EXPECT_EQ(pairs[58], Pair(0, 1));
  EXPECT_EQ(pairs[62], Pair(1, 2));
  EXPECT_EQ(pairs[122], Pair(2, 0));
  EXPECT_EQ(pairs[184], Pair(0, 1));
}

TEST_F(MorphMeshTest, OneTargetBlendsWithItselfAndNoTargetsStayAtZero) {
  AddMorph("One", 1);
  AddMorph("None", 0);
  for (const char* name : {"One", "None"}) {
    SCOPED_TRACE(name);
    MorphMesh& morph = NewMorph(name);
    for (const Pair& pair : Pairs(morph, 130)) EXPECT_EQ(pair, Pair(0, 0));
  }
}

TEST_F(MorphMeshTest, DrawQueuesTheBlendAndTheDestinationAtEachChildButNothingWithoutAction) {
  AddMorph("Face", 3);
  MeshResource& head = AddCubeMesh("Head");
  MaterialResource& skin = AddMaterial("Skin");
  MorphMesh& morph = NewMorph("Face");
  std::string name = "Head";
  morph.ExecuteCommand(kSetDestination, &name);
  name = "Skin";
  morph.ExecuteCommand(kSetMorphMaterial, &name);
  float speed = 0;
  morph.ExecuteCommand(kSetMorphSpeed, &speed);
  Object& child = Add<Object>(morph, kClassObject, "At");
  child.SetPosition({1, 0, 0}, false);
  morph.Draw();
  const auto opaque = Queued<RenderCommand>(kListOpaque);
  ASSERT_EQ(opaque.size(), 2u);
  const MorphBlendCommand* blend = nullptr;
  const MeshPartCommand* part = nullptr;
  for (const RenderCommand* c : opaque) {
    if (c->kind == RenderCommandKind::kMorphBlend) blend = static_cast<const MorphBlendCommand*>(c);
    if (c->kind == RenderCommandKind::kMeshPart) part = static_cast<const MeshPartCommand*>(c);
  }
  ASSERT_TRUE(blend && part);
  EXPECT_EQ(blend->destination, &head);
  EXPECT_EQ(blend->count, 2u);
  EXPECT_EQ(blend->weights[0], 1.0f);
  EXPECT_EQ(blend->material, &skin);
  EXPECT_EQ(part->mesh, &head);
  EXPECT_EQ(part->world.m[12], 1.0f);
  // Half faded by its Action: the blend and the destination take the value
  // as their alpha; the blend stays filed before the blended draws.
  Queue().Reset();
  morph.SetUseAction(true);
  morph.GetAction()->value = 0.5f;
  morph.Draw();
  const auto faded = Queued<RenderCommand>(kListOpaque);
  ASSERT_EQ(faded.size(), 1u);
  ASSERT_EQ(faded[0]->kind, RenderCommandKind::kMorphBlend);
  EXPECT_EQ(static_cast<const MorphBlendCommand*>(faded[0])->alpha, 0.5f);
  const auto blended = Queued<MeshPartCommand>(kListBlended);
  ASSERT_EQ(blended.size(), 1u);
  EXPECT_EQ(blended[0]->alpha, 0.5f);
  Queue().Reset();
  morph.Stop();
  morph.Draw();
  EXPECT_TRUE(Queued<RenderCommand>(kListOpaque).empty());
}

TEST_F(MorphMeshTest, RecordKeepsTheNamesAndACopyAcquiresItsOwn) {
  AddMorph("Face", 2);
  AddCubeMesh("Head");
  MorphMesh& morph = NewMorph("Face");
  std::string name = "Head";
  morph.ExecuteCommand(kSetDestination, &name);
  Resource* face = morph.GetMorphMesh();
  EXPECT_EQ(face->GetReferenceCount(), 1);
  std::unique_ptr<MorphMesh> loaded = RoundTrip(morph);
  ASSERT_NE(loaded, nullptr);
  std::string got;
  loaded->ExecuteCommand(kSetMorphMesh + 1, &got);
  EXPECT_EQ(got, "Face");
  loaded->ExecuteCommand(kSetDestination + 1, &got);
  EXPECT_EQ(got, "Head");
  EXPECT_EQ(loaded->GetMorphMesh(), nullptr);  // acquired by the resource pass
  EXPECT_EQ(Save(*loaded), Save(morph));
  {
    std::unique_ptr<Object> copy = CreateObject(kClassMorphMesh, &morph, nullptr);
    EXPECT_EQ(static_cast<MorphMesh&>(*copy).GetMorphMesh(), nullptr);
  }
  EXPECT_EQ(face->GetReferenceCount(), 1);
}

}  // namespace
}  // namespace tge::test
