// Object paths of the script language. A path starts at a head ("/" or
// "sys" for the root of the tree, "global" for a registered global-access
// object, "this", "parent") or at a given start object, then walks child
// names and "parent" steps separated by '/'. The walk stops at the first
// character that is not '/', normally the '.' before a command.
#include <algorithm>

#include "core/Object.h"
#include "core/ObjectHooks.h"
#include "core/script/ScriptInterpreter.h"
#include "core/script/ScriptText.h"

namespace tge {
namespace {

Object* RootOf(Object* object) {
  while (object != nullptr && object->GetParent() != nullptr) object = object->GetParent();
  return object;
}

// The first direct child with exactly this name; an empty name matches none.
Object* FindDirectChild(const Object& parent, std::string_view name) {
  if (name.empty()) return nullptr;
  for (int i = 0; i < parent.GetChildCount(); ++i) {
    Object* child = parent.GetChild(i);
    if (child->GetName() == name) return child;
  }
  return nullptr;
}

std::size_t SegmentEnd(std::string_view path, std::size_t pos) {
  const std::size_t end = path.find_first_of("/.", pos);
  return end == std::string_view::npos ? path.size() : end;
}

Object* FindGlobalObject(std::string_view name) {
  ObjectHooks* hooks = GetObjectHooks();
  return hooks != nullptr ? hooks->FindGlobalAccessObject(name) : nullptr;
}

}  // namespace

Object* Object::ResolveObjectPath(Object* context, std::string_view path, Object* start, std::size_t* consumed) {
  std::size_t pos = 0;
  Object* current = start;
  // After "/" and "sys" the first child name follows without a '/'.
  bool segmentFollows = false;
  if (current == nullptr) {
    if (StartsWithAt(path, 0, "/") || StartsWithAt(path, 0, "sys")) {
      current = RootOf(context);
      pos = path[0] == '/' ? 1 : 3;
      segmentFollows = true;
    } else if (StartsWithAt(path, 0, "global")) {
      pos = std::min(path.size(), std::size_t{7});
      const std::size_t end = SegmentEnd(path, pos);
      if (end - pos >= kPathSegmentChars) return nullptr;
      current = FindGlobalObject(path.substr(pos, end - pos));
      pos = end;
    } else if (StartsWithAt(path, 0, "this")) {
      current = context;
      pos = 4;
    } else if (StartsWithAt(path, 0, "parent")) {
      current = context != nullptr ? context->GetParent() : nullptr;
      pos = 6;
    }
  }
  while (current != nullptr) {
    if (segmentFollows) {
      segmentFollows = false;
    } else if (pos < path.size() && path[pos] == '/') {
      ++pos;
    } else {
      break;
    }
    const std::size_t end = SegmentEnd(path, pos);
    const std::string_view segment = path.substr(pos, end - pos);
    if (segment.size() >= kPathSegmentChars) return nullptr;
    current = segment == "parent" ? current->GetParent() : FindDirectChild(*current, segment);
    pos = end;
  }
  if (consumed != nullptr) *consumed = pos;
  return current;
}

Object* ResolveScriptPath(Object& context, std::string_view path, Object* sender) {
  if (sender != nullptr && path.starts_with("local")) {
    if (path.size() == 5) return sender;
    if (path[5] == '/') return Object::ResolveObjectPath(&context, path.substr(5), sender, nullptr);
  }
  return Object::ResolveObjectPath(&context, path, nullptr, nullptr);
}

}  // namespace tge
