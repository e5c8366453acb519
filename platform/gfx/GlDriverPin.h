// Keeps the OpenGL driver that the process has loaded in memory until the
// process ends. The GL dispatch libraries unload the driver when the last
// context or display goes; a leak checker that reports at exit then finds
// the driver's own exit-time allocations in an unloaded module it can no
// longer name, so no suppression by library name can cover them. Pinned,
// the driver stays mapped and its frames keep their names.
#pragma once

namespace tge::gfx {

// Marks every loaded driver module (Mesa's "*_dri.so" and its gallium
// library) as never to be unloaded. Call once a context exists; returns how
// many modules were pinned.
int KeepGlDriverLoaded();

}  // namespace tge::gfx
