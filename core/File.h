// A File: an object whose children are the contents of one object file. This
// is the part every File has (its name, folder and flags, saved with it, and
// its property commands); loading, saving and unloading the file come with
// the object-file reader and writer. The World derives from it.
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

 protected:
  explicit File(int classId);

 private:
  template <std::string File::*Field>
  int SetText(CommandArgs args);
  template <std::string File::*Field>
  int GetText(CommandArgs args);
  template <std::uint32_t Bit>
  int SetFileFlagCommand(CommandArgs args);
  template <std::uint32_t Bit>
  int GetFileFlagCommand(CommandArgs args);

  std::string fileName_;
  std::string filePath_;
  std::uint32_t fileFlags_ = kFileAutoLoad;
};

void RegisterFileCommands();

}  // namespace tge
