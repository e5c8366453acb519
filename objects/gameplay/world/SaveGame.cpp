// SaveGame's command table, save, poll and file record.
#include "objects/gameplay/world/SaveGame.h"

#include <type_traits>
#include <vector>

#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"
#include "services/EngineServices.h"

namespace tge {
namespace {

constexpr auto C = CommandKind::kCommand;
constexpr auto P = CommandKind::kProperty;
constexpr auto E = CommandKind::kEvent;
constexpr std::uint32_t kCollectSaveGameObjects = 12;
// A storage status that ends the operation with an error at once.
constexpr int kStatusFailed = 9;

SaveStorage* Storage() {
  EngineServices* services = GetEngineServices();
  return services != nullptr ? &services->GetSaveStorage() : nullptr;
}

}  // namespace

// clang-format off
constexpr CommandEntry<SaveGame> SaveGame::kCommands[] = {
    {19500, "SaveGameName", P, 0, {kValueString}, Member<&SaveGame::SetText<&SaveGame::name_>>, Member<&SaveGame::GetText<&SaveGame::name_>>},
    {19502, "SaveGameNode", P, 0, {kValueString}, Member<&SaveGame::SetText<&SaveGame::node_>>, Member<&SaveGame::GetText<&SaveGame::node_>>},
    {19504, "SaveGameListBox", P, 0, {kValueString}, Member<&SaveGame::SetListBoxCommand>, Member<&SaveGame::GetText<&SaveGame::listBox_>>},
    {19506, "SaveGameSave", C, 0, {}, Member<&SaveGame::SaveCommand>},
    {19507, "SaveGameLoad", C, 0, {}},
    {19508, "SaveGameDelete", C, 0, {}, Member<&SaveGame::DeleteCommand>},
    {19509, "SaveGamePlayerName", P, 0, {kValueString}, Member<&SaveGame::SetText<&SaveGame::playerName_>>, Member<&SaveGame::GetText<&SaveGame::playerName_>>},
    {19511, "SaveGamePlayerListBox", P, 0, {kValueString}},
    {19513, "SaveGameSavePlayer", C, 0, {}, Member<&SaveGame::SavePlayerCommand>},
    {19514, "SaveGameLoadPlayer", C, 0, {}, Member<&SaveGame::LoadPlayerCommand>},
    {19515, "SaveGameDeletePlayer", C, 0, {}, Member<&SaveGame::DeletePlayerCommand>},
    {19516, "OnSaveGameSave", E, 0, {}},
    {19517, "OnSaveGameSaveError", E, 0, {}},
    {19518, "OnSaveGameSaveSuccess", E, 0, {}},
    {19519, "OnSaveGameLoad", E, 0, {}},
    {19520, "OnSaveGameLoadError", E, 0, {}},
    {19521, "OnSaveGameLoadSuccess", E, 0, {}},
    {19522, "OnSaveGameDelete", E, 0, {}},
    {19523, "OnSaveGameDeleteError", E, 0, {}},
    {19524, "OnSaveGameDeleteSuccess", E, 0, {}},
    {19525, "OnSaveGameSavePlayer", E, 0, {}},
    {19526, "OnSaveGameSavePlayerError", E, 0, {}},
    {19527, "OnSaveGameSavePlayerSuccess", E, 0, {}},
    {19528, "OnSaveGameLoadPlayer", E, 0, {}},
    {19529, "OnSaveGameLoadPlayerError", E, 0, {}},
    {19530, "OnSaveGameLoadPlayerSuccess", E, 0, {}},
    {19531, "OnSaveGameDeletePlayer", E, 0, {}},
    {19532, "OnSaveGameDeletePlayerError", E, 0, {}},
    {19533, "OnSaveGameDeletePlayerSuccess", E, 0, {}},
};

std::span<const CommandEntry<SaveGame>> SaveGame::Commands() { return kCommands; }
// clang-format on

SaveGame::SaveGame() : Object(kClassSaveGame) {}

SaveGame::SaveGame(const SaveGame& source)
    : Object(source),
      name_(source.name_),
      node_(source.node_),
      listBox_(source.listBox_),
      playerName_(source.playerName_),
      timeout_(source.timeout_),
      reserved_(source.reserved_) {}

SaveGame::~SaveGame() = default;

int SaveGame::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<SaveGame> handlers(kClassSaveGame, {kCommands});
  handlers.Run(*this, id, args);
  return Object::ExecuteCommand(id, args);
}

template <auto Field>
int SaveGame::SetText(CommandArgs args) {
  this->*Field = args.AsString();
  return 1;
}

template <auto Field>
int SaveGame::GetText(CommandArgs args) {
  args.AsString() = this->*Field;
  return 1;
}

int SaveGame::SetListBoxCommand(CommandArgs args) {
  listBox_ = args.AsString();
  listBoxObject_.Set(ResolveObjectPath(this, listBox_, nullptr, nullptr));
  return 1;
}

int SaveGame::SaveCommand(CommandArgs) {
  Save();
  return 1;
}

int SaveGame::DeleteCommand(CommandArgs) {
  Begin(kDelete, kEventOnSaveGameDelete);
  return 1;
}

int SaveGame::SavePlayerCommand(CommandArgs) {
  Begin(kSavePlayer, kEventOnSaveGameSavePlayer);
  const std::int32_t record = kPlayerRecord;
  if (SaveStorage* storage = Storage()) storage->WriteSaveData(playerName_, &record, sizeof(record));
  return 1;
}

int SaveGame::LoadPlayerCommand(CommandArgs) {
  Begin(kLoadPlayer, kEventOnSaveGameLoadPlayer);
  return 1;
}

int SaveGame::DeletePlayerCommand(CommandArgs) {
  Begin(kDeletePlayer, kEventOnSaveGameDeletePlayer);
  return 1;
}

void SaveGame::Begin(Operation operation, int event) {
  if (operation_ != operation) {
    operation_ = operation;
    operationTime_ = 0;
  }
  FireEvent(event, nullptr);
}

void SaveGame::Finish(int event) {
  operation_ = kNone;
  operationTime_ = 0;
  FireEvent(event, nullptr);
}

// A save that stores nothing is a failed save, never a success; the
// storage is not called, so the last save under the name stays.
void SaveGame::Save() {
  Begin(kSave, kEventOnSaveGameSave);
  buffer_.reset();
  SaveStorage* storage = Storage();
  std::unique_ptr<SaveGameBuffer> buffer = BuildBuffer();
  if (storage == nullptr || buffer == nullptr) return Finish(kEventOnSaveGameSaveError);
  buffer_ = std::move(buffer);
  storage->WriteSaveData(name_, buffer_->GetData(), static_cast<std::uint32_t>(buffer_->GetSize()));
}

std::unique_ptr<SaveGameBuffer> SaveGame::BuildBuffer() {
  Object* node = ResolveObjectPath(this, node_, nullptr, nullptr);
  if (node == nullptr) return nullptr;
  std::vector<Object*> objects;
  node->ExecuteCommand(kCollectSaveGameObjects, &objects);
  auto buffer = std::make_unique<SaveGameBuffer>();
  for (Object* object : objects) {
    const SaveGameBuffer::Result result = buffer->Append(*object);
    if (result != SaveGameBuffer::Result::kAppended && result != SaveGameBuffer::Result::kNoPath) return nullptr;
  }
  return buffer->GetRecordCount() > 0 ? std::move(buffer) : nullptr;
}

void SaveGame::Update() {
  if (!GetActive()) return;
  operationTime_ += GetFrameTime();
  SaveStorage* storage = Storage();
  if (storage == nullptr || (operation_ != kSave && operation_ != kSavePlayer)) return;
  std::int32_t result = 0;
  const int status = storage->GetSaveStatus(0, 0, &result);
  const bool player = operation_ == kSavePlayer;
  if (status == kStatusFailed) return Finish(player ? kEventOnSaveGameSavePlayerError : kEventOnSaveGameSaveError);
  if (status != 0 || operationTime_ <= timeout_) return;
  if (result == -1) return Finish(player ? kEventOnSaveGameSavePlayerError : kEventOnSaveGameSaveError);
  if (result != 1) return;
  if (player) {
    operation_ = kNone;
    return;
  }
  Finish(kEventOnSaveGameSaveSuccess);
}

void SaveGame::Precalculate() {
  if (EngineServices* services = GetEngineServices()) {
    services->GetSaveStorage().SetSaveDirectory(services->GetDataFolder() + "SaveGame\\");
  }
  EnableUpdate();
  Object::Precalculate();
}

bool SaveGame::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  if (stream.GetVersion() >= 1) {
    stream.Serialize(reserved_);
    stream.SerializeString(name_);
    stream.SerializeString(node_);
    stream.SerializeString(listBox_);
  }
  return !stream.Failed();
}

void RegisterSaveGameCommands() {
  RegisterCommandTable<SaveGame>(BuildCommandRegistry(), kClassSaveGame, SaveGame::Commands());
  GetObjectFactory().RegisterType<SaveGame>(kClassSaveGame);
}

}  // namespace tge
