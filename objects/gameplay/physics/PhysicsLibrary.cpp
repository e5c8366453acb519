#include "objects/gameplay/physics/PhysicsLibrary.h"

#include <ode/ode.h>

#include <cstdarg>
#include <cstdio>
#include <string>

#include "objects/gameplay/physics/PhysicsWrapperHooks.h"

namespace tge {
namespace {

bool initialised = false;
std::string lastError;

void PrintLibraryMessage(const char* kind, int number, const char* format, va_list arguments) {
  std::fprintf(stderr, "Physics: ODE %s %d: ", kind, number);
  std::vfprintf(stderr, format, arguments);
  std::fputc('\n', stderr);
}

void OnLibraryError(int number, const char* format, va_list arguments) {
  PrintLibraryMessage("error", number, format, arguments);
}

void OnLibraryDebug(int number, const char* format, va_list arguments) {
  PrintLibraryMessage("internal error", number, format, arguments);
}

void OnLibraryMessage(int number, const char* format, va_list arguments) {
  PrintLibraryMessage("message", number, format, arguments);
}

}  // namespace

void InitPhysics() {
  if (initialised) return;
  dSetErrorHandler(OnLibraryError);
  dSetDebugHandler(OnLibraryDebug);
  dSetMessageHandler(OnLibraryMessage);
  dInitODE2(0);
  InstallPhysicsHooks();
  initialised = true;
}

int ShutdownPhysics() {
  if (initialised) {
    UninstallPhysicsHooks();
    dCloseODE();
  }
  initialised = false;
  return 1;
}

void SeedPhysicsRandom(unsigned long seed) { dRandSetSeed(seed); }

void ReportPhysicsError(const char* operation, const char* reason) {
  lastError = std::string(operation) + ": " + reason;
  std::fprintf(stderr, "Physics: %s\n", lastError.c_str());
}

const char* GetLastPhysicsError() { return lastError.c_str(); }

void ClearLastPhysicsError() { lastError.clear(); }

}  // namespace tge
