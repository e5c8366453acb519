// The file name at the end of a path that may use '/' or '\' between its
// components, as the resource library names its files.
#pragma once
#include <string>
#include <string_view>

namespace tge {

// The part after the last '/' or '\' (the whole path when it has neither),
// at most its last 254 characters. Returned by value, so one call's result
// survives the next.
std::string GetFileNameFromPath(std::string_view path);

}  // namespace tge
