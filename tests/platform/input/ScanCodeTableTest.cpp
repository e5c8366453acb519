#include <SDL_keyboard.h>
#include <gtest/gtest.h>

#include <map>

#include "platform/input/ScanCodeTable.h"

namespace tge::platform {
namespace {

TEST(PlatformScanCodeTable, KeysLandOnTheInputsDataFilesUse) {
  const std::pair<SDL_Scancode, int> cases[] = {
      {SDL_SCANCODE_ESCAPE, 256},    {SDL_SCANCODE_1, 257},
      {SDL_SCANCODE_9, 265},         {SDL_SCANCODE_0, 266},
      {SDL_SCANCODE_MINUS, 267},     {SDL_SCANCODE_EQUALS, 268},
      {SDL_SCANCODE_BACKSPACE, 269}, {SDL_SCANCODE_TAB, 270},
      {SDL_SCANCODE_Q, 271},         {SDL_SCANCODE_W, 272},
      {SDL_SCANCODE_A, 285},         {SDL_SCANCODE_S, 286},
      {SDL_SCANCODE_D, 287},         {SDL_SCANCODE_Z, 299},
      {SDL_SCANCODE_C, 301},         {SDL_SCANCODE_M, 305},
      {SDL_SCANCODE_RETURN, 283},    {SDL_SCANCODE_KP_7, 326},
      {SDL_SCANCODE_KP_0, 337},      {SDL_SCANCODE_KP_ENTER, 411},
      {SDL_SCANCODE_RCTRL, 412},     {SDL_SCANCODE_LCTRL, 284},
      {SDL_SCANCODE_UP, 455},        {SDL_SCANCODE_PAGEUP, 456},
      {SDL_SCANCODE_LEFT, 458},      {SDL_SCANCODE_RIGHT, 460},
      {SDL_SCANCODE_DOWN, 463},      {SDL_SCANCODE_PAGEDOWN, 464},
      {SDL_SCANCODE_E, 273},         {SDL_SCANCODE_X, 300},
      {SDL_SCANCODE_SPACE, 312},     {SDL_SCANCODE_LSHIFT, 297},
  };
  for (const auto& [scancode, input] : cases) {
    EXPECT_EQ(KeyInputForScancode(scancode), input)
        << SDL_GetScancodeName(scancode);
  }
}

TEST(PlatformScanCodeTable, NoTwoKeysShareACode) {
  std::map<int, int> owner;
  for (int scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode) {
    const int code = KeyCodeForScancode(scancode);
    if (code == 0) continue;
    EXPECT_TRUE(owner.emplace(code, scancode).second)
        << "code " << code << " for scan codes " << owner[code] << " and "
        << scancode;
  }
  EXPECT_GT(owner.size(), 100u);
}

TEST(PlatformScanCodeTable, UnknownAndOutOfRangeScancodesHaveNoInput) {
  for (const int scancode : {-1, 0, static_cast<int>(SDL_SCANCODE_NONUSHASH),
                             static_cast<int>(SDL_NUM_SCANCODES), 1 << 30}) {
    EXPECT_EQ(KeyCodeForScancode(scancode), 0) << scancode;
    EXPECT_EQ(KeyInputForScancode(scancode), 0) << scancode;
  }
}

}  // namespace
}  // namespace tge::platform
