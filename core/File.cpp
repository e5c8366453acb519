#include "core/File.h"

#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"

namespace tge {
namespace {

constexpr int kFirstVersionWithFileFields = 1;
constexpr int kFirstVersionWithFilePath = 60;

}  // namespace

const CommandEntry<File> File::kCommands[] = {
    {2255, "SetFileName", CommandKind::kCommand, kCommandSetter, {kValueString},
     &File::SetText<&File::fileName_>},
    {2256, "GetFileName", CommandKind::kCommand, kCommandGetter, {kValueString},
     &File::GetText<&File::fileName_>},
    {2257, "SetFileAutoLoad", CommandKind::kCommand, kCommandSetter, {kValueBool},
     &File::SetFileFlagCommand<kFileAutoLoad>},
    {2258, "GetFileAutoLoad", CommandKind::kCommand, kCommandGetter, {kValueBool},
     &File::GetFileFlagCommand<kFileAutoLoad>},
    {2259, "DeleteObjectsNextFrame", CommandKind::kProperty, 0, {kValueBool},
     &File::SetFileFlagCommand<kFileDeleteObjectsNextFrame>, &File::GetFileFlagCommand<kFileDeleteObjectsNextFrame>},
    {2261, "FileEnablePath", CommandKind::kProperty, 0, {kValueBool}, &File::SetFileFlagCommand<kFileEnablePath>,
     &File::GetFileFlagCommand<kFileEnablePath>},
    {2263, "FilePath", CommandKind::kProperty, 0, {kValueString}, &File::SetText<&File::filePath_>,
     &File::GetText<&File::filePath_>},
    {2265, "OnFileLoaded", CommandKind::kEvent, 0, {}},
    {2266, "OnFileUnloaded", CommandKind::kEvent, 0, {}},
};

File::File() : Object(kClassFile) {}

File::File(int classId) : Object(classId) {}

int File::ExecuteCommand(std::uint32_t id, void* args) {
  static const CommandDispatcher<File> dispatcher(kClassFile, kCommands);
  if (auto handler = dispatcher.Find(id); handler && args != nullptr) (this->*handler)(CommandArgs(args));
  return Object::ExecuteCommand(id, args);
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

template <std::uint32_t Bit>
int File::GetFileFlagCommand(CommandArgs args) {
  args.Set<std::int32_t>((fileFlags_ & Bit) != 0 ? 1 : 0);
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
