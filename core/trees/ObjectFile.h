// Object files: a version word, an object count, then per object the index
// of its parent in the file (-1: the object the file is loaded into) and the
// object's own serialised state, which starts with its class id.
//
// The reader trusts nothing it has not checked: a count larger than the
// file, a parent index out of range or in a loop, an unknown class id or a
// truncated record refuses the whole file. Objects are attached only once
// every record has been read, so a refused file leaves nothing behind.
// Files and Worlds with FileAutoLoad load their own files as part of the
// load; nesting stops at a file already being loaded and at a fixed depth.
// The writer goes to the disk through WriteDiskFileSafely.
#pragma once
#include <memory>
#include <string>
#include <vector>

namespace tge {

class Object;
class SerializeStream;

class ObjectFile {
 public:
  static constexpr int kVersion = 81;
  // Nested files deeper than this are not loaded.
  static constexpr int kMaxNestingDepth = 16;

  // dataPath is read for every file and changed while a File with
  // FileEnablePath loads from its own folder under dataRoot.
  ObjectFile(std::string& dataPath, const std::string& dataRoot);

  // The file (relative to the data path) from the current file system, or
  // from the disk when the current one does not have it.
  bool Load(Object& parent, const std::string& name);
  // The objects of an open stream; name is used in error texts only.
  bool Load(Object& parent, SerializeStream& stream, const std::string& name);

  // root's descendants, and root first with includeRoot; name relative to
  // the data path unless absolutePath. Without a stream the file is written
  // to the disk; a given stream is written into and left open.
  bool Save(Object& root, const std::string& name, bool includeRoot, bool absolutePath,
            SerializeStream* stream = nullptr);

  // Why the last Load or Save failed.
  const std::string& GetError() const { return error_; }

 private:
  struct Records;
  bool ReadRecords(SerializeStream& stream, const std::string& name, Records& records);
  bool CheckParents(const Records& records, const std::string& name);
  void LoadNestedFiles(const std::vector<Object*>& objects);
  bool LoadNested(Object& file, const std::string& name, bool enablePath, const std::string& folder);
  bool Fail(const std::string& text);

  std::string& dataPath_;
  const std::string& dataRoot_;
  std::vector<std::string> loading_;
  std::string error_;
};

}  // namespace tge
