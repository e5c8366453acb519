#include "core/files/StdioFileSystem.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <optional>
#include <string_view>
#include <vector>

namespace tge {
namespace {

namespace fs = std::filesystem;

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

std::optional<std::string> FindNoCase(const fs::path& folder, std::string_view component) {
  std::error_code error;
  for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, error), end;
       !error && it != end; it.increment(error)) {
    std::string entry = it->path().filename().string();
    if (EqualNoCase(entry, component)) return entry;
  }
  return std::nullopt;
}

FILE* AsFile(FileHandle handle) { return reinterpret_cast<FILE*>(handle); }

// Windows mode letters such as 's' (sequential) or 't' (text) mean nothing
// here; only what the C library defines is passed on.
std::string HostMode(const std::string& mode) {
  std::string host;
  std::copy_if(mode.begin(), mode.end(), std::back_inserter(host),
               [](char c) { return std::string_view("rwab+").find(c) != std::string_view::npos; });
  return host;
}

}  // namespace

std::string ResolveDiskPath(const std::string& name, bool creating) {
  std::string path = name;
  std::replace(path.begin(), path.end(), '\\', '/');
  std::error_code error;
  if (path.empty() || fs::exists(path, error)) return path;

  std::vector<std::string> components;
  for (std::size_t begin = 0; begin <= path.size();) {
    std::size_t end = std::min(path.find('/', begin), path.size());
    if (end > begin) components.push_back(path.substr(begin, end - begin));
    begin = end + 1;
  }
  fs::path resolved = path.front() == '/' ? fs::path("/") : fs::path();
  for (std::size_t i = 0; i < components.size(); ++i) {
    const std::string& component = components[i];
    fs::path candidate = resolved / component;
    const bool keep = (creating && i + 1 == components.size()) || component == "." ||
                      component == ".." || fs::exists(candidate, error);
    std::optional<std::string> match = keep ? std::nullopt : FindNoCase(resolved, component);
    resolved = match ? resolved / *match : candidate;
  }
  return resolved.string();
}

// The C library opens a folder for reading, and its "size" is then
// meaningless: a folder is refused like a missing file.
FileHandle StdioFileSystem::Open(const std::string& name, const std::string& mode) {
  const bool creating = !mode.empty() && mode.front() == 'w';
  FILE* file = std::fopen(ResolveDiskPath(name, creating).c_str(), HostMode(mode).c_str());
  struct stat status {};
  if (file != nullptr && (fstat(fileno(file), &status) != 0 || S_ISDIR(status.st_mode))) {
    std::fclose(file);
    file = nullptr;
  }
  return reinterpret_cast<FileHandle>(file);
}

int StdioFileSystem::Close(FileHandle handle) {
  return handle == kNoFile ? EOF : std::fclose(AsFile(handle));
}

std::size_t StdioFileSystem::Read(void* destination, std::size_t elementSize, std::size_t count,
                                  FileHandle handle) {
  if (handle == kNoFile || elementSize == 0) return 0;
  return std::fread(destination, elementSize, count, AsFile(handle));
}

std::size_t StdioFileSystem::Write(const void* source, std::size_t elementSize,
                                   std::size_t count, FileHandle handle) {
  if (handle == kNoFile || elementSize == 0) return 0;
  return std::fwrite(source, elementSize, count, AsFile(handle));
}

std::int64_t StdioFileSystem::Tell(FileHandle handle) {
  return handle == kNoFile ? -1 : ftello(AsFile(handle));
}

int StdioFileSystem::Seek(FileHandle handle, std::int64_t offset, int origin) {
  static constexpr int kWhence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
  if (handle == kNoFile || origin < kSeekStart || origin > kSeekEnd) return -1;
  return fseeko(AsFile(handle), static_cast<off_t>(offset), kWhence[origin]);
}

int StdioFileSystem::Eof(FileHandle handle) {
  return handle == kNoFile ? 1 : (std::feof(AsFile(handle)) ? 1 : 0);
}

std::int64_t StdioFileSystem::GetEntrySize(const std::string&) { return 0; }

std::int64_t StdioFileSystem::GetEntryOffset(const std::string&) { return 0; }

}  // namespace tge
