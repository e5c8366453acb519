// Bones' joints and the rag doll in a World with physics: joint kinds, axes
// and stops read back from the physics library, the default rag-doll
// values, starting and stopping, and the explosion push.
#include <ode/ode.h>

#include "core/BaseCommandIds.h"
#include "objects/gameplay/physics/PhysicsHandles.h"
#include "objects/scene/animation/Bone.h"
#include "objects/scene/animation/SkinMesh.h"
#include "services/resources/SkinMeshResource.h"
#include "tests/objects/scene/SceneFixture.h"

namespace tge::test {
namespace {

constexpr std::uint32_t kSetSkinMesh = 2500, kEnableJoint = 1768, kJointType = 1770, kJointAxis = 1772,
                        kLoStop = 1776, kHiStop = 1778, kWorldEnablePhysics = 14250;

class RagDollTest : public SceneFixture {
 protected:
  void SetUp() override {
    SceneFixture::SetUp();
    World& world = engine->GetEngineWorld();
    std::int32_t on = 1;
    world.ExecuteCommand(kWorldEnablePhysics, &on);
    world.Precalculate();
    cell = &AddSpace(*engine, "Cell", {0, 0, 0}, 100);
    cell->SetWorld(&world);
    cell->Precalculate();
  }

  // A box body of mass by density under parent.
  template <class T>
  T& WithBody(Object& parent, int classId, const std::string& name, const Vector3& at) {
    T& object = Add<T>(parent, classId, name);
    object.SetPosition(at, false);
    object.SetWorld(&engine->GetEngineWorld());
    object.SetSpace(cell);
    object.SetUsePhysics(true);
    object.GetPhysics()->flags = kPhysicsEnableRigidBody;
    GeometryRecord& box = object.AddGeometry();
    box.info = kGeometryBox | kGeometryMassByDensity;
    box.dimension = {1, 1, 1};
    return object;
  }

  template <class T>
  static void Send(Object& object, std::uint32_t id, T value) {
    object.ExecuteCommand(id, &value);
  }

  static dJointID JointOf(const Bone& bone) { return ToOde(bone.GetJoint()); }

  // A skin whose skeleton is a root and bones of the given ids, each with a
  // Bone child of its name, resting at x = 1, 2 ... along the root.
  SkinMesh& Skeleton(const std::vector<std::uint32_t>& ids) {
    std::vector<SkinBone> bones = {{"Root"}};
    float rest = 1;
    for (std::uint32_t id : ids) bones.push_back({"Bone" + std::to_string(id), {rest++, 0, 0}, {1, 1, 1}, {}, {}, id});
    AddSkinMesh("BodySkin", std::move(bones));
    SkinMesh& mesh = WithBody<SkinMesh>(*engine, kClassSkinMesh, "Figure", {0, 0, 0});
    float x = 1;
    for (std::uint32_t id : ids) WithBody<Bone>(mesh, kClassBone, "Bone" + std::to_string(id), {x++, 0, 0});
    std::string name = "BodySkin";
    mesh.ExecuteCommand(kSetSkinMesh, &name);
    return mesh;
  }

  Space* cell = nullptr;
};

TEST_F(RagDollTest, JointKindsAxesAndStopsReadBackFromThePhysicsLibrary) {
  Object& parent = WithBody<Object>(*engine, kClassObject, "Parent", {0, 0, 0});
  struct Case {
    const char* what;
    std::uint32_t type, axis;
    int odeType;  // 0: no joint
    dVector3 axis1, axis2;
  };
  const Case cases[] = {
      {"hinge, axis 0: x", kBoneJointHinge, 0, dJointTypeHinge, {1, 0, 0}, {}},
      {"universal, axis 1: y then x", kBoneJointUniversal, 1, dJointTypeUniversal, {0, 1, 0}, {1, 0, 0}},
      {"universal, axis 4: -y then -z", kBoneJointUniversal, 4, dJointTypeUniversal, {0, -1, 0}, {0, 0, -1}},
      {"hinge, axis 5: -z", kBoneJointHinge, 5, dJointTypeHinge, {0, 0, -1}, {}},
      {"type 2: none", 2, 0, 0, {}, {}},
      {"axis 6: none", kBoneJointHinge, 6, 0, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bone& bone = WithBody<Bone>(parent, kClassBone, "Bone", {0, 2, 0});
    Send(bone, kEnableJoint, std::int32_t{1});
    Send(bone, kJointType, c.type);
    Send(bone, kJointAxis, c.axis);
    Send(bone, kLoStop, Vector3{-0.5f, -0.25f, 0});
    Send(bone, kHiStop, Vector3{0.75f, 0.5f, 0});
    parent.ExecuteCommand(kCommandCreatePhysics, nullptr);
    bone.ExecuteCommand(kCommandCreatePhysics, nullptr);
    bone.ExecuteCommand(kCommandStartPhysics, nullptr);
    if (c.odeType == 0) {
      EXPECT_EQ(bone.GetJoint(), nullptr);
      continue;
    }
    dJointID joint = JointOf(bone);
    ASSERT_NE(joint, nullptr);
    EXPECT_EQ(dJointGetType(joint), c.odeType);
    EXPECT_EQ(dJointGetBody(joint, 0), ToOde(parent.GetBody()));
    EXPECT_EQ(dJointGetBody(joint, 1), ToOde(bone.GetBody()));
    dVector3 axis1, axis2;
    if (c.odeType == dJointTypeHinge) {
      dJointGetHingeAxis(joint, axis1);
      EXPECT_NEAR(dJointGetHingeParam(joint, dParamLoStop), -0.5, 1e-6);
      EXPECT_NEAR(dJointGetHingeParam(joint, dParamHiStop), 0.75, 1e-6);
      EXPECT_NEAR(dJointGetHingeParam(joint, dParamCFM), 0.005, 1e-6);
      EXPECT_NEAR(dJointGetHingeParam(joint, dParamStopERP), 0.4, 1e-6);
    } else {
      dJointGetUniversalAxis1(joint, axis1);
      dJointGetUniversalAxis2(joint, axis2);
      for (int i = 0; i < 3; ++i) EXPECT_NEAR(axis2[i], c.axis2[i], 1e-5);
      EXPECT_NEAR(dJointGetUniversalParam(joint, dParamLoStop2), -0.25, 1e-6);
      EXPECT_NEAR(dJointGetUniversalParam(joint, dParamHiStop2), 0.5, 1e-6);
      EXPECT_NEAR(dJointGetUniversalParam(joint, dParamStopERP2), 0.05, 1e-6);
    }
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(axis1[i], c.axis1[i], 1e-5);
    bone.ExecuteCommand(kCommandStopPhysics, nullptr);
    EXPECT_EQ(bone.GetJoint(), nullptr);
    DestroyObjectTree(parent.DetachChild(bone));
  }
}

TEST_F(RagDollTest, ABoneWithoutABodyAboveIsJoinedToTheStaticWorld) {
  Object& parent = Add<Object>(*engine, kClassObject, "Parent");
  Bone& bone = WithBody<Bone>(parent, kClassBone, "Bone", {0, 2, 0});
  Send(bone, kEnableJoint, std::int32_t{1});
  bone.ExecuteCommand(kCommandCreatePhysics, nullptr);
  bone.ExecuteCommand(kCommandStartPhysics, nullptr);
  ASSERT_NE(bone.GetJoint(), nullptr);
  EXPECT_EQ(dJointGetBody(JointOf(bone), 0), nullptr);
  EXPECT_EQ(dJointGetBody(JointOf(bone), 1), ToOde(bone.GetBody()));
}

TEST_F(RagDollTest, DefaultValuesSetTheTableOnTheMappedBones) {
  SkinMesh& skin = Skeleton({1, 38, 7});
  skin.SetDefaultRagDollValues();
  Bone* knee = skin.GetBoneObject(1);
  Bone* hip = skin.GetBoneObject(38);
  Bone* other = skin.GetBoneObject(7);
  ASSERT_TRUE(knee && hip && other);
  EXPECT_EQ(knee->GetJointType(), kBoneJointHinge);
  EXPECT_EQ(knee->GetJointAxis(), 4u);
  EXPECT_EQ(hip->GetJointType(), kBoneJointUniversal);
  Vector3 low;
  knee->ExecuteCommand(kLoStop + 1, &low);
  EXPECT_EQ(low.x, -1.2f);
  hip->ExecuteCommand(kLoStop + 1, &low);
  EXPECT_EQ(low.y, -0.5f);
  EXPECT_EQ(other->GetJointAxis(), 0u);
}

TEST_F(RagDollTest, StartingTwiceKeepsALongTimeAndStoppingRestoresTheAnimation) {
  SkinMesh& skin = Skeleton({1});
  skin.StartRagDoll(5.0f);
  EXPECT_TRUE(skin.IsRagDollActive());
  EXPECT_EQ(skin.GetSkinFlags() & kSkinMeshAnimate, 0u);
  EXPECT_NE(skin.GetBody(), nullptr);
  skin.StartRagDoll(2.0f);
  EXPECT_EQ(skin.GetRagDollTime(), 5.0f);
  skin.StopRagDoll();
  skin.StartRagDoll(3.0f);
  skin.StartRagDoll(2.0f);  // below 4: replaced
  EXPECT_EQ(skin.GetRagDollTime(), 2.0f);
  skin.StopRagDoll();
  EXPECT_FALSE(skin.IsRagDollActive());
  EXPECT_NE(skin.GetSkinFlags() & kSkinMeshAnimate, 0u);
  EXPECT_EQ(skin.GetRagDollTime(), 0.0f);
}

TEST_F(RagDollTest, TheBonesTakeOverTheFiguresVelocity) {
  SkinMesh& skin = Skeleton({1, 2});
  skin.ExecuteCommand(kCommandCreatePhysics, nullptr);
  skin.ApplyBodyVector(BodyVector::kSetLinearVelocity, {0, 0, 3});
  skin.StartRagDoll(5.0f);
  for (int id : {1, 2}) EXPECT_NEAR(skin.GetBoneObject(id)->GetLinearVelocity().z, 3.0f, 1e-5f) << id;
}

TEST_F(RagDollTest, ExplosionPushesBodiesInsideTheRadiusOnlyAndOnlyInRagDoll) {
  SkinMesh& skin = Skeleton({1, 2, 3});  // bones at x = 1, 2, 3
  auto force = [](Object& object) {
    const dReal* f = dBodyGetForce(ToOde(object.GetBody()));
    return static_cast<float>(f[1]);
  };
  skin.ApplyExplosionForce({0, 0, 0}, 2, {0, 10, 0});
  EXPECT_EQ(skin.GetBody(), nullptr);  // not a rag doll: nothing built, nothing pushed
  skin.StartRagDoll(5.0f);
  skin.ApplyExplosionForce({0, 0, 0}, 2, {0, 10, 0});
  const float mass = skin.GetBoneObject(1)->GetMass();
  EXPECT_NEAR(force(*skin.GetBoneObject(1)), 10 * mass * 0.5f, 1e-3f);  // inside
  EXPECT_NEAR(force(*skin.GetBoneObject(2)), 0.0f, 1e-5f);              // at the radius
  EXPECT_NEAR(force(*skin.GetBoneObject(3)), 0.0f, 1e-5f);              // beyond: not pulled in
  EXPECT_NEAR(force(skin), 10 * skin.GetMass(), 1e-3f);                 // the centre
  skin.ApplyExplosionForce({0, 0, 0}, 0, {0, 10, 0});                   // no radius: nothing more
  EXPECT_NEAR(force(skin), 10 * skin.GetMass(), 1e-3f);
}

}  // namespace
}  // namespace tge::test
