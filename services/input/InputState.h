// One player's input record: the value of every input id after the latest
// poll and the one before it, the devices the player owns, and two maps from
// action ids to input ids. Everything that reads controls asks by action: the
// action's value is the sum of its two bound inputs; pressed and released are
// the crossings of 0.5 between the two polls.
#pragma once
#include <array>
#include <cstdint>

namespace tge {

constexpr int kInputCount = 512;
constexpr int kActionCount = 512;

// Input ids the service writes and the default maps name.
enum InputId : int {
  kInputMouseLButton = 128,
  kInputMouseRButton = 129,
  kInputMouseMButton = 130,
  kInputMouseX = 140,
  kInputMouseY = 141,
  // The names are crossed: 150 holds the pointer's x and 151 its y.
  kInputMousePositionY = 150,
  kInputMousePositionX = 151,
  kInputMouseWheelUp = 160,
  kInputMouseWheelDown = 161,
  // Key code k is input 255 + k.
  kInputFirstKey = 255,
};

// Device flag bits.
constexpr std::uint32_t kInputDeviceKeyboardMouse = 2;
constexpr std::uint32_t kInputDeviceGamePad = 8;

class InputState {
 public:
  // Identity maps with the keyboard-and-mouse bindings on the secondary map;
  // all values 0, no devices.
  InputState();

  // Moves the input's current value to previous and stores the new one.
  // Ids outside 0..511 are ignored.
  void Store(int input, float value);
  // Sets the current value without touching the previous one.
  void SetCurrent(int input, float value);
  // Both values 0, so a device that leaves makes no edge.
  void Clear(int input);

  float Current(int input) const;
  float Previous(int input) const;

  // 0 for action ids outside 0..511 and for bindings outside the inputs.
  float GetActionValue(int action) const;
  bool IsActionPressed(int action) const;
  bool IsActionReleased(int action) const;
  // The input itself went above 0.5 in this frame, whatever the maps say.
  bool IsInputPressed(int input) const;

  std::uint16_t GetPrimaryBinding(int action) const;
  std::uint16_t GetSecondaryBinding(int action) const;

  std::uint32_t GetDeviceFlags() const { return deviceFlags_; }
  void SetDeviceFlags(std::uint32_t flags) { deviceFlags_ = flags; }

  // The game-pad slot this player reads; -1 for none.
  int GetPadSlot() const { return padSlot_; }
  void SetPadSlot(int slot) { padSlot_ = slot; }

 private:
  using Map = std::array<std::uint16_t, kActionCount>;

  // Whether either bound input of the action went across 0.5, upwards when
  // `upwards` is set.
  bool Crossed(int action, bool upwards) const;
  bool InputCrossed(int input, bool upwards) const;
  static bool ValidInput(int input) { return input >= 0 && input < kInputCount; }

  int padSlot_ = -1;
  std::array<float, kInputCount> current_{};
  std::array<float, kInputCount> previous_{};
  std::uint32_t deviceFlags_ = 0;
  Map primary_{};
  Map secondary_{};
};

}  // namespace tge
