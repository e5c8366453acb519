#include "services/SaveStorage.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

#include "services/ErrorMessage.h"

namespace tge {
namespace {

constexpr const char* kApplicationFolder = "tarnwick";
constexpr std::uint32_t kSaveFileTag = 1;

std::string UserDataFolder() {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (xdg && xdg[0] == '/') return std::string(xdg) + "/" + kApplicationFolder;
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/.local/share/" + kApplicationFolder;
  return {};
}

bool HasDriveLetter(const std::string& path) {
  return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

bool IsPlainFileName(const std::string& name) {
  return !name.empty() && name.find_first_of("/\\") == std::string::npos && name.find("..") == std::string::npos;
}

}  // namespace

int SaveStorage::InitSaveStorage() {
  lastResult_ = 1;
  return 1;
}

std::string SaveStorage::ResolveSaveDirectory() const {
  std::string folder = HasDriveLetter(directory_) ? directory_.substr(2) : directory_;
  std::replace(folder.begin(), folder.end(), '\\', '/');
  if (!HasDriveLetter(directory_) && !folder.empty() && folder[0] == '/') return folder;
  folder.erase(0, folder.find_first_not_of('/'));
  const std::string base = UserDataFolder();
  if (base.empty()) return {};
  return folder.empty() ? base + "/" : base + "/" + folder;
}

std::string SaveStorage::GetSavePath(const std::string& name) const {
  if (!IsPlainFileName(name)) return {};
  std::string folder = ResolveSaveDirectory();
  if (folder.empty()) return {};
  if (folder.back() != '/') folder += '/';
  return folder + name;
}

int SaveStorage::WriteSaveData(const std::string& name, const void* data, std::uint32_t size) {
  if (!data || size == 0) {
    lastResult_ = 1;
    return 0;
  }
  const std::string path = GetSavePath(name);
  if (path.empty()) {
    FormatErrorMessage("File Open Error: bad save name or folder \"%s\"", name.c_str());
    lastResult_ = -1;
    return 0;
  }
  lastResult_ = WriteFile(path, data, size) ? 1 : -1;
  return 0;
}

bool SaveStorage::WriteFile(const std::string& path, const void* data, std::uint32_t size) {
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
  const std::string temporary = path + ".tmp";
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (!file) return FormatErrorMessage("File Open Error: %s", path.c_str());
  const std::uint32_t header[2] = {kSaveFileTag, size};
  bool ok = std::fwrite(header, sizeof header, 1, file) == 1 && std::fwrite(data, size, 1, file) == 1;
  ok = std::fflush(file) == 0 && ok && fsync(fileno(file)) == 0;
  ok = std::fclose(file) == 0 && ok;
  if (ok) {
    std::filesystem::rename(temporary, path, error);
    ok = !error;
  }
  if (!ok) {
    std::filesystem::remove(temporary, error);
    return FormatErrorMessage("File Write Error: %s", path.c_str());
  }
  return true;
}

int SaveStorage::GetSaveStatus(int, int, std::int32_t* result) const {
  if (result) *result = lastResult_;
  return 0;
}

}  // namespace tge
