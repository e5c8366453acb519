// NodeAnimation: the travel over a tree of nodes, its events in order with
// the node reached as sender, the pull towards the camera, staying put with
// nowhere to go, and the file record.
#include <algorithm>

#include "objects/scene/animation/NodeAnimation.h"
#include "tests/objects/scene/animation/MotionFixture.h"

namespace tge::test {
namespace {

constexpr std::uint32_t kSetStartUp = 19000, kSetStartNode = 19002, kSetEndNode = 19004, kSetNodeSpeed = 19006,
                        kGetSpeed = 19007, kSetNodeEvent = 19008, kSetStartEndEvent = 19010;
constexpr int kNode = NodeAnimation::kEventNode, kEndNode = NodeAnimation::kEventEndNode,
              kStartNode = NodeAnimation::kEventStartNode;
// A sixteenth of a second at four segments a second: a node is passed on
// the fifth frame, with every sum exact.
constexpr double kNodeStep = 0.0625;

void ExpectAt(Object& object, const Vector3& expected) {
  EXPECT_NEAR(object.GetPosition().x, expected.x, 1e-5f);
  EXPECT_NEAR(object.GetPosition().y, expected.y, 1e-5f);
  EXPECT_NEAR(object.GetPosition().z, expected.z, 1e-5f);
}

class NodeAnimationTest : public MotionFixture {
 protected:
  void SetUp() override {
    MotionFixture::SetUp();
    // Looking along +z: the pull is 0.3 towards -z.
    View().SetCameraLookAt({0, 0, -10}, {0, 0, 0});
    root = &Node(*engine, "Root", {0, 0, 0});
    a = &Node(*root, "A", {10, 0, 0});
    b = &Node(*a, "B", {0, 0, 10});
  }

  Object& Node(Object& parent, const std::string& name, const Vector3& position) {
    Object& node = Add<Object>(parent, kClassObject, name);
    node.SetPosition(position, true);
    return node;
  }

  Logged<NodeAnimation>& AddMover(Object& start) {
    auto& mover = AddOwn<Logged<NodeAnimation>>(start, "Mover");
    mover.SetWSOrientation(true);
    Send(mover, kSetNodeSpeed, 4.0f);
    Send(mover, kSetNodeEvent, 1);
    Send(mover, kSetStartEndEvent, 1);
    return mover;
  }

  // The node events raised and who raised them.
  static std::vector<std::pair<int, Object*>> NodeEvents(const Logged<NodeAnimation>& mover) {
    std::vector<std::pair<int, Object*>> out;
    for (std::size_t i = 0; i < mover.events.size(); ++i) {
      if (mover.events[i] >= kNode && mover.events[i] <= kStartNode) out.emplace_back(mover.events[i], mover.senders[i]);
    }
    return out;
  }

  Object* root = nullptr;
  Object* a = nullptr;
  Object* b = nullptr;
};

TEST_F(NodeAnimationTest, TravelsOutToTheEndNodeAndBackWithEventsInOrder) {
  Logged<NodeAnimation>& mover = AddMover(*root);
  std::string end = "/Root/A/B";
  mover.ExecuteCommand(kSetEndNode, &end);
  mover.Precalculate();
  EXPECT_EQ(mover.GetCurrentNode(), root);
  EXPECT_EQ(mover.GetNextNode(), a);
  MotionFixture::Frames(mover, 2, kNodeStep);
  ExpectAt(mover, {5, 0, -0.3f});
  MotionFixture::Frames(mover, 5, kNodeStep);
  EXPECT_EQ(mover.GetCurrentNode(), a);
  EXPECT_EQ(mover.GetNextNode(), b);
  ExpectAt(mover, {10, 0, 5 - 0.3f});
  MotionFixture::Frames(mover, 13, kNodeStep);
  const std::vector<std::pair<int, Object*>> expected = {
      {kNode, a}, {kEndNode, b}, {kNode, b}, {kNode, a}, {kStartNode, root}, {kNode, root}};
  EXPECT_EQ(NodeEvents(mover), expected);
  EXPECT_EQ(mover.GetNextNode(), a);

  // A zero Action value stops the travel.
  mover.SetUseAction(true);
  mover.GetAction()->value = 0;
  const float progress = mover.GetProgress();
  MotionFixture::Frames(mover, 3, kNodeStep);
  EXPECT_EQ(mover.GetProgress(), progress);
}

TEST_F(NodeAnimationTest, StartingDownwardsHeadsForTheParent) {
  Logged<NodeAnimation>& mover = AddMover(*b);
  Send(mover, kSetStartUp, 0);
  std::string start = "parent";
  mover.ExecuteCommand(kSetStartNode, &start);
  mover.Precalculate();
  EXPECT_EQ(mover.GetCurrentNode(), b);
  EXPECT_EQ(mover.GetNextNode(), a);
  MotionFixture::Frames(mover, 5, kNodeStep);
  // A middle node on the way up goes on to its parent.
  EXPECT_EQ(mover.GetCurrentNode(), a);
  EXPECT_EQ(mover.GetNextNode(), root);
}

// With no node to go on to it stays where it is and raises nothing.
TEST_F(NodeAnimationTest, OnlyChildOfItsStartNodeStaysPut) {
  Object& lonely = Node(*engine, "Lonely", {3, 4, 5});
  Logged<NodeAnimation>& mover = AddMover(lonely);
  mover.Precalculate();
  EXPECT_EQ(mover.GetNextNode(), nullptr);
  MotionFixture::Frames(mover, 12, kNodeStep);
  ExpectAt(mover, {3, 4, 5 - 0.3f});
  EXPECT_TRUE(NodeEvents(mover).empty());
}

TEST_F(NodeAnimationTest, FileRecordRoundTrips) {
  Logged<NodeAnimation>& mover = AddMover(*root);
  std::string end = "/Root/A/B";
  mover.ExecuteCommand(kSetEndNode, &end);
  Send(mover, kSetNodeSpeed, 2.5f);
  mover.Precalculate();
  ExpectStableRecord(mover);
  std::unique_ptr<NodeAnimation> loaded = RoundTrip<NodeAnimation>(mover);
  ASSERT_NE(loaded, nullptr);
  float speed = 0;
  loaded->ExecuteCommand(kGetSpeed, &speed);
  EXPECT_EQ(speed, 2.5f);
  std::string read;
  loaded->ExecuteCommand(kSetEndNode + 1, &read);
  EXPECT_EQ(read, end);
  // A copy resolves its own nodes.
  Object* copy = CreateObject(kClassNodeAnimation, &mover, *root, "Copy");
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(static_cast<NodeAnimation*>(copy)->GetCurrentNode(), nullptr);
}

}  // namespace
}  // namespace tge::test
