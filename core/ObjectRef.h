// A weak reference to an object that is not one's own child (a target, a
// focused widget, a pool's clone): it reads null once the object is
// destroyed, so a pointer kept across frames can never dangle.
#pragma once
#include <memory>

#include "core/Object.h"

namespace tge {

template <class T = Object>
class ObjectRef {
 public:
  ObjectRef() = default;
  ObjectRef(T* object) { Set(object); }  // NOLINT: converts like the pointer it replaces

  void Set(T* object) { anchor_ = object ? static_cast<const Object*>(object)->GetAnchor() : nullptr; }
  void Reset() { anchor_.reset(); }

  // The object, or null once it is gone (or when none was set). The type is
  // the one given at Set, which the class id vouched for.
  T* Get() const { return anchor_ ? static_cast<T*>(anchor_->object) : nullptr; }
  T* operator->() const { return Get(); }
  explicit operator bool() const { return Get() != nullptr; }

  friend bool operator==(const ObjectRef& ref, const T* object) { return ref.Get() == object; }

 private:
  std::shared_ptr<ObjectAnchor> anchor_;
};

}  // namespace tge
