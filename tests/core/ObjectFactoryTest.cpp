#include "core/ObjectFactory.h"

#include <gtest/gtest.h>

#include "core/World.h"
#include "tests/core/ObjectTestTypes.h"

namespace tge {
namespace {

TEST(ObjectFactory, ClassIdsWithoutABuiltTypeMakeNothing) {
  struct Case {
    int classId;
    ClassStatus status;
  };
  const Case cases[] = {
      {kClassObject, ClassStatus::kBuilt},   {kClassEngine, ClassStatus::kNoType},
      {42, ClassStatus::kNoType},            {46, ClassStatus::kNoType},
      {65, ClassStatus::kNoType},            {67, ClassStatus::kNoType},
      {71, ClassStatus::kNoType},            {87, ClassStatus::kNoType},
      {89, ClassStatus::kNoType},            {-1, ClassStatus::kNoType},
      {kClassMesh, ClassStatus::kNotBuilt},  {kClassTerrainSector, ClassStatus::kNotBuilt},
      {kClassSplineObject, ClassStatus::kNotBuilt},
  };
  auto parent = test::Named("parent");
  for (const Case& c : cases) {
    EXPECT_EQ(GetObjectFactory().GetClassStatus(c.classId), c.status) << c.classId;
    if (c.status == ClassStatus::kBuilt) continue;
    EXPECT_EQ(CreateObject(c.classId, nullptr, "x"), nullptr) << c.classId;
    EXPECT_EQ(CreateObject(c.classId, nullptr, *parent, "x"), nullptr) << c.classId;
  }
  EXPECT_EQ(parent->GetChildCount(), 0);
  EXPECT_FALSE(GetObjectFactory().RegisterType(kClassEngine, [] { return std::unique_ptr<Object>(); },
                                               [](const Object&) { return std::unique_ptr<Object>(); }));
}

TEST(ObjectFactory, CreatedUnderAParentSharesItsWorldAndSpace) {
  int storage = 0;
  World world;
  auto parent = test::Named("parent");
  parent->AddChild(test::Named("first"));
  parent->SetWorld(&world);
  parent->SetSpace(reinterpret_cast<Space*>(&storage));
  Object* made = CreateObject(kClassObject, nullptr, *parent, "made");
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(parent->GetChild(1), made);
  EXPECT_EQ(made->GetName(), "made");
  EXPECT_EQ(made->GetWorld(), parent->GetWorld());
  EXPECT_EQ(made->GetSpace(), parent->GetSpace());
  EXPECT_EQ(made->GetFlags(), kDefaultObjectFlags);

  std::unique_ptr<Object> detached = CreateObject(kClassObject, nullptr, nullptr);
  EXPECT_EQ(detached->GetWorld(), nullptr);
  EXPECT_EQ(detached->GetName(), "");
}

// A type of its own class id that the factory learns about at registration.
class Gadget : public Object {
 public:
  Gadget() : Object(kClassSaveGame) {}
  Gadget(const Gadget&) = default;
  void CopyFrom(const Object& source) override {
    Object::CopyFrom(source);
    copiedFrom = &source;
  }
  int setting = 0;
  const Object* copiedFrom = nullptr;
};

TEST(ObjectFactory, CopyKeepsTheSourceTypeWhateverIdIsPassed) {
  ObjectFactory factory;
  factory.RegisterType<Gadget>(kClassSaveGame);
  EXPECT_EQ(factory.GetClassStatus(kClassSaveGame), ClassStatus::kBuilt);
  std::unique_ptr<Object> made = factory.Make(kClassSaveGame, nullptr);
  ASSERT_NE(made, nullptr);
  static_cast<Gadget&>(*made).setting = 7;
  std::unique_ptr<Object> copy = factory.Make(kClassObject, made.get());
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->GetClassId(), kClassSaveGame);
  EXPECT_EQ(static_cast<Gadget&>(*copy).setting, 7);
  EXPECT_EQ(static_cast<Gadget&>(*copy).copiedFrom, made.get());
}

TEST(ClassIds, ScriptClassNamesMatchWholeNamesOnly) {
  struct Case {
    const char* name;
    int classId;
  };
  const Case cases[] = {
      {"FX_CLSID_SA_SKIN_MESH", kClassSkinMesh}, {"FX_CLSID_SA_MESH", kClassMesh},
      {"FX_CLSID_SA_PATH", kClassVisionGraph},   {"FX_CLSID_SA_BASE", kClassObject},
      {"FX_CLSID_SA_MESHX", -1},                 {"FX_CLSID_SA_MES", -1},
      {"fx_clsid_sa_mesh", -1},                  {"FX_CLSID_SA_TIMER", -1},
  };
  for (const Case& c : cases) EXPECT_EQ(FindScriptClassId(c.name), c.classId) << c.name;
  EXPECT_STREQ(GetClassName(kClassTerrainSector), "TerrainSector");
  EXPECT_STREQ(GetClassName(kClassSplineObject), "SplineObject");
  EXPECT_EQ(GetClassName(42), nullptr);
  EXPECT_EQ(GetClassName(89), nullptr);
}

TEST(ObjectPhysicsRecords, GeometriesKeepTheirAddressesAndIndexIsChecked) {
  auto object = test::Named("body");
  EXPECT_EQ(object->GetCurrentGeometry(), nullptr);
  GeometryRecord* first = &object->AddGeometry();
  for (int i = 0; i < 20; ++i) object->AddGeometry();
  EXPECT_EQ(object->GetPhysics()->geometries[0].get(), first);
  EXPECT_TRUE(object->HasFlag(kFlagUsePhysics));
  object->GetPhysics()->currentGeometry = 21;
  EXPECT_EQ(object->GetCurrentGeometry(), nullptr);
  ASSERT_TRUE(object->EraseGeometry(1));
  EXPECT_EQ(object->GetPhysics()->geometries[0].get(), first);
  EXPECT_EQ(object->GetCurrentGeometry(), first);
  EXPECT_FALSE(object->EraseGeometry(20));
  // A live geometry stays until the physics wrapper can destroy it.
  int storage = 0;
  first->geometry = reinterpret_cast<PhysicsGeom*>(&storage);
  EXPECT_FALSE(object->EraseGeometry(0));
  first->geometry = nullptr;
  EXPECT_EQ(object->GetMass(), 0.0f);
  EXPECT_EQ(object->GetLinearVelocity().x, 0.0f);
}

}  // namespace
}  // namespace tge
