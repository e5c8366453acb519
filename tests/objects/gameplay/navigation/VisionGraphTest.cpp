#include <gtest/gtest.h>

#include <cstdint>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"
#include "core/trees/ObjectFile.h"
#include "objects/gameplay/navigation/VisionGraph.h"
#include "tools/NavMeshBuilder.h"

namespace tge::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

enum class Edit { kCreate, kDelete, kConnect, kDisconnect };

struct Step {
  Edit edit;
  std::int32_t current;
  std::int32_t second = 0;
  std::int32_t link = 0;
};

void Apply(VisionGraph& graph, const Step& step) {
  graph.SetCurrentPoint(step.current);
  graph.SetSecondPoint(step.second);
  graph.SetLinkIndex(step.link);
  switch (step.edit) {
    case Edit::kCreate: graph.CreatePoint(); break;
    case Edit::kDelete: graph.DeletePoint(); break;
    case Edit::kConnect: graph.ConnectPoints(); break;
    case Edit::kDisconnect: graph.DisconnectPoint(); break;
  }
}

// "name(links) ..." in point order.
std::string Describe(const VisionGraph& graph) {
  std::string out;
  for (int i = 0; i < graph.GetPointCount(); ++i) {
    const VisionPoint* point = graph.GetPoint(i);
    out += (i > 0 ? " " : "") + point->name + "(";
    for (std::size_t k = 0; k < point->links.size(); ++k) out += (k > 0 ? "," : "") + point->links[k]->name;
    out += ")";
  }
  return out;
}

constexpr Step kCreate0{Edit::kCreate, 0};

TEST(VisionGraphTest, PointEditing) {
  struct Case {
    const char* what;
    std::vector<Step> steps;
    const char* expected;
  };
  const Case cases[] = {
      {"each new point goes to the front", {kCreate0, kCreate0, kCreate0}, "2() 1() 0()"},
      {"before the current point", {kCreate0, kCreate0, kCreate0, {Edit::kCreate, 2}}, "2() 1() 3() 0()"},
      {"a negative current point inserts at the front", {kCreate0, kCreate0, {Edit::kCreate, -4}}, "2() 1() 0()"},
      {"a delete frees no name another point holds",
       {kCreate0, kCreate0, kCreate0, {Edit::kDelete, 2}, kCreate0},
       "3() 2() 1()"},
      {"connecting twice links twice",
       {kCreate0, kCreate0, {Edit::kConnect, 0, 1}, {Edit::kConnect, 0, 1}},
       "1(0,0) 0(1,1)"},
      {"disconnect removes one direction",
       {kCreate0, kCreate0, {Edit::kConnect, 0, 1}, {Edit::kDisconnect, 1, 0, 0}},
       "1(0) 0()"},
      {"disconnect with an invalid point or link does nothing",
       {kCreate0, kCreate0, {Edit::kConnect, 0, 1}, {Edit::kDisconnect, 5}, {Edit::kDisconnect, -1},
        {Edit::kDisconnect, 0, 0, 3}},
       "1(0) 0(1)"},
      {"connect needs two valid points", {kCreate0, {Edit::kConnect, 0, 4}, {Edit::kConnect, -1, 0}}, "0()"},
      {"delete drops the links to the point",
       {kCreate0, kCreate0, kCreate0, {Edit::kConnect, 0, 1}, {Edit::kConnect, 2, 1}, {Edit::kDelete, 1}},
       "2() 0()"},
      {"delete out of range does nothing", {kCreate0, {Edit::kDelete, 1}, {Edit::kDelete, -1}}, "0()"},
  };
  for (const Case& c : cases) {
    VisionGraph graph;
    for (const Step& step : c.steps) Apply(graph, step);
    EXPECT_EQ(Describe(graph), c.expected) << c.what;
  }
}

TEST(VisionGraphTest, PositionCommandsActOnTheCurrentPointAndRebuildNodes) {
  VisionGraph graph;
  graph.CreatePoint();
  graph.CreatePoint();
  graph.SetSecondPoint(1);
  graph.ConnectPoints();
  std::int32_t index = 1;
  graph.ExecuteCommand(12252, &index);
  Vector3 at{1.7f, -2.5f, 3};
  graph.ExecuteCommand(12260, &at);
  Vector3 read;
  graph.ExecuteCommand(12261, &read);
  EXPECT_FLOAT_EQ(read.x, 1.7f);
  const VisionPoint* point = graph.GetPoint(1);
  EXPECT_EQ(point->node.x, 1);
  EXPECT_EQ(point->node.y, -2);
  ASSERT_EQ(point->node.linked.size(), 2u);
  EXPECT_EQ(point->node.linked[0], &graph.GetPoint(0)->node);
  // A position no int32 holds gives a node at the range's end, NaN at 0.
  Vector3 far{1e20f, std::nanf(""), -1e20f};
  graph.ExecuteCommand(12260, &far);
  EXPECT_GT(point->node.x, 2147483000);
  EXPECT_EQ(point->node.y, 0);
  EXPECT_LT(point->node.z, -2147483000);
  index = 7;
  graph.ExecuteCommand(12252, &index);
  graph.ExecuteCommand(12260, &at);
  graph.ExecuteCommand(12261, &read);
  EXPECT_EQ(read.x, 0.0f);

  std::vector<std::string> names;
  graph.ExecuteCommand(12253, &names);
  EXPECT_EQ(names, (std::vector<std::string>{"1", "0"}));
}

// Without services the test path starts at the origin's triangle.
TEST(VisionGraphTest, ThePathTestSearchesToARandomTriangle) {
  VisionGraph graph;
  graph.ExecuteCommand(12269, nullptr);
  EXPECT_TRUE(graph.GetTestPath().waypoints.empty());
  const NavMeshData data = BuildGridNavMesh(4, 4, 2.0f, 0.0f);
  ASSERT_TRUE(graph.GetMesh().SetMesh(data.vertices, data.triangles));
  graph.ExecuteCommand(12269, nullptr);
  ASSERT_FALSE(graph.GetTestPath().waypoints.empty());
  for (const PathWaypoint& waypoint : graph.GetTestPath().waypoints) EXPECT_FLOAT_EQ(waypoint.position.y, 0.5f);
  std::vector<std::string> lines;
  graph.ExecuteCommand(12266, &lines);
  ASSERT_EQ(lines.size(), 32u);
  EXPECT_EQ(lines[0].substr(0, 8), "F: 000, ");
}

class VisionGraphFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    graph.SetName("Paths");
    for (int i = 0; i < 3; ++i) graph.CreatePoint();
    graph.SetCurrentPoint(0);
    graph.SetSecondPoint(2);
    graph.ConnectPoints();
    const NavMeshData data = BuildGridNavMesh(3, 2, 2.0f, 0.0f, [](int x, int z) { return x == 1 && z == 1; });
    ASSERT_TRUE(graph.GetMesh().SetMesh(data.vertices, data.triangles));
    parent.SetInheritOrientation(false);
  }

  // The base record saves the flag word as it stands: the matrix bits a
  // placed graph sets are cleared first, so records compare by content.
  static Bytes Save(VisionGraph& graph, int version = SerializeStream::kLatestVersion) {
    graph.SetFlag(kFlagMatrixValid, false);
    Bytes bytes(1 << 16);
    SerializeStream stream;
    EXPECT_TRUE(stream.OpenMemoryBuffer(bytes.size(), "wb", bytes.data()));
    stream.SetVersion(version);
    EXPECT_TRUE(graph.Serialize(stream));
    bytes.resize(static_cast<std::size_t>(stream.Tell()));
    return bytes;
  }

  static bool Load(VisionGraph& graph, Bytes bytes, int version = SerializeStream::kLatestVersion) {
    SerializeStream stream;
    if (!stream.OpenMemoryBuffer(bytes.size(), "rb", bytes.data())) return false;
    stream.SetVersion(version);
    return graph.Serialize(stream) && stream.Tell() == static_cast<std::int64_t>(bytes.size());
  }

  static void Patch(Bytes& bytes, std::size_t offset, std::uint32_t value) {
    std::memcpy(bytes.data() + offset, &value, 4);
  }

  // The graph placed under a parent at x.
  VisionGraph& Place(std::unique_ptr<VisionGraph> placed, float x) {
    parent.SetPosition({x, 0, 0}, true);
    auto& child = static_cast<VisionGraph&>(*parent.AddChild(std::move(placed)));
    child.Precalculate();
    return child;
  }

  VisionGraph graph;
  Object parent;
};

TEST_F(VisionGraphFileTest, SavingAPlacedGraphOrACloneKeepsItsVertices) {
  const Bytes first = Save(graph);
  auto loaded = std::make_unique<VisionGraph>();
  ASSERT_TRUE(Load(*loaded, first));
  EXPECT_EQ(Describe(*loaded), "2(0) 1() 0(2)");
  VisionGraph& placed = Place(std::move(loaded), 10);
  EXPECT_FLOAT_EQ(placed.GetMesh().GetWorldVertices()[0].x, 10.0f);
  EXPECT_EQ(Save(placed), first);
  // Placing again, or a clone placed elsewhere, moves nothing twice.
  placed.Precalculate();
  EXPECT_FLOAT_EQ(placed.GetMesh().GetWorldVertices()[0].x, 10.0f);
  auto clone = std::make_unique<VisionGraph>(placed);
  EXPECT_EQ(Describe(*clone), "2(0) 1() 0(2)");
  EXPECT_EQ(Save(*clone), first);
  VisionGraph& clonePlaced = Place(std::move(clone), 4);
  EXPECT_FLOAT_EQ(clonePlaced.GetMesh().GetWorldVertices()[0].x, 4.0f);
  EXPECT_FLOAT_EQ(clonePlaced.GetMesh().GetTriangles()[0].centre.x, placed.GetMesh().GetTriangles()[0].centre.x - 6);
  EXPECT_EQ(Save(clonePlaced), first);
}

TEST_F(VisionGraphFileTest, AVersion8RecordHasPointsButNoMesh) {
  VisionGraph loaded;
  ASSERT_TRUE(Load(loaded, Save(graph, 8), 8));
  EXPECT_EQ(Describe(loaded), "2(0) 1() 0(2)");
  EXPECT_EQ(loaded.GetMesh().GetTriangleCount(), 0u);
}

TEST_F(VisionGraphFileTest, BadCountsAndIndicesAreRefused) {
  const Bytes good = Save(graph);
  const NavMesh& mesh = graph.GetMesh();
  const std::size_t meshAt = good.size() - 8 - mesh.GetVertexCount() * 12 - mesh.GetTriangleCount() * 40;
  const std::size_t firstTriangle = meshAt + 8 + mesh.GetVertexCount() * 12;
  struct Case {
    const char* what;
    std::size_t offset;
    std::uint32_t value;
  };
  const Case cases[] = {
      {"vertex count past the end", meshAt, 100000},
      {"triangle count past the end", meshAt + 4, 0x40000000},
      {"vertex index out of range", firstTriangle + 16, mesh.GetVertexCount()},
      {"negative vertex index", firstTriangle + 16, 0xFFFFFFFF},
      {"neighbour out of range", firstTriangle + 20, mesh.GetTriangleCount()},
      {"neighbour below -1", firstTriangle + 20, 0xFFFFFFFE},
  };
  for (const Case& c : cases) {
    Bytes bad = good;
    Patch(bad, c.offset, c.value);
    VisionGraph loaded;
    EXPECT_FALSE(Load(loaded, bad)) << c.what;
    EXPECT_EQ(loaded.GetMesh().GetTriangleCount(), 0u) << c.what;
  }
  // The point and link counts: a graph of one unlinked point and no mesh
  // ends with the point count, name, position, link count and mesh counts.
  VisionGraph small;
  small.CreatePoint();
  const Bytes tail = Save(small);
  for (std::size_t fromEnd : {std::size_t{12}, std::size_t{8 + 4 + 12 + 5 + 4}}) {
    Bytes bad = tail;
    Patch(bad, bad.size() - fromEnd, 0x10000000);
    VisionGraph loaded;
    EXPECT_FALSE(Load(loaded, bad)) << fromEnd;
  }
}

TEST_F(VisionGraphFileTest, AnObjectFileNamesTheGraphItRefuses) {
  GetObjectFactory().RegisterType<VisionGraph>(kClassVisionGraph);
  std::string dataPath;
  const std::string root;
  ObjectFile file(dataPath, root);
  Bytes bytes(1 << 16);
  SerializeStream out;
  ASSERT_TRUE(out.OpenMemoryBuffer(bytes.size(), "wb", bytes.data()));
  auto holder = std::make_unique<Object>();
  Object& top = *holder;
  top.AddChild(std::make_unique<VisionGraph>(graph));
  ASSERT_TRUE(file.Save(top, "graph", false, true, &out));
  bytes.resize(static_cast<std::size_t>(out.Tell()));
  const std::size_t triangle = bytes.size() - graph.GetMesh().GetTriangleCount() * 40;
  Patch(bytes, triangle + 16, 99);
  SerializeStream in;
  ASSERT_TRUE(in.OpenMemoryBuffer(bytes.size(), "rb", bytes.data()));
  Object target;
  EXPECT_FALSE(file.Load(target, in, "graph"));
  EXPECT_NE(file.GetError().find("\"Paths\""), std::string::npos) << file.GetError();
  EXPECT_EQ(target.GetChildCount(), 0);
}

}  // namespace
}  // namespace tge::test
