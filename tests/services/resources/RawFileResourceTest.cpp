#include "services/resources/RawFileResource.h"

#include <gtest/gtest.h>

#include "services/ResourceDatabase.h"
#include "tests/services/TestBytes.h"

namespace tge {
namespace {

TEST(RawFile, LoadsTheBytesUnchangedAndAnEmptyFileAsEmpty) {
  test::TempDataFolder folder;
  folder.Write("Data/blob.bin", {1, 0, 255});
  folder.Write("Data/empty.bin", {});
  ResourceDatabase db;
  db.SetDataFolder(folder.Folder());
  for (const auto& [file, expected] : std::vector<std::pair<std::string, std::vector<std::uint8_t>>>{
           {"blob.bin", {1, 0, 255}}, {"empty.bin", {}}}) {
    std::unique_ptr<Resource> created = db.CreateResource(kRawFileResource);
    auto* resource = static_cast<RawFileResource*>(created.get());
    resource->SetFileName(file);
    ASSERT_EQ(resource->Load(), 1) << file;
    EXPECT_TRUE(resource->IsLoaded());
    EXPECT_EQ(resource->GetBytes(), expected);
    resource->Unload();
    EXPECT_FALSE(resource->IsLoaded());
  }
  std::unique_ptr<Resource> missing = db.CreateResource(kRawFileResource);
  missing->SetFileName("none.bin");
  EXPECT_EQ(missing->Load(), 0);
}

}  // namespace
}  // namespace tge
