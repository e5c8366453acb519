// Every built type has its record in the object-file fuzz corpus, written by
// the engine's own writer (tools/tge_object_seeds): the seed loads back as an
// object of its type and saves to the same bytes. A type that joins the list
// of built types without a seed, or whose record changed since its seed was
// written, fails here; running the seed writer again mends both.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/ClassIds.h"
#include "engine/BuiltTypes.h"
#include "tests/engine/EngineTestFixture.h"

namespace tge::test {
namespace {

using BuiltTypeSeedTest = EngineTest;

TEST_F(BuiltTypeSeedTest, EveryBuiltTypeHasASeedThatLoadsAndSavesUnchanged) {
  const std::filesystem::path corpus = std::filesystem::path(TGE_TEST_DATA).parent_path() / "fuzz" / "corpus" / "objectfile";
  for (const BuiltType& type : GetBuiltTypes()) {
    const std::string file = std::string(GetClassName(type.classId)) + ".sac";
    SCOPED_TRACE(file);
    ASSERT_TRUE(std::filesystem::exists(corpus / file));
    std::filesystem::copy_file(corpus / file, folder / file);
    Object& holder = Add(*engine, "Holder");
    ASSERT_TRUE(engine->LoadObjectFile(holder, file));
    ASSERT_EQ(holder.GetChildCount(), 1);
    EXPECT_EQ(holder.GetChild(0)->GetClassId(), type.classId);
    ASSERT_TRUE(engine->SaveObjectFile(holder, "again.sac", false, false));
    EXPECT_EQ(folder.ReadFile("again.sac"), folder.ReadFile(file));
    DestroyObjectTree(engine->DetachChild(holder));
  }
}

}  // namespace
}  // namespace tge::test
