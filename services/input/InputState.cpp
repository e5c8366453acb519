#include "services/input/InputState.h"

#include <utility>

namespace tge {
namespace {

constexpr int kKeyW = kInputFirstKey + 0x11;
constexpr int kKeyA = kInputFirstKey + 0x1E;
constexpr int kKeyS = kInputFirstKey + 0x1F;
constexpr int kKeyD = kInputFirstKey + 0x20;
constexpr int kKeyC = kInputFirstKey + 0x2E;
constexpr int kKeyEscape = kInputFirstKey + 0x01;
constexpr int kKeyTab = kInputFirstKey + 0x0F;
constexpr int kKeyReturn = kInputFirstKey + 0x1C;
constexpr int kKeyUp = kInputFirstKey + 0xC8;
constexpr int kKeyDown = kInputFirstKey + 0xD0;
constexpr int kKeyLeft = kInputFirstKey + 0xCB;
constexpr int kKeyRight = kInputFirstKey + 0xCD;

// The keyboard-and-mouse bindings over the identity, in this order: a later
// entry for the same action wins (the arrows on 4 to 7 give way to W, S, A, D
// on 1, 5, 6, 7).
constexpr std::pair<int, int> kSecondaryDefaults[] = {
    {2, kInputMouseX},        {3, kInputMouseY},       {4, kKeyUp},
    {5, kKeyDown},            {6, kKeyLeft},           {7, kKeyRight},
    {10, kInputMouseRButton}, {11, kKeyC},             {12, kInputMouseLButton},
    {13, kInputMouseLButton}, {8, kKeyEscape},         {1, kKeyW},
    {5, kKeyS},               {6, kKeyA},              {7, kKeyD},
    {46, kKeyReturn},         {48, kKeyUp},            {49, kKeyDown},
    {50, kKeyLeft},           {51, kKeyRight},         {52, kKeyTab},
    {60, kKeyEscape},
};

}  // namespace

InputState::InputState() {
  for (int action = 0; action < kActionCount; ++action) {
    primary_[static_cast<std::size_t>(action)] = static_cast<std::uint16_t>(action);
    secondary_[static_cast<std::size_t>(action)] = static_cast<std::uint16_t>(action);
  }
  for (const auto& [action, input] : kSecondaryDefaults)
    secondary_[static_cast<std::size_t>(action)] = static_cast<std::uint16_t>(input);
}

void InputState::Store(int input, float value) {
  if (!ValidInput(input)) return;
  const auto index = static_cast<std::size_t>(input);
  previous_[index] = current_[index];
  current_[index] = value;
}

void InputState::SetCurrent(int input, float value) {
  if (ValidInput(input)) current_[static_cast<std::size_t>(input)] = value;
}

void InputState::Clear(int input) {
  if (!ValidInput(input)) return;
  current_[static_cast<std::size_t>(input)] = 0.0f;
  previous_[static_cast<std::size_t>(input)] = 0.0f;
}

float InputState::Current(int input) const {
  return ValidInput(input) ? current_[static_cast<std::size_t>(input)] : 0.0f;
}

float InputState::Previous(int input) const {
  return ValidInput(input) ? previous_[static_cast<std::size_t>(input)] : 0.0f;
}

std::uint16_t InputState::GetPrimaryBinding(int action) const {
  return action >= 0 && action < kActionCount ? primary_[static_cast<std::size_t>(action)] : 0;
}

std::uint16_t InputState::GetSecondaryBinding(int action) const {
  return action >= 0 && action < kActionCount ? secondary_[static_cast<std::size_t>(action)] : 0;
}

float InputState::GetActionValue(int action) const {
  if (action < 0 || action >= kActionCount) return 0.0f;
  return Current(GetPrimaryBinding(action)) + Current(GetSecondaryBinding(action));
}

bool InputState::IsActionPressed(int action) const { return Crossed(action, true); }

bool InputState::IsActionReleased(int action) const { return Crossed(action, false); }

bool InputState::Crossed(int action, bool upwards) const {
  if (action < 0 || action >= kActionCount) return false;
  for (const int input : {int{GetPrimaryBinding(action)}, int{GetSecondaryBinding(action)}}) {
    if (InputCrossed(input, upwards)) return true;
  }
  return false;
}

bool InputState::IsInputPressed(int input) const { return InputCrossed(input, true); }

bool InputState::InputCrossed(int input, bool upwards) const {
  const float now = Current(input);
  const float before = Previous(input);
  return upwards ? (now > 0.5f && before < 0.5f) : (now < 0.5f && before > 0.5f);
}

}  // namespace tge
