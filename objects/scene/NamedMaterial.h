// A material a scene object names: the name as scripts and files give it,
// and the material resource acquired by that name once the services know
// it. Copies hold their own reference.
#pragma once
#include <string>

#include "services/resources/ResourceRef.h"

namespace tge {

class Resource;
class ResourceSet;
class SerializeStream;

class NamedMaterial {
 public:
  const std::string& GetName() const { return name_; }
  // Lets the held material go and acquires the one of the new name.
  void SetName(const std::string& name);
  // Acquires the material by name when none is held; null while the
  // services know no such material.
  Resource* Acquire();
  Resource* Get() const { return material_.Get(); }
  explicit operator bool() const { return static_cast<bool>(material_); }
  void Release() { material_.Reset(); }
  // Collecting resources: acquired when need be, the material joins set.
  void Collect(ResourceSet& set);
  // The name as the file holds it; a loaded name is acquired anew.
  void Serialize(SerializeStream& stream);

 private:
  std::string name_;
  ResourceRef material_;
};

}  // namespace tge
