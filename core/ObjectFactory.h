// Makes every scriptable object from a class id (a fresh object) or from an
// existing object (a copy of the same type). Each object type adds itself to
// the factory from its registration function, which the engine constructor
// calls in a fixed order; a class id whose type is not built gives null, and
// GetClassStatus tells that case apart from an id that names no type.
#pragma once
#include <array>
#include <memory>

#include "core/ClassIds.h"
#include "core/Object.h"

namespace tge {

enum class ClassStatus {
  kNoType,    // no type has the id (or it is the engine's own, never made here)
  kNotBuilt,  // a type has the id but has not added itself to the factory
  kBuilt,
};

class ObjectFactory {
 public:
  using Maker = std::unique_ptr<Object> (*)();
  using Copier = std::unique_ptr<Object> (*)(const Object& source);

  // Knows the base object from the start.
  ObjectFactory();

  // T has a default constructor and a copy constructor; a copy then gets
  // CopyFrom with its source.
  template <class T>
  void RegisterType(int classId) {
    RegisterType(classId, [] { return std::unique_ptr<Object>(new T()); },
                 [](const Object& source) {
                   std::unique_ptr<Object> copy(new T(static_cast<const T&>(source)));
                   copy->CopyFrom(source);
                   return copy;
                 });
  }
  // False for an id that names no type.
  bool RegisterType(int classId, Maker maker, Copier copier);

  ClassStatus GetClassStatus(int classId) const;
  // A fresh object, or with a source a copy of the source's type (the class
  // id is then ignored); null when the type is not built.
  std::unique_ptr<Object> Make(int classId, const Object* source) const;

 private:
  struct Entry {
    Maker maker = nullptr;
    Copier copier = nullptr;
  };
  std::array<Entry, kClassIdCount> entries_{};
};

// The program's factory, created on first use.
ObjectFactory& GetObjectFactory();

// A detached object, named when name is given; null when the type is not
// built.
std::unique_ptr<Object> CreateObject(int classId, const Object* source, const char* name);
// The same made the last child of parent, sharing its World and Space;
// null (and the parent untouched) when the type is not built.
Object* CreateObject(int classId, const Object* source, Object& parent, const char* name);

}  // namespace tge
