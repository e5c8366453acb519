// TextInput's command table, typing, drawing and file record.
#include "objects/ui/widgets/TextInput.h"

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"
#include "objects/ui/widgets/WidgetSupport.h"
#include "platform/input/CodePage1252.h"
#include "services/EngineServices.h"
#include "services/Utf8.h"
#include "services/resources/ResourceSet.h"
#include "services/resources/ResourceType.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;

constexpr std::uint32_t kFirstVersionWithoutCopies = 50;
constexpr int kBackspace = 8;
constexpr int kFirstPrintable = 32;
constexpr int kDelete = 127;
constexpr float kCaretPeriod = 1.0f;
constexpr float kCaretShown = 0.5f;
constexpr float kInputTextScale = 0.8f;

}  // namespace

// clang-format off
using T = TextInput;
constexpr CommandEntry<TextInput> TextInput::kCommands[] = {
    {16500, "TextInputFont", P, 0, {kValueString}, Member<&T::SetFontCommand>, FieldGetter<&T::inputFontName_>},
    {16502, "TextInputColor", P, 0, {kValueColor}, FieldSetter<&T::inputColor_>, FieldGetter<&T::inputColor_>},
    {16504, "TextInputLineSpace", P, 0, {kValueFloat}, FieldSetter<&T::inputLineSpace_>, FieldGetter<&T::inputLineSpace_>},
    {16506, "TextInputLetterSpace", P, 0, {kValueFloat}, FieldSetter<&T::inputLetterSpace_>, FieldGetter<&T::inputLetterSpace_>},
    {16508, "TextInputText", P, 0, {kValueString}, FieldSetter<&T::inputText_>, FieldGetter<&T::inputText_>},
    {16510, "TextInputMaxLetters", P, 0, {kValueDword}, FieldSetter<&T::maxLetters_>, FieldGetter<&T::maxLetters_>},
    {16512, "TextInputNumbersOnly", P, 0, {kValueBool}, FlagSetter<&T::textInputFlags_, kNumbersOnly>, FlagGetter<&T::textInputFlags_, kNumbersOnly>},
    {16514, "UseStandardTextInputFocusHilite", P, 0, {kValueBool}, FlagSetter<&T::windowFlags_, kWindowFocusHilite>, FlagGetter<&T::windowFlags_, kWindowFocusHilite>},
    {16516, "UseStandardTextInputOverHilite", P, 0, {kValueBool}, FlagSetter<&T::windowFlags_, kWindowOverHilite>, FlagGetter<&T::windowFlags_, kWindowOverHilite>},
    {16518, "UseStandardTextInputHilitSound", P, 0, {kValueBool}, FlagSetter<&T::textInputFlags_, kHiliteSound>, FlagGetter<&T::textInputFlags_, kHiliteSound>},
    {16520, "UseStandardTextInputActionSound", P, 0, {kValueBool}, FlagSetter<&T::textInputFlags_, kActionSound>, FlagGetter<&T::textInputFlags_, kActionSound>},
};

std::span<const CommandEntry<TextInput>> TextInput::Commands() { return kCommands; }
// clang-format on

TextInput::TextInput() : Window(kClassTextInput) {}

int TextInput::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<TextInput> handlers(kClassTextInput, {kCommands}, BlockRule::kEvery);
  handlers.Run(*this, id, args);
  if (id == kCommandCollectResources && args != nullptr) {
    CollectNamed(inputFont_, inputFontName_, kFontResource, *static_cast<ResourceSet*>(args));
  }
  return Window::ExecuteCommand(id, args);
}

// A copy loads its own font.
void TextInput::CopyFrom(const Object& source) {
  Window::CopyFrom(source);
  inputFont_.Reset();
  hadFocus_ = false;
}

// The font stays unloaded until the next resource pass.
int TextInput::SetFontCommand(CommandArgs args) {
  inputFontName_ = args.AsString();
  inputFont_.Reset();
  return 1;
}

void TextInput::Precalculate() {
  JoinOwnerWindow();
  Window::Precalculate();
}

void TextInput::TypeCharacter(int character) {
  if (character == kBackspace) {
    EraseLastUtf8Character(inputText_);
    return;
  }
  if (character < kFirstPrintable || character == kDelete || character > 0xFF) return;
  const char32_t code = platform::CodePage1252CodePoint(static_cast<std::uint8_t>(character));
  if (code != 0 && CountUtf8Characters(inputText_) < maxLetters_) AppendUtf8(inputText_, code);
}

// One character a frame; what waited before the focus came is dropped.
void TextInput::TakeTypedCharacter() {
  EngineServices* services = GetEngineServices();
  if (services == nullptr) return;
  if (!hadFocus_) {
    while (services->GetTypedCharacter() != 0) {
    }
    return;
  }
  if (const int character = services->GetTypedCharacter(); character != 0) TypeCharacter(character);
}

void TextInput::DrawInputText() {
  EngineServices* services = GetEngineServices();
  if (services == nullptr || !inputFont_ || !HasFlag(kFlagActionStarted)) return;
  Color colour = inputColor_;
  colour.a *= GetActionValue();
  std::string shown = inputText_;
  if (HasFocus()) {
    caretTimer_ += GetFrameTime();
    if (caretTimer_ > kCaretPeriod) caretTimer_ = 0;
    if (caretTimer_ < kCaretShown) shown += '|';
  } else if (shown.empty()) {
    return;
  }
  services->GetRenderQueue().QueueText(inputFont_.Get(), shown.c_str(), GetTextAnchor(),
                                       layoutScale_.x * kInputTextScale, layoutScale_.y * kInputTextScale, colour,
                                       inputLineSpace_, inputLetterSpace_, GetDrawAlignment());
}

void TextInput::Draw() {
  if (!GetActive()) return;
  DrawInputText();
  if (HasFocus()) TakeTypedCharacter();
  hadFocus_ = HasFocus();
  Window::Draw();
}

// Layout: the Window record; [version >= 1] flags, text, letter limit and
// colour, [1 <= version < 50] a second copy of the colour, [version >= 1]
// line and letter space and the font name, [1 <= version < 50] one more
// string nothing reads.
bool TextInput::Serialize(SerializeStream& stream) {
  if (!Window::Serialize(stream)) return false;
  const auto version = static_cast<std::uint32_t>(stream.GetVersion());
  if (version < 1) return !stream.Failed();
  const bool withCopies = version < kFirstVersionWithoutCopies;
  stream.Serialize(textInputFlags_);
  stream.SerializeString(inputText_);
  stream.Serialize(maxLetters_);
  stream.Serialize(inputColor_);
  Color colourCopy = inputColor_;
  if (withCopies) stream.Serialize(colourCopy);
  stream.Serialize(inputLineSpace_);
  stream.Serialize(inputLetterSpace_);
  stream.SerializeString(inputFontName_);
  std::string unused;
  if (withCopies) stream.SerializeString(unused);
  return !stream.Failed();
}

void RegisterTextInputCommands() {
  RegisterCommandTable<TextInput>(BuildCommandRegistry(), kClassTextInput, TextInput::Commands());
  GetObjectFactory().RegisterType<TextInput>(kClassTextInput);
}

}  // namespace tge
