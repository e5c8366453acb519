#include "platform/input/TypedCharacters.h"

#include <SDL_events.h>

#include <cstring>

#include "platform/input/CodePage1252.h"

namespace tge::platform {
namespace {

// The control character a key press types; 0 for other keys.
std::uint8_t ControlCharacter(SDL_Scancode scancode) {
  switch (scancode) {
    case SDL_SCANCODE_BACKSPACE:
      return 8;
    case SDL_SCANCODE_TAB:
      return 9;
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_KP_ENTER:
      return 13;
    case SDL_SCANCODE_ESCAPE:
      return 27;
    default:
      return 0;
  }
}

}  // namespace

void TypedCharacters::HandleEvent(const SDL_Event& event) {
  if (event.type == SDL_TEXTINPUT) {
    const char* text = event.text.text;
    const std::size_t length = strnlen(text, sizeof event.text.text);
    for (const char character : Utf8ToCodePage1252({text, length}))
      Add(static_cast<std::uint8_t>(character));
  } else if (event.type == SDL_KEYDOWN && event.key.repeat == 0) {
    if (const std::uint8_t control =
            ControlCharacter(event.key.keysym.scancode))
      Add(control);
  }
}

std::uint8_t TypedCharacters::Take() {
  if (waiting_.empty()) return 0;
  const std::uint8_t character = waiting_.front();
  waiting_.pop_front();
  return character;
}

void TypedCharacters::Add(std::uint8_t character) {
  if (waiting_.size() == kCapacity) waiting_.pop_front();
  waiting_.push_back(character);
}

}  // namespace tge::platform
