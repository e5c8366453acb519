// SaveGame (class 78): writes a save game. It collects the objects with
// SaveGameEnable in a chosen subtree, writes each into one save-game buffer
// (SaveGameBuffer.h) and hands the buffer to the services' save storage
// under a name; its per-frame poll turns the storage's status into success
// or error events no sooner than the timeout after the save began. It also
// starts the player-record operations.
//
// A save that would store nothing, or whose records do not fit the buffer's
// bounds, writes nothing and raises the error event at once.
#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/ObjectRef.h"
#include "objects/gameplay/world/SaveGameBuffer.h"

namespace tge {

enum SaveGameEvent : int {
  kEventOnSaveGameSave = 19516,
  kEventOnSaveGameSaveError = 19517,
  kEventOnSaveGameSaveSuccess = 19518,
  kEventOnSaveGameDelete = 19522,
  kEventOnSaveGameSavePlayer = 19525,
  kEventOnSaveGameSavePlayerError = 19526,
  kEventOnSaveGameLoadPlayer = 19528,
  kEventOnSaveGameDeletePlayer = 19531,
};

class SaveGame : public Object {
 public:
  enum Operation : std::int32_t { kNone = 0, kSave = 1, kDelete = 3, kSavePlayer = 4, kLoadPlayer = 5, kDeletePlayer = 6 };
  // The value a player record holds.
  static constexpr std::int32_t kPlayerRecord = 99;

  static std::span<const CommandEntry<SaveGame>> Commands();
  static const CommandEntry<SaveGame> kCommands[];

  SaveGame();
  // The settings: the copy owns no buffer and no list-box object.
  SaveGame(const SaveGame& source);
  ~SaveGame() override;

  int ExecuteCommand(std::uint32_t id, void* args) override;
  bool Serialize(SerializeStream& stream) override;
  // The poll, while active.
  void Update() override;
  // Points the storage at the data folder's "SaveGame\" and joins the updates.
  void Precalculate() override;

  void Save();
  Operation GetOperation() const { return static_cast<Operation>(operation_); }
  const SaveGameBuffer* GetBuffer() const { return buffer_.get(); }
  Object* GetListBoxObject() const { return listBoxObject_.Get(); }

 private:
  template <auto Field>
  int SetText(CommandArgs args);
  template <auto Field>
  int GetText(CommandArgs args);
  int SetListBoxCommand(CommandArgs args);
  int SaveCommand(CommandArgs args);
  int DeleteCommand(CommandArgs args);
  int SavePlayerCommand(CommandArgs args);
  int LoadPlayerCommand(CommandArgs args);
  int DeletePlayerCommand(CommandArgs args);

  void Begin(Operation operation, int event);
  // Ends the operation with an event at once.
  void Finish(int event);
  // The filled buffer, or null (nothing to store, or a record too large).
  std::unique_ptr<SaveGameBuffer> BuildBuffer();

  std::string name_;
  std::string node_;
  std::string listBox_;
  ObjectRef<Object> listBoxObject_;
  std::string playerName_;
  std::unique_ptr<SaveGameBuffer> buffer_;
  float timeout_ = 2.0f;
  float operationTime_ = 0;
  std::int32_t operation_ = kNone;
  std::uint32_t reserved_ = 0;
};

void RegisterSaveGameCommands();

}  // namespace tge
