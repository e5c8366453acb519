// The object tree: attaching, detaching and the depth-first searches every
// script path and collector walks.
#include <algorithm>

#include "core/Object.h"

namespace tge {
namespace {

bool Contains(std::span<const int> classIds, int classId) {
  return std::find(classIds.begin(), classIds.end(), classId) != classIds.end();
}

template <class Match>
Object* FindDescendant(const Object& root, const Match& match) {
  for (int i = 0; i < root.GetChildCount(); ++i) {
    Object* child = root.GetChild(i);
    if (match(*child)) return child;
    if (Object* found = FindDescendant(*child, match)) return found;
  }
  return nullptr;
}

template <class Match>
void Collect(const Object& root, std::vector<Object*>& out, const Match& match, int stopClassId) {
  for (int i = 0; i < root.GetChildCount(); ++i) {
    Object* child = root.GetChild(i);
    if (child->HasFlag(kFlagDeleting)) continue;
    if (match(*child)) out.push_back(child);
    if (child->GetClassId() != stopClassId) Collect(*child, out, match, stopClassId);
  }
}

}  // namespace

Object* Object::GetChild(int index) const {
  if (index < 0 || index >= GetChildCount()) return nullptr;
  return children_[static_cast<std::size_t>(index)].get();
}

Object* Object::AddChild(std::unique_ptr<Object>&& child) {
  if (!child || child->parent_ != nullptr || child->IsSelfOrAncestorOf(*this)) return nullptr;
  child->parent_ = this;
  child->space_ = space_;
  children_.push_back(std::move(child));
  return children_.back().get();
}

bool Object::AddChild(Object& child) {
  if (child.parent_ == nullptr || child.IsSelfOrAncestorOf(*this)) return false;
  return AddChild(child.parent_->DetachChild(child)) != nullptr;
}

std::unique_ptr<Object> Object::DetachChild(Object& child) {
  auto it = std::find_if(children_.begin(), children_.end(),
                         [&child](const auto& owned) { return owned.get() == &child; });
  if (it == children_.end()) return nullptr;
  std::unique_ptr<Object> detached = std::move(*it);
  children_.erase(it);
  detached->parent_ = nullptr;
  return detached;
}

std::vector<std::unique_ptr<Object>> Object::DetachChildren() {
  std::vector<std::unique_ptr<Object>> detached = std::move(children_);
  children_.clear();
  for (const std::unique_ptr<Object>& child : detached) child->parent_ = nullptr;
  return detached;
}

bool Object::IsSelfOrAncestorOf(const Object& object) const {
  for (const Object* at = &object; at != nullptr; at = at->parent_) {
    if (at == this) return true;
  }
  return false;
}

Object* Object::FindChildByName(const std::string& name, int classId) const {
  return FindDescendant(*this, [&](const Object& object) {
    return object.name_ == name && (classId == -1 || object.classId_ == classId);
  });
}

Object* Object::FindChildByClass(int classId) const {
  return FindDescendant(*this, [classId](const Object& object) { return object.classId_ == classId; });
}

void Object::CollectDescendants(std::vector<Object*>& out, int classId, int stopClassId) const {
  Collect(*this, out, [classId](const Object& object) { return classId == -1 || object.classId_ == classId; },
          stopClassId);
}

void Object::CollectDescendantsByClass(std::vector<Object*>& out, std::span<const int> classIds,
                                       int stopClassId) const {
  Collect(*this, out, [classIds](const Object& object) { return Contains(classIds, object.classId_); },
          stopClassId);
}

std::string Object::GetTreePath() const {
  std::string path;
  for (const Object* at = this; at != nullptr && at->parent_ != nullptr; at = at->parent_) {
    path.insert(0, "/" + at->name_);
  }
  return path;
}

}  // namespace tge
