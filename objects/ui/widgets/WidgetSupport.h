// Small services the widget types share: the skin's button sounds started
// once, materials and fonts acquired by name, the colour a widget's
// decorations (check mark, arrows, knob) take while it is enabled or not,
// and the hit test of a part of a widget.
#pragma once
#include <string>

#include "core/math/Color.h"
#include "objects/ui/widgets/Window.h"
#include "services/resources/ResourceRef.h"

namespace tge {

class ResourceSet;

// Start the skin's sound once, from its start; nothing without an engine.
void StartSkinActionSound();
void StartSkinHiliteSound();

// Acquires the named resource into ref unless ref holds one or the name is
// empty; Reacquire drops what ref held first.
void AcquireByName(ResourceRef& ref, const std::string& name, int type);
void ReacquireByName(ResourceRef& ref, const std::string& name, int type);
// Internal command 11 for one named material: acquire, then join the set.
void CollectNamed(ResourceRef& ref, const std::string& name, int type, ResourceSet& set);

// White at the action value, or dimmed to 0.7 on every component when the
// widget is disabled.
Color DecorationColour(bool enabled, float actionValue);

// The hit test of windows, for a part of one (an arrow, a knob): strictly
// inside; z is ignored.
inline bool StrictlyInside(const ScreenRect& rect, const Vector3& point) {
  return rect.left < point.x && point.x < rect.right && rect.top < point.y && point.y < rect.bottom;
}

}  // namespace tge
