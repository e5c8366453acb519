// The frame step: one frame of the whole system in a fixed order (device
// check, deferred deletions, input, the passes of every World, cursor and
// focused-widget input, rendering, the periodic sound update), and the
// cursor and focus step inside it. The sound listener follows the active
// camera of viewport slot 0. Input is read for player 0 through the
// player's action maps.
#include <algorithm>

#include "core/ActiveCameraTable.h"
#include "core/BaseCommandIds.h"
#include "core/CommandArgs.h"
#include "core/ObjectHooks.h"
#include "core/ObjectRef.h"
#include "engine/Engine.h"
#include "services/EngineServices.h"
#include "services/RenderDevice.h"

namespace tge {
namespace {

constexpr int kPlayer = 0;
constexpr float kSoundUpdatePeriod = 0.066f;
// The listener hears from the camera of this viewport slot.
constexpr int kListenerViewport = 0;

// Actions of player 0's maps, by default bound as noted.
constexpr int kActionExitToMenu = 60;  // Escape
constexpr int kActionCursorX = 2;      // mouse x movement
constexpr int kActionCursorY = 3;      // mouse y movement
constexpr int kActionAccept = 46;      // Return
constexpr int kActionPointerPrimary = 128;
constexpr int kActionPointerSecondary = 129;
constexpr int kActionBack = 47;
constexpr int kActionWheelUp = 160;
constexpr int kActionWheelDown = 161;
constexpr int kActionPageUp = 456;
constexpr int kActionPageDown = 464;
constexpr int kActionFirstArrow = 48;  // Up, Down, Left, Right
constexpr int kActionLastArrow = 51;
constexpr int kActionNext = 52;  // Tab
constexpr int kActionFirstPadButton = 8;  // ButtonStart to ButtonSquare
constexpr int kActionLastPadButton = 17;

// The pad's own inputs: the d-pad Up, Down, Left, Right and Cross.
constexpr int kInputFirstPadDirection = 4;
constexpr int kInputPadCross = 16;

// Widget input codes.
constexpr int kCodeAccept = 46;
constexpr int kCodeBack = 47;
constexpr int kCodeUp = 48;
constexpr int kCodeDown = 49;
constexpr int kCodeRight = 51;
constexpr int kNoCode = -1;

// The cursor sprite: drawn above everything, its hot spot 4 pixels in.
constexpr float kCursorDepth = 10000.0f;
constexpr float kCursorHotSpot = 4.0f;
constexpr float kCursorSize = 32.0f;
constexpr std::uint32_t kCursorSpriteFlags = 18;

bool Pressed(const EngineServices& services, int action) {
  return services.IsInputActionPressed(kPlayer, action) != 0;
}

bool Released(const EngineServices& services, int action) {
  return services.IsInputActionReleased(kPlayer, action) != 0;
}

// The pad navigates as the arrows and Return do, so it moves the focus and
// types on the on-screen keyboard. It is read by its own inputs: the
// d-pad's actions also hold letter keys, which must type into text fields.
int PadDownCode(const EngineServices& services) {
  for (int i = 0; i <= kCodeRight - kCodeUp; ++i) {
    if (services.IsInputPressed(kPlayer, kInputFirstPadDirection + i) != 0) return kCodeUp + i;
  }
  return services.IsInputPressed(kPlayer, kInputPadCross) != 0 ? kCodeAccept : kNoCode;
}

// The wheel and the page keys win over Ok. Without any of them a pressed
// arrow sends its own code and Tab sends next, so the keyboard moves the
// focus and reaches sliders.
int InputDownCode(const EngineServices& services) {
  int code = kNoCode;
  if (Pressed(services, kActionAccept) || Pressed(services, kActionPointerPrimary)) code = kCodeAccept;
  if (Pressed(services, kActionWheelUp)) {
    code = kCodeUp;
  } else if (Pressed(services, kActionWheelDown)) {
    code = kCodeDown;
  } else if (Pressed(services, kActionPageUp)) {
    code = kCodeUp;
  } else if (Pressed(services, kActionPageDown)) {
    code = kCodeDown;
  }
  if (code != kNoCode) return code;
  for (int action = kActionFirstArrow; action <= kActionLastArrow; ++action) {
    if (Pressed(services, action)) return action;
  }
  if (Pressed(services, kActionNext)) return kActionNext;
  return PadDownCode(services);
}

int InputUpCode(const EngineServices& services) {
  if (Released(services, kActionAccept) || Released(services, kActionPointerPrimary)) return kCodeAccept;
  if (Released(services, kActionPointerSecondary) || Released(services, kActionBack)) return kCodeBack;
  for (int action = kActionFirstArrow; action <= kActionLastArrow; ++action) {
    if (Released(services, action)) return action;
  }
  for (int action = kActionFirstPadButton; action <= kActionLastPadButton; ++action) {
    if (Released(services, action)) return action;
  }
  return kNoCode;
}

void RaiseWithoutSender(Object& root, int eventId) {
  ArgumentBlock block;
  block.Push<std::int32_t>(eventId).PushPointer(nullptr);
  root.ExecuteCommand(kCommandRaiseEvent, block.Data());
}

}  // namespace

// Whatever a script deletes during the frame keeps its memory until the
// frame has been rendered (the rule is set out in core/trees/ObjectServices.h):
// code still running on it and the render queue's pointers into what was
// drawn stay valid. A frame that cannot be rendered drops its queue before
// the hold ends.
void Engine::RunFrame() {
  if (!GetRunning()) return;
  EngineServices* services = GetEngineServices();
  RenderDevice* device = GetRenderDevice();
  if (device != nullptr && !device->HandleDeviceLost()) return;
  {
    const FrameDeletionHold hold(services_);
    services_.DeletePendingObjects();
    if (services != nullptr) services->PollInput(world_.GetFrameTime());
    RunWorldPasses();
    HandleCursorAndFocus();
    if (services == nullptr) return;
    if (!services->BeginFrame()) {
      services->GetRenderQueue().Reset();
      return;
    }
    services->RenderFrame();
    services->EndFrame();
  }
  UpdateSound();
}

// Each pass finishes for every World before the next begins; a World made
// during the frame waits for the next one, and one destroyed during it (a
// tick may unload the File holding it) is skipped.
void Engine::RunWorldPasses() {
  // The list's storage is kept between frames, so a warm frame allocates
  // nothing; a pass that ran the passes again would find it taken.
  static std::vector<ObjectRef<World>> spare;
  std::vector<ObjectRef<World>> worlds = std::move(spare);
  const std::vector<World*>& list = World::GetWorldList();
  worlds.assign(list.begin(), list.end());
  for (const ObjectRef<World>& world : worlds) {
    if (world) world->PhysicsStep();
  }
  for (const ObjectRef<World>& world : worlds) {
    if (world) world->WorldTick();
  }
  World::ResetDrawnCellCount();
  for (const ObjectRef<World>& world : worlds) {
    if (world) world->PostPass();
  }
  worlds.clear();
  spare = std::move(worlds);
}

void Engine::UpdateSound() {
  soundUpdateTime_ += world_.GetFrameTime();
  if (soundUpdateTime_ <= kSoundUpdatePeriod) return;
  if (EngineServices* services = GetEngineServices()) {
    if (ViewCamera* camera = GetActiveCameraTable().Get(kListenerViewport)) {
      const ViewFrame frame = camera->GetViewFrame();
      services->UpdateSoundListener(&frame.eye, &frame.forward, &frame.up);
    } else {
      services->UpdateSoundListener(nullptr, nullptr, nullptr);
    }
  }
  soundUpdateTime_ = 0;
}

void Engine::HandleCursorAndFocus() {
  if (HandleExitToMenu()) return;
  Vector3 screenPoint;
  Vector3 movement;
  MoveCursor(screenPoint, movement);
  SendFocusInput(screenPoint, movement);
  if (GetCursorActive()) DrawCursor(screenPoint);
}

bool Engine::HandleExitToMenu() {
  const EngineServices* services = GetEngineServices();
  if (services == nullptr || !Released(*services, kActionExitToMenu)) return false;
  const std::vector<World*>& list = World::GetWorldList();
  const std::vector<ObjectRef<World>> worlds(list.begin(), list.end());
  for (const ObjectRef<World>& world : worlds) {
    if (world && world->GetActive()) RaiseWithoutSender(*world.Get(), kEventOnInputExitToMenu);
  }
  return true;
}

void Engine::MoveCursor(Vector3& screenPoint, Vector3& movement) {
  const EngineServices* services = GetEngineServices();
  if (!GetCursorActive() || services == nullptr) return;
  movement.x = services->GetInputActionValue(kPlayer, kActionCursorX) * cursorSpeed_;
  movement.y = services->GetInputActionValue(kPlayer, kActionCursorY) * cursorSpeed_;
  cursorPosition_.x = std::max(std::min(cursorPosition_.x + movement.x, cursorRangeX_), 0.0f);
  cursorPosition_.y = std::max(std::min(cursorPosition_.y + movement.y, cursorRangeY_), 0.0f);
  screenPoint = {cursorPosition_.x * screenScaleX_, cursorPosition_.y * screenScaleY_, kCursorDepth};
}

// The widget's handlers may unload the File holding it: a widget that left
// the tree takes no more of this frame's input.
void Engine::SendFocusInput(const Vector3& screenPoint, const Vector3& movement) {
  Object* widget = World::GetGlobalFocus();
  const EngineServices* services = GetEngineServices();
  if (widget == nullptr || services == nullptr) return;
  if (widget->GetWorld() == nullptr || !widget->GetWorld()->GetActive()) return;
  const DeletionHold hold;
  if (GetCursorActive()) widget->PointerMoved(screenPoint, movement);
  if (const int down = InputDownCode(*services); down != kNoCode && !widget->IsRetired()) {
    widget->InputDown(screenPoint, down);
  }
  if (const int up = InputUpCode(*services); up != kNoCode && !widget->IsRetired()) widget->InputUp(screenPoint, up);
}

void Engine::DrawCursor(const Vector3& screenPoint) {
  EngineServices* services = GetEngineServices();
  if (services == nullptr) return;
  ResolveCursorMaterial();
  Resource* material = customCursor_ ? customCursor_.Get() : cursorMaterial_.Get();
  const Vector3 corner{screenPoint.x - kCursorHotSpot, screenPoint.y - kCursorHotSpot, kCursorDepth};
  services->GetRenderQueue().QueueSprite(material, corner, kCursorSize, kCursorSize, Color{1, 1, 1, 1},
                                         kCursorSpriteFlags);
}

}  // namespace tge
