// The demo's options and conversation, added to the title menu
// (DemoMenu.h): an Options window with a check box switching the fog, a
// slider for the World's time factor, a list of camera fields of view, a
// name field and the on-screen keyboard for the pad; and a Speak button
// that plays a three-phrase conversation from the text database written
// beside the library.
#pragma once
#include <string>

namespace tge {

struct SceneDescription;

// Adds the text database, the Options window, the dialog window and the
// title's two buttons to a scene whose World is named worldName and whose
// title window is "Title".
void AddOptionsMenu(SceneDescription& scene, const std::string& worldName);

}  // namespace tge
