// Save storage: writes the save-game blocks the SaveGame type builds as one
// file per name in a save folder. The interface is shaped for storage that
// completes later (a status query after each operation); here every write
// completes at once.
//
// A write goes to a temporary file that is renamed over the old save only
// when it is complete, so a failed save never destroys the previous one.
// Save folders are given in the data's own form ("C:\", "...\SaveGame\"): a
// drive letter is dropped, and a relative folder lands below the user's data
// folder ($XDG_DATA_HOME, or ~/.local/share, then "tarnwick").
#pragma once
#include <cstdint>
#include <string>

namespace tge {

class SaveStorage {
 public:
  static constexpr const char* kDefaultDirectory = "C:\\";

  int InitSaveStorage();
  void SetSaveDirectory(const std::string& directory) { directory_ = directory; }
  const std::string& GetSaveDirectory() const { return directory_; }
  // The folder on this machine the saves go to; empty when there is no user
  // data folder to place a relative one under.
  std::string ResolveSaveDirectory() const;
  // The file a save of that name goes to; empty for a name that is not a
  // plain file name.
  std::string GetSavePath(const std::string& name) const;

  // Stores u32 1, u32 size, then the bytes. Always 0: the outcome is read
  // through GetSaveStatus, and a failure also leaves its reason in the
  // last-error text. Null data or size 0 writes nothing.
  int WriteSaveData(const std::string& name, const void* data, std::uint32_t size);
  // 0 (finished); the result is 1 after a successful write, -1 after a
  // failed one.
  int GetSaveStatus(int operation, int ignored, std::int32_t* result) const;

 private:
  bool WriteFile(const std::string& path, const void* data, std::uint32_t size);

  std::string directory_ = kDefaultDirectory;
  std::int32_t lastResult_ = 1;
};

}  // namespace tge
