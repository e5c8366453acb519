#include "core/File.h"

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/ObjectHooks.h"
#include "core/files/SerializeStream.h"

namespace tge {
namespace {

constexpr int kFirstVersionWithFileFields = 1;
constexpr int kFirstVersionWithFilePath = 60;

}  // namespace

constexpr CommandEntry<File> File::kCommands[] = {
    {2250, "FileLoad", CommandKind::kCommand, kCommandSetter, {}, Member<&File::FileLoadCommand>},
    {2251, "FileUnLoad", CommandKind::kCommand, kCommandSetter, {}, Member<&File::FileUnloadCommand>},
    {2252, "FileOpen", CommandKind::kCommand, kCommandSetter, {kValueString}, Member<&File::FileOpenCommand>},
    {2253, "FileSave", CommandKind::kCommand, kCommandSetter, {}, Member<&File::FileSaveCommand>},
    {2254, "FileSaveAs", CommandKind::kCommand, kCommandSetter, {kValueString}, Member<&File::FileSaveAsCommand>},
    {2255, "SetFileName", CommandKind::kCommand, kCommandSetter, {kValueString},
     Member<&File::SetText<&File::fileName_>>},
    {2256, "GetFileName", CommandKind::kCommand, kCommandGetter, {kValueString},
     Member<&File::GetText<&File::fileName_>>},
    {2257, "SetFileAutoLoad", CommandKind::kCommand, kCommandSetter, {kValueBool},
     Member<&File::SetFileFlagCommand<kFileAutoLoad>>},
    {2258, "GetFileAutoLoad", CommandKind::kCommand, kCommandGetter, {kValueBool},
     FlagGetter<&File::fileFlags_, kFileAutoLoad>},
    {2259, "DeleteObjectsNextFrame", CommandKind::kProperty, 0, {kValueBool},
     Member<&File::SetFileFlagCommand<kFileDeleteObjectsNextFrame>>, FlagGetter<&File::fileFlags_, kFileDeleteObjectsNextFrame>},
    {2261, "FileEnablePath", CommandKind::kProperty, 0, {kValueBool}, Member<&File::SetFileFlagCommand<kFileEnablePath>>,
     FlagGetter<&File::fileFlags_, kFileEnablePath>},
    {2263, "FilePath", CommandKind::kProperty, 0, {kValueString}, Member<&File::SetText<&File::filePath_>>,
     Member<&File::GetText<&File::filePath_>>},
    {2265, "OnFileLoaded", CommandKind::kEvent, 0, {}},
    {2266, "OnFileUnloaded", CommandKind::kEvent, 0, {}},
};

File::File() : Object(kClassFile) {}

File::File(int classId) : Object(classId) {}

// Loading and unloading raise events whose scripts may unload the File
// holding this one: deletions wait until the command is done with it.
int File::ExecuteCommand(std::uint32_t id, void* args) {
  const DeletionHold hold;
  static constexpr CommandHandlers<File> handlers(kClassFile, {kCommands});
  handlers.Run(*this, id, args);
  return Object::ExecuteCommand(id, args);
}

template <class Operation>
bool File::WithFilePath(bool retryOnDataPath, Operation&& operation) {
  ObjectHooks* hooks = GetObjectHooks();
  if (hooks == nullptr) return false;
  const std::string remembered = hooks->GetDataPath();
  const bool enablePath = (fileFlags_ & kFileEnablePath) != 0;
  if (enablePath) hooks->SetDataPath(hooks->GetDataRoot() + filePath_);
  bool done = operation(*hooks);
  if (!done && enablePath && retryOnDataPath) {
    hooks->SetDataPath(remembered);
    done = operation(*hooks);
  }
  hooks->SetDataPath(remembered);
  return done;
}

bool File::FileLoadObjects(const std::string& name) {
  const DeletionHold hold;
  if (IsLoaded()) FileUnload();
  const std::string fileName = name;
  const bool loaded =
      WithFilePath(true, [this, &fileName](ObjectHooks& hooks) { return hooks.OpenObjectFile(*this, fileName); });
  SetFileFlag(kFileLoaded, loaded);
  if (loaded) fileName_ = fileName;
  return loaded;
}

bool File::FileSaveObjects(const std::string& name) {
  const std::string fileName = name;
  const bool saved =
      WithFilePath(false, [this, &fileName](ObjectHooks& hooks) { return hooks.SaveObjectFile(*this, fileName); });
  if (saved) fileName_ = fileName;
  return saved;
}

void File::FileUnload() {
  ExecuteCommand(kCommandReleasePhysics, nullptr);
  ExecuteCommand(kCommandStopPhysics, nullptr);
  const bool deferred = (fileFlags_ & kFileDeleteObjectsNextFrame) != 0;
  ObjectHooks* hooks = GetObjectHooks();
  while (GetChildCount() > 0) {
    std::unique_ptr<Object> child = DetachChild(*GetChild(0));
    if (hooks != nullptr) hooks->DeleteDetachedObject(std::move(child), deferred);
    else DestroyObjectTree(std::move(child));
  }
  SetFileFlag(kFileLoaded, false);
  FireEvent(kEventOnFileUnloaded, nullptr);
}

int File::FileLoadCommand(CommandArgs) {
  if (!fileName_.empty()) FileLoadObjects(fileName_);
  return 1;
}

int File::FileUnloadCommand(CommandArgs) {
  FileUnload();
  return 1;
}

int File::FileOpenCommand(CommandArgs args) {
  FileLoadObjects(args.AsString());
  return 1;
}

int File::FileSaveCommand(CommandArgs) {
  if (IsLoaded()) FileSaveObjects(fileName_);
  return 1;
}

int File::FileSaveAsCommand(CommandArgs args) {
  if (IsLoaded()) FileSaveObjects(args.AsString());
  return 1;
}

template <std::string File::*Field>
int File::SetText(CommandArgs args) {
  this->*Field = args.AsString();
  return 1;
}

template <std::string File::*Field>
int File::GetText(CommandArgs args) {
  args.AsString() = this->*Field;
  return 1;
}

template <std::uint32_t Bit>
int File::SetFileFlagCommand(CommandArgs args) {
  SetFileFlag(Bit, args.Get<std::int32_t>() != 0);
  return 1;
}

// Base record; version 1 added the flags and the name, version 60 the folder.
// A File is never loaded straight from its record: FileAutoLoad decides.
bool File::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  if (stream.GetVersion() >= kFirstVersionWithFileFields) {
    stream.Serialize(fileFlags_);
    stream.SerializeString(fileName_);
  }
  if (stream.GetVersion() >= kFirstVersionWithFilePath) stream.SerializeString(filePath_);
  if (!stream.IsWriting()) SetFileFlag(kFileLoaded, false);
  return !stream.Failed();
}

void RegisterFileCommands() {
  RegisterCommandTable<File>(BuildCommandRegistry(), kClassFile, File::kCommands);
  GetObjectFactory().RegisterType<File>(kClassFile);
}

}  // namespace tge
