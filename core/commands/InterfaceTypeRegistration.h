// Registration functions of the user-interface, input and sound object
// types. The engine constructor calls each once, in increasing class id;
// each adds the type's commands to the registry and the type to the object
// factory (VirtualKeyboard has no commands: its function only adds it to
// the factory). Every
// function is defined with its type; until a type is built nothing calls
// its function and the factory gives null for its class id.
#pragma once

namespace tge {

void RegisterSoundCommands();
void RegisterWindowCommands();
void RegisterSpriteCommands();
void RegisterTextCommands();
void RegisterButtonCommands();
void RegisterSoundMixerCommands();
void RegisterListBoxCommands();
void RegisterVirtualKeyboardType();
void RegisterInputCommands();
void RegisterMovieFMVCommands();
void RegisterInfoTextCommands();
void RegisterTextInputCommands();
void RegisterSliderCommands();
void RegisterCheckBoxCommands();
void RegisterCursorCommands();
void RegisterTextDialogCommands();
void RegisterTextDialogWindowCommands();

}  // namespace tge
