// The demo game's title menu: a bitmap font made from a built-in glyph
// table, the UI skin's sprites, two beeps, and a title window with Start and
// Quit buttons over the scene. The World's start sets the skin, loads the
// resources and focuses the title; Escape brings the title back.
#pragma once
#include <filesystem>
#include <string>

#include "services/ResourceDatabase.h"

namespace tge {

class Object;
struct SceneDescription;

// The font's resource name.
inline constexpr const char* kDemoFontName = "MenuFont";

// The font, skin sprites and beeps: files into dataFolder, records into
// the database. False with the error message set when a file cannot be
// written.
bool AddMenuResources(ResourceDatabase& resources, const std::filesystem::path& dataFolder);

// Adds the menu's resources and title window to a scene whose objects hold
// a World named worldName.
void AddTitleMenu(SceneDescription& scene, const std::string& worldName);

}  // namespace tge
