#include <gtest/gtest.h>

#include <numbers>

#include "core/Object.h"
#include "core/math/Matrix4.h"
#include "core/math/Quaternion.h"
#include "tests/core/ObjectTestTypes.h"

namespace tge {
namespace {

using test::Named;

void ExpectNear(const Vector3& actual, const Vector3& expected) {
  EXPECT_NEAR(actual.x, expected.x, 1e-5f);
  EXPECT_NEAR(actual.y, expected.y, 1e-5f);
  EXPECT_NEAR(actual.z, expected.z, 1e-5f);
}

Quaternion TurnAboutY(float angle) {
  Quaternion q;
  return QuaternionFromAxisAngle(q, Vector3{0, 1, 0}, angle);
}

class TransformTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = Named("root");
    parent_ = root_->AddChild(Named("parent"));
    child_ = parent_->AddChild(Named("child"));
    parent_->SetInheritOrientation(false);
    child_->SetInheritOrientation(false);
    parent_->SetPosition({1, 0, 0}, true);
    child_->SetPosition({0, 2, 0}, true);
  }

  std::unique_ptr<Object> root_;
  Object* parent_ = nullptr;
  Object* child_ = nullptr;
};

TEST(Transform, DefaultObjectInheritsItsParentsMatrix) {
  auto parent = Named("parent");
  Object* child = parent->AddChild(Named("child"));
  parent->SetInheritOrientation(false);
  parent->SetPosition({3, 4, 5}, true);
  EXPECT_EQ(child->GetTransform(), nullptr);
  EXPECT_FALSE(child->SetPosition({1, 1, 1}, true));
  ExpectNear(child->GetPosition(), {0, 0, 0});
  ExpectNear(child->GetScale(), {1, 1, 1});
  EXPECT_EQ(&child->GetWorldMatrix(), &parent->GetWorldMatrix());
  ExpectNear(child->GetPositionWS(), {3, 4, 5});
  EXPECT_EQ(Named("alone")->GetWorldMatrix().m[12], 0.0f);
}

TEST_F(TransformTest, MovedParentInvalidatesChildWorldMatrix) {
  ExpectNear(child_->GetPositionWS(), {1, 2, 0});
  EXPECT_TRUE(child_->HasFlag(kFlagMatrixValid));
  parent_->SetPosition({5, 0, 0}, true);
  EXPECT_FALSE(child_->HasFlag(kFlagWorldMatrixValid));
  EXPECT_TRUE(child_->HasFlag(kFlagLocalMatrixValid));
  ExpectNear(child_->GetPositionWS(), {5, 2, 0});
  EXPECT_TRUE(child_->HasFlag(kFlagMatrixValid));
}

TEST_F(TransformTest, ParentRotationAndScaleReachTheChild) {
  parent_->SetRotation(TurnAboutY(std::numbers::pi_v<float> / 2), true);
  child_->SetPosition({0, 0, 1}, true);
  ExpectNear(child_->GetPositionWS(), {2, 0, 0});
  ExpectNear(child_->GetAxisZWS(), {1, 0, 0});
  parent_->SetScale({2, 2, 2}, true);
  ExpectNear(child_->GetPositionWS(), {3, 0, 0});
  ExpectNear(child_->GetScaleWS(), {2, 2, 2});
  Matrix4 inverse;
  child_->GetInverseWorldMatrix(inverse);
  Vector3 local;
  ExpectNear(Vector3TransformCoord(local, child_->GetPositionWS(), inverse), {0, 0, 0});
}

TEST_F(TransformTest, WorldSpaceChildKeepsItsMatrixWhenTheParentMoves) {
  child_->SetWSOrientation(true);
  ExpectNear(child_->GetPosition(), {1, 2, 0});
  EXPECT_EQ(child_->GetWorldMatrix().m[13], 2.0f);
  parent_->SetPosition({9, 9, 9}, true);
  EXPECT_TRUE(child_->HasFlag(kFlagWorldMatrixValid));
  EXPECT_EQ(child_->GetWorldMatrix().m[12], 1.0f);
  ExpectNear(child_->GetPositionWS(), {1, 2, 0});
}

TEST_F(TransformTest, InactiveObjectKeepsChildrenCachedUntilReactivated) {
  ExpectNear(child_->GetPositionWS(), {1, 2, 0});
  parent_->SetActive(false);
  parent_->SetPosition({7, 0, 0}, true);
  EXPECT_TRUE(child_->HasFlag(kFlagWorldMatrixValid));
  EXPECT_EQ(child_->GetCachedWorldMatrix().m[12], 1.0f);
  parent_->SetActive(true);
  parent_->InvalidateTransform();
  ExpectNear(child_->GetPositionWS(), {7, 2, 0});
}

TEST_F(TransformTest, UnitScaleAfterNonUnitKeepsTheFlagAndACorrectMatrix) {
  child_->SetScale({2, 2, 2}, true);
  child_->SetScale({1, 1, 1}, true);
  EXPECT_TRUE(child_->HasFlag(kFlagNonUnitScale));
  ExpectNear(child_->GetScaleWS(), {1, 1, 1});
  child_->AddScale({1, 0, 0});
  ExpectNear(child_->GetScaleWS(), {2, 1, 1});
}

TEST_F(TransformTest, AddPositionAndRotateByCompose) {
  child_->AddPosition({0, 1, 0});
  ExpectNear(child_->GetPosition(), {0, 3, 0});
  child_->RotateBy(TurnAboutY(0.5f));
  child_->RotateBy(TurnAboutY(0.25f));
  const Quaternion expected = TurnAboutY(0.75f);
  EXPECT_NEAR(child_->GetRotation().y, expected.y, 1e-6f);
  EXPECT_NEAR(child_->GetRotation().w, expected.w, 1e-6f);
}

TEST_F(TransformTest, InheritOrientationDropsAndRecreatesTheRecord) {
  child_->SetInheritOrientation(true);
  EXPECT_EQ(child_->GetTransform(), nullptr);
  ExpectNear(child_->GetPositionWS(), {1, 0, 0});
  child_->SetInheritOrientation(false);
  ASSERT_NE(child_->GetTransform(), nullptr);
  ExpectNear(child_->GetPosition(), {0, 0, 0});
  EXPECT_FALSE(child_->HasFlag(kFlagLocalMatrixValid));
}

}  // namespace
}  // namespace tge
