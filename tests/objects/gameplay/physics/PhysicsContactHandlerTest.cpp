#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/Object.h"
#include "tests/objects/gameplay/physics/PhysicsTestScene.h"

namespace tge::test {
namespace {

// Answers every contact with a chosen value. The box's owner first writes a
// fully bouncing surface with unlimited friction into each contact (the
// library's mu is a force limit), so what survives shows in how the box
// leaves the ground.
class ContactAnswerer : public Object {
 public:
  struct Call {
    GeometryRecord* own;
    GeometryRecord* other;
    int count;
    int modeSeen;
  };

  int HandleContact(GeometryRecord* own, GeometryRecord* other, ContactParameters* contacts,
                    int count) override {
    calls.push_back({own, other, count, contacts[0].surface.mode});
    for (int i = 0; writesSurface && i < count; ++i) {
      contacts[i].surface.mode = dContactBounce;
      contacts[i].surface.mu = dInfinity;
      contacts[i].surface.bounce = 1;
    }
    return answer;
  }

  int answer = 0;
  bool writesSurface = false;
  std::vector<Call> calls;
};

// Contact joints in a world, attached to bodies or not, counted in the
// library's text dump of the world.
int WorldContactJointCount(dWorldID world) {
  char* text = nullptr;
  std::size_t size = 0;
  FILE* file = open_memstream(&text, &size);
  dWorldExportDIF(world, file, "world");
  std::fclose(file);
  const std::string dump(text, size);
  std::free(text);
  int count = 0;
  for (auto at = dump.find("contact_joint"); at != std::string::npos; at = dump.find("contact_joint", at + 1)) ++count;
  return count;
}

enum class Outcome { kFallsThrough, kBouncesAndSlides, kBouncesAndStops };

// A box moving sideways and down into the ground plane, each with an owner.
// The pair is offered box first, as the library would offer it.
class PhysicsContactHandlerTest : public PhysicsScene {
 protected:
  void SetUp() override {
    PhysicsScene::SetUp();
    box = AddBox({0, 0, 0});
    boxGeometry = geometries.back();
    ground = AddGroundPlane();
    boxOwner.writesSurface = true;
    SetGeomData(boxGeometry, &boxRecord);
    SetGeomData(ground, &groundRecord);
    Reset();
  }

  // Back to the start: no handlers asked yet, none wanting contacts.
  void Reset() {
    SetBodyPosition(box, {0, 0.49f, 0});
    SetBodyLinearVel(box, {2, -3, 0});
    SetBodyAngularVel(box, {0, 0, 0});
    boxRecord.info = kGeometryBox;
    groundRecord.info = kGeometryBox;
    boxOwner.calls.clear();
    groundOwner.calls.clear();
  }

  void OfferPair() { PhysicsNearCallback(physics, boxGeometry, ground); }

  Outcome StepAndWatch() {
    StepPhysicsWorld(physics, kStep);
    Vector3 velocity;
    GetBodyLinearVel(&velocity, box);
    if (velocity.y < -3) return Outcome::kFallsThrough;
    EXPECT_GT(velocity.y, 1.0f) << "the box neither fell through nor bounced";
    if (velocity.x > 1.5f) return Outcome::kBouncesAndSlides;
    EXPECT_LT(velocity.x, 0.5f) << "the friction is neither the default nor the handler's";
    return Outcome::kBouncesAndStops;
  }

  ContactAnswerer boxOwner;
  ContactAnswerer groundOwner;
  GeometryRecord& boxRecord = boxOwner.AddGeometry();
  GeometryRecord& groundRecord = groundOwner.AddGeometry();
  dBodyID box = nullptr;
  dGeomID boxGeometry = nullptr;
  dGeomID ground = nullptr;
};

constexpr int kNoCallback = -1;

// The usual answer sets only the friction; the handler's other surface
// fields stay. A later answer replaces an earlier one, except a drop.
TEST_F(PhysicsContactHandlerTest, AnswersDecideWhichSurfaceTheContactsKeep) {
  struct Case {
    const char* name;
    int boxAnswer;
    int groundAnswer;
    Outcome outcome;
  };
  const Case cases[] = {
      {"usual", 0, kNoCallback, Outcome::kBouncesAndSlides},
      {"drop", 1, kNoCallback, Outcome::kFallsThrough},
      {"keep surface", 2, kNoCallback, Outcome::kBouncesAndStops},
      {"unknown answer is usual", 7, kNoCallback, Outcome::kBouncesAndSlides},
      {"first drops, second unasked", 1, 2, Outcome::kFallsThrough},
      {"second usual replaces keep", 2, 0, Outcome::kBouncesAndSlides},
      {"second keeps what the first wrote", 0, 2, Outcome::kBouncesAndStops},
      {"second drops", 2, 1, Outcome::kFallsThrough},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Reset();
    boxRecord.info |= kGeometryCallback;
    boxOwner.answer = c.boxAnswer;
    if (c.groundAnswer != kNoCallback) groundRecord.info |= kGeometryCallback;
    groundOwner.answer = c.groundAnswer;

    OfferPair();
    const int joints = ContactJointCount(box);
    EXPECT_EQ(StepAndWatch(), c.outcome);
    EXPECT_EQ(joints == 0, c.outcome == Outcome::kFallsThrough);

    ASSERT_EQ(boxOwner.calls.size(), 1u);
    const ContactAnswerer::Call& first = boxOwner.calls[0];
    EXPECT_EQ(first.own, &boxRecord);
    EXPECT_EQ(first.other, &groundRecord);
    EXPECT_EQ(first.modeSeen, 0) << "contacts reach the first handler zero-filled";
    const bool groundAsked = c.groundAnswer != kNoCallback && c.boxAnswer != 1;
    ASSERT_EQ(groundOwner.calls.size(), groundAsked ? 1u : 0u);
    if (!groundAsked) continue;
    const ContactAnswerer::Call& second = groundOwner.calls[0];
    EXPECT_EQ(second.own, &groundRecord);
    EXPECT_EQ(second.other, &boxRecord);
    EXPECT_EQ(second.count, first.count);
    EXPECT_EQ(second.modeSeen, dContactBounce) << "the second handler sees what the first wrote";
  }
}

// Event-only geometries tell their owner but never push, on either side of
// the pair and whatever the owner answers.
TEST_F(PhysicsContactHandlerTest, EventOnlyGeometriesMakeNoContactJoints) {
  struct Case {
    std::uint32_t boxFlags;
    std::uint32_t groundFlags;
  };
  const Case cases[] = {
      {kGeometryCallback | kGeometryEventOnly, 0},
      {kGeometryCallback, kGeometryEventOnly},
      {0, kGeometryCallback | kGeometryEventOnly},
  };
  boxOwner.answer = 2;
  for (const Case& c : cases) {
    Reset();
    boxRecord.info |= c.boxFlags;
    groundRecord.info |= c.groundFlags;
    OfferPair();
    EXPECT_EQ(ContactJointCount(box), 0);
    EXPECT_EQ(boxOwner.calls.size(), (c.boxFlags & kGeometryCallback) ? 1u : 0u);
    EXPECT_EQ(groundOwner.calls.size(), (c.groundFlags & kGeometryCallback) ? 1u : 0u);
  }
  EXPECT_EQ(StepAndWatch(), Outcome::kFallsThrough);
}

// A geometry without a record is an ownerless other; a record that asks for
// contacts but has no owner is not asked, and the pair goes on as usual.
TEST_F(PhysicsContactHandlerTest, OwnerlessSidesAreNeverAsked) {
  boxRecord.info |= kGeometryCallback;
  SetGeomData(ground, nullptr);
  OfferPair();
  ASSERT_EQ(boxOwner.calls.size(), 1u);
  EXPECT_EQ(boxOwner.calls[0].other, nullptr);
  EXPECT_EQ(StepAndWatch(), Outcome::kBouncesAndSlides);

  Reset();
  boxRecord.info |= kGeometryCallback;
  groundRecord.info |= kGeometryCallback;
  groundRecord.owner = nullptr;
  SetGeomData(ground, &groundRecord);
  OfferPair();
  EXPECT_EQ(boxOwner.calls.size(), 1u);
  EXPECT_EQ(StepAndWatch(), Outcome::kBouncesAndSlides);
}

// Two geometries without a body (triggers sharing the World's space) have
// nothing to push: their owners still see the contacts, but no joint is
// made, whatever they answer.
TEST_F(PhysicsContactHandlerTest, BodilessPairsTellTheirOwnersButMakeNoJoints) {
  ContactAnswerer triggerOwner;
  GeometryRecord& triggerRecord = triggerOwner.AddGeometry();
  dGeomID trigger = Keep(CreateBoxGeom(space, {1, 1, 1}));
  SetGeomData(trigger, &triggerRecord);
  struct Case {
    std::uint32_t triggerFlags;
    std::uint32_t groundFlags;
    int answer;
  };
  const Case cases[] = {
      {0, 0, 0},
      {kGeometryCallback, 0, 0},
      {kGeometryCallback, kGeometryCallback, 2},
      {0, kGeometryCallback, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    Reset();
    triggerOwner.calls.clear();
    triggerRecord.info = kGeometryBox | c.triggerFlags;
    groundRecord.info |= c.groundFlags;
    triggerOwner.answer = c.answer;
    groundOwner.answer = c.answer;
    PhysicsNearCallback(physics, trigger, ground);
    EXPECT_EQ(WorldContactJointCount(physics->world), 0);
    EXPECT_EQ(triggerOwner.calls.size(), c.triggerFlags != 0 ? 1u : 0u);
    EXPECT_EQ(groundOwner.calls.size(), c.groundFlags != 0 ? 1u : 0u);
    for (const ContactAnswerer::Call& call : triggerOwner.calls) {
      EXPECT_GT(call.count, 0);
    }
  }
  // The body's box on the same ground makes joints the count sees.
  OfferPair();
  EXPECT_GT(WorldContactJointCount(physics->world), 0);
  StepPhysicsWorld(physics, kStep);
}

}  // namespace
}  // namespace tge::test
