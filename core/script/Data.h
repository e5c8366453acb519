// Data (class 48): a script-visible list of named, typed values (counters,
// flags, colours) that scripts set, add to and read by name. With its change
// event on, every change by name runs the Data object's script that bears the
// value's name. Entries are edited by index, the way an editor's list works:
// select one, then set its name or type.
//
// A value holds 16 bytes whatever its type says: a larger type never makes an
// entry read, write or save more.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/CommandTable.h"
#include "core/Object.h"

namespace tge {

inline constexpr std::size_t kDataValueBytes = 16;

struct DataEntry {
  std::int32_t type = 0;  // a ValueTypeId
  std::int32_t size = 0;  // bytes of the value that count, at most 16
  std::array<std::uint8_t, kDataValueBytes> value{};
  std::string name;
};

class Data : public Object {
 public:
  static const CommandEntry<Data> kCommands[];
  static const CommandEntry<Data> kEditorCommands[];

  Data();
  int ExecuteCommand(std::uint32_t id, void* args) override;
  bool Serialize(SerializeStream& stream) override;

  const std::vector<DataEntry>& GetEntries() const { return entries_; }
  int GetSelectedEntry() const { return selectedEntry_; }

  // Registered commands.
  int SetEnableOnDataChangeEvent(CommandArgs args);
  int GetEnableOnDataChangeEvent(CommandArgs args);
  int AddData(CommandArgs args);
  int SetDataList(CommandArgs args);
  int GetDataList(CommandArgs args);
  int DeleteData(CommandArgs args);
  int SetDataName(CommandArgs args);
  int GetDataName(CommandArgs args);
  int SetDataType(CommandArgs args);
  int GetDataType(CommandArgs args);
  int SetDataFloat(CommandArgs args);
  int GetDataFloat(CommandArgs args);
  int AddDataFloat(CommandArgs args);
  int SetDataUInt(CommandArgs args);
  int GetDataUInt(CommandArgs args);
  int AddDataUInt(CommandArgs args);
  int SetDataColor(CommandArgs args);
  int GetDataColor(CommandArgs args);
  int SetDataColorR(CommandArgs args);
  int GetDataColorR(CommandArgs args);
  int SetDataColorG(CommandArgs args);
  int GetDataColorG(CommandArgs args);
  int SetDataColorB(CommandArgs args);
  int GetDataColorB(CommandArgs args);
  // Sent by the editor, never registered.
  int CreateChangeScript(CommandArgs args);
  int SetValueText(CommandArgs args);
  int GetValueText(CommandArgs args);

 private:
  // The first entry with exactly this name (the String128 at the block's
  // start); null when none has it.
  DataEntry* FindByName(CommandArgs args);
  DataEntry* Selected();
  // Writes count floats from the block after the name at component first.
  int SetFloats(CommandArgs args, std::size_t first, std::size_t count);
  int GetFloats(CommandArgs args, std::size_t first, std::size_t count);
  void Changed(const DataEntry& entry);

  std::vector<DataEntry> entries_;
  std::uint32_t dataFlags_ = 0;
  std::int32_t selectedEntry_ = -1;
};

// Adds Data's commands to the registry and Data to the object factory.
void RegisterDataCommands();

}  // namespace tge
