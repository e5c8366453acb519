// Fuzzes the script compiler and interpreter: the input is a script text run
// once as text and twice as a stored script (compiled once) on a small
// tree whose objects take commands of every argument kind, answer getters
// with values, keep Data entries and scripts that run scripts. Every block a
// command receives is read in full, so a block shorter than its command's
// arguments is found.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "core/ClassIds.h"
#include "core/CommandArgs.h"
#include "core/CommandRegistry.h"
#include "core/ObjectFactory.h"
#include "core/script/Data.h"
#include "core/script/ScriptInterpreter.h"

namespace {

using namespace tge;

constexpr int kTargetClass = 60;
constexpr int kFirst = kTargetClass * kCommandsPerClass;

class Target : public Object {
 public:
  Target() : Object(kTargetClass) {}

  int ExecuteCommand(std::uint32_t id, void* block) override {
    const CommandRecord* record = FindCommand(static_cast<int>(id));
    if (record != nullptr && block != nullptr && record->owner == kTargetClass) Touch(*record, block);
    return Object::ExecuteCommand(id, block);
  }

 private:
  void Touch(const CommandRecord& record, void* block) {
    const bool text = std::find(record.argumentTypes.begin(), record.argumentTypes.end(), kValueString) !=
                      record.argumentTypes.end();
    if (text) {
      std::string& argument = *static_cast<std::string*>(block);
      checksum_ += argument.size();
      if (record.flags & kCommandGetter) argument = "answer";
      return;
    }
    auto* bytes = static_cast<std::uint8_t*>(block);
    for (int i = 0; i < record.blockBytes; ++i) checksum_ += bytes[i];
    if (record.flags & kCommandGetter) std::memset(bytes, 0x41, static_cast<std::size_t>(record.blockBytes));
  }

  std::size_t checksum_ = 0;
};

void Register() {
  struct Row {
    const char* name;
    int flags;
    std::initializer_list<std::int32_t> types;
  };
  const Row rows[] = {
      {"TakeInt", 0, {kValueInt}},
      {"TakeFloats", 0, {kValueFloat, kValueVector3, kValueMatrix4}},
      {"TakeText", 0, {kValueString}},
      {"TakeNames", 0, {kValueString128, kValueString128, kValueTreePath}},
      {"TakePointer", 0, {kValuePointer}},
      {"TakeBox", 0, {kValueAABox, kValuePlane, kValueColor}},
      {"GetInt", kCommandGetter, {kValueInt}},
      {"GetBool", kCommandGetter, {kValueBool}},
      {"GetVector", kCommandGetter, {kValueVector3}},
      {"GetText", kCommandGetter, {kValueString}},
      {"GetNamed", kCommandGetter, {kValueString128, kValueFloat}},
      {"GetMatrix", kCommandGetter, {kValueMatrix4}},
  };
  int id = kFirst;
  for (const Row& row : rows) RegisterCommand(id++, row.name, kTargetClass, row.flags, row.types);
  RegisterBaseCommands();
  RegisterDataCommands();
}

std::unique_ptr<Object> BuildTree() {
  auto root = std::make_unique<Target>();
  root->SetName("root");
  Object* a = root->AddChild(std::make_unique<Target>());
  a->SetName("A");
  Object* b = a->AddChild(std::make_unique<Target>());
  b->SetName("B");
  CreateObject(kClassData, nullptr, *a, "D");
  for (Object* object : {static_cast<Object*>(root.get()), a, b}) {
    object->SetUseScript(true);
    object->GetScripts()->push_back({"Loop", "parent.RunScript(Loop); this.TakeInt(1);", -1, 0});
  }
  return root;
}

// The first grandchild of the root that keeps scripts, if the script left one.
Object* StoredContext(Object& root) {
  Object* child = root.GetChildCount() > 0 ? root.GetChild(0) : nullptr;
  Object* grandchild = child != nullptr && child->GetChildCount() > 0 ? child->GetChild(0) : nullptr;
  return grandchild != nullptr && grandchild->GetScripts() != nullptr ? grandchild : nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool registered = (Register(), true);
  (void)registered;
  auto root = BuildTree();
  Object& context = *root->GetChild(0)->GetChild(0);
  const std::string text(reinterpret_cast<const char*>(data), size);
  RunScriptText(context, text, root->GetChild(0));
  // Stored, the text is compiled once and its steps run twice, on whatever
  // the text run left of the tree.
  for (int run = 0; run < 2; ++run) {
    Object* stored = StoredContext(*root);
    if (stored == nullptr) break;
    if (run == 0) stored->GetScripts()->push_back({"Fuzz", text});
    stored->RunScript("Fuzz", stored->GetParent());
  }
  return 0;
}
