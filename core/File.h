// A File: an object whose children are the contents of one object file.
// Loading reads the file's objects under it, saving writes its subtree back,
// unloading deletes the children. Both go through the engine's object-file
// reader and writer (the object hooks), from the data path or, with
// FileEnablePath, from the File's own folder under the data root. The World
// derives from it.
#pragma once
#include <cstdint>
#include <string>

#include "core/CommandTable.h"
#include "core/Object.h"

namespace tge {

inline constexpr std::uint32_t kFileLoaded = 0x1;
inline constexpr std::uint32_t kFileAutoLoad = 0x2;
inline constexpr std::uint32_t kFileDeleteObjectsNextFrame = 0x4;
inline constexpr std::uint32_t kFileEnablePath = 0x8;
inline constexpr int kEventOnFileLoaded = 2265;
inline constexpr int kEventOnFileUnloaded = 2266;

class File : public Object {
 public:
  static const CommandEntry<File> kCommands[];

  File();
  File(const File& source) = default;

  int ExecuteCommand(std::uint32_t id, void* args) override;
  bool Serialize(SerializeStream& stream) override;

  const std::string& GetFileName() const { return fileName_; }
  const std::string& GetFilePath() const { return filePath_; }
  std::uint32_t GetFileFlags() const { return fileFlags_; }
  void SetFileFlag(std::uint32_t bit, bool on) { fileFlags_ = on ? (fileFlags_ | bit) : (fileFlags_ & ~bit); }
  bool IsLoaded() const { return (fileFlags_ & kFileLoaded) != 0; }

  // Unloads first when loaded; with FileEnablePath tries the File's folder,
  // then the plain data path. On success the name becomes the File's.
  bool FileLoadObjects(const std::string& name);
  // Writes the subtree (the File itself not included); on success the name
  // becomes the File's.
  bool FileSaveObjects(const std::string& name);
  void FileUnload();

 protected:
  explicit File(int classId);

 private:
  int FileLoadCommand(CommandArgs args);
  int FileUnloadCommand(CommandArgs args);
  int FileOpenCommand(CommandArgs args);
  int FileSaveCommand(CommandArgs args);
  int FileSaveAsCommand(CommandArgs args);
  // Runs an operation with the data path set to the File's own folder when
  // FileEnablePath asks for it (and, when it fails, once more on the plain
  // data path if asked), and puts the data path back afterwards.
  template <class Operation>
  bool WithFilePath(bool retryOnDataPath, Operation&& operation);
  template <std::string File::*Field>
  int SetText(CommandArgs args);
  template <std::string File::*Field>
  int GetText(CommandArgs args);
  template <std::uint32_t Bit>
  int SetFileFlagCommand(CommandArgs args);

  std::string fileName_;
  std::string filePath_;
  std::uint32_t fileFlags_ = kFileAutoLoad;
};

void RegisterFileCommands();

}  // namespace tge
