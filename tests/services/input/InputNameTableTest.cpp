#include <SDL_scancode.h>
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "platform/input/ScanCodeTable.h"
#include "services/input/InputNameTable.h"

namespace tge {
namespace {

TEST(InputNameTable, NamesSitOnTheirInputs) {
  const std::pair<int, const char*> cases[] = {
      {0, "StickLeftX"},       {3, "StickRightY"},      {7, "PadRight"},      {8, "ButtonStart"},
      {16, "ButtonCross"},     {17, "ButtonSquare"},    {21, "ButtonExtra4"}, {22, ""},
      {64, ""},                {128, "MouseLButton"},   {130, "MouseMButton"}, {140, "MouseX"},
      {141, "MouseY"},         {150, "MousePositionY"}, {151, "MousePositionX"}, {160, "MouseWheelUp"},
      {161, "MouseWheelDown"}, {255, ""},               {256, "Escape"},      {257, "Key1"},
      {265, "Key9"},           {266, "Key0"},           {267, "Minus"},       {268, "Equals"},
      {269, "Back"},           {270, "Tab"},            {271, "Q"},           {272, "W"},
      {273, "E"},              {285, "A"},              {286, "S"},           {287, "D"},
      {299, "Z"},              {300, "X"},              {301, "C"},           {305, "M"},
      {326, "Numpad7"},        {337, "Numpad0"},        {283, ""},            {455, ""},
      {511, ""},               {-1, ""},                {512, ""},
  };
  const InputNameTable names;
  for (const auto& [input, name] : cases) EXPECT_STREQ(names.GetName(input), name) << input;
}

TEST(InputNameTable, EveryNamedKeyIsOneAKeyboardCanPress) {
  std::set<int> pressable;
  for (int scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode)
    pressable.insert(platform::KeyInputForScancode(scancode));
  const InputNameTable names;
  std::set<std::string> keyNames;
  for (int input = platform::kFirstKeyInput; input < kInputCount; ++input) {
    const char* name = names.GetName(input);
    if (name[0] == '\0') continue;
    EXPECT_TRUE(pressable.count(input)) << name << " at " << input;
    EXPECT_TRUE(keyNames.insert(name).second) << name;
  }
  // Escape, 0 to 9, Minus, Equals, Back, Tab, 26 letters, 10 keypad digits.
  EXPECT_EQ(keyNames.size(), 1u + 10 + 4 + 26 + 10);
}

}  // namespace
}  // namespace tge
