// An engine created for one test, with its data path in a fresh folder, and
// helpers to build small scenes and read saved files back.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "core/ClassIds.h"
#include "core/File.h"
#include "core/ObjectFactory.h"
#include "engine/Engine.h"
#include "tests/core/files/TempFolder.h"

namespace tge::test {

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CreateEngine());
    engine = GetEngine();
    engine->SetDataPath(folder.Path().string() + "/");
  }
  void TearDown() override { ShutdownEngine(); }

  // A named object with a position, so its record carries a transform.
  Object& Add(Object& parent, const std::string& name, int classId = kClassObject) {
    Object* object = CreateObject(classId, nullptr, parent, name.c_str());
    object->SetInheritOrientation(false);
    object->SetPosition({1, 2, static_cast<float>(name.size())}, false);
    return *object;
  }
  File& AddFile(Object& parent, const std::string& name, const std::string& fileName) {
    auto& file = static_cast<File&>(Add(parent, name, kClassFile));
    std::string text = fileName;
    file.ExecuteCommand(2255, &text);
    return file;
  }

  ::tge::testing::TempFolder folder;
  Engine* engine = nullptr;
};

}  // namespace tge::test
