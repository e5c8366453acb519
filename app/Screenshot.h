// The picture the render device last drew, written as a bitmap.
#pragma once
#include <string>

namespace tge {

// False with the reason in error when there is no OpenGL device to read or
// the file cannot be written.
bool WriteScreenshot(const std::string& path, std::string& error);

}  // namespace tge
