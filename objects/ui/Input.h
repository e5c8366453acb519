// Input (class 53): turns player 0's controls into script events and
// commands. Each input event runs the script "OnInput" + the input's name
// (+ "Release" for an on-release event) in the frame its action is pressed
// (or released); each input axis sends its action's value times a
// multiplier, every frame, as the one Float argument of a command of an
// object found by path. The frame step polls the input service before the
// World ticks, so Update reads this frame's edges.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/ObjectRef.h"

namespace tge {

inline constexpr std::uint32_t kInputEnableDebugInput = 0x1;
inline constexpr std::uint32_t kInputEventOnRelease = 0x1;

struct InputEvent {
  std::int32_t id = -1;
  std::string name;
  std::uint32_t eventFlags = 0;
};

struct InputAxis {
  std::int32_t id = -1;
  std::string treePath;
  std::string command;
  float mul = 1.0f;
  // Resolved by Precalculate and when the path or command is set; an axis
  // without a target sends nothing.
  ObjectRef<Object> target;
  std::int32_t commandId = -1;
  std::uint32_t axisFlags = 0;
};

class Input : public Object {
 public:
  static std::span<const CommandEntry<Input>> Commands();
  static const CommandEntry<Input> kCommands[];

  Input();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  bool Serialize(SerializeStream& stream) override;
  void Update() override;
  void Draw() override;
  void Precalculate() override;

  const std::vector<InputEvent>& GetEvents() const { return events_; }
  const std::vector<InputAxis>& GetAxes() const { return axes_; }

  // Player 0's action polled with a 0.033 s frame; true when action 46
  // (Return by default) went down. The full-screen movie player asks it
  // while it plays.
  static bool MovieSkipCallback();

 private:
  template <auto Selection>
  int SetSelection(CommandArgs args);
  template <auto Field>
  int SetEventField(CommandArgs args);
  template <auto Field>
  int GetEventField(CommandArgs args);
  template <auto Field>
  int SetAxisField(CommandArgs args);
  template <auto Field>
  int GetAxisField(CommandArgs args);
  int AddInputEvent(CommandArgs args);
  int DeleteInputEvent(CommandArgs args);
  int GetInputEventList(CommandArgs args);
  int SetInputEventId(CommandArgs args);
  int SetInputEventOnRelease(CommandArgs args);
  int GetInputEventOnRelease(CommandArgs args);
  int CreateInputEventScript(CommandArgs args);
  int AddInputAxis(CommandArgs args);
  int DeleteInputAxis(CommandArgs args);
  int GetInputAxisList(CommandArgs args);
  int SetEnableDebugInput(CommandArgs args);
  int GetEnableDebugInput(CommandArgs args);

  // Null when the selection addresses no record.
  InputEvent* SelectedEvent();
  InputAxis* SelectedAxis();
  void ResolveAxis(InputAxis& axis);
  void RunFiredEvents();
  void SendAxes();

  std::vector<InputEvent> events_;
  std::vector<InputAxis> axes_;
  std::int32_t selectedEvent_ = -1;
  std::int32_t selectedAxis_ = -1;
  std::uint32_t inputFlags_ = 0;
};

}  // namespace tge
