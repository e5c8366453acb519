// InfoText (class 64): one piece of text carried in the scene tree (a
// label, a hint, a description of an object) that scripts set and read by
// the property InfoText. It draws nothing itself.
#pragma once
#include <cstdint>
#include <string>

#include "core/CommandTable.h"
#include "core/Object.h"

namespace tge {

class InfoText : public Object {
 public:
  static const CommandEntry<InfoText> kCommands[];

  InfoText();
  int ExecuteCommand(std::uint32_t id, void* args) override;
  bool Serialize(SerializeStream& stream) override;

  const std::string& GetText() const { return text_; }

  int SetInfoText(CommandArgs args);
  int GetInfoText(CommandArgs args);

 private:
  std::string text_;
  // Saved and loaded; nothing reads it.
  std::uint32_t reserved_ = 0;
};

// The record InfoText and MovieFMV share: the base object's, then, from
// file version 1, a reserved word and the text. An older record leaves the
// text empty.
bool SerializeTextRecord(Object& object, SerializeStream& stream, std::uint32_t& reserved, std::string& text);

// Adds InfoText's commands to the registry and InfoText to the object factory.
void RegisterInfoTextCommands();

}  // namespace tge
