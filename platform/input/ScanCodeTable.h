// Keys are numbered as the engine's data files and scripts number them: by
// the PC keyboard's set-1 scan code, with 0x80 added for the keys that send
// the 0xE0 prefix (arrows, right control and alt, the navigation block,
// keypad Enter and divide). Key code k is input 255 + k. This is the one
// table from SDL's scan codes to those codes.
#pragma once
#include <cstdint>

namespace tge::platform {

// The input id of key code 0; key code k is input kFirstKeyInput + k.
constexpr int kFirstKeyInput = 255;
constexpr int kKeyCodeCount = 256;

// The set-1 code of an SDL scan code; 0 for keys without one and for numbers
// outside SDL's range.
std::uint8_t KeyCodeForScancode(int sdlScancode);

// The input id of an SDL scan code; 0 when the key has no code.
int KeyInputForScancode(int sdlScancode);

}  // namespace tge::platform
