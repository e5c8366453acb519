#include "core/ObjectHooks.h"
#include "core/PhysicsHooks.h"

namespace tge {
namespace {

ObjectHooks* objectHooks = nullptr;
PhysicsHooks* physicsHooks = nullptr;
PoolHandOut poolHandOut = nullptr;

}  // namespace

ObjectHooks* GetObjectHooks() { return objectHooks; }
void SetObjectHooks(ObjectHooks* hooks) { objectHooks = hooks; }
PhysicsHooks* GetPhysicsHooks() { return physicsHooks; }
void SetPhysicsHooks(PhysicsHooks* hooks) { physicsHooks = hooks; }
PoolHandOut GetPoolHandOut() { return poolHandOut; }
void SetPoolHandOut(PoolHandOut handOut) { poolHandOut = handOut; }

}  // namespace tge
