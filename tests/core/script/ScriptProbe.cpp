#include "tests/core/script/ScriptProbe.h"

namespace tge::scripttest {

void RegisterProbeCommands() {
  struct Row {
    int id;
    const char* name;
    std::initializer_list<std::int32_t> types;
  };
  const Row rows[] = {
      {kProbeNone, "ProbeNone", {}},
      {kProbeInt, "ProbeInt", {kValueInt}},
      {kProbeDword, "ProbeDword", {kValueDword}},
      {kProbeFloat, "ProbeFloat", {kValueFloat}},
      {kProbeBool, "ProbeBool", {kValueBool}},
      {kProbeString, "ProbeString", {kValueString}},
      {kProbeVector2, "ProbeVector2", {kValueVector2}},
      {kProbeVector3, "ProbeVector3", {kValueVector3}},
      {kProbeVector4, "ProbeVector4", {kValueVector4}},
      {kProbeQuaternion, "ProbeQuaternion", {kValueQuaternion}},
      {kProbeMatrix4, "ProbeMatrix4", {kValueMatrix4}},
      {kProbeColor, "ProbeColor", {kValueColor}},
      {kProbePointer, "ProbePointer", {kValuePointer}},
      {kProbePlane, "ProbePlane", {kValuePlane}},
      {kProbeSphere, "ProbeSphere", {kValueSphere}},
      {kProbeAABox, "ProbeAABox", {kValueAABox}},
      {kProbeString128, "ProbeString128", {kValueString128}},
      {kProbeTreePath, "ProbeTreePath", {kValueTreePath}},
      {kProbeMixed, "ProbeMixed", {kValueInt, kValueString128, kValueFloat}},
      {kProbeTwoStrings, "ProbeTwoStrings", {kValueString128, kValueString128}},
      {kProbeFloatString, "ProbeFloatString", {kValueFloat, kValueString}},
      {kGetProbeInt, "GetProbeInt", {kValueInt}},
      {kGetProbeDword, "GetProbeDword", {kValueDword}},
      {kGetProbeFloat, "GetProbeFloat", {kValueFloat}},
      {kGetProbeVector3, "GetProbeVector3", {kValueVector3}},
      {kGetProbeString, "GetProbeString", {kValueString}},
      {kGetProbeNamed, "GetProbeNamed", {kValueString128, kValueFloat}},
      {kGetProbeIndexed, "GetProbeIndexed", {kValueDword, kValueFloat}},
      {kGetProbeTreePath, "GetProbeTreePath", {kValueTreePath}},
      {kProbeDropScripts, "ProbeDropScripts", {}},
      {kProbeDelete, "ProbeDelete", {}},
  };
  for (const Row& row : rows) RegisterCommand(row.id, row.name, kProbeClass, 0, row.types);
  RegisterBaseCommands();
}

int Probe::ExecuteCommand(std::uint32_t id, void* block) {
  const CommandRecord* record = FindCommand(static_cast<int>(id));
  Call call{this, id, {}, {}};
  const CommandArgs args(block);
  const bool isText = record && std::find(record->argumentTypes.begin(), record->argumentTypes.end(),
                                          kValueString) != record->argumentTypes.end();
  if (isText) {
    call.text = args.AsString();
  } else if (record && block) {
    const auto* bytes = static_cast<const std::uint8_t*>(block);
    call.bytes.assign(bytes, bytes + record->blockBytes);
  }
  if (log_) log_->push_back(call);
  switch (id) {
    case kGetProbeInt:
      args.Set(intValue);
      break;
    case kGetProbeDword:
      args.Set(dwordValue);
      break;
    case kGetProbeFloat:
      args.Set(floatValue);
      break;
    case kGetProbeVector3:
      args.Set(vectorValue);
      break;
    case kGetProbeString:
      args.AsString() = stringValue;
      break;
    case kGetProbeNamed:  // the value after the name, as data types write it
      if (args.GetText128() == stringValue) args.Set(floatValue, 128);
      break;
    case kGetProbeIndexed:
      args.Set(args.Get<std::uint32_t>() * 10);
      break;
    case kProbeDropScripts:
      SetUseScript(false);
      break;
    case kProbeDelete:  // asked for at once; a running script defers it
      Delete(false);
      return 1;
    default:
      break;
  }
  return Object::ExecuteCommand(id, block);
}

void ScriptTest::SetUp() {
  FreeCommandRegistry();
  RegisterProbeCommands();
  SetObjectHooks(&services);
  root = std::make_unique<Probe>(&log);
  root->SetName("root");
  level = Add(*root, "Level");
  door = Add(*level, "Door");
  player = Add(*level, "Player");
  other = Add(*root, "Hub");
  services.AddGlobalAccessObject(*other);
}

void ScriptTest::TearDown() {
  root.reset();
  SetObjectHooks(nullptr);
  FreeCommandRegistry();
}

Probe* ScriptTest::Add(Object& parent, const std::string& name) {
  auto probe = std::make_unique<Probe>(&log);
  probe->SetName(name);
  return static_cast<Probe*>(parent.AddChild(std::move(probe)));
}

std::vector<Call> ScriptTest::Run(const std::string& text, Object* sender, Object* context) {
  log.clear();
  RunScriptText(context ? *context : *door, text, sender);
  return std::move(log);
}

}  // namespace tge::scripttest
