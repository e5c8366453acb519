// Opens the physics library once for the whole test run and closes it after.
#include <gtest/gtest.h>

#include "objects/gameplay/physics/PhysicsLibrary.h"

namespace tge::test {
namespace {

class PhysicsEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { InitPhysics(); }
  void TearDown() override { ShutdownPhysics(); }
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new PhysicsEnvironment);

}  // namespace
}  // namespace tge::test
