#include "core/trees/ObjectFile.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <unordered_map>

#include "core/ClassIds.h"
#include "core/File.h"
#include "core/ObjectFactory.h"
#include "core/files/SafeFileWriter.h"
#include "core/files/SerializeStream.h"

namespace tge {
namespace {

// The least a record takes: its parent index and its class id.
constexpr std::int64_t kMinimumRecordBytes = 8;

// Paths compare the way the disk and the archive find them.
std::string NormalisedPath(const std::string& path) {
  std::string normalised = path;
  for (char& c : normalised) {
    c = c == '\\' ? '/' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return normalised;
}

bool LoadsOwnFile(const Object& object) {
  const int classId = object.GetClassId();
  if (classId != kClassFile && classId != kClassWorld) return false;
  return (static_cast<const File&>(object).GetFileFlags() & kFileAutoLoad) != 0;
}

}  // namespace

struct ObjectFile::Records {
  std::vector<std::unique_ptr<Object>> objects;
  std::vector<std::int32_t> parents;
};

ObjectFile::ObjectFile(std::string& dataPath, const std::string& dataRoot)
    : dataPath_(dataPath), dataRoot_(dataRoot) {}

bool ObjectFile::Fail(const std::string& text) {
  error_ = text;
  return false;
}

bool ObjectFile::Load(Object& parent, const std::string& name) {
  const std::string path = dataPath_ + name;
  SerializeStream stream;
  bool opened = stream.OpenAndLoad(path);
  if (!opened && stream.GetFileSystem() != GetDiskFileSystem()) {
    stream.SetFileSystem(GetDiskFileSystem());
    opened = stream.OpenAndLoad(path);
  }
  if (!opened) return Fail("Error Opening File: " + path);
  loading_.push_back(NormalisedPath(path));
  const bool loaded = Load(parent, stream, path);
  loading_.pop_back();
  stream.Close();
  return loaded;
}

bool ObjectFile::Load(Object& parent, SerializeStream& stream, const std::string& name) {
  if (stream.GetSize() == 0) return Fail("Object file " + name + ": the file is empty");
  std::int32_t version = 0;
  stream.Serialize(version);
  if (stream.Failed() || version < 0 || version > kVersion) {
    return Fail("Object file " + name + ": not an object file of version " + std::to_string(kVersion) +
                " or older");
  }
  stream.SetVersion(version);
  Records records;
  if (!ReadRecords(stream, name, records) || !CheckParents(records, name)) return false;

  std::vector<Object*> loaded;
  for (const auto& object : records.objects) loaded.push_back(object.get());
  for (std::size_t i = 0; i < loaded.size(); ++i) {
    const std::int32_t at = records.parents[i];
    Object& target = at < 0 ? parent : *loaded[static_cast<std::size_t>(at)];
    target.AddChild(std::move(records.objects[i]));
  }
  LoadNestedFiles(loaded);
  return true;
}

bool ObjectFile::ReadRecords(SerializeStream& stream, const std::string& name, Records& records) {
  std::int32_t count = 0;
  stream.Serialize(count);
  const std::int64_t left = stream.GetSize() - stream.Tell();
  if (stream.Failed() || count < 0 || count > left / kMinimumRecordBytes) {
    return Fail("Object file " + name + ": object count " + std::to_string(count) + " does not fit the file");
  }
  for (std::int32_t i = 0; i < count; ++i) {
    std::int32_t parentIndex = 0;
    std::int32_t classId = 0;
    stream.Serialize(parentIndex);
    stream.Serialize(classId);
    stream.Seek(-4, kSeekCurrent);
    const std::string where = "Object file " + name + ", object " + std::to_string(i);
    if (stream.Failed()) return Fail(where + ": truncated");
    if (GetObjectFactory().GetClassStatus(classId) != ClassStatus::kBuilt) {
      return Fail(where + ": unknown class id " + std::to_string(classId));
    }
    records.objects.push_back(CreateObject(classId, nullptr, nullptr));
    records.parents.push_back(parentIndex);
    if (!records.objects.back()->Serialize(stream)) {
      return Fail(where + " \"" + records.objects.back()->GetName() + "\": truncated or damaged record");
    }
  }
  return true;
}

// Every chain of parents has to end at -1: anything else would leave
// objects owning each other outside the tree.
bool ObjectFile::CheckParents(const Records& records, const std::string& name) {
  const auto count = static_cast<std::int32_t>(records.parents.size());
  enum : std::uint8_t { kUnseen, kWalking, kRooted };
  std::vector<std::uint8_t> state(records.parents.size(), kUnseen);
  for (std::int32_t start = 0; start < count; ++start) {
    std::vector<std::int32_t> chain;
    std::int32_t at = start;
    while (at >= 0 && state[static_cast<std::size_t>(at)] == kUnseen) {
      state[static_cast<std::size_t>(at)] = kWalking;
      chain.push_back(at);
      at = records.parents[static_cast<std::size_t>(at)];
      if (at < -1 || at >= count) {
        return Fail("Object file " + name + ", object " + std::to_string(chain.back()) + ": parent index " +
                    std::to_string(at) + " out of range");
      }
    }
    if (at >= 0 && state[static_cast<std::size_t>(at)] == kWalking) {
      return Fail("Object file " + name + ", object " + std::to_string(at) + ": parents form a loop");
    }
    for (std::int32_t index : chain) state[static_cast<std::size_t>(index)] = kRooted;
  }
  return true;
}

// A nested file that fails leaves its File unloaded; the outer load stands.
void ObjectFile::LoadNestedFiles(const std::vector<Object*>& objects) {
  for (Object* object : objects) {
    if (!LoadsOwnFile(*object)) continue;
    auto& file = static_cast<File&>(*object);
    const std::string remembered = dataPath_;
    const bool enablePath = (file.GetFileFlags() & kFileEnablePath) != 0;
    bool loaded = LoadNested(file, file.GetFileName(), enablePath, file.GetFilePath());
    if (!loaded && enablePath) {
      dataPath_ = remembered;
      loaded = LoadNested(file, file.GetFileName(), false, {});
    }
    if (loaded) file.SetFileFlag(kFileLoaded, true);
    dataPath_ = remembered;
  }
}

bool ObjectFile::LoadNested(Object& file, const std::string& name, bool enablePath, const std::string& folder) {
  if (enablePath) dataPath_ = dataRoot_ + folder;
  const std::string path = NormalisedPath(dataPath_ + name);
  if (static_cast<int>(loading_.size()) >= kMaxNestingDepth) {
    return Fail("Object file " + path + ": files nested deeper than " + std::to_string(kMaxNestingDepth));
  }
  if (std::find(loading_.begin(), loading_.end(), path) != loading_.end()) {
    return Fail("Object file " + path + ": already being loaded (files include each other)");
  }
  return Load(file, name);
}

bool ObjectFile::Save(Object& root, const std::string& name, bool includeRoot, bool absolutePath,
                      SerializeStream* stream) {
  const std::string path = absolutePath ? name : dataPath_ + name;
  std::vector<Object*> objects;
  if (includeRoot) objects.push_back(&root);
  root.CollectDescendants(objects, -1, kClassFile);
  std::erase_if(objects, [&root](const Object* object) {
    for (const Object* at = object; at != nullptr; at = at == &root ? nullptr : at->GetParent()) {
      if (at->IsRunTimeOnly()) return true;
    }
    return false;
  });
  if (objects.empty()) return Fail("Object file " + path + ": nothing to save");

  std::unordered_map<const Object*, std::int32_t> positions;
  for (std::size_t i = 0; i < objects.size(); ++i) positions.emplace(objects[i], static_cast<std::int32_t>(i));
  auto write = [&objects, &positions](SerializeStream& out) {
    out.SetVersion(kVersion);
    std::int32_t version = kVersion;
    auto count = static_cast<std::int32_t>(objects.size());
    out.Serialize(version);
    out.Serialize(count);
    for (Object* object : objects) {
      const auto parent = positions.find(object->GetParent());
      std::int32_t parentIndex = parent == positions.end() ? -1 : parent->second;
      out.Serialize(parentIndex);
      if (!object->Serialize(out)) return false;
    }
    return !out.Failed();
  };
  const bool written = stream != nullptr ? write(*stream) : WriteDiskFileSafely(path, write);
  return written || Fail("Error Writing File: " + path);
}

}  // namespace tge
