// Registration functions of the gameplay and simulation object types. The
// engine constructor calls each once, in increasing class id; each adds the
// type's commands to the registry and the type to the object factory. Every
// function is defined with its type; until a type is built nothing calls
// its function and the factory gives null for its class id.
#pragma once

namespace tge {

void RegisterPhysicsMagnetCommands();
void RegisterSpaceCommands();
void RegisterVehicleCommands();
void RegisterSpawnPointCommands();
void RegisterTriggerCommands();
void RegisterJointBallCommands();
void RegisterJointHinge2Commands();
void RegisterJointUniversalCommands();
void RegisterJointHingeCommands();
void RegisterJointSliderCommands();
void RegisterWeaponCommands();
void RegisterAmmunitionCommands();
void RegisterViewTriggerCommands();
void RegisterObjectPoolCommands();
void RegisterWheelCommands();
void RegisterDoorCommands();
void RegisterFootstepCommands();
void RegisterPlayerFPSCommands();
void RegisterAIPlayerFPSCommands();
void RegisterInventoryCommands();
void RegisterSimJointCommands();
void RegisterVisionGraphCommands();
void RegisterPlayerTPCommands();
void RegisterSimObjectCommands();
void RegisterAmmunitionPoolCommands();
void RegisterLookAtCommands();
void RegisterAIPlayerCommands();
void RegisterSaveGameCommands();
void RegisterHorseCommands();
void RegisterPlayerRadarCommands();

}  // namespace tge
