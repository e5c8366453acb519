#include "core/ObjectFactory.h"

namespace tge {
namespace {

// The base object as the factory makes it: reaches the protected copy
// constructor, and copies any object of class id 0 without a downcast.
class BaseObject : public Object {
 public:
  BaseObject() = default;
  explicit BaseObject(const Object& source) : Object(source) {}
};

std::unique_ptr<Object> MakeBaseObject() { return std::make_unique<BaseObject>(); }

std::unique_ptr<Object> CopyBaseObject(const Object& source) {
  std::unique_ptr<Object> copy = std::make_unique<BaseObject>(source);
  copy->CopyFrom(source);
  return copy;
}

bool IsMadeHere(int classId) { return GetClassName(classId) != nullptr && classId != kClassEngine; }

}  // namespace

ObjectFactory::ObjectFactory() { RegisterType(kClassObject, MakeBaseObject, CopyBaseObject); }

bool ObjectFactory::RegisterType(int classId, Maker maker, Copier copier) {
  if (!IsMadeHere(classId) || maker == nullptr || copier == nullptr) return false;
  entries_[static_cast<std::size_t>(classId)] = {maker, copier};
  return true;
}

ClassStatus ObjectFactory::GetClassStatus(int classId) const {
  if (!IsMadeHere(classId)) return ClassStatus::kNoType;
  return entries_[static_cast<std::size_t>(classId)].maker ? ClassStatus::kBuilt : ClassStatus::kNotBuilt;
}

std::unique_ptr<Object> ObjectFactory::Make(int classId, const Object* source) const {
  if (source != nullptr) classId = source->GetClassId();
  if (GetClassStatus(classId) != ClassStatus::kBuilt) return nullptr;
  const Entry& entry = entries_[static_cast<std::size_t>(classId)];
  return source ? entry.copier(*source) : entry.maker();
}

ObjectFactory& GetObjectFactory() {
  static ObjectFactory factory;
  return factory;
}

std::unique_ptr<Object> CreateObject(int classId, const Object* source, const char* name) {
  std::unique_ptr<Object> object = GetObjectFactory().Make(classId, source);
  if (object && name != nullptr) object->SetName(name);
  return object;
}

Object* CreateObject(int classId, const Object* source, Object& parent, const char* name) {
  std::unique_ptr<Object> object = CreateObject(classId, source, name);
  if (!object) return nullptr;
  Object* attached = parent.AddChild(std::move(object));
  attached->SetWorld(parent.GetWorld());
  return attached;
}

}  // namespace tge
