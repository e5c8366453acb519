// Slider's command table, knob, input hooks, drawing and file record.
#include "objects/ui/widgets/Slider.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/CommandAccessors.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"
#include "objects/ui/UiHooks.h"
#include "objects/ui/widgets/Button.h"
#include "objects/ui/widgets/WidgetSupport.h"
#include "services/EngineServices.h"
#include "services/resources/ResourceSet.h"
#include "services/resources/ResourceType.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr auto C = CommandKind::kCommand;
constexpr auto E = CommandKind::kEvent;

constexpr int kFullTurn = 1;  // GetPositionRatio's scale: the ratio as an angle
constexpr int kPlainRatio = 0;
constexpr float kTwoPi = 6.2831855f;

// Toward zero, held inside T's range (a position may be anything a script
// set); NaN gives 0.
template <class T>
T Truncate(float value) {
  if (std::isnan(value)) return 0;
  const double limited = std::clamp(std::trunc(static_cast<double>(value)),
                                    static_cast<double>(std::numeric_limits<T>::min()),
                                    static_cast<double>(std::numeric_limits<T>::max()));
  return static_cast<T>(limited);
}

}  // namespace

// clang-format off
using S = Slider;
constexpr CommandEntry<Slider> Slider::kCommands[] = {
    {18000, "SliderMin", P, 0, {kValueFloat}, FieldSetter<&S::minimum_>, FieldGetter<&S::minimum_>},
    {18002, "SliderMax", P, 0, {kValueFloat}, FieldSetter<&S::maximum_>, FieldGetter<&S::maximum_>},
    {18004, "SliderPosition", P, 0, {kValueFloat}, Member<&S::SetPositionCommand>, FieldGetter<&S::position_>},
    {18006, "SliderStepSize", P, 0, {kValueFloat}, FieldSetter<&S::stepSize_>, FieldGetter<&S::stepSize_>},
    {18008, "SliderShowLabel", P, 0, {kValueBool}, FlagSetter<&S::sliderFlags_, kShowLabel>, FlagGetter<&S::sliderFlags_, kShowLabel>},
    {18010, "SliderVertical", P, 0, {kValueBool}, FlagSetter<&S::sliderFlags_, kVertical>, FlagGetter<&S::sliderFlags_, kVertical>},
    {18012, "SliderPositionUINT", P, 0, {kValueDword}, Member<&S::SetPositionUnlimited<std::uint32_t>>, Member<&S::GetPositionTruncated<std::uint32_t>>},
    {18014, "SliderPositionINT", P, 0, {kValueInt}, Member<&S::SetPositionUnlimited<std::int32_t>>, Member<&S::GetPositionTruncated<std::int32_t>>},
    {18016, "GetSliderPositionNormalized", C, kCommandGetter, {kValueFloat}, Member<&S::GetPositionRatio<kPlainRatio>>},
    {18017, "GetSliderPositionAsRotation", C, kCommandGetter, {kValueFloat}, Member<&S::GetPositionRatio<kFullTurn>>},
    {18018, "UseStandardSliderPositionSprite", P, 0, {kValueBool}, Member<&S::SetStandardSpriteCommand>, FlagGetter<&S::sliderFlags_, kStandardSprite>},
    {18020, "SliderPositionSprite", P, 0, {kValueString}, Member<&S::SetPositionSpriteCommand>, FieldGetter<&S::positionSpriteName_>},
    {18022, "SliderPositionDimension", P, 0, {kValueVector3}, FieldSetter<&S::positionDimension_>, FieldGetter<&S::positionDimension_>},
    {18024, "UseStandardSliderFocusHilite", P, 0, {kValueBool}, FlagSetter<&S::windowFlags_, kWindowFocusHilite>, FlagGetter<&S::windowFlags_, kWindowFocusHilite>},
    {18026, "UseStandardSliderOverHilite", P, 0, {kValueBool}, FlagSetter<&S::windowFlags_, kWindowOverHilite>, FlagGetter<&S::windowFlags_, kWindowOverHilite>},
    {18028, "UseStandardSliderHilitSound", P, 0, {kValueBool}, FlagSetter<&S::sliderFlags_, kHiliteSound>, FlagGetter<&S::sliderFlags_, kHiliteSound>},
    {18030, "UseStandardSliderActionSound", P, 0, {kValueBool}, FlagSetter<&S::sliderFlags_, kActionSound>, FlagGetter<&S::sliderFlags_, kActionSound>},
    {kEventOnSliderSelectionChange, "OnSliderSelectionChange", E, 0, {}},
};

std::span<const CommandEntry<Slider>> Slider::Commands() { return kCommands; }
// clang-format on

Slider::Slider() : Window(kClassSlider) {
  width_ = 128.0f;
  height_ = 16.0f;
  SetWindowFlag(kWindowFocusHilite | kWindowOverHilite, true);
}

int Slider::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<Slider> handlers(kClassSlider, {kCommands}, BlockRule::kEvery);
  handlers.Run(*this, id, args);
  if (id == kCommandCollectResources && args != nullptr) {
    CollectNamed(positionSprite_, positionSpriteName_, kMaterialResource, *static_cast<ResourceSet*>(args));
  }
  return Window::ExecuteCommand(id, args);
}

int Slider::SetPositionCommand(CommandArgs args) {
  const float value = args.Get<float>();
  position_ = value < minimum_ ? minimum_ : std::min(value, maximum_);
  return 1;
}

template <class T>
int Slider::SetPositionUnlimited(CommandArgs args) {
  position_ = static_cast<float>(args.Get<T>());
  return 1;
}

template <class T>
int Slider::GetPositionTruncated(CommandArgs args) {
  args.Set(Truncate<T>(position_));
  return 1;
}

template <int Scale>
int Slider::GetPositionRatio(CommandArgs args) {
  const float range = maximum_ - minimum_;
  if (range != 0) args.Set(position_ / range * (Scale == kFullTurn ? kTwoPi : 1.0f));
  return 1;
}

int Slider::SetStandardSpriteCommand(CommandArgs args) {
  StoreFlagArgument(sliderFlags_, kStandardSprite, args);
  if (sliderFlags_ & kStandardSprite) positionSpriteName_.clear();
  return 1;
}

int Slider::SetPositionSpriteCommand(CommandArgs args) {
  positionSpriteName_ = args.AsString();
  ReacquireByName(positionSprite_, positionSpriteName_, kMaterialResource);
  return 1;
}

float Slider::KnobLeft() const {
  const float range = maximum_ - minimum_;
  const float t = range != 0 ? (position_ - minimum_) / range : 0.0f;
  const ScreenRect& rect = GetScreenRect();
  return rect.left + t * (rect.right - rect.left - KnobWidth());
}

void Slider::MoveTo(float value) {
  value = value < minimum_ ? minimum_ : std::min(value, maximum_);
  if (value == position_) return;
  position_ = value;
  FireEvent(kEventOnSliderSelectionChange, nullptr);
}

void Slider::Precalculate() {
  JoinOwnerWindow();
  Window::Precalculate();
}

// Ok on the knob starts a drag; Ok beside it steps towards the pointer;
// Left and Right step down and up wherever the pointer is.
void Slider::OnNavigate(const Vector3& pointer, int code) {
  if (code == kWidgetOk && StrictlyInside(knobRect_, pointer)) {
    sliderFlags_ |= kDragging;
    FireEvent(kEventOnInputDown, nullptr);
    return;
  }
  bool lower = pointer.x < KnobLeft();
  if (code == kWidgetLeft || code == kWidgetRight) lower = code == kWidgetLeft;
  MoveTo(lower ? position_ - stepSize_ : position_ + stepSize_);
  FireEvent(kEventOnInputDown, nullptr);
}

// A knob as wide as the slider has no track to move along.
void Slider::OnPointerMove(const Vector3& pointer, const Vector3&) {
  if (!IsDragging()) return;
  const ScreenRect& rect = GetScreenRect();
  const float track = rect.right - rect.left - KnobWidth();
  if (!(track > 0)) return;
  const float t = 1.0f - (rect.right - (KnobWidth() * 0.5f + pointer.x)) / track;
  MoveTo(minimum_ + t * (maximum_ - minimum_));
}

void Slider::OnInput(const Vector3&, int) {
  sliderFlags_ &= ~kDragging;
  FireEvent(kEventOnInputUp, nullptr);
}

void Slider::OnPointerEnter(const Vector3&) {
  if (!FireEventStillHere(kEventOnInputOver, nullptr)) return;
  if (sliderFlags_ & kHiliteSound) StartSkinHiliteSound();
  sliderFlags_ |= kPointerOver;
}

void Slider::OnPointerLeave(const Vector3&) {
  FireEvent(kEventOnInputOut, nullptr);
  sliderFlags_ &= ~kPointerOver;
}

void Slider::Draw() {
  if (!GetActive()) return;
  EngineServices* services = GetEngineServices();
  UiHooks* hooks = GetUiHooks();
  const bool standard = (sliderFlags_ & kStandardSprite) != 0;
  Resource* sprite = standard ? (hooks ? hooks->GetSliderPositionSprite() : nullptr) : positionSprite_.Get();
  if (services != nullptr && HasFlag(kFlagActionStarted) && (standard || positionSprite_)) {
    const ScreenRect& rect = GetScreenRect();
    const float knobHeight = positionDimension_.y * layoutScale_.y;
    const float x = KnobLeft();
    const float y = rect.top + (rect.bottom - rect.top) * 0.5f - knobHeight * 0.5f;
    knobRect_ = ScreenRect{x, y, x + KnobWidth(), y + knobHeight};
    services->GetRenderQueue().QueueSprite(sprite, {x, y, GetWorldMatrix().m[14] + positionDimension_.z},
                                           KnobWidth(), knobHeight, DecorationColour(IsEnabled(), GetActionValue()),
                                           kSpriteLeftTop);
  }
  Window::Draw();
}

// The pointer-over and dragging bits are run-time state: never in a file.
bool Slider::Serialize(SerializeStream& stream) {
  if (!Window::Serialize(stream)) return false;
  if (stream.GetVersion() >= 1) {
    stream.Serialize(sliderFlags_);
    stream.Serialize(minimum_);
    stream.Serialize(maximum_);
    stream.Serialize(position_);
    stream.Serialize(stepSize_);
    stream.SerializeString(positionSpriteName_);
    stream.Serialize(positionDimension_);
  }
  sliderFlags_ &= ~(kPointerOver | kDragging);
  return !stream.Failed();
}

void RegisterSliderCommands() {
  RegisterCommandTable<Slider>(BuildCommandRegistry(), kClassSlider, Slider::Commands());
  GetObjectFactory().RegisterType<Slider>(kClassSlider);
}

}  // namespace tge
