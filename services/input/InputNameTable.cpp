#include "services/input/InputNameTable.h"

#include <cstdio>
#include <utility>

namespace tge {
namespace {

constexpr std::pair<int, const char*> kFixedNames[] = {
    {0, "StickLeftX"},     {1, "StickLeftY"},      {2, "StickRightX"},
    {3, "StickRightY"},    {4, "PadUp"},           {5, "PadDown"},
    {6, "PadLeft"},        {7, "PadRight"},        {8, "ButtonStart"},
    {9, "ButtonSelect"},   {10, "ButtonL1"},       {11, "ButtonL2"},
    {12, "ButtonR1"},      {13, "ButtonR2"},       {14, "ButtonTriangle"},
    {15, "ButtonCircle"},  {16, "ButtonCross"},    {17, "ButtonSquare"},
    {18, "ButtonExtra1"},  {19, "ButtonExtra2"},   {20, "ButtonExtra3"},
    {21, "ButtonExtra4"},  {128, "MouseLButton"},  {129, "MouseRButton"},
    {130, "MouseMButton"}, {140, "MouseX"},        {141, "MouseY"},
    {150, "MousePositionY"}, {151, "MousePositionX"}, {160, "MouseWheelUp"},
    {161, "MouseWheelDown"},
    {kInputFirstKey + 0x01, "Escape"}, {kInputFirstKey + 0x0B, "Key0"},
    {kInputFirstKey + 0x0C, "Minus"},  {kInputFirstKey + 0x0D, "Equals"},
    {kInputFirstKey + 0x0E, "Back"},   {kInputFirstKey + 0x0F, "Tab"},
};

// Set-1 key codes of the letters A to Z and of the keypad digits 0 to 9.
constexpr int kLetterCodes[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17,
                                  0x24, 0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13,
                                  0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
constexpr int kKeypadCodes[10] = {0x52, 0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D, 0x47, 0x48, 0x49};

}  // namespace

InputNameTable::InputNameTable() {
  for (const auto& [input, name] : kFixedNames) SetName(input, name);
  char name[kMaxNameLength + 1];
  for (int digit = 1; digit <= 9; ++digit) {
    std::snprintf(name, sizeof name, "Key%d", digit);
    SetName(kInputFirstKey + 1 + digit, name);
  }
  for (int letter = 0; letter < 26; ++letter) {
    std::snprintf(name, sizeof name, "%c", 'A' + letter);
    SetName(kInputFirstKey + kLetterCodes[letter], name);
  }
  for (int digit = 0; digit <= 9; ++digit) {
    std::snprintf(name, sizeof name, "Numpad%d", digit);
    SetName(kInputFirstKey + kKeypadCodes[digit], name);
  }
}

const char* InputNameTable::GetName(int input) const {
  if (input < 0 || input >= kInputCount) return "";
  return names_[static_cast<std::size_t>(input)].data();
}

void InputNameTable::SetName(int input, const char* name) {
  auto& slot = names_[static_cast<std::size_t>(input)];
  std::snprintf(slot.data(), slot.size(), "%s", name);
}

}  // namespace tge
