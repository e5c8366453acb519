// The base of every loadable piece of data. A resource is created by the
// database, registered under a name and a type, acquired and released through
// counted handles (ResourceRef), loaded and unloaded any number of times, and
// deleted only when the database goes away.
//
// The hooks below let the database count, collect and instance resources
// without knowing each type: a type names the resources whose counts follow
// its own, the ones a load pass brings in with it, and whether acquiring it
// hands out a private instance.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "services/resources/ResourceType.h"

namespace tge {

class ResourceDatabase;
class SerializeStream;

class Resource {
 public:
  using Visitor = std::function<void(Resource&)>;

  explicit Resource(int type) : type_(type) {}
  virtual ~Resource() = default;
  Resource(const Resource&) = delete;
  Resource& operator=(const Resource&) = delete;

  // 1 at once when the data is already there.
  virtual int Load() { return 1; }
  // Frees what Load made; the resource stays registered.
  virtual int Unload() { return 1; }

  // The library record after its type id and slot: the shared fields, then
  // the type's own. References are written as names and resolved on reading
  // among the resources registered so far. False when a count in the record
  // is more than the rest of the stream can hold.
  bool Serialize(SerializeStream& stream, const ResourceDatabase& database);

  // Resources whose reference counts rise and fall with this one's.
  virtual void ForEachCountedReference(const Visitor&) {}
  // Resources a load pass over a set with dependencies brings in.
  virtual void ForEachDependency(const Visitor&) {}
  // True when an acquire must hand out a private instance (a static sound
  // already in use); Duplicate makes it, or gives null when it cannot.
  virtual bool NeedsInstance() const { return false; }
  virtual std::unique_ptr<Resource> Duplicate() { return nullptr; }
  // Called when a registered resource loses a holder (a sound stops).
  virtual void OnRelease() {}

  int GetSlot() const { return slot_; }
  bool IsRegistered() const { return slot_ >= 0; }
  int GetType() const { return type_; }
  int GetReferenceCount() const { return referenceCount_; }
  const std::string& GetName() const { return name_; }
  void SetName(const std::string& name) { name_ = name; }
  const std::string& GetFileName() const { return fileName_; }
  void SetFileName(const std::string& fileName) { fileName_ = fileName; }
  // The resource this instance was made from; null for the rest.
  Resource* GetSource() const { return source_; }

 protected:
  virtual bool SerializeFields(SerializeStream&, const ResourceDatabase&) { return true; }
  // Null while unregistered and never created by a database.
  ResourceDatabase* GetDatabase() const { return database_; }
  // The data folder, then "Data\", then the file name (or the given name).
  std::string GetDataPath() const { return GetDataPath(fileName_); }
  std::string GetDataPath(const std::string& name) const;

 private:
  friend class ResourceDatabase;

  int slot_ = -1;
  int type_;
  // Kept for the library record's layout; no operation uses it.
  std::int32_t reserved_ = 0;
  int referenceCount_ = 0;
  std::string name_;
  std::string fileName_;
  Resource* source_ = nullptr;
  ResourceDatabase* database_ = nullptr;
};

// The resource as its concrete type, or null when it is null or of another
// type. Every type declares `static constexpr int kType`.
template <class T>
T* ResourceCast(Resource* resource) {
  return resource && resource->GetType() == T::kType ? static_cast<T*>(resource) : nullptr;
}

// True when count items of at least itemBytes each fit in what is left of a
// stream being read; always true when writing.
bool CountFitsStream(SerializeStream& stream, std::uint64_t count, std::uint64_t itemBytes);

// A reference to another resource inside a library record: its name, or
// noneName for a null reference (none written as empty when noneName is
// empty). On reading the name is looked up case-insensitively as the given
// type; a name that resolves to nothing gives null.
void SerializeResourceName(SerializeStream& stream, const ResourceDatabase& database,
                           Resource*& reference, int type, const char* noneName = "");

}  // namespace tge
