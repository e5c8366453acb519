// VirtualKeyboard's keys, navigation, drawing and file record.
#include "objects/ui/widgets/VirtualKeyboard.h"

#include <algorithm>
#include <string_view>

#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"
#include "objects/ui/UiHooks.h"
#include "objects/ui/widgets/Button.h"
#include "objects/ui/widgets/WidgetSupport.h"
#include "services/EngineServices.h"
#include "services/RenderCommand.h"

namespace tge {
namespace {

// Key codes below kFirstCharacter are the special keys.
enum SpecialKey : char {
  kKeySpace = 1,
  kKeyLowerSet = 2,
  kKeyUpperSet = 3,
  kKeyDigitSet = 4,
  kKeyDelete = 5,
  kKeyEnd = 6,
  kFirstCharacter = 7,
};

constexpr std::array<std::string_view, 3> kKeySets = {
    std::string_view("ABCDEFGHIJKLMNOPQRSTUVWXYZ+-\x01.\x02\x05\x06"),
    std::string_view("abcdefghijklmnopqrstuvwxyz+-\x01.\x04\x05\x06"),
    std::string_view("1234567890@=[]()<>:;?!*$&_+-#%.\x03\x05\x06"),
};
constexpr std::array<const char*, kFirstCharacter> kKeyLabels = {"", "SPACE", "abc", "ABC", "123", "DEL", "END"};

constexpr int kRowStep = 6;
constexpr int kRowCount = 6;
constexpr int kRowUnits = 6;
constexpr int kNavigableFrom = 30;
constexpr float kKeySpacing = 30.0f;
constexpr float kLabelScale = 0.7f;
constexpr float kDimmedKey = 0.5f;
constexpr float kDisabledShade = 0.7f;
constexpr float kTextLineOffset = 200.0f;
constexpr float kBlinkPeriod = 1.0f;
constexpr float kBarShownAfter = 0.5f;

}  // namespace

VirtualKeyboard::VirtualKeyboard() : Window(kClassVirtualKeyboard) {}

void VirtualKeyboard::Precalculate() {
  JoinOwnerWindow();
  Window::Precalculate();
}

int VirtualKeyboard::CanNavigate() { return keyIndex_ >= kNavigableFrom ? 1 : 0; }

void VirtualKeyboard::OnNavigate(const Vector3&, int code) {
  if (!FireEventStillHere(kEventOnInputDown, nullptr)) return;
  int step = 0;
  switch (code) {
    case kWidgetOk:
      PressKey();
      return;
    case kWidgetUp: step = -kRowStep; break;
    case kWidgetDown: step = kRowStep; break;
    case kWidgetLeft: step = -1; break;
    case kWidgetRight: step = 1; break;
    default: return;
  }
  keyIndex_ = std::clamp(keyIndex_ + step, 0, kLastKey);
}

void VirtualKeyboard::OnInput(const Vector3&, int) { FireEvent(kEventOnInputUp, nullptr); }

void VirtualKeyboard::PressKey() {
  const std::string_view keys = kKeySets[static_cast<std::size_t>(keySet_)];
  const char key = static_cast<std::size_t>(keyIndex_) < keys.size() ? keys[static_cast<std::size_t>(keyIndex_)] : 0;
  switch (key) {
    case 0:
    case kKeyEnd: break;
    case kKeySpace: typedText_ += ' '; break;
    case kKeyLowerSet: keySet_ = 1, keyIndex_ = 0; break;
    case kKeyUpperSet: keySet_ = 0, keyIndex_ = 0; break;
    case kKeyDigitSet: keySet_ = 2, keyIndex_ = 0; break;
    case kKeyDelete:
      if (!typedText_.empty()) typedText_.pop_back();
      break;
    default: typedText_ += key; break;
  }
  StartSkinActionSound();
}

void VirtualKeyboard::Draw() {
  if (!GetActive()) return;
  EngineServices* services = GetEngineServices();
  const UiHooks* hooks = GetUiHooks();
  if (services != nullptr && hooks != nullptr && HasFlag(kFlagActionStarted)) {
    const float shade = IsEnabled() ? 1.0f : kDisabledShade;
    const float alpha = GetActionValue() * shade;
    const Vector3 origin = GetPositionWS();
    blinkTimer_ += GetFrameTime();
    if (blinkTimer_ > kBlinkPeriod) blinkTimer_ = 0;
    const std::string line = blinkTimer_ > kBarShownAfter ? typedText_ + "|" : typedText_;
    services->GetRenderQueue().QueueText(hooks->GetWindowBigFont(), line.c_str(),
                                         {origin.x, origin.y + kTextLineOffset, origin.z}, layoutScale_.x,
                                         layoutScale_.y, Color{shade, shade, shade, alpha}, 0, 0,
                                         kAlignCentreY);
    DrawKeys(origin, alpha);
  }
  Window::Draw();
}

// Six rows of six units: a character key takes one, a special key two;
// what does not fit in the sixth row is not shown.
void VirtualKeyboard::DrawKeys(const Vector3& origin, float alpha) {
  RenderQueue& queue = GetEngineServices()->GetRenderQueue();
  Resource* font = GetUiHooks()->GetWindowBigFont();
  const float sx = kKeySpacing * layoutScale_.x, sy = kKeySpacing * layoutScale_.y;
  const std::string_view keys = kKeySets[static_cast<std::size_t>(keySet_)];
  float x = origin.x, y = origin.y;
  int row = 0, units = 0;
  for (std::size_t i = 0; i < keys.size() && row < kRowCount; ++i) {
    const float shade = static_cast<int>(i) == keyIndex_ ? 1.0f : kDimmedKey;
    const Color colour{shade, shade, shade, alpha};
    const char key = keys[i];
    x += sx;
    if (key >= kFirstCharacter) {
      const char text[2] = {key, 0};
      queue.QueueText(font, text, {x, y, origin.z}, layoutScale_.x, layoutScale_.y, colour, 0, 0,
                      kAlignCentreX | kAlignCentreY);
      units += 1;
    } else {
      const bool space = key == kKeySpace;
      queue.QueueText(font, kKeyLabels[static_cast<std::size_t>(key)], {x + (space ? sx / 2 : sx / 3), y, origin.z},
                      layoutScale_.x * kLabelScale, layoutScale_.y * kLabelScale, colour, 0, 0,
                      kAlignCentreX | kAlignCentreY);
      x += space ? sx : sx / 2;
      units += 2;
    }
    if (units >= kRowUnits) {
      x = origin.x, y += sy, units = 0;
      ++row;
    }
  }
}

bool VirtualKeyboard::Serialize(SerializeStream& stream) {
  if (!Window::Serialize(stream)) return false;
  if (stream.GetVersion() >= 1) stream.Serialize(keyboardReserved_);
  return !stream.Failed();
}

void RegisterVirtualKeyboardType() { GetObjectFactory().RegisterType<VirtualKeyboard>(kClassVirtualKeyboard); }

}  // namespace tge
