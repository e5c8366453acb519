#include <gtest/gtest.h>

#include <map>

#include "services/input/InputState.h"

namespace tge {
namespace {

TEST(InputState, DefaultSecondaryMapBindsKeyboardAndMouseOverTheIdentity) {
  const std::map<int, int> secondary = {
      {1, 272}, {2, 140},  {3, 141},  {4, 455},  {5, 286},  {6, 285},  {7, 287},
      {8, 256}, {10, 129}, {11, 301}, {12, 128}, {13, 128}, {46, 283}, {48, 455},
      {49, 463}, {50, 458}, {51, 460}, {52, 270}, {60, 256},
  };
  const InputState state;
  for (int action = 0; action < kActionCount; ++action) {
    EXPECT_EQ(state.GetPrimaryBinding(action), action);
    const auto found = secondary.find(action);
    EXPECT_EQ(state.GetSecondaryBinding(action), found == secondary.end() ? action : found->second) << action;
  }
  EXPECT_EQ(state.GetDeviceFlags(), 0u);
  EXPECT_EQ(state.GetPadSlot(), -1);
}

TEST(InputState, PressedAndReleasedAreStrictCrossingsOfOneHalf) {
  struct Case {
    float previous, current;
    bool pressed, released;
  };
  const Case cases[] = {
      {0.0f, 1.0f, true, false},  {1.0f, 0.0f, false, true},  {1.0f, 1.0f, false, false},
      {0.0f, 0.5f, false, false}, {0.5f, 1.0f, false, false}, {1.0f, 0.5f, false, false},
      {0.5f, 0.0f, false, false}, {0.4f, 0.6f, true, false},  {-1.0f, 0.7f, true, false},
  };
  constexpr int kInput = 300;  // identity on both maps
  for (const Case& c : cases) {
    InputState state;
    state.Store(kInput, c.previous);
    state.Store(kInput, c.current);
    EXPECT_EQ(state.IsActionPressed(kInput), c.pressed) << c.previous << " -> " << c.current;
    EXPECT_EQ(state.IsActionReleased(kInput), c.released) << c.previous << " -> " << c.current;
    EXPECT_FLOAT_EQ(state.GetActionValue(kInput), 2 * c.current);
  }
}

TEST(InputState, ClearedInputsMakeNoEdgeAndStrayIdsAreIgnored) {
  InputState state;
  state.Store(16, 1.0f);
  state.Clear(16);
  EXPECT_FALSE(state.IsActionReleased(16));
  EXPECT_FLOAT_EQ(state.GetActionValue(16), 0.0f);
  for (const int id : {-1, kInputCount, 1 << 30}) {
    state.Store(id, 1.0f);
    state.SetCurrent(id, 1.0f);
    state.Clear(id);
    EXPECT_FLOAT_EQ(state.Current(id), 0.0f);
    EXPECT_FLOAT_EQ(state.GetActionValue(id), 0.0f);
    EXPECT_FALSE(state.IsActionPressed(id));
  }
}

}  // namespace
}  // namespace tge
