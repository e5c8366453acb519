// Slider's command table, knob, input hooks, drawing and file record.
#include "objects/ui/Slider.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"
#include "objects/ui/Button.h"
#include "objects/ui/FieldCommands.h"
#include "objects/ui/UiHooks.h"
#include "objects/ui/WidgetSupport.h"
#include "services/EngineServices.h"
#include "services/ResourceSet.h"
#include "services/ResourceType.h"

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
std::span<const CommandEntry<Slider>> Slider::Commands() {
  using S = Slider;
  static const CommandEntry<Slider> table[] = {
    {18000, "SliderMin", P, 0, {kValueFloat}, &S::SetField<&S::minimum_>, &S::GetField<&S::minimum_>},
    {18002, "SliderMax", P, 0, {kValueFloat}, &S::SetField<&S::maximum_>, &S::GetField<&S::maximum_>},
    {18004, "SliderPosition", P, 0, {kValueFloat}, &S::SetPositionCommand, &S::GetField<&S::position_>},
    {18006, "SliderStepSize", P, 0, {kValueFloat}, &S::SetField<&S::stepSize_>, &S::GetField<&S::stepSize_>},
    {18008, "SliderShowLabel", P, 0, {kValueBool}, &S::SetBitCommand<&S::sliderFlags_, kShowLabel>, &S::GetBitCommand<&S::sliderFlags_, kShowLabel>},
    {18010, "SliderVertical", P, 0, {kValueBool}, &S::SetBitCommand<&S::sliderFlags_, kVertical>, &S::GetBitCommand<&S::sliderFlags_, kVertical>},
    {18012, "SliderPositionUINT", P, 0, {kValueDword}, &S::SetPositionUnlimited<std::uint32_t>, &S::GetPositionTruncated<std::uint32_t>},
    {18014, "SliderPositionINT", P, 0, {kValueInt}, &S::SetPositionUnlimited<std::int32_t>, &S::GetPositionTruncated<std::int32_t>},
    {18016, "GetSliderPositionNormalized", C, kCommandGetter, {kValueFloat}, &S::GetPositionRatio<kPlainRatio>},
    {18017, "GetSliderPositionAsRotation", C, kCommandGetter, {kValueFloat}, &S::GetPositionRatio<kFullTurn>},
    {18018, "UseStandardSliderPositionSprite", P, 0, {kValueBool}, &S::SetStandardSpriteCommand, &S::GetBitCommand<&S::sliderFlags_, kStandardSprite>},
    {18020, "SliderPositionSprite", P, 0, {kValueString}, &S::SetPositionSpriteCommand, &S::GetField<&S::positionSpriteName_>},
    {18022, "SliderPositionDimension", P, 0, {kValueVector3}, &S::SetField<&S::positionDimension_>, &S::GetField<&S::positionDimension_>},
    {18024, "UseStandardSliderFocusHilite", P, 0, {kValueBool}, &S::SetWindowFlagCommand<kWindowFocusHilite>, &S::GetWindowFlagCommand<kWindowFocusHilite>},
    {18026, "UseStandardSliderOverHilite", P, 0, {kValueBool}, &S::SetWindowFlagCommand<kWindowOverHilite>, &S::GetWindowFlagCommand<kWindowOverHilite>},
    {18028, "UseStandardSliderHilitSound", P, 0, {kValueBool}, &S::SetBitCommand<&S::sliderFlags_, kHiliteSound>, &S::GetBitCommand<&S::sliderFlags_, kHiliteSound>},
    {18030, "UseStandardSliderActionSound", P, 0, {kValueBool}, &S::SetBitCommand<&S::sliderFlags_, kActionSound>, &S::GetBitCommand<&S::sliderFlags_, kActionSound>},
    {kEventOnSliderSelectionChange, "OnSliderSelectionChange", E, 0, {}},
  };
  return table;
}
// clang-format on

Slider::Slider() : Window(kClassSlider) {
  width_ = 128.0f;
  height_ = 16.0f;
  SetWindowFlag(kWindowFocusHilite | kWindowOverHilite, true);
}

int Slider::ExecuteCommand(std::uint32_t id, void* args) {
  static const CommandDispatcher<Slider> commands(kClassSlider, Commands());
  const auto handler = commands.Find(id);
  if (handler != nullptr && args != nullptr) {
    (this->*handler)(CommandArgs(args));
  } else if (id == kCommandCollectResources && args != nullptr) {
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
  FireEvent(kEventOnInputOver, nullptr);
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
