// The World's physics and Space passes as the physics wrapper and the Space
// type answer them (core/WorldPhysicsHooks.h). The engine installs them at
// start-up.
#pragma once

namespace tge {

// Makes these the hooks every World uses; calling it again does nothing.
void InstallWorldPhysicsPasses();
// Clears the hooks when they are these.
void UninstallWorldPhysicsPasses();

}  // namespace tge
