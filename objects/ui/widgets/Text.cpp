// Text's command table, text setting, pages, reveal, drawing and file
// record.
#include "objects/ui/widgets/Text.h"

#include <cstdint>

#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"
#include "objects/ui/widgets/TextFormat.h"
#include "services/EngineServices.h"
#include "services/resources/ResourceType.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr auto C = CommandKind::kCommand;
constexpr auto E = CommandKind::kEvent;
constexpr int kLastCommandId = 7048;
constexpr int kFirstVersionWithoutOwnNames = 31;
constexpr int kFirstVersionWithoutOwnColor = 49;
constexpr int kFirstVersionWithPages = 16;
constexpr int kFirstVersionWithWrapBase = 53;
constexpr int kFirstVersionWithLetterDelay = 59;
constexpr float kWrapBaseScale = 1.6f;
// A saved base so large that the count would pass the 32-bit range keeps
// the largest count.
constexpr float kWrapCountLimit = 4294967296.0f;

}  // namespace

// clang-format off
using T = Text;
constexpr CommandEntry<Text> Text::kCommands[] = {
    {7000, "TextFont", P, 0, {kValueString}, Member<&T::ForwardCommand<6544>>, Member<&T::ForwardCommand<6545>>},
    {7002, "TextText", P, 0, {kValueString}, Member<&T::SetTextCommand>, Member<&T::ForwardCommand<6501>>},
    {7004, "AddTextText", C, 0, {kValueString}, Member<&T::AddTextCommand>},
    {7005, "TextType", P, 0, {kValueDword}, ByteSetter<&T::textFlags_, 0>, ByteGetter<&T::textFlags_, 0>},
    {7007, "TextType", P, 0, {kValueBool}, Member<&T::ForwardCommand<6502>>, Member<&T::ForwardCommand<6503>>},
    {7009, "TextColor", P, 0, {kValueColor}, FieldSetter<&T::foreColor_>, FieldGetter<&T::foreColor_>},
    {7011, "TextLineSpace", P, 0, {kValueFloat}, FieldSetter<&T::textLineSpace_>, FieldGetter<&T::textLineSpace_>},
    {7013, "TextLetterSpace", P, 0, {kValueFloat}, FieldSetter<&T::textLetterSpace_>, FieldGetter<&T::textLetterSpace_>},
    {7015, "Text3DMaxDistance", P, 0, {kValueFloat}, FieldSetter<&T::maxDistance3D_>, FieldGetter<&T::maxDistance3D_>},
    {7017, "Text3DFadeDistance", P, 0, {kValueFloat}, FieldSetter<&T::fadeDistance3D_>, FieldGetter<&T::fadeDistance3D_>},
    {7019, "SetTextByFloat", C, 0, {kValueFloat}, Member<&T::FloatTextCommand<false, &FormatFloat>>},
    {7020, "SetTextByInt", C, 0, {kValueInt}, Member<&T::UnsignedTextCommand<false>>},
    {7021, "SetTextByUInt", C, 0, {kValueDword}, Member<&T::UnsignedTextCommand<false>>},
    {7022, "SetTextByTimeMinSec", C, 0, {kValueFloat}, Member<&T::FloatTextCommand<false, &FormatMinSec>>},
    {7023, "SetTextByTimeMinSecHun", C, 0, {kValueFloat}, Member<&T::FloatTextCommand<false, &FormatMinSecHun>>},
    {7024, "AddTextByFloat", C, 0, {kValueFloat}, Member<&T::FloatTextCommand<true, &FormatFloat>>},
    {7025, "AddTextByInt", C, 0, {kValueInt}, Member<&T::UnsignedTextCommand<true>>},
    {7026, "AddTextByUInt", C, 0, {kValueDword}, Member<&T::UnsignedTextCommand<true>>},
    {7027, "AddTextByTimeMinSec", C, 0, {kValueFloat}, Member<&T::FloatTextCommand<true, &FormatMinSec>>},
    {7028, "AddTextByTimeMinSecHun", C, 0, {kValueFloat}, Member<&T::FloatTextCommand<true, &FormatMinSecHun>>},
    {7029, "TextEnableWordWrap", P, 0, {kValueBool}, FlagSetter<&T::windowFlags_, kWindowTextWordWrap>, FlagGetter<&T::windowFlags_, kWindowTextWordWrap>},
    {7031, "TextWordWrapLetterCount", P, 0, {kValueDword}, FieldSetter<&T::wrapLetterCount_>, FieldGetter<&T::wrapLetterCount_>},
    {7033, "TextEnablePages", P, 0, {kValueBool}, FlagSetter<&T::textFlags_, kEnablePages>, FlagGetter<&T::textFlags_, kEnablePages>},
    {7035, "TextPageLineCount", P, 0, {kValueDword}, FieldSetter<&T::pageLineCount_>, FieldGetter<&T::pageLineCount_>},
    {7037, "TextCurrentPage", P, 0, {kValueDword}, FieldSetter<&T::currentPage_>, FieldGetter<&T::currentPage_>},
    {7039, "TextShowFirstPage", C, 0, {}, Member<&T::ShowFirstPageCommand>},
    {7040, "TextShowNextPage", C, 0, {}, Member<&T::ShowNextPageCommand>},
    {7041, "TextShowPreviousPage", C, 0, {}, Member<&T::ShowPreviousPageCommand>},
    {7042, "GetTextLastPage", C, kCommandGetter, {kValueDword}, Member<&T::GetLastPageCommand>},
    {7043, "TextEnableLetterDisplayDelay", P, 0, {kValueBool}, FlagSetter<&T::textFlags_, kLetterDisplayDelay>, FlagGetter<&T::textFlags_, kLetterDisplayDelay>},
    {7045, "TextEnableLetterDisplayFade", P, 0, {kValueBool}, FlagSetter<&T::textFlags_, kLetterDisplayFade>, FlagGetter<&T::textFlags_, kLetterDisplayFade>},
    {7047, "TextLetterDisplayFade", P, 0, {kValueFloat}, FieldSetter<&T::letterDelay_>, FieldGetter<&T::letterDelay_>},
    {7049, "OnTextShowLastPage", E, 0, {}},
    {7050, "OnTextShowMidPage", E, 0, {}},
    {7051, "OnTextShowFirstPage", E, 0, {}},
    {7052, "OnTextChangePage", E, 0, {}},
};

std::span<const CommandEntry<Text>> Text::Commands() { return kCommands; }
// clang-format on

Text::Text() : Window(kClassText) {}

int Text::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<Text> handlers(kClassText, {kCommands});
  if (id <= kLastCommandId) handlers.Run(*this, id, args);
  return Window::ExecuteCommand(id, args);
}

int Text::SetTextCommand(CommandArgs args) {
  SetText(args.AsString(), false);
  return 1;
}

int Text::AddTextCommand(CommandArgs args) {
  AddText(args.AsString(), false);
  return 1;
}

template <bool Add, std::string (*Format)(float)>
int Text::FloatTextCommand(CommandArgs args) {
  PutText(Format(args.Get<float>()), Add);
  return 1;
}

// Int and UInt both print unsigned: -1 shows 4294967295.
template <bool Add>
int Text::UnsignedTextCommand(CommandArgs args) {
  PutText(FormatUnsigned(args.Get<std::uint32_t>()), Add);
  return 1;
}

void Text::PutText(const std::string& text, bool add) {
  if (add) {
    AddText(text, true);
  } else {
    SetText(text, true);
  }
}

int Text::ShowFirstPageCommand(CommandArgs) { return ShowFirstPage(); }

int Text::ShowNextPageCommand(CommandArgs) { return ShowNextPage(); }

int Text::ShowPreviousPageCommand(CommandArgs) { return ShowPreviousPage(); }

int Text::GetLastPageCommand(CommandArgs args) {
  args.Set(GetLastPage());
  return 1;
}

std::string Text::Translated(const std::string& text, bool raw) const {
  const EngineServices* services = GetEngineServices();
  if (raw || !HasWindowFlag(kWindowTextTranslation) || services == nullptr) return text;
  return services->GetText(text);
}

void Text::SetText(const std::string& text, bool raw) {
  text_ = Translated(text, raw);
  if (HasWindowFlag(kWindowTextWordWrap)) WrapText(text_, wrapLetterCount_, true);
  if (textFlags_ & kEnablePages) ShowFirstPage();
}

void Text::AddText(const std::string& text, bool raw) {
  text_ += Translated(text, raw);
  if (HasWindowFlag(kWindowTextWordWrap)) WrapText(text_, wrapLetterCount_, false);
  if (textFlags_ & kEnablePages) ShowFirstPage();
}

void Text::Precalculate() {
  Window::Precalculate();
  if (HasWindowFlag(kWindowTextWordWrap)) WrapText(text_, wrapLetterCount_, false);
  if (textFlags_ & kEnablePages) ShowFirstPage();
}

int Text::ShowFirstPage() {
  if (pageLineCount_ == 0) return 0;
  lineCount_ = CountNewlines(text_);
  currentPage_ = 0;
  pageText_ = PageLines(text_, 0, pageLineCount_);
  FireEvent(kEventOnTextChangePage, nullptr);
  FireEvent(kEventOnTextShowFirstPage, nullptr);
  return 1;
}

int Text::ShowNextPage() {
  if (pageLineCount_ == 0 || currentPage_ >= GetLastPage()) return 0;
  ++currentPage_;
  pageText_ = PageLines(text_, currentPage_, pageLineCount_);
  FireEvent(kEventOnTextChangePage, nullptr);
  if (currentPage_ >= GetLastPage()) {
    FireEvent(kEventOnTextShowLastPage, nullptr);
  } else if (currentPage_ > 0) {
    FireEvent(kEventOnTextShowMidPage, nullptr);
  }
  return 1;
}

int Text::ShowPreviousPage() {
  if (pageLineCount_ == 0 || currentPage_ == 0) return 0;
  if (currentPage_ == 1) return ShowFirstPage();
  FireEvent(kEventOnTextShowMidPage, nullptr);
  --currentPage_;
  pageText_ = PageLines(text_, currentPage_, pageLineCount_);
  FireEvent(kEventOnTextChangePage, nullptr);
  return 1;
}

void Text::StartLetterDisplay() {
  letterTimer_ = 0;
  lettersShown_ = 1;
  shownText_.clear();
}

void Text::StopLetterDisplay() {
  letterTimer_ = 0;
  lettersShown_ = 0;
}

// The reveal ends once the count reaches the length, also when the text
// has grown shorter than the count meanwhile.
void Text::RevealLetters(const std::string& full) {
  letterTimer_ += GetFrameTime();
  if (letterTimer_ <= letterDelay_) return;
  shownText_ = CharacterPrefix(full, lettersShown_);
  ++lettersShown_;
  letterTimer_ -= letterDelay_;
  if (lettersShown_ >= CountCharacters(full)) lettersShown_ = 0;
}

void Text::Draw() {
  if (!GetActive()) return;
  AcquireFontByName();
  EngineServices* services = GetEngineServices();
  if (font_ && !text_.empty() && HasFlag(kFlagActionStarted) && services != nullptr) {
    Color colour = foreColor_;
    colour.a *= GetActionValue();
    const std::string& full = (textFlags_ & kEnablePages) ? pageText_ : text_;
    const bool revealing = (textFlags_ & kLetterDisplayDelay) && lettersShown_ != 0;
    if (revealing) RevealLetters(full);
    services->GetRenderQueue().QueueTextTransformed(font_.Get(), (revealing ? shownText_ : full).c_str(),
                                                    GetWorldMatrix(), colour, textLineSpace_, textLetterSpace_,
                                                    GetDrawAlignment());
  }
  Object::Draw();
}

// The colour and the font name sit here in older files; the wrap count is
// derived from its saved base on load only.
bool Text::Serialize(SerializeStream& stream) {
  if (!Window::Serialize(stream)) return false;
  const int version = stream.GetVersion();
  if (version >= 1) stream.Serialize(textFlags_);
  if (version >= 1 && version < kFirstVersionWithoutOwnColor) stream.Serialize(foreColor_);
  if (version >= 1) {
    stream.Serialize(textLineSpace_);
    stream.Serialize(textLetterSpace_);
    stream.Serialize(maxDistance3D_);
    stream.Serialize(fadeDistance3D_);
  }
  if (version >= 1 && version < kFirstVersionWithoutOwnNames) stream.SerializeString(fontName_);
  if (version >= kFirstVersionWithPages) stream.Serialize(pageLineCount_);
  if (version >= kFirstVersionWithWrapBase) stream.Serialize(wrapBase_);
  if (version >= kFirstVersionWithLetterDelay) stream.Serialize(letterDelay_);
  if (!stream.IsWriting()) {
    const float scaled = static_cast<float>(wrapBase_) * kWrapBaseScale;
    wrapLetterCount_ = scaled < kWrapCountLimit ? static_cast<std::uint32_t>(scaled) : UINT32_MAX;
  }
  return !stream.Failed();
}

void RegisterTextCommands() {
  RegisterCommandTable<Text>(BuildCommandRegistry(), kClassText, Text::Commands());
  GetObjectFactory().RegisterType<Text>(kClassText);
}

}  // namespace tge
