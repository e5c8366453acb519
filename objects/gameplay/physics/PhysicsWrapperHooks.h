// The object model's calls into physics (core/PhysicsHooks.h), answered by
// this wrapper. InitPhysics installs them, so any object that holds a body
// or a geometry finds them set; ShutdownPhysics takes them away again.
#pragma once

namespace tge {

// Makes the wrapper the object model's physics; calling it again does nothing.
void InstallPhysicsHooks();
// Clears the object model's physics hooks when they are the wrapper's.
void UninstallPhysicsHooks();

}  // namespace tge
