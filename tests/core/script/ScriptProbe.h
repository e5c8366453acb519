// A small object type for script tests: it records every command it receives
// with the argument bytes the command's registration says it takes, and
// answers a few getters with values the test sets. The fixture registers its
// commands and the base commands, builds a small tree and installs the
// engine's object services (global-access list, deletion).
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
#include "core/math/Vector.h"
#include "core/script/ScriptInterpreter.h"
#include "core/trees/ObjectServices.h"

namespace tge::scripttest {

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
  ObjectServices services;
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

}  // namespace tge::scripttest
