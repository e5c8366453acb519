#include "objects/ui/InfoText.h"

#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/commands/InterfaceTypeRegistration.h"
#include "core/files/SerializeStream.h"

namespace tge {

constexpr CommandEntry<InfoText> InfoText::kCommands[] = {
    {16000, "InfoText", CommandKind::kProperty, 0, {kValueString}, Member<&InfoText::SetInfoText>, Member<&InfoText::GetInfoText>},
};

InfoText::InfoText() : Object(kClassInfoText) {}

// Every id goes on to the base handler afterwards.
int InfoText::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<InfoText> handlers(kClassInfoText, {kCommands}, BlockRule::kEvery);
  handlers.Run(*this, id, args);
  return Object::ExecuteCommand(id, args);
}

int InfoText::SetInfoText(CommandArgs args) {
  text_ = args.AsString();
  return 1;
}

int InfoText::GetInfoText(CommandArgs args) {
  args.AsString() = text_;
  return 1;
}

bool InfoText::Serialize(SerializeStream& stream) { return SerializeTextRecord(*this, stream, reserved_, text_); }

bool SerializeTextRecord(Object& object, SerializeStream& stream, std::uint32_t& reserved, std::string& text) {
  if (!object.Object::Serialize(stream)) return false;
  if (stream.GetVersion() < 1) {
    if (!stream.IsWriting()) text.clear();
    return true;
  }
  stream.Serialize(reserved);
  stream.SerializeString(text);
  return !stream.Failed();
}

void RegisterInfoTextCommands() {
  RegisterCommandTable<InfoText>(BuildCommandRegistry(), kClassInfoText, InfoText::kCommands);
  GetObjectFactory().RegisterType<InfoText>(kClassInfoText);
}

}  // namespace tge
