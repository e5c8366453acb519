// Start-up, shut-down and error reporting of the physics library.
//
// ODE ends the process on a bad argument, so every wrapper operation checks
// its inputs first and reports what it refused through ReportPhysicsError.
// The handlers installed by InitPhysics print what ODE itself complains about
// (its fatal errors before it ends the process), so a crash inside the
// library still leaves a reason on standard error.
#pragma once

namespace tge {

// dInitODE2, the message handlers and the object model's physics hooks;
// later calls do nothing until ShutdownPhysics. CreatePhysicsWorld calls it,
// so no world (and no body of an object) is made without it.
void InitPhysics();
// Removes the hooks, then dCloseODE; returns 1. Called once at engine
// shut-down, after every World is gone.
int ShutdownPhysics();
// Seeds the library's random generator, which the quick stepper uses to
// order its constraints: the same seed gives the same simulation.
void SeedPhysicsRandom(unsigned long seed);

// Writes "Physics: <operation>: <reason>" to standard error and keeps it as
// the last physics error.
void ReportPhysicsError(const char* operation, const char* reason);
// The last text given to ReportPhysicsError, empty when none since the last clear.
const char* GetLastPhysicsError();
void ClearLastPhysicsError();

}  // namespace tge
