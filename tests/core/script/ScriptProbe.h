// A small object type for script tests: it records every command it receives
// with the argument bytes the command's registration says it takes, and
// answers a few getters with values the test sets. The fixture registers its
// commands, a few base commands and the script commands, builds a small tree
// and installs object hooks with a global-access list and deletion at once.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/CommandArgs.h"
#include "core/CommandRegistry.h"
#include "core/Object.h"
#include "core/ObjectHooks.h"
#include "core/ScriptInterpreter.h"
#include "core/math/Vector.h"

namespace tge::test {

constexpr int kProbeClass = 60;
constexpr int kProbeFirst = kProbeClass * kCommandsPerClass;

enum ProbeCommand : int {
  kProbeNone = kProbeFirst,
  kProbeInt, kProbeDword, kProbeFloat, kProbeBool, kProbeString, kProbeVector2, kProbeVector3, kProbeVector4,
  kProbeQuaternion, kProbeMatrix4, kProbeColor, kProbePointer, kProbePlane, kProbeSphere, kProbeAABox,
  kProbeString128, kProbeTreePath, kProbeMixed, kProbeTwoStrings, kProbeFloatString,
  kGetProbeInt, kGetProbeDword, kGetProbeFloat, kGetProbeVector3, kGetProbeString, kGetProbeNamed,
  kGetProbeIndexed, kGetProbeTreePath, kProbeDropScripts, kProbeDelete,
};

// Base ids the probe answers itself.
constexpr std::uint32_t kSetActive = 4;
constexpr std::uint32_t kGetActive = 5;
constexpr std::uint32_t kGetClassId = 10;

using Bytes = std::vector<std::uint8_t>;

struct Call {
  const Object* target;
  std::uint32_t id;
  Bytes bytes;       // the packed block, as many bytes as registered
  std::string text;  // the text-string argument of a String command
};

class Probe : public Object {
 public:
  Probe(std::vector<Call>* log) : Object(kProbeClass), log_(log) {}

  int ExecuteCommand(std::uint32_t id, void* args) override;

  std::int32_t intValue = 0;
  std::uint32_t dwordValue = 0;
  float floatValue = 0;
  Vector3 vectorValue;
  std::string stringValue;

 private:
  std::vector<Call>* log_;
};

// Deletes at once and keeps a global-access list, as a test needs them.
class ProbeHooks : public ObjectHooks {
 public:
  void DeleteObject(Object& object, bool) override;
  void AddGlobalAccessObject(Object& object) override { globals.push_back(&object); }
  void RemoveGlobalAccessObject(Object& object) override { std::erase(globals, &object); }
  Object* FindGlobalAccessObject(std::string_view name) const override {
    auto it = std::find_if(globals.begin(), globals.end(), [name](Object* o) { return o->GetName() == name; });
    return it != globals.end() ? *it : nullptr;
  }
  void DestroyObjectPhysics(Object&) override {}
  void AddUpdateObject(World&, Object&) override {}
  void RemoveUpdateObject(World&, Object&) override {}
  float GetFrameTime(const World&) const override { return 0; }
  float GetFrameRate(const World&) const override { return 0; }
  float GetWorldTime(const World&) const override { return 0; }

  std::vector<Object*> globals;
};

void RegisterProbeCommands();

// root - Level - Door, Player; root - Other (global-access name "Hub").
class ScriptTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  Probe* Add(Object& parent, const std::string& name);
  // Runs text on Door (or the given context) and returns what was received.
  std::vector<Call> Run(const std::string& text, Object* sender = nullptr, Object* context = nullptr);

  std::vector<Call> log;
  ProbeHooks hooks;
  std::unique_ptr<Probe> root;
  Probe* level = nullptr;
  Probe* door = nullptr;
  Probe* player = nullptr;
  Probe* other = nullptr;
};

template <class... T>
Bytes Pack(const T&... values) {
  ArgumentBlock block;
  (block.Push(values), ...);
  const auto* data = static_cast<const std::uint8_t*>(block.Data());
  return Bytes(data, data + block.Size());
}

inline Bytes Text128(const std::string& text) {
  ArgumentBlock block;
  block.PushText128(text);
  const auto* data = static_cast<const std::uint8_t*>(block.Data());
  return Bytes(data, data + block.Size());
}

}  // namespace tge::test
